// The budget of one move: time shares, fixed time in its two units, conversion to nodes, and the
// check made at poll points.
#include "engine/Clock.h"
#include "search/ClockLimits.h"
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
  SetPosition(OneMoveFen);   // the move was played; a search of more than one move would read input
  MainStatus.ST = 500;
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

TEST_F(Budget, PollIntervalFollowsTheNodeRateAndTheBudget) {
  MainStatus.NodesPerSecond = 800000;
  Search.NodesPerMove = 1 << 30;
  EXPECT_EQ(Search.InitMoveTimer(), 4000) << "five milliseconds' worth";
  Search.NodesPerMove = 8000;    // a short move looks at the clock four times at least
  EXPECT_EQ(Search.InitMoveTimer(), 2000);
  Search.NodesPerMove = 100;     // but not after every few nodes
  EXPECT_EQ(Search.InitMoveTimer(), 1000);
  MainStatus.NodesPerSecond = 1000;
  EXPECT_EQ(Search.InitMoveTimer(), 500) << "half a second's worth";
  MainStatus.NodesPerSecond = 800000;
  MainStatus.Analyze = 1;
  EXPECT_EQ(Search.InitMoveTimer(), 100000);
  MainStatus.Analyze = 0;
}

// The clock's own limits beside the node budget, in milliseconds.
TEST(ClockLimits, MarginsAndCaps) {
  EXPECT_EQ(LagMargin(10000), 500);
  EXPECT_EQ(ClockCap(100), 50);
  EXPECT_EQ(ClockCap(40), 0) << "less than the lag margin left: nothing to spare";
  EXPECT_EQ(ClockCap(2147483647), 1073741823);
  // The hard limits are set a poll interval (5 ms) early.
  EXPECT_EQ(ClockHardLimit(300, 100), 45);
  EXPECT_EQ(ClockHardLimit(35000, 300000), 34995);
  EXPECT_EQ(ClockHardLimit(-5, 1000), 0);
  EXPECT_EQ(FixedTimeHardLimit(100), 75);
  EXPECT_EQ(FixedTimeHardLimit(30), 10);
  EXPECT_GT(FixedTimeHardLimit(1209600000), 1000000000);
  EXPECT_EQ(TimedPollInterval(1200000, 1LL << 40), 6000);
  EXPECT_EQ(TimedPollInterval(1, 0), 1);
}

TEST_F(Budget, TinyClockWithIncrementSpendsAtMostHalfOfIt) {
  MainStatus.TimeLeft = 100;   // the fallback for a large increment planned 150 ms
  MainStatus.TimeInc = 1;
  Think();
  EXPECT_EQ(MainStatus.TimePerMove, 50);
  EXPECT_EQ(Search.HardLimitMs, 45);
  EXPECT_EQ(Search.SoftLimitMs(), 22) << "a later iteration could not finish in time";
  EXPECT_EQ(Search.NodesPerMove, 1200 * 50);
}

TEST_F(Budget, HardLimitOfEachKindOfControl) {
  MainStatus.TimeLeft = 300000;
  MainStatus.MoveNumber = 30;
  Think();
  EXPECT_EQ(Search.HardLimitMs, 34995) << "the emergency time";
  EXPECT_EQ(Search.SoftLimitMs(), 34995 / 2) << "about the planned time";
  SetPosition(OneMoveFen);
  MainStatus.xboard = 1;
  MainStatus.MovesPerSession = 1;   // "go wtime 2000 movestogo 1"
  MainStatus.TimeLeft = 2000;
  Think();
  EXPECT_EQ(MainStatus.TimePerMove, 950);
  EXPECT_EQ(Search.HardLimitMs, 995);
  EXPECT_EQ(Search.SoftLimitMs(), 497);
  SetPosition(OneMoveFen);
  MainStatus.xboard = 1;
  MainStatus.ST = 500;   // "go movetime 500"
  Search.STInMilliseconds = 1;
  Think();
  EXPECT_EQ(Search.HardLimitMs, 470);
  EXPECT_EQ(Search.SoftLimitMs(), 470) << "a fixed time is used to its end";
  SetPosition(OneMoveFen);
  MainStatus.xboard = 1;
  MainStatus.ST = 1;   // "st 1": seconds
  Think();
  EXPECT_EQ(Search.HardLimitMs, 945);
}

TEST_F(Budget, FixedDepthHasNoClock) {
  MainStatus.FD = 3;
  MainStatus.TimeLeft = 100;
  Think();
  MainStatus.FD = 0;
  EXPECT_FALSE(Search.ClockLimited);
}

// With no time to spare the first iteration's move is played, not lost.
TEST_F(Budget, ClockWithoutTimeToSparePlaysTheFirstIterationsMove) {
  SetPosition("r1bqk2r/pp2bppp/2p5/3pP3/P2Q1P2/2N1B3/1PP3PP/R4RK1 b kq - 0 1");
  MainStatus.TimeLeft = 30;   // console mode: the search reads no input
  const ChessBoard before = MainBoard;
  Think();
  EXPECT_EQ(Search.IterationDepth, 1);
  EXPECT_NE(MainBoard.BlackPieces, before.BlackPieces) << "no move was played";
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
  EXPECT_EQ(Search.PollCountdown, Search.InitMoveTimer());
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

// The hard limit, seen at a poll: the clock started a second before, the limit is half of that.
class HardLimit : public PollBudget {
protected:
  void SetUp() override {
    PollBudget::SetUp();
    Search.Nodes = 50;   // within the node budget: only the clock can stop the search
    Search.ClockLimited = 1;
    Search.HardLimitMs = 500;
    Search.IterationDepth = 2;
    MainStatus.StartTime = Search.ClockStartMs = NowMs() - 1000;
  }
  void TearDown() override {
    Search.ClockLimited = 0;
    MainStatus.Pondering = 0;
    PollBudget::TearDown();
  }
};

TEST_F(HardLimit, UnwindsAtOnceButKeepsTheMove) {
  Search.NpsMeasured = 0;
  EXPECT_FALSE(Search.CheckBudget(false));
  EXPECT_TRUE(Search.StopSearch);
  EXPECT_FALSE(Search.Aborted) << "an aborted search would play no move";
  EXPECT_EQ(Search.NpsMeasured, 1) << "a rate estimate that was too high is corrected";
  EXPECT_LT(MainStatus.NodesPerSecond, 1000);
}

TEST_F(HardLimit, WaitsForTheFirstIterationAndForPonderhit) {
  Search.IterationDepth = 1;   // no move yet to play instead
  EXPECT_TRUE(Search.CheckBudget(false));
  EXPECT_FALSE(Search.StopSearch);
  Search.IterationDepth = 2;
  MainStatus.Pondering = 1;    // the engine's clock does not run while it ponders
  EXPECT_TRUE(Search.CheckBudget(false));
  EXPECT_FALSE(Search.StopSearch);
  MainStatus.Pondering = 0;
  // As after "ponderhit": the limit counts from then, not from the start of the ponder search.
  MainStatus.StartTime = NowMs() - 1000000;
  Search.ClockStartMs = NowMs();
  Search.HardLimitMs = 500000;
  EXPECT_TRUE(Search.CheckBudget(false));
  EXPECT_FALSE(Search.StopSearch);
}

}  // namespace
