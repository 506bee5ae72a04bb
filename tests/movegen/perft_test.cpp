// The perft run as the command line starts it: printed figures and refusals.
#include <gtest/gtest.h>

#include <string>

#include "movegen/MoveListText.h"
#include "movegen/Perft.h"

namespace {

std::string RunPerft(const char* fen, int depth) {
  LoadPosition(fen);
  testing::internal::CaptureStdout();
  PerfT perft(depth);
  return testing::internal::GetCapturedStdout();
}

TEST(PerfT, PrintedFiguresAtDepthZeroAndThree) {
  const char* start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";
  const std::string output = RunPerft(start, 0);
  const std::string counts = "Starting PerfT test \n0 Total Nodes at Depth = 0\n1 Leaf Nodes at Depth = 0\n";
  ASSERT_EQ(output.substr(0, counts.size()), counts);
  const std::string speed = output.substr(counts.size());
  EXPECT_GT(speed.find(" NPS\n"), 0u) << speed;
  EXPECT_EQ(speed.find_first_not_of("0123456789"), speed.find(" NPS\n")) << speed;
  EXPECT_EQ(speed.find(" NPS\n") + 5, speed.size()) << speed;
  EXPECT_NE(RunPerft(start, 3).find("\n9322 Total Nodes at Depth = 3\n8902 Leaf Nodes at Depth = 3\n"), std::string::npos);
}

// (Mate and stalemate count nothing: see the perft suite's last line.)
TEST(PerfT, PositionsWithoutOneKingPerSideAreRefused) {
  for (const SquareSet extraKing : {SquareSet{0}, Bit("a1")}) {
    LoadPosition(extraKing ? "4k3/8/8/8/8/8/8/7K w - -" : "8/8/8/8/8/8/8/4K3 w - -");
    MainBoard.WhiteKing |= extraKing;
    testing::internal::CaptureStdout();
    const PerfT perft(2);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Starting PerfT test \nERROR: PerfT needs exactly one king of each colour\n");
    EXPECT_EQ(perft.TotalNodes + perft.LeafNodes, 0u);
  }
}

// The king of the side not to move can be taken here; such a tree is counted by making every
// move, as it was before the legality test existed (counts of that run).
TEST(PerfT, PositionWithTheSideNotToMoveInCheckIsCountedByMakingTheMoves) {
  LoadPosition("4k3/8/8/8/8/8/8/4RK2 w - -");
  PerfT perft;
  perft.PerformanceTest(MainBoard.SideToMove, 3, MainBoard, MainBoard.CastleFlags);
  EXPECT_EQ(perft.TotalNodes, 1184u);
  EXPECT_EQ(perft.LeafNodes, 1106u);
}

}  // namespace
