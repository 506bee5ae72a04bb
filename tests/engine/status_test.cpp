// The status record: what initVars resets for a new game and what it keeps.
#include <gtest/gtest.h>

#include "engine/Status.h"

namespace {

TEST(StatusTest, InitVarsResetsTheGameAndKeepsTheSession) {
  Status s;
  EXPECT_EQ(s.FileA, 0u);   // masks exist only after initVars or InitMasks
  s.NodesPerSecond = 777;
  s.xboard = s.Force = s.Analyze = s.KeepRunning = s.Pondering = 1;
  s.TimeLeft = 5000;
  s.TimeInc = 3;
  s.OpponentToMove = 0; s.PERFT = 1; s.Bench = 2; s.SATrain = 1; s.Post = 1; s.Mimic = 2;
  s.DoTestSuite = 1; s.PEV = 1; s.SelfPlay = 1; s.Trace = 1; s.GameInProgress = 0; s.MoveNumber = 40; s.MaxPly = 12;
  s.initVars();
  EXPECT_EQ(s.NodesPerSecond, 777);
  EXPECT_EQ(s.xboard + s.Force + s.Analyze + s.KeepRunning + s.Pondering, 5);
  EXPECT_TRUE(s.TimeLeft == 5000 && s.TimeInc == 3);
  EXPECT_EQ(s.PERFT + s.Bench + s.SATrain + s.Post + s.Mimic + s.DoTestSuite + s.PEV + s.SelfPlay + s.Trace + s.MaxPly, 0);
  EXPECT_TRUE(s.OpponentToMove == 1 && s.GameInProgress == 1 && s.MoveNumber == 1);
  EXPECT_EQ(s.LightSquares | s.DarkSquares, ~0ULL);
  EXPECT_EQ(s.LightSquares & s.DarkSquares, 0ULL);
  EXPECT_EQ(s.Corners, 0x8100000000000081ULL);
}

TEST(StatusTest, UciLimitsSurviveInitVarsOnlyInUciMode) {
  for (int uci = 0; uci <= 1; uci++) {
    Status s;
    s.UCIMode = static_cast<std::uint8_t>(uci);
    s.FD = 5; s.ST = 2000; s.UseBook = 0; s.TimePerMove = 300; s.MovesPerSession = 40; s.DefaultMovesPerSession = 7;
    s.initVars();
    EXPECT_EQ(s.FD, uci ? 5 : 0);
    EXPECT_EQ(s.ST, uci ? 2000 : 0);
    EXPECT_EQ(s.UseBook, uci ? 0 : 1);
    EXPECT_EQ(s.TimePerMove, uci ? 300 : 0);
    EXPECT_EQ(s.MovesPerSession, uci ? 40 : 0);
    EXPECT_EQ(s.DefaultMovesPerSession, uci ? 7 : 50);
  }
}

}  // namespace
