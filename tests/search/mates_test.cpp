// Every position of the mates file is searched with single root searches of depth 1, 2, ... up to
// 2N + 3 plies (N the announced mate distance) until one chooses the recorded mating move with a
// mate score. (Iterative deepening would stop at the first mate it sees, which may be a longer one.)
// The depth each position needed is printed.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include "search/SearchTestSupport.h"

using namespace searchtest;

// Run once as the search is by default and once with the capture search at the horizon.
class MatesFile : public testing::TestWithParam<bool> {
protected:
  void SetUp() override { Search.SetCaptureSearch(GetParam()); }
  void TearDown() override { Search.SetCaptureSearch(false); }
};

TEST_P(MatesFile, EveryMateIsFoundWithinTwoNPlusThreeOrFivePlies) {
  std::ifstream file(std::string(NELK_TEST_DATA) + "/mates.epd");
  int number = 0;
  for (std::string line; std::getline(file, line);) {
    // placement, side, castling, en passant; "dm N"; "c0" the move in coordinate notation
    std::istringstream fields(line);
    std::string placement, side, castling, passant;
    const auto dm = line.find("dm "), c0 = line.find("c0 \"");
    ASSERT_TRUE(fields >> placement >> side >> castling >> passant && dm != line.npos && c0 != line.npos) << line;
    const int mateIn = std::atoi(line.c_str() + dm + 3);
    const std::string move = line.substr(c0 + 4, 4), fen = placement + " " + side + " " + castling + " " + passant;
    SCOPED_TRACE("position " + std::to_string(++number) + ": " + fen);
    SetPosition(fen + " 0 1");
    const ChessBoard before = MainBoard;
    const auto start = std::chrono::steady_clock::now();
    SearchResult r;
    // The capture-search mode may need two plies more: its static cut-off, which reaches six plies
    // deep, ends the nodes of a side far ahead before its mating move until the depth outgrows it
    // (and its reductions count a ply more against a side that does not improve).
    const int depthLimit = 2 * mateIn + 3 + (GetParam() ? 2 : 0);
    for (int depth = 1; depth <= depthLimit; depth++) {
      r = SearchTo(depth, true);
      EXPECT_EQ(r.Depth, depth);
      if (r.Move == move && r.Score > SearchScore::MateFound) break;
    }
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("  mate %2d: dm %d  %s  found %s at depth %2d, score %d, %lld nodes, %.0f ms\n", number, mateIn,
                move.c_str(), r.Move.c_str(), r.Depth, r.Score, static_cast<long long>(r.Nodes), ms);
    EXPECT_EQ(r.Move, move);
    EXPECT_GT(r.Score, SearchScore::MateFound);
    EXPECT_EQ(MainBoard.AllPieces, before.AllPieces) << "a single root search plays no move";
  }
  EXPECT_EQ(number, 32) << "every line of the file is a mate record";
}

INSTANTIATE_TEST_SUITE_P(Horizon, MatesFile, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "CaptureSearch" : "Static"; });
