// The random streams themselves: deterministic by seed, and covering what the robustness tests
// promise (every ending, over-long lines, binary bytes, broken FEN records, absurd numbers).
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "protocol/robustness_runner.h"

using namespace robustness;

namespace {

constexpr int StreamsLooked = 400;

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

bool HasLongLine(const std::string& text) {
  std::size_t start = 0;
  for (std::size_t end = text.find('\n'); end != std::string::npos; start = end + 1, end = text.find('\n', start))
    if (end - start >= static_cast<std::size_t>(OverLongLine)) return true;
  return false;
}

bool HasBinary(const std::string& text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80 || c == '\0') return true;
  return false;
}

}  // namespace

TEST(RobustnessStreams, SameSeedSameStreamOtherSeedOtherStream) {
  for (Mode mode : AllModes) {
    const Stream a = MakeStream(mode, 77), b = MakeStream(mode, 77), c = MakeStream(mode, 78);
    EXPECT_EQ(a.Text, b.Text) << ModeName(mode);
    EXPECT_EQ(a.End, b.End);
    EXPECT_NE(a.Text, c.Text) << ModeName(mode);
  }
}

TEST(RobustnessStreams, StreamsCoverEveryKindOfBadInput) {
  std::set<Ending> endings;
  int longLines = 0, binary = 0, brokenFen = 0, absurd = 0, edits = 0;
  for (int seed = 0; seed < StreamsLooked; seed++) {
    const Mode mode = AllModes[seed % 4];
    const Stream s = MakeStream(mode, static_cast<std::uint64_t>(seed));
    endings.insert(s.End);
    longLines += HasLongLine(s.Text);
    binary += HasBinary(s.Text);
    brokenFen += Has(s.Text, "kkkkkkkk") || Has(s.Text, "QQQQQQQQ") || Has(s.Text, "99999999999999999999");
    absurd += Has(s.Text, "2147483648") || Has(s.Text, " -5") || Has(s.Text, " -1");
    edits += mode == Mode::Edit && Has(s.Text, "edit\n");
    // The word that chooses the mode comes first.
    const std::string first = s.Text.substr(0, s.Text.find('\n'));
    if (mode == Mode::Uci) {
      EXPECT_EQ(first, "uci");
    } else if (mode == Mode::Console) {
      EXPECT_TRUE(first != "uci" && first != "xboard");
    } else {
      EXPECT_EQ(first, "xboard");
    }
  }
  EXPECT_EQ(endings.size(), 3u);
  EXPECT_GT(longLines, 5);
  EXPECT_GT(binary, 20);
  EXPECT_GT(brokenFen, 10);
  EXPECT_GT(absurd, 20);
  EXPECT_GT(edits, 50);
}

// The closing check of a UCI stream counts on knowing how many "readyok" it is owed.
TEST(RobustnessStreams, ReadyRequestsAreCountedAsTheEngineReadsLines) {
  EXPECT_EQ(ReadyRequests("uci\nisready\n isready extra\nisready\r\nis\rready\nisready\n"), 5);
  EXPECT_EQ(ReadyRequests("uci\nisreadyx\n\nisre\0ady\n"), 0);
  EXPECT_EQ(ReadyRequests(std::string("uci\nisready\0\nisready\n", 21)), 2);
  EXPECT_EQ(ReadyRequests("isready\n"), 0);   // the first line chooses the protocol
  EXPECT_EQ(ReadyRequests("uci\nquit\nisready\n"), 0);
}

// Every move of a random legal line is legal in turn: the streams' valid games are valid.
TEST(RobustnessStreams, RandomLegalLinesAreLegal) {
  for (int seed = 0; seed < 20; seed++) {
    Random r(static_cast<std::uint64_t>(seed));
    const std::string line = RandomLegalLine(r, 60);
    const ChessBoard saved = MainBoard;
    MainBoard.InitRep();
    ChessBoard board = MainBoard;
    MainBoard = saved;
    std::size_t start = 0;
    int plies = 0;
    while (start < line.size()) {
      const std::size_t end = std::min(line.find(' ', start), line.size());
      const std::string move = line.substr(start, end - start);
      CheckedMove checked;
      ASSERT_TRUE(FindLegalMove(move.c_str(), board, &checked)) << move << " in " << line;
      PlayChecked(board, checked);
      ASSERT_EQ(StructuralFault(board), nullptr) << line;
      start = end + 1;
      plies++;
    }
    EXPECT_GT(plies, 0);
  }
}
