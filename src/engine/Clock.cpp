#include "engine/Clock.h"
#include <chrono>

namespace {

int WallClockMs() {
  using Clock = std::chrono::steady_clock;
  // Measured from the first call so that the count fits an int for about 24 days of running.
  static const Clock::time_point start = Clock::now();
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
  return static_cast<int>(elapsed.count());
}

ClockSource Source = nullptr;

}  // namespace

int NowMs() { return Source != nullptr ? Source() : WallClockMs(); }

void SetClockSource(ClockSource source) { Source = source; }
