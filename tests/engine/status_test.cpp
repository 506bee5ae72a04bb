// The status record: what initVars resets for a new game and what it keeps.
#include <gtest/gtest.h>

#include "engine/Status.h"

namespace {

// A new game clears the last one's modes but keeps the session's protocol, clock and node rate;
// the limits a UCI "go" set survive it only in UCI mode.
TEST(StatusTest, InitVarsResetsTheGameAndKeepsTheSession) {
  for (int uci = 0; uci <= 1; uci++) {
    Status s;
    s.UCIMode = static_cast<std::uint8_t>(uci);
    s.NodesPerSecond = 777;
    s.xboard = s.Force = s.Analyze = s.KeepRunning = s.Pondering = 1;
    s.TimeLeft = 5000;
    s.PERFT = s.Bench = s.Post = s.DoTestSuite = s.PEV = s.SelfPlay = s.Trace = 1;
    s.MoveNumber = 40;
    s.FD = 5; s.ST = 2000; s.UseBook = 0; s.TimePerMove = 300; s.MovesPerSession = 40;
    s.initVars();
    EXPECT_TRUE(s.NodesPerSecond == 777 && s.TimeLeft == 5000 && s.MoveNumber == 1);
    EXPECT_EQ(s.xboard + s.Force + s.Analyze + s.KeepRunning + s.Pondering, 5);
    EXPECT_EQ(s.PERFT + s.Bench + s.Post + s.DoTestSuite + s.PEV + s.SelfPlay + s.Trace, 0);
    EXPECT_EQ(s.FD + s.ST + s.TimePerMove + s.MovesPerSession, uci ? 5 + 2000 + 300 + 40 : 0);
    EXPECT_EQ(s.UseBook, uci ? 0 : 1);
    EXPECT_EQ(s.LightSquares ^ s.DarkSquares, ~0ULL);
  }
}

}  // namespace
