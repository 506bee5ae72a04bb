#pragma once
// Checks of the checked build (NELK_CHECKS defined): the board's invariants after every make and
// unmake, and the bounds of its table lookups. A failed check names its place and condition and
// aborts. In every other build the checks vanish: the condition is not even compiled, so it may
// name values that only the checked build computes.
#include <array>
#include <cstddef>

#ifdef NELK_CHECKS
#include <cstdio>
#include <cstdlib>

namespace BoardChecks {
[[noreturn]] inline void Fail(const char* file, int line, const char* condition) {
  std::fflush(stdout);
  std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
  std::abort();
}
}  // namespace BoardChecks

#define NELK_CHECK(condition) \
  ((condition) ? static_cast<void>(0) : ::BoardChecks::Fail(__FILE__, __LINE__, #condition))
#else
#define NELK_CHECK(condition) static_cast<void>(0)
#endif

// Entry `index` of a table; the checked build tests the bound.
template <typename T, std::size_t N>
inline const T& TableAt(const std::array<T, N>& table, int index) {
  NELK_CHECK(index >= 0 && static_cast<std::size_t>(index) < N);
  return table[static_cast<std::size_t>(index)];
}

template <typename T, std::size_t N>
inline const T& TableAt(const T (&table)[N], int index) {
  NELK_CHECK(index >= 0 && static_cast<std::size_t>(index) < N);
  return table[index];
}
