// Every line of the perft suite at every depth it lists: leaf and total counts are ground truth.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "movegen/Legality.h"
#include "movegen/MoveListText.h"
#include "movegen/Perft.h"

namespace {

struct SuiteLine {
  std::string Id, Fen;
  std::vector<std::vector<std::uint64_t>> Counts;   // depth, leaf nodes, total nodes
};

// "fen ;D1 20 20 ;D2 400 420 ;id startpos ;c comment"
std::vector<SuiteLine> LoadSuite() {
  std::vector<SuiteLine> suite;
  std::ifstream file(NELK_TEST_DATA "/perft-suite.epd");
  for (std::string text; std::getline(file, text);) {
    if (text.empty() || text[0] == '#') continue;
    SuiteLine line;
    std::stringstream fields(text);
    std::getline(fields, line.Fen, ';');
    for (std::string field, tag; std::getline(fields, field, ';');) {
      std::istringstream words(field);
      words >> tag;
      if (tag == "id") words >> line.Id;
      std::uint64_t leaf = 0, total = 0;
      if (tag.size() >= 2 && tag[0] == 'D' && words >> leaf >> total) line.Counts.push_back({std::stoull(tag.substr(1)), leaf, total});
    }
    suite.push_back(line);
  }
  return suite;
}

void PrintTo(const SuiteLine& line, std::ostream* out) { *out << line.Id; }

class PerftSuite : public ::testing::TestWithParam<SuiteLine> {};

TEST_P(PerftSuite, LeafAndTotalCountsAtEveryDepth) {
  const SuiteLine& line = GetParam();
  ASSERT_FALSE(line.Counts.empty()) << line.Fen;
  for (const auto& expected : line.Counts) {
    LoadPosition(line.Fen.c_str());
    PerfT perft;
    perft.PerformanceTest(MainBoard.SideToMove, static_cast<int>(expected[0]), MainBoard, MainBoard.CastleFlags);
    EXPECT_EQ(perft.LeafNodes, expected[1]) << line.Id << " depth " << expected[0];
    EXPECT_EQ(perft.TotalNodes, expected[2]) << line.Id << " depth " << expected[0];
  }
}

// Perft counts only what the legality test allows; here every generated move of the first plies
// is also made, and the test must agree with the king's safety on the board the move leaves.
template <int Side>
void CompareWithMaking(ChessBoard& board, int depth, char castleFlags, const std::string& line) {
  const bool inCheck = board.InCheck(board.KingOf(Side), Side);
  MoveGen list;
  const int count = inCheck ? list.GenCheckEvasions(Side, &board) : list.GenerateAllMoves(Side, &board, castleFlags);
  const LegalityTest<Side> test(board, inCheck);
  for (int i = 0; i < count; ++i) {
    const bool allowed = test.Allows(list.FromSquares[i], list.ToSquares[i]);
    char mask = 0;
    board.MakeMove(list.FromSquares[i], list.ToSquares[i], list.Promotions[i], &mask);
    const bool legal = !board.InCheck(board.KingOf(Side), Side);
    EXPECT_EQ(allowed, legal) << line << ": " << MoveText(list, i) << " at depth " << depth;
    if (legal && depth > 1) {
      ChessBoard child = board;
      CompareWithMaking<1 - Side>(child, depth - 1, castleFlags & mask, line);
    }
    board.UndoMove(i);
  }
}

TEST_P(PerftSuite, LegalityTestAgreesWithMakingTheMove) {
  constexpr int Depth = 3;
  const SuiteLine& line = GetParam();
  ChessBoard board = LoadPosition(line.Fen.c_str());
  if (board.SideToMove)
    CompareWithMaking<1>(board, Depth, board.CastleFlags, line.Id);
  else
    CompareWithMaking<0>(board, Depth, board.CastleFlags, line.Id);
}

std::string LineName(const ::testing::TestParamInfo<SuiteLine>& info) {
  std::string name = info.param.Id;
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(SuiteFile, PerftSuite, ::testing::ValuesIn(LoadSuite()), LineName);

// A suite file that silently lost lines would make the test above pass on nothing.
TEST(PerftSuiteFile, HoldsEveryPosition) {
  const std::vector<SuiteLine> suite = LoadSuite();
  EXPECT_EQ(suite.size(), 25u);
  for (const SuiteLine& line : suite) EXPECT_FALSE(line.Id.empty()) << line.Fen;
}

}  // namespace
