// The budget of one move: time shares, fixed time in its two units, conversion to nodes, and the
// check made at poll points.
#include "search/SearchTestSupport.h"

using namespace searchtest;

namespace {

// One legal move (Kg1): the search ends after its first iteration, so only the budget matters.
const char OneMoveFen[] = "7k/8/8/8/8/8/r7/7K w - - 0 1";

class Budget : public ::testing::Test {
protected:
  void SetUp() override {
    SetPosition(OneMoveFen);
    MainStatus.xboard = 1;   // neither console report nor UCI rules
    MainStatus.TimeLeft = 0;
    MainStatus.TimeInc = 0;
    MainStatus.MovesPerSession = 0;
    MainStatus.ST = 0;
  }
  void TearDown() override {
    MainStatus.xboard = MainStatus.UCIMode = 0;
    MainStatus.ST = MainStatus.TimeLeft = MainStatus.TimeInc = MainStatus.MovesPerSession = 0;
    MainStatus.MoveNumber = 1;
    Search.STInMilliseconds = 0;
  }
  std::string Think() {
    SquareSet from = 0, to = 0;
    char promotion = 0;
    testing::internal::CaptureStdout();
    Search.ProgressiveDeepening(MainBoard, 0, &from, &to, &promotion);
    return testing::internal::GetCapturedStdout();
  }
};

TEST_F(Budget, SuddenDeathLongThinkEveryTenthMove) {
  MainStatus.TimeLeft = 300000;
  MainStatus.MoveNumber = 30;
  Think();
  EXPECT_EQ(MainStatus.TimePerMove, 17500);
  EXPECT_EQ(Search.NodesPerMove, 21000000);
  EXPECT_EQ(MainStatus.EmergencyTimeThreshold, 42000000);
}

TEST_F(Budget, SuddenDeathWithIncrement) {
  MainStatus.TimeLeft = 15000;
  MainStatus.TimeInc = 2;
  MainStatus.MoveNumber = 31;
  Think();
  EXPECT_EQ(MainStatus.TimePerMove, 1500);
  EXPECT_EQ(Search.NodesPerMove, 1200 * 1500);
}

TEST_F(Budget, ShortSessionPlansHalfAShare) {
  MainStatus.MovesPerSession = 2;
  MainStatus.TimeLeft = 10000;
  Think();
  EXPECT_EQ(MainStatus.TimePerMove, 2375);
}

TEST_F(Budget, JustOutOfTheBookThinksLonger) {
  MainStatus.TimeLeft = 300000;
  MainStatus.MoveNumber = 5;
  Think();
  EXPECT_EQ(MainStatus.TimePerMove, 15000);
}

TEST_F(Budget, FixedTimeInSecondsPlansNineTenths) {
  MainStatus.ST = 2;   // "-st 2" or xboard "st 2"
  Think();
  EXPECT_EQ(MainStatus.TimePerMove, 1800);
  EXPECT_EQ(Search.NodesPerMove, 1200 * 1800);
}

TEST_F(Budget, FixedTimeInMillisecondsIsTakenAsGiven) {
  MainStatus.ST = 500;   // UCI "movetime 500"
  Search.STInMilliseconds = 1;
  Think();
  EXPECT_EQ(MainStatus.TimePerMove, 500);
  Search.STInMilliseconds = 0;
  MainStatus.xboard = 0;
  MainStatus.UCIMode = 1;   // in UCI play ST only ever holds milliseconds
  Think();
  EXPECT_EQ(MainStatus.TimePerMove, 500);
}

TEST_F(Budget, FixedSecondsLetTheSearchGoDeeperThanOneIteration) {
  SetPosition("r1bqk2r/pp2bppp/2p5/3pP3/P2Q1P2/2N1B3/1PP3PP/R4RK1 b kq - 0 1");
  MainStatus.xboard = 1;
  MainStatus.ST = 1;
  Think();
  EXPECT_GT(Search.IterationDepth, 3) << "a second is not a millisecond";
}

TEST_F(Budget, HugeAnalysisTimeDoesNotOverflowTheNodeBudget) {
  MainStatus.ST = 1209600000;
  Search.STInMilliseconds = 1;
  Think();
  EXPECT_GT(Search.NodesPerMove, 0);
  EXPECT_GT(MainStatus.EmergencyTimeThreshold, Search.NodesPerMove);
}

TEST_F(Budget, ConsoleModeReportsThePlan) {
  MainStatus.xboard = 0;
  MainStatus.TimeLeft = 300000;
  MainStatus.MoveNumber = 30;
  const std::string out = Think();
  EXPECT_NE(out.find("Time Per Move = 17500\nTime Left = 300000\nDefaultMovesPerSession = 50\n"), std::string::npos)
      << out;
}

TEST_F(Budget, NegativeFixedDepthIsRejected) {
  MainStatus.FD = -5;
  MainStatus.TimeLeft = 60000;
  const std::string out = Think();
  EXPECT_EQ(MainStatus.FD, 0);
  EXPECT_EQ(out.rfind("ERROR: ", 0), 0u) << out;
  EXPECT_EQ(MainBoard.WhiteKing, SquareBit(6)) << "the move is still played";
}

TEST_F(Budget, PollIntervalFollowsTheNodeRate) {
  MainStatus.NodesPerSecond = 800000;
  EXPECT_EQ(Search.InitMoveTimer(), 400000);
  MainStatus.Analyze = 1;
  EXPECT_EQ(Search.InitMoveTimer(), 100000);
  MainStatus.Analyze = 0;
}

// The check at poll points, after the node rate has been measured.
class PollBudget : public Budget {
protected:
  void SetUp() override {
    Budget::SetUp();
    Search.InitValues();
    Search.NpsMeasured = 1;
    Search.NodesPerMove = 100;
    MainStatus.EmergencyTimeThreshold = 1000;
    Search.Nodes = 150;
    Search.QNodes = 0;
    Search.FailingLow = 0;
  }
};

TEST_F(PollBudget, OverBudgetLetsTheRootFinishItsMove) {
  EXPECT_TRUE(Search.CheckBudget(false));
  EXPECT_TRUE(Search.TimeUp);
  EXPECT_FALSE(Search.StopSearch);
  EXPECT_EQ(Search.PollCountdown, MainStatus.NodesPerSecond / 2);
}

TEST_F(PollBudget, EmergencyThresholdStopsAtOnce) {
  Search.Nodes = 1000;
  EXPECT_FALSE(Search.CheckBudget(false));
  EXPECT_TRUE(Search.StopSearch);
}

TEST_F(PollBudget, FailingLowBuysOneExtension) {
  Search.FailingLow = 1;
  MainStatus.TimePerMove = 50;
  EXPECT_TRUE(Search.CheckBudget(false));
  EXPECT_FALSE(Search.TimeUp);
  EXPECT_TRUE(Search.TimerExtended);
  EXPECT_EQ(Search.NodesPerMove, 200);
  EXPECT_EQ(MainStatus.TimePerMove, 100);
  EXPECT_EQ(MainStatus.EmergencyTimeThreshold, 2000);
  Search.Nodes = 250;   // over the extended budget: no second extension
  EXPECT_TRUE(Search.CheckBudget(false));
  EXPECT_TRUE(Search.TimeUp);
}

TEST_F(PollBudget, FixedTimeStopsAtOnceWhenOverBudget) {
  MainStatus.ST = 5;
  Search.FailingLow = 1;
  EXPECT_FALSE(Search.CheckBudget(false));
  EXPECT_TRUE(Search.TimeUp);
  EXPECT_TRUE(Search.StopSearch);
  EXPECT_FALSE(Search.TimerExtended);
}

}  // namespace
