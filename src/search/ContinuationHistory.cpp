#include "search/ContinuationHistory.h"

#include <cstdlib>
#include "board/SideFields.h"

namespace {

template <int Side>
int PieceKindOn(const ChessBoard& b, SquareSet square) {
  using S = SideFields<Side>;
  if (square & b.*S::Pawns) return 0;
  if (square & b.*S::Knights) return 1;
  if (square & b.*S::Bishops) return 2;
  if (square & b.*S::Rooks) return 3;
  if (square & b.*S::Queens) return 4;
  return 5;
}

}  // namespace

void ContinuationHistory::Clear() {
  for (auto& row : Counters)
    for (auto& counter : row) counter = 0;
}

void ContinuationHistory::Pull(int before, int key, int bonus, int gravity) {
  if (before < 0 || before >= NoKey || key < 0 || key >= Keys) return;
  std::int16_t& counter = Counters[before][key];
  const int pulled = counter + bonus - counter * std::abs(bonus) / gravity;
  counter = static_cast<std::int16_t>(pulled);
}

int ContinuationHistory::KeyOf(const ChessBoard& b, int side, SquareSet square, int target) {
  const int kind = side ? PieceKindOn<1>(b, square) : PieceKindOn<0>(b, square);
  return (side * PieceKinds + kind) * 64 + target;
}
