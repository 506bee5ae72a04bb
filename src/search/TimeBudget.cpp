// The node budget: the check made at poll points, its extension, and the node-rate measurement
// that turns milliseconds into nodes.
#include "search/SearchRoutines.h"

#include <cstdint>
#include <limits>
#include "engine/Clock.h"
#include "engine/MatchLog.h"
#include "engine/Status.h"
#include "search/ClockLimits.h"
#include "search/SearchEvents.h"
#include "search/TimeUnits.h"

using namespace SearchTime;

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
  // The nodes trust a rate estimate and let the root finish its move; the clock has the last word.
  if (HardLimitReached()) {
    LogPrintf("Hard time limit of %d ms reached after %d ms\n", HardLimitMs, ClockElapsedMs());
    if (NpsMeasured == 0) {   // the estimate was too high: correct it for the next move
      MeasureNodeRate(false);
      NpsMeasured = 1;
    }
    StopSearch = 1;
    return false;
  }
  PollCountdown = InitMoveTimer();
  return true;
}

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
  s.NodesPerSecond = NodeRateMs(TotalNodes(), elapsedMs);
  NodesPerMove = NodesForMilliseconds(s.NodesPerSecond, s.TimePerMove);
  if (inSearch) SearchEvents::NodeRateMeasured(s.NodesPerSecond, elapsedMs);
  LogPrintf(" Dynamic Nodes Per Second = %d\n", s.NodesPerSecond);
  s.EmergencyTimeThreshold = SaturateInt(2LL * NodesPerMove);
  LogPrintf(" NodesPeMove after Dynamic Adjustment = %d   Emergency Threshold = %d\n", NodesPerMove,
            s.EmergencyTimeThreshold);
}
