#pragma once
// Integer conversions between time, node rate and node budget that cannot overflow.
#include <cstdint>
#include <limits>

// Clamps a 64-bit value into the 32-bit range of the status fields.
inline int SaturateInt(std::int64_t v) {
  if (v > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (v < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return static_cast<int>(v);
}

// Nodes searched in `ms` milliseconds at `nodesPerSecond` (whole thousands of nodes per ms, as the
// budget has always been computed). Kept at or below half the int range so that the emergency
// threshold of twice the budget still fits.
inline int NodesForMilliseconds(int nodesPerSecond, int ms) {
  constexpr std::int64_t Largest = std::numeric_limits<int>::max() / 2;
  const std::int64_t nodes = static_cast<std::int64_t>(nodesPerSecond / 1000) * ms;
  return static_cast<int>(nodes > Largest ? Largest : nodes < 0 ? 0 : nodes);
}

// The same on a node clock, to the node: its rate may be below a thousand nodes a second.
inline int NodesForMillisecondsExact(int nodesPerSecond, int ms) {
  constexpr std::int64_t Largest = std::numeric_limits<int>::max() / 2;
  const std::int64_t nodes = std::int64_t{nodesPerSecond} * ms / 1000;
  return static_cast<int>(nodes > Largest ? Largest : nodes < 0 ? 0 : nodes);
}

// Milliseconds on a node clock of `nodesPerSecond` after `nodes` nodes.
inline int NodeClockMs(std::int64_t nodes, int nodesPerSecond) {
  return SaturateInt(nodesPerSecond > 0 ? nodes * 1000 / nodesPerSecond : 0);
}

// Nodes per second from a node count and whole seconds (at least 1, so it can divide).
inline int NodeRate(std::int64_t nodes, int seconds) {
  if (seconds <= 0) seconds = 1;
  const int rate = SaturateInt(static_cast<std::int64_t>(static_cast<float>(nodes) / static_cast<float>(seconds)));
  return rate > 0 ? rate : 1;
}

// Nodes per second from a node count and the milliseconds they took (at least 1, so it can divide).
inline int NodeRateMs(std::int64_t nodes, int ms) {
  if (ms <= 0) ms = 1;
  const std::int64_t rate = nodes > 0 ? nodes * 1000 / ms : 0;
  return rate > 0 ? SaturateInt(rate) : 1;
}
