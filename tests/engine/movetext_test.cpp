// Move text of the thinking and log lines: promotion suffixes, the variation behind the move, and
// buffers of every size.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/MoveText.h"
#include "search/SearchRoutines.h"

namespace {

constexpr char E2 = 12, E4 = 28, E7 = 52, E8 = 60;

std::string Text(char from, char to, char promotion, int withLine = 0, int capacity = MoveTextSize) {
  char text[MoveLineSize + 1];
  std::memset(text, 'X', sizeof text);
  fillmovestring(text, 0, from, to, promotion, withLine, capacity);
  EXPECT_EQ(text[capacity], 'X') << "wrote beyond the capacity";
  return text;
}

// Row 0 of the search's variation: e7e5 e2e4 e7e5 ... with the end index `length`.
void SetVariation(int length) {
  Search.PVLength = length;
  for (int i = 0; i < SearchLimits::PVColumns; i++)
    Search.PrincipalVariation[0][i].Move = static_cast<std::uint16_t>(i % 2 ? 12 * 64 + 28 : 52 * 64 + 36);
}

TEST(MoveTextTest, PromotionSuffixesAndSquaresOffTheBoard) {
  const std::pair<char, const char*> cases[] = {{NoPromotion, " e7e8 \n"}, {4, " e7e8q;\n"}, {10, " e7e8q;\n"},
                                                {1, " e7e8n;\n"}, {8, " e7e8b;\n"}, {9, " e7e8r;\n"}};
  for (const auto& [code, text] : cases) EXPECT_EQ(Text(E7, E8, code), text) << int(code);
  // Codes that name no promotion piece, the generator's own "Q" among them, get a blank.
  for (char code : {char(0), char(5), char(6), char(11), 'Q', 'q'}) EXPECT_EQ(Text(E7, E8, code), " e7e8 \n");
  const std::string off = Text(static_cast<char>(-1), static_cast<char>(200), 0);
  EXPECT_TRUE(off.size() == 7u && off[2] >= '1' && off[2] <= '8') << off;
  for (int capacity = 1; capacity <= 9; capacity++)   // cut but terminated
    EXPECT_LT(Text(E7, E8, 4, 0, capacity).size(), static_cast<std::size_t>(capacity));
}

TEST(MoveTextTest, VariationOnlyWithLineAndCutAtAWholeMove) {
  SetVariation(3);
  EXPECT_EQ(Text(E2, E4, 0, 0), " e2e4 \n");
  EXPECT_EQ(Text(E2, E4, 0, 1), " e2e4 e2e4 e7e5 \n");
  for (int length : {1, -5}) {
    SetVariation(length);
    EXPECT_EQ(Text(E2, E4, 0, 1), " e2e4 \n") << length;
  }
  SetVariation(100000);   // beyond the table: only its entries are read
  const std::string text = Text(E2, E4, 0, 1);
  EXPECT_LE(text.size(), static_cast<std::size_t>(MoveTextSize - 1));
  EXPECT_EQ(text.back(), '\n');
  EXPECT_EQ((text.size() - 7) % 5, 0u);
  EXPECT_EQ(Text(E2, E4, 0, 1, MoveLineSize).size(), 7u + 5u * MaxVariationMoves);   // the whole row fits
  Search.PVLength = 0;
}

}  // namespace
