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

// Row 0 of the search's variation: e2e4 e7e5 e2e4 ... with the end index `length`.
void SetVariation(int length) {
  Search.PVLength = length;
  for (int i = 0; i < SearchLimits::PVColumns; i++) {
    Search.PrincipalVariation[0][i].Move = static_cast<std::uint16_t>(i % 2 ? 12 * 64 + 28 : 52 * 64 + 36);
  }
}

struct VariationFixture : testing::Test {
  void TearDown() override { Search.PVLength = 0; }
};

TEST(MoveTextTest, QuietMovesAndPromotionSuffixes) {
  EXPECT_EQ(Text(E2, E4, NoPromotion), " e2e4 \n");
  EXPECT_EQ(Text(E7, E8, 4), " e7e8q;\n");
  EXPECT_EQ(Text(E7, E8, 10), " e7e8q;\n");
  EXPECT_EQ(Text(E7, E8, 1), " e7e8n;\n");
  EXPECT_EQ(Text(E7, E8, 8), " e7e8b;\n");
  EXPECT_EQ(Text(E7, E8, 9), " e7e8r;\n");
  // Codes that name no promotion piece, the generator's own "Q" among them, get a blank.
  for (char code : {char(0), char(5), char(6), char(11), 'Q', 'q'}) EXPECT_EQ(Text(E7, E8, code), " e7e8 \n");
  EXPECT_EQ(Text(0, 63, 0), " a1h8 \n");
}

TEST(MoveTextTest, SquaresOutsideTheBoardStayOnTheBoard) {
  const std::string text = Text(static_cast<char>(-1), static_cast<char>(200), 0);
  EXPECT_EQ(text.size(), 7u);
  EXPECT_GE(text[2], '1');
  EXPECT_LE(text[2], '8');
}

TEST(MoveTextTest, TinyBuffersAreCutButTerminated) {
  for (int capacity = 1; capacity <= 9; capacity++) {
    const std::string text = Text(E7, E8, 4, 0, capacity);
    EXPECT_LT(text.size(), static_cast<std::size_t>(capacity));
  }
}

TEST_F(VariationFixture, VariationOnlyWithLineAndTwoEntries) {
  SetVariation(3);
  EXPECT_EQ(Text(E2, E4, 0, 0), " e2e4 \n");
  EXPECT_EQ(Text(E2, E4, 0, 1), " e2e4 e2e4 e7e5 \n");
  SetVariation(1);
  EXPECT_EQ(Text(E2, E4, 0, 1), " e2e4 \n");
  SetVariation(-5);
  EXPECT_EQ(Text(E2, E4, 0, 1), " e2e4 \n");
}

TEST_F(VariationFixture, LongVariationIsCutAtAWholeMove) {
  SetVariation(100000);   // beyond the table: only its entries are read
  const std::string text = Text(E2, E4, 0, 1);
  EXPECT_LE(text.size(), static_cast<std::size_t>(MoveTextSize - 1));
  EXPECT_EQ(text.back(), '\n');
  EXPECT_EQ((text.size() - 7) % 5, 0u);
  const std::string full = Text(E2, E4, 0, 1, MoveLineSize);
  EXPECT_EQ(full.size(), 7u + 5u * MaxVariationMoves);   // the whole row fits
}

}  // namespace
