#pragma once
// Late-move reductions of the capture-search mode by depth and legal move number.
#include <array>
#include <cmath>
#include "search/SearchConstants.h"

namespace ReductionTable {

using Table = std::array<std::array<int, SelectiveMargins::ReductionTableSize>, SelectiveMargins::ReductionTableSize>;

inline const Table& Reductions() {
  static const Table table = [] {
    using namespace SelectiveMargins;
    Table t{};
    for (int d = 1; d < ReductionTableSize; d++)
      for (int m = 1; m < ReductionTableSize; m++)
        t[d][m] = static_cast<int>((ReductionBaseHundredths + 100.0 * std::log(d) * std::log(m) * 100.0 /
                                                                  ReductionDivisorHundredths) / 100.0);
    return t;
  }();
  return table;
}

// Plies taken off a late quiet move at this depth; a principal-variation node reduces one less,
// and a move always keeps at least one ply of its own.
inline int Reduction(int depth, int legalMove, bool pvNode) {
  const int last = SelectiveMargins::ReductionTableSize - 1;
  int r = Reductions()[depth < last ? depth : last][legalMove < last ? legalMove : last];
  if (pvNode && r > 0) r--;
  if (r > depth - 2) r = depth - 2;
  return r > 0 ? r : 0;
}

}  // namespace ReductionTable
