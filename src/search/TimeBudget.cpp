// The node budget: the check made at poll points, its extension, and the node-rate measurement
// that turns milliseconds into nodes.
#include "search/SearchRoutines.h"

#include <cstdint>
#include <limits>
#include "engine/Clock.h"
#include "engine/MatchLog.h"
#include "engine/Status.h"
#include "search/SearchReport.h"
#include "search/TimeUnits.h"

using namespace SearchTime;

bool SearchRoutines::CheckBudget(bool wordRead) {
  if (MainStatus.Analyze) {
    if (IterationDepth > AnalysisStatMinDepth && MainStatus.xboard && !wordRead)
      ReportStat01((NowMs() - MainStatus.StartTime) / CentisecondMs, TotalNodes(), IterationDepth,
                   RootMoveCount - RootMoveIndex, RootMoveCount);
    PollCountdown = InitMoveTimer();
    return true;
  }
  if (MainStatus.Pondering) {
    PollCountdown = InitMoveTimer();
    return true;
  }
  if (NpsMeasured == 0) {
    if (TotalNodes() > NodesPerMove) {
      MeasureNodeRate(true);
      NpsMeasured = 1;
      if (TotalNodes() > NodesPerMove && !OverBudget(false)) return false;
    }
  } else if (TotalNodes() > NodesPerMove) {
    if (!OverBudget(true)) return false;
  } else if (TotalNodes() >= MainStatus.EmergencyTimeThreshold) {
    StopSearch = 1;
    return false;
  }
  PollCountdown = InitMoveTimer();
  return true;
}

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
  if (emergencyTest && TotalNodes() >= MainStatus.EmergencyTimeThreshold) {
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
  const int wholeSeconds = (NowMs() - s.StartTime + MsPerSecond / 2) / MsPerSecond;
  const float seconds = static_cast<float>(wholeSeconds);
  LogPrintf(inSearch ? "Time Consumption for first half of search was %f \n"
                     : "Time Consumption for first 7 ply was %f \n",
            static_cast<double>(seconds));
  if (wholeSeconds <= 0) return;
  LogPrintf("Current TimerPerMove is %d\n", s.TimePerMove);
  LogPrintf("Previous NPS was %d\n", s.NodesPerSecond);
  LogPrintf("Previous NodesPerMove was %d\n", NodesPerMove);
  LogPrintf("Nodes for the first 7 ply %lld\n", static_cast<long long>(TotalNodes()));
  s.NodesPerSecond = NodeRate(TotalNodes(), wholeSeconds);
  NodesPerMove = NodesForMilliseconds(s.NodesPerSecond, s.TimePerMove);
  if (inSearch) ReportNodeRate(s.NodesPerSecond, seconds);
  LogPrintf(" Dynamic Nodes Per Second = %d\n", s.NodesPerSecond);
  s.EmergencyTimeThreshold = SaturateInt(2LL * NodesPerMove);
  LogPrintf(" NodesPeMove after Dynamic Adjustment = %d   Emergency Threshold = %d\n", NodesPerMove,
            s.EmergencyTimeThreshold);
}
