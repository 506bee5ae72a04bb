// The budget of one move: time shares, fixed time in its two units, the wall-clock limits of short
// clocks, and the check made at poll points; on an injected clock, that nothing before a timed move
// shortens it and that a node limit counts nodes whatever the clock does.
#include "engine/Clock.h"
#include "search/SearchConstants.h"
#include "search/SearchTestSupport.h"

using namespace searchtest;

namespace {

// One legal move (Kg1): the search ends after its first iteration, so only the budget matters.
const char OneMoveFen[] = "7k/8/8/8/8/8/r7/7K w - - 0 1";
const char MiddleGameFen[] = "r1bqk2r/pp2bppp/2p5/3pP3/P2Q1P2/2N1B3/1PP3PP/R4RK1 b kq - 0 1";

class Budget : public ::testing::Test {
protected:
  void SetUp() override { Start(OneMoveFen); }
  void TearDown() override {
    MainStatus.xboard = MainStatus.UCIMode = 0;
    MainStatus.ST = MainStatus.TimeLeft = MainStatus.TimeInc = MainStatus.TimeIncMs = MainStatus.MovesPerSession = 0;
    MainStatus.MoveNumber = 1;
    Search.STInMilliseconds = 0;
  }
  static void Start(const char* fen) {
    MainStatus.UCIMode = 0;
    SetPosition(fen);
    MainStatus.xboard = 1;   // neither the console report nor the UCI rules
  }
};

// The controls as the protocols leave them in the status record, and the plan made of them
// (-1: not checked).
TEST_F(Budget, PlanOfEachKindOfControl) {
  const struct {
    const char* control; int timeLeft, increment, movesPerSession, moveNumber, st; bool milliseconds, uci;
    int timePerMove, nodesPerMove, emergency, hardLimit, softLimit;
  } cases[] = {
      {"sudden death, a long think every tenth move", 300000, 0, 0, 30, 0, false, false, 17500, 21000000, 42000000, 34985, 17492},
      {"go wtime 2000 movestogo 1", 2000, 0, 1, 1, 0, false, false, 950, -1, -1, 985, 492},
      {"tiny clock with increment: at most half of it", 100, 1, 0, 1, 0, false, false, 50, 1200 * 50, -1, 45, 22},
      {"st 2: nine tenths of the seconds", 0, 0, 0, 1, 2, false, false, 1800, 1200 * 1800, -1, -1, -1},
      {"st 1: seconds, not milliseconds", 0, 0, 0, 1, 1, false, false, -1, -1, -1, 990, -1},
      {"movetime 500: used to its end less the move overhead", 0, 0, 0, 1, 500, true, false, 500, -1, -1, 490, 490},
      {"movetime 50: a tenth of it kept back at most", 0, 0, 0, 1, 50, true, false, 50, -1, -1, 45, 45},
      {"two weeks of analysis: no overflow", 0, 0, 0, 1, 1209600000, true, false, -1, -1, -1, -1, -1}};
  auto check = [](const char* what, long long actual, long long expected) {
    if (expected >= 0) { EXPECT_EQ(actual, expected) << what; }
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.control);
    Start(OneMoveFen);
    MainStatus.TimeLeft = c.timeLeft;
    MainStatus.TimeInc = c.increment;
    MainStatus.TimeIncMs = c.increment * MsPerSecond;
    MainStatus.MovesPerSession = c.movesPerSession;
    MainStatus.MoveNumber = c.moveNumber;
    MainStatus.ST = c.st;
    MainStatus.UCIMode = c.uci;
    Search.STInMilliseconds = c.milliseconds;
    MainStatus.xboard = &c != cases;   // the first in console mode, which reports the plan
    const SearchResult r = SearchTo(0);
    EXPECT_EQ(r.Move, "h1g1");
    if (&c == cases) { EXPECT_NE(r.Output.find("Time Per Move = 17500\nTime Left = 300000\nDefaultMovesPerSession = 50\n"), r.Output.npos) << r.Output; }
    check("time per move", MainStatus.TimePerMove, c.timePerMove);
    check("nodes per move", Search.NodesPerMove, c.nodesPerMove);
    check("emergency threshold", MainStatus.EmergencyTimeThreshold, c.emergency);
    check("hard limit", Search.HardLimitMs, c.hardLimit);
    check("soft limit", Search.SoftLimitMs(), c.softLimit);
    EXPECT_GT(Search.NodesPerMove, 0);
    EXPECT_GT(MainStatus.EmergencyTimeThreshold, Search.NodesPerMove);
  }
}

// The capture-search mode ends a move that stands early, so each sudden-death move is planned a
// larger share of the time left; the default mode keeps its share.
TEST_F(Budget, TheCaptureSearchModePlansALargerShareOfTheTimeLeft) {
  for (const bool captureSearch : {false, true}) {
    SCOPED_TRACE(captureSearch ? "capture-search mode" : "default mode");
    Start(OneMoveFen);
    MainStatus.TimeLeft = 300000;
    MainStatus.MoveNumber = 31;   // neither a long think nor the book's exit
    Search.SetCaptureSearch(captureSearch);
    SearchTo(0);
    Search.SetCaptureSearch(false);
    EXPECT_EQ(MainStatus.TimePerMove, 300000 / (captureSearch ? SearchTime::StableSuddenDeathMoves : SearchTime::SuddenDeathMoves));
  }
}

TEST_F(Budget, NegativeFixedDepthIsRejectedAndAFixedDepthHasNoClock) {
  MainStatus.TimeLeft = 60000;
  const SearchResult r = SearchTo(-5);
  EXPECT_EQ(r.Output.rfind("ERROR: ", 0), 0u) << r.Output;
  EXPECT_EQ(r.Move, "h1g1") << "the move is still played";
  Start(OneMoveFen);
  MainStatus.TimeLeft = 100;
  SearchTo(3);
  EXPECT_FALSE(Search.ClockLimited);
}

// On a position with choices and no time to spare, the first iteration's move is played, not lost.
TEST_F(Budget, NoTimeToSpareOnARealPosition) {
  Start(MiddleGameFen);
  MainStatus.xboard = 0;   // console mode: the search reads no input (the test's may have ended)
  MainStatus.TimeLeft = 30;
  const ChessBoard before = MainBoard;
  EXPECT_EQ(SearchTo(0).Depth, 1);
  EXPECT_NE(MainBoard.BlackPieces, before.BlackPieces) << "no move was played";
}

// The check at poll points once the node rate is measured: a budget of 100 nodes, an emergency
// threshold of 1000, and for clock-limited searches a hard limit of 500 ms on a clock started a
// second before.
class Poll : public Budget {
protected:
  void TearDown() override {
    Search.ClockLimited = 0;
    MainStatus.Pondering = 0;
    Budget::TearDown();
  }
  static void Reset(int nodes, bool clock) {
    Search.InitValues();
    Search.NpsMeasured = 1;
    Search.NodesPerMove = 100;
    MainStatus.EmergencyTimeThreshold = 1000;
    Search.Nodes = nodes;
    Search.QNodes = Search.FailingLow = 0;
    Search.ClockLimited = clock;
    Search.HardLimitMs = 500;
    Search.IterationDepth = 2;
    MainStatus.StartTime = Search.ClockStartMs = NowMs() - 1000;
  }
};

// Budget stops never abort: the search plays the best move found so far.
TEST_F(Poll, WhenTheSearchStops) {
  const struct { const char* what; int nodes; bool clock, failingLow; int st, iterations; bool pondering, goesOn, timeUp, stop; } cases[] = {
      {"over the node budget: the root finishes its move", 150, false, false, 0, 2, false, true, true, false},
      {"a fixed time over budget: at once, failing low or not", 150, false, true, 5, 2, false, false, true, true},
      {"the emergency threshold: at once", 1000, false, false, 0, 2, false, false, true, true},
      {"past the hard limit: at once", 50, true, false, 0, 2, false, false, false, true},
      {"past the hard limit with no move yet to play", 50, true, false, 0, 1, false, true, false, false},
      {"past the hard limit while pondering: the clock does not run", 50, true, false, 0, 2, true, true, false, false}};
  for (const auto& c : cases) {
    Reset(c.nodes, c.clock);
    Search.FailingLow = c.failingLow;
    MainStatus.ST = c.st;
    Search.IterationDepth = c.iterations;
    MainStatus.Pondering = c.pondering;
    EXPECT_EQ(Search.CheckBudget(false), c.goesOn) << c.what;
    EXPECT_EQ(static_cast<bool>(Search.TimeUp), c.timeUp) << c.what;
    EXPECT_EQ(static_cast<bool>(Search.StopSearch), c.stop) << c.what;
    EXPECT_FALSE(Search.Aborted || Search.TimerExtended) << c.what;
    if (c.goesOn) { EXPECT_EQ(Search.PollCountdown, Search.InitMoveTimer()) << c.what; }
  }
}

// A clock that runs with the search's node count: NodesPerMs nodes make a millisecond, so a
// crawling search is a matter of setting the rate, and a pause adds its milliseconds once
// PauseAtNodes nodes are searched. Time never runs backwards when the count starts again.
struct NodeDrivenClock {
  static inline std::int64_t NodesPerMs = 1000;
  static inline std::int64_t PauseAtNodes = -1;
  static inline int PauseMs = 0;
  static inline std::int64_t LastNodes = 0;
  static inline double Ms = 0;
  static int Now() {
    const std::int64_t n = Search.TotalNodes();
    Ms += static_cast<double>(n >= LastNodes ? n - LastNodes : n) / static_cast<double>(NodesPerMs);
    LastNodes = n;
    if (PauseAtNodes >= 0 && n >= PauseAtNodes) {
      Ms += PauseMs;
      PauseAtNodes = -1;
    }
    return static_cast<int>(Ms);
  }
};

class InjectedClock : public Budget {
protected:
  void SetUp() override {
    Budget::SetUp();
    NodeDrivenClock::NodesPerMs = FastNodesPerMs;
    NodeDrivenClock::PauseAtNodes = -1;
    NodeDrivenClock::LastNodes = Search.TotalNodes();
    SetClockSource(&NodeDrivenClock::Now);
  }
  void TearDown() override {
    SetClockSource(nullptr);
    Search.NodeLimit = 0;
    Budget::TearDown();
  }
  static constexpr std::int64_t FastNodesPerMs = 1000;   // a machine searching a million nodes a second

  struct Move { int depth; int elapsedMs; std::int64_t nodes; std::string move; };
  // A console move on 6 s of sudden death from a cleared table, keeping the node-rate estimate
  // that earlier searches left.
  static Move TimedMove(int timeLeftMs = 6000) {
    const int estimate = MainStatus.NodesPerSecond;
    Start(MiddleGameFen);
    MainStatus.NodesPerSecond = estimate;
    MainStatus.xboard = 0;   // console mode: the search reads no input
    MainStatus.TimeLeft = timeLeftMs;
    const int start = NowMs();
    const SearchResult r = SearchTo(0);
    return {r.Depth, NowMs() - start, r.Nodes, r.Move};
  }
};

// A first search that crawls (a table touched for the first time, a busy machine) or is paused
// for a second leaves the next move the same time and depth as a move with nothing before it;
// the rate estimate follows the machine both ways and never falls below its floor.
TEST_F(InjectedClock, NothingBeforeATimedMoveShortensIt) {
  const Move alone = TimedMove();
  EXPECT_GT(alone.depth, 4);
  EXPECT_GT(MainStatus.NodesPerSecond, 500000) << "measured from the move";
  const struct { const char* what; std::int64_t nodesPerMs, pauseAtNodes; int pauseMs; } before[] = {
      {"a first search at 2000 nodes a second", 2, -1, 0},
      {"a first search paused for a second", FastNodesPerMs, 3000, 1000},
      {"a first search paused for ten seconds at its start", FastNodesPerMs, 0, 10000}};
  for (const auto& b : before) {
    SCOPED_TRACE(b.what);
    NodeDrivenClock::NodesPerMs = b.nodesPerMs;
    NodeDrivenClock::PauseAtNodes = b.pauseAtNodes;
    NodeDrivenClock::PauseMs = b.pauseMs;
    const Move slow = TimedMove();
    EXPECT_FALSE(slow.move.empty() || slow.move == "----");
    if (b.nodesPerMs < FastNodesPerMs) { EXPECT_EQ(MainStatus.NodesPerSecond, SearchTime::MinNodesPerSecond) << "the floor"; }
    NodeDrivenClock::NodesPerMs = FastNodesPerMs;
    const Move next = TimedMove();
    EXPECT_EQ(next.depth, alone.depth);
    EXPECT_GE(next.elapsedMs, alone.elapsedMs * 9 / 10) << alone.elapsedMs << " " << alone.depth;
    EXPECT_GT(MainStatus.NodesPerSecond, 500000) << "measured up again";
  }
}

// The capture-search mode plays a best move that has stood through several iterations once half the
// plan is spent, rather than confirming it once more; the default mode spends its plan.
TEST_F(InjectedClock, TheCaptureSearchModeEndsAStandingMoveEarly) {
  for (const bool captureSearch : {false, true}) {
    SCOPED_TRACE(captureSearch ? "capture-search mode" : "default mode");
    Search.SetCaptureSearch(captureSearch);
    const Move m = TimedMove();
    Search.SetCaptureSearch(false);
    const int planMs = Search.SoftLimitMs();
    if (captureSearch) {
      EXPECT_LT(m.elapsedMs, planMs) << "the move stood: played before the plan ran out";
      EXPECT_GE(m.elapsedMs * 100, planMs * SearchTime::StableMovePercent) << "but not before half of it";
    } else {
      EXPECT_GE(m.elapsedMs, planMs);
    }
  }
}

// "go nodes": the same count and move from the same table state whether the machine crawls or
// races, and never more than a tenth over the limit.
TEST_F(InjectedClock, ANodeLimitCountsNodesWhateverTheClock) {
  constexpr std::int64_t Limit = 30000;
  std::vector<SearchResult> results;
  for (const std::int64_t nodesPerMs : {FastNodesPerMs, std::int64_t{1}, FastNodesPerMs}) {
    NodeDrivenClock::NodesPerMs = nodesPerMs;
    Start(MiddleGameFen);
    MainStatus.xboard = 0;
    MainStatus.ST = 1209600000;   // as "go nodes" alone sets it: no clock to speak of
    Search.STInMilliseconds = 1;
    Search.NodeLimit = Limit;
    results.push_back(SearchTo(0));
  }
  for (const SearchResult& r : results) {
    EXPECT_GE(r.Nodes, Limit);
    EXPECT_LE(r.Nodes, Limit + Limit / 10);
    EXPECT_EQ(r.Nodes, results[0].Nodes);
    EXPECT_EQ(r.Move, results[0].Move);
  }
}

}  // namespace
