#pragma once
// The wall-clock limits of a timed move. The node budget converts time into nodes with an estimated
// node rate, so a wrong estimate or a long root move can overrun it; these limits are measured on
// the clock itself. Times are milliseconds; every result is at least 0.
#include <algorithm>
#include <cstdint>
#include "search/SearchConstants.h"

// What is kept back from the time left for the front end's and the operating system's lag.
inline int LagMargin(int timeLeft) {
  const std::int64_t share = std::int64_t{timeLeft} * SearchTime::LagMarginPercent / 100;
  return static_cast<int>(std::max<std::int64_t>(SearchTime::LagMarginMs, share));
}

// The most one move may take of the time left: half of it, and never the lag margin.
inline int ClockCap(int timeLeft) {
  const std::int64_t cap = std::min<std::int64_t>(timeLeft / 2, std::int64_t{timeLeft} - LagMargin(timeLeft));
  return static_cast<int>(std::max<std::int64_t>(cap, 0));
}

// The search sees a limit at its next poll, up to a poll interval late: a limit is set that much
// earlier.
inline int SeenInTime(std::int64_t limitMs) {
  return static_cast<int>(std::max<std::int64_t>(0, limitMs - SearchTime::PollGranularityMs));
}

// Hard limit of a move timed by the game clock: the emergency time, within the cap, less the
// move overhead that the front end's lag takes.
inline int ClockHardLimit(int emergencyMs, int timeLeft, int overheadMs) {
  return SeenInTime(std::int64_t{std::min(emergencyMs, ClockCap(timeLeft))} - std::max(overheadMs, 0));
}

// Hard limit of a fixed time per move: the time itself less the move overhead, of which at most a
// tenth of the time is kept back (a fixed time is meant to be used). The clock is looked at every
// few hundred nodes, so the limit is seen within a millisecond or two and the move comes between
// the time less the overhead and the time itself.
inline int FixedTimeHardLimit(int moveTimeMs, int overheadMs) {
  if (moveTimeMs <= 0) return 0;
  const std::int64_t margin =
      std::min<std::int64_t>(std::max(overheadMs, 0), moveTimeMs / SearchTime::FixedTimeOverheadDivisor);
  return static_cast<int>(moveTimeMs - margin);
}

// Nodes between two polls of a search with a budget: half a second's worth at the estimated rate,
// at least four times per budget, and a few milliseconds' worth, so that the hard limit is seen
// in time; but never so few nodes that polling would cost more than it guards.
inline std::int64_t TimedPollInterval(int nodesPerSecond, std::int64_t nodesPerMove) {
  using namespace SearchTime;
  const std::int64_t perBudget = std::max<std::int64_t>(MinPollInterval, nodesPerMove / PollsPerBudget);
  const std::int64_t perGranule =
      std::max<std::int64_t>(MinPollInterval, std::int64_t{nodesPerSecond} * PollGranularityMs / MsPerSecond);
  const std::int64_t interval = std::min({std::int64_t{nodesPerSecond / PollsPerSecond}, perBudget, perGranule});
  return std::max<std::int64_t>(1, interval);
}
