// Static exchange evaluation on one square.
#include "eval/SEE.h"

#include <algorithm>
#include <cstdio>
#include "board/Bitboard.h"
#include "board/SideFields.h"
#include "eval/EvalSide.h"

SEE see;

namespace {

constexpr int NoSquare = -1;
// Every capture removes a different square from the attackers, so an exchange never has more
// gains than there are squares.
constexpr int MaxExchangeGains = 64;

// The direction table holds nothing but the eight line steps and 0.
constexpr bool IsLineStep(int step) {
  return step == 0 || step == 1 || step == -1 || step == 7 || step == -7 || step == 8 ||
         step == -8 || step == 9 || step == -9;
}

constexpr bool AllLineStepsValid() {
  for (int target = 0; target < 64; target++) {
    for (int other = 0; other < 64; other++) {
      if (!IsLineStep(LineStep(target, other))) return false;
    }
  }
  return true;
}
static_assert(AllLineStepsValid(), "the exchange follows only rank, file and diagonal steps");

bool IsDiagonalStep(int step) { return step == 7 || step == -7 || step == 9 || step == -9; }
bool IsOrthogonalStep(int step) { return step == 1 || step == -1 || step == 8 || step == -8; }

// A step east that lands on file a, or west that lands on file h, has left the board's side.
bool WrapsAround(int step, int square) {
  const int file = square & 7;
  const int fileStep = ((step % 8) + 8) % 8;   // 1 east, 7 west, 0 along the file
  if (fileStep == 1) return file == 0;
  if (fileStep == 7) return file == 7;
  return false;
}

// The lowest square of the least valuable piece of `Side` in the set.
template <int Side>
int LeastValuable(const ChessBoard& b, SquareSet set) {
  using S = SideFields<Side>;
  constexpr SideSet byValue[] = {S::Pawns, S::Knights, S::Bishops, S::Rooks, S::Queens, S::King};
  for (SideSet kind : byValue) {
    if ((b.*kind & set) != 0) return SquareIndex(b.*kind & set);
  }
  return NoSquare;
}

// The pawns of `Side` that attack the target: they stand where an enemy pawn on it would attack.
template <int Side>
SquareSet PawnAttackers(const ChessBoard& b, SquareSet target) {
  return b.*EvalSide<Side>::Pawns & EvalSide<Side ^ 1>::PawnAttackSet(target);
}

int ValueOf(const ChessBoard& board, char colour, SquareSet square) {
  if (board.IsPawn(colour, square)) return PawnValue;
  if (board.IsKnight(colour, square)) return KnightValue;
  if (board.IsBishop(colour, square)) return BishopValue;
  if (board.IsRook(colour, square)) return RookValue;
  if (board.IsQueen(colour, square)) return QueenValue;
  if (board.IsKing(colour, square)) return SeeKingValue;
  return 0;
}

}  // namespace

SEE::SEE() {
  for (int target = 0; target < 64; target++) {
    for (int other = 0; other < 64; other++) {
      Direction[target][other] = static_cast<std::int16_t>(LineStep(target, other));
    }
  }
}

SquareSet SEE::SquareAttacksDefences(SquareSet target) const {
  if (board == nullptr) return 0;
  const ChessBoard& b = *board;
  const SquareSet rookLines = b.RookMask(target);
  const SquareSet bishopLines = b.BishopMask(target);
  return (rookLines & (b.WhiteRooks | b.BlackRooks | b.WhiteQueens | b.BlackQueens)) |
         (bishopLines & (b.WhiteBishops | b.BlackBishops | b.WhiteQueens | b.BlackQueens)) |
         (b.KnightMask(target) & (b.WhiteKnights | b.BlackKnights)) |
         (b.KingMask(target) & (b.WhiteKing | b.BlackKing)) |
         PawnAttackers<0>(b, target) | PawnAttackers<1>(b, target);
}

int SEE::LVP(char side, SquareSet set) const {
  if (board == nullptr) return NoSquare;
  return side ? LeastValuable<1>(*board, set) : LeastValuable<0>(*board, set);
}

// The scan runs over the board as it stands: the pieces already used in the exchange are still
// on it, but each scan starts beyond the one that has just left the line.
SquareSet SEE::AddXrayAttacker(SquareSet set, int square, int direction) const {
  const bool diagonal = IsDiagonalStep(direction);
  if (!diagonal && !IsOrthogonalStep(direction)) {
    std::printf("ERROR: dir not in range. dir = %d\n", direction);
    return set;
  }
  if (board == nullptr) return set;
  const ChessBoard& b = *board;
  int next = square + direction;
  while (next >= 0 && next < 64 && !WrapsAround(direction, next)) {
    const SquareSet bit = SquareBit(next);
    if ((b.AllPieces & bit) != 0) {
      const SquareSet sliders = diagonal ? b.WhiteBishops | b.BlackBishops : b.WhiteRooks | b.BlackRooks;
      if ((bit & (sliders | b.WhiteQueens | b.BlackQueens)) != 0) set |= bit;
      return set;
    }
    next += direction;
  }
  return set;
}

int SEE::StaticExchangeEvaluation(char side, SquareSet from, SquareSet to, const ChessBoard& position) {
  board = &position;
  if (from == 0 || to == 0) return 0;
  from = SquareBit(SquareIndex(from));
  to = SquareBit(SquareIndex(to));
  const int target = SquareIndex(to);
  int capturer = SquareIndex(from);
  SquareSet attackers = SquareAttacksDefences(to) & ~from;
  int gain[MaxExchangeGains];
  gain[0] = ValueOf(position, side, to);
  int onTarget = ValueOf(position, side ^ 1, from);
  if (Direction[target][capturer] != 0) {
    attackers = AddXrayAttacker(attackers, capturer, Direction[target][capturer]);
  }
  char toCapture = side;
  capturer = LVP(toCapture, attackers);
  int count = 0;
  while (capturer != NoSquare && count + 1 < MaxExchangeGains) {
    const SquareSet capturerBit = SquareBit(capturer);
    attackers &= ~capturerBit;
    count++;
    gain[count] = onTarget - gain[count - 1];
    onTarget = ValueOf(position, toCapture, capturerBit);
    toCapture ^= 1;
    if (Direction[target][capturer] != 0) {
      attackers = AddXrayAttacker(attackers, capturer, Direction[target][capturer]);
    }
    capturer = LVP(toCapture, attackers);
  }
  // Either side may stop capturing when going on would lose material.
  for (int k = count; k > 0; k--) gain[k - 1] = -std::max(-gain[k - 1], gain[k]);
  return gain[0];
}
