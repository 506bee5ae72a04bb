// The node budget: the check made at poll points, its extension, and the node-rate measurement
// that turns milliseconds into nodes.
#include "search/SearchRoutines.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include "engine/Clock.h"
#include "engine/MatchLog.h"
#include "engine/Status.h"
#include "search/ClockLimits.h"
#include "search/SearchEvents.h"
#include "search/TimeUnits.h"

using namespace SearchTime;

namespace {
// A rate below the floor is a stalled search (paused, waiting for memory), not the machine.
int FlooredRate(std::int64_t nodes, int elapsedMs) { return std::max(MinNodesPerSecond, NodeRateMs(nodes, elapsedMs)); }
}  // namespace

bool SearchRoutines::CheckBudget(bool wordRead) {
  if (MainStatus.Analyze) {
    AnalysisPoll poll;
    poll.Centiseconds = ElapsedMs() / CentisecondMs;
    poll.Nodes = TotalNodes();
    poll.Depth = IterationDepth;
    poll.MovesLeft = RootMoveCount - RootMoveIndex;
    poll.MoveCount = RootMoveCount;
    poll.CommandRead = wordRead;
    SearchEvents::AnalysisPolled(poll);
    PollCountdown = InitMoveTimer();
    return true;
  }
  // Until the first iteration is done there is no move to play: a budget too small for it (a few
  // nodes on a slow node clock) lets it finish instead of ending the search without a move.
  if (MainStatus.Pondering || IterationDepth <= 1) {
    PollCountdown = InitMoveTimer();
    return true;
  }
  if (ClockRuns() ? !CheckClock() : !CheckNodeBudget()) return false;
  PollCountdown = InitMoveTimer();
  return true;
}

// A move timed by the clock is timed by the clock alone: a node-rate estimate measured on a slow
// moment (a first search that waited for memory, a paused process, a busy machine) would
// otherwise cut every later move short. Past the planned time the root finishes the move it is on
// and starts no other; at the hard limit the search unwinds.
bool SearchRoutines::CheckClock() {
  if (HardLimitReached()) {
    LogPrintf("Hard time limit of %d ms reached after %d ms\n", HardLimitMs, ClockElapsedMs());
    StopSearch = 1;
    return false;
  }
  if (ClockElapsedMs() < BudgetMs()) return true;
  if (NpsMeasured == 0) {   // the rate at the moment the plan ran out, for the log and the front end
    MeasureNodeRate(true);
    NpsMeasured = 1;
  }
  return OverBudget(false);
}

// The node budget where no clock runs (benchmarks with a fixed time): the time plan converted to
// nodes at the estimated rate.
bool SearchRoutines::CheckNodeBudget() {
  if (NpsMeasured == 0) {
    if (BudgetNodes() > NodesPerMove) {
      MeasureNodeRate(true);
      NpsMeasured = 1;
      if (BudgetNodes() > NodesPerMove && !OverBudget(false)) return false;
    }
  } else if (BudgetNodes() > NodesPerMove) {
    if (!OverBudget(true)) return false;
  } else if (BudgetNodes() >= MainStatus.EmergencyTimeThreshold) {
    StopSearch = 1;
    return false;
  }
  return true;
}

// Checked at fixed node intervals whatever the clock says, so that where it stops depends on the
// node count alone. The first iteration always completes: it is the move there is to play.
bool SearchRoutines::NodeLimitReached() const {
  return NodeLimit > 0 && IterationDepth > 1 && !MainStatus.Pondering && TotalNodes() >= NodeLimit;
}

int SearchRoutines::BudgetMs() const { return MainStatus.TimePerMove < HardLimitMs ? MainStatus.TimePerMove : HardLimitMs; }

void SearchRoutines::SetClockLimits(int hardLimitMs) {
  ClockLimited = 1;
  ClockStartMs = MainStatus.StartTime;
  HardLimitMs = hardLimitMs > 0 ? hardLimitMs : 0;
  LogPrintf(" Hard time limit = %d ms   Soft time limit = %d ms\n", HardLimitMs, SoftLimitMs());
}

bool SearchRoutines::ClockRuns() const {
  const Status& s = MainStatus;
  return ClockLimited && !s.FD && !s.Bench && !s.Analyze && !s.Pondering;
}

int SearchRoutines::ClockElapsedMs() const { return ClockNowMs() - ClockStartMs; }

// The node budget and the clock's limits count from now; the node rate, measured over the whole
// search, stays as it is.
void SearchRoutines::StartClockNow() {
  ClockStartMs = ClockNowMs();
  BudgetNodeBase = TotalNodes();
  LogPrintf("Clock started after %lld nodes\n", static_cast<long long>(BudgetNodeBase));
}

// A fixed time per move is used up to its hard limit. A clock's share ends at the planned time, or
// at half the hard limit when that comes first: an iteration takes at least as long as all before
// it, so one started later would mostly be cut off by the hard limit.
int SearchRoutines::SoftLimitMs() const {
  if (MainStatus.ST) return HardLimitMs;
  const int planned = MainStatus.TimePerMove > 0 ? MainStatus.TimePerMove : 0;
  return planned < HardLimitMs / 2 ? planned : HardLimitMs / 2;
}

// Only once an iteration has completed is there a move to play instead.
bool SearchRoutines::HardLimitReached() const {
  return IterationDepth > 1 && ClockRuns() && ClockElapsedMs() >= HardLimitMs;
}

bool SearchRoutines::SoftLimitReached() const { return ClockRuns() && ClockElapsedMs() >= SoftLimitMs(); }

bool SearchRoutines::OverBudget(bool emergencyTest) {
  // A fixed time per move is never extended: stop at once.
  if (MainStatus.ST) {
    TimeUp = StopSearch = 1;
    return false;
  }
  // A root score falling well below the last iteration's buys one extension; otherwise the root
  // finishes the move it is on and starts no other.
  if (FailingLow && !TimerExtended) ExtendBudget();
  else TimeUp = 1;
  if (emergencyTest && BudgetNodes() >= MainStatus.EmergencyTimeThreshold) {
    StopSearch = 1;
    return false;
  }
  return true;
}

void SearchRoutines::ExtendBudget() {
  auto doubleAll = [this] {
    NodesPerMove = SaturateInt(2LL * NodesPerMove);
    MainStatus.TimePerMove = SaturateInt(2LL * MainStatus.TimePerMove);
    MainStatus.EmergencyTimeThreshold = SaturateInt(2LL * MainStatus.EmergencyTimeThreshold);
  };
  doubleAll();
  TimerExtended = 1;
  LogPrintf("Timer Extended - Failing Low\n");
  if (TimeUp) {
    doubleAll();
    TimeUp = 0;
  }
}

void SearchRoutines::MeasureNodeRate(bool inSearch) {
  Status& s = MainStatus;
  if (s.NodeClockRate > 0) return;   // the node clock's rate is given, not measured
  // Milliseconds, not whole seconds: rounding 1.4 s down to 1 would overstate the rate by 40 %, and
  // moves shorter than half a second would never be measured at all.
  const int elapsedMs = ElapsedMs();
  const float seconds = static_cast<float>(elapsedMs) / MsPerSecond;
  LogPrintf(inSearch ? "Time Consumption for first half of search was %f \n"
                     : "Time Consumption for first 7 ply was %f \n",
            static_cast<double>(seconds));
  if (elapsedMs < MinRateMeasureMs) return;
  LogPrintf("Current TimerPerMove is %d\n", s.TimePerMove);
  LogPrintf("Previous NPS was %d\n", s.NodesPerSecond);
  LogPrintf("Previous NodesPerMove was %d\n", NodesPerMove);
  LogPrintf("Nodes for the first 7 ply %lld\n", static_cast<long long>(TotalNodes()));
  s.NodesPerSecond = FlooredRate(TotalNodes(), elapsedMs);
  NodesPerMove = std::max(1, NodesForMilliseconds(s.NodesPerSecond, s.TimePerMove));
  if (inSearch) SearchEvents::NodeRateMeasured(s.NodesPerSecond, elapsedMs);
  LogPrintf(" Dynamic Nodes Per Second = %d\n", s.NodesPerSecond);
  s.EmergencyTimeThreshold = SaturateInt(2LL * NodesPerMove);
  LogPrintf(" NodesPeMove after Dynamic Adjustment = %d   Emergency Threshold = %d\n", NodesPerMove,
            s.EmergencyTimeThreshold);
}

// Every timed move long enough to time says how fast the machine searches now, up or down. Only
// the poll intervals and the time estimates of the progress lines read the rate: no move's time
// depends on it, and a floor keeps a stalled search from making the polls needlessly dense.
void SearchRoutines::MeasureMoveNodeRate() {
  Status& s = MainStatus;
  if (s.NodeClockRate > 0) return;   // the node clock's rate is given, not measured
  const int elapsedMs = ElapsedMs();
  if (elapsedMs < MinRateMeasureMs || TotalNodes() <= 0) return;
  s.NodesPerSecond = FlooredRate(TotalNodes(), elapsedMs);
  LogPrintf("Node rate of this move = %d (%lld nodes in %d ms)\n", s.NodesPerSecond,
            static_cast<long long>(TotalNodes()), elapsedMs);
}
