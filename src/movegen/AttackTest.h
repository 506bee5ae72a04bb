#pragma once
// The check test of the board on an occupancy other than the board's own: whether a piece of
// the side opposite to Side attacks the square `s` (one bit) when the occupied squares are
// `occupied` and the enemy pieces on `taken` are gone. With the board's own occupancy and
// nothing taken it answers as InCheck(s, Side) does.
#include "board/ChessBoard.h"
#include "board/SideFields.h"
#include "movegen/PawnGeometry.h"

template <int Side>
bool AttackedAfter(const ChessBoard& b, SquareSet s, SquareSet occupied, SquareSet taken) {
  using Enemy = SideFields<1 - Side>;
  using G = PawnGeometry<Side>;
  const int square = SquareIndex(s);
  const SquareSet kept = ~taken;
  if ((G::CaptureTowardsA(s) | G::CaptureTowardsH(s)) & b.*Enemy::Pawns & kept) return true;
  if ((AttackTables::Knight[square] & b.*Enemy::Knights & kept) | (AttackTables::King[square] & b.*Enemy::King))
    return true;
  const SquareSet queens = b.*Enemy::Queens;
  const SquareSet diagonal = (b.*Enemy::Bishops | queens) & kept;
  if ((AttackTables::BishopLines[square] & diagonal) && (BoardAttacks::BishopAttacks(occupied, s, square) & diagonal))
    return true;
  const SquareSet straight = (b.*Enemy::Rooks | queens) & kept;
  return (AttackTables::RookLines[square] & straight) && (BoardAttacks::RookAttacks(occupied, s, square) & straight);
}
