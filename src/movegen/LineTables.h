#pragma once
// Squares between two squares on a common line, computed by the compiler.
#include <array>
#include "board/AttackTables.h"

namespace LineTables {

// Between[a][b]: the squares strictly between a and b when they share a rank, file or diagonal,
// else 0. Indexed by square index 0..63 (0 = a1, 63 = h8), symmetric in a and b.
constexpr std::array<AttackTables::SquareTable, SquareCount> MakeBetween() {
  std::array<AttackTables::SquareTable, SquareCount> between{};
  for (int a = 0; a < SquareCount; ++a) {
    for (int d = 0; d < AttackTables::DirectionCount; ++d) {
      const SquareSet ray = AttackTables::Ray[d][a];
      for (int b = 0; b < SquareCount; ++b) {
        const SquareSet bit = SquareSet{1} << b;
        if (ray & bit) between[a][b] = ray & ~AttackTables::Ray[d][b] & ~bit;
      }
    }
  }
  return between;
}
constexpr auto Between = MakeBetween();

}  // namespace LineTables
