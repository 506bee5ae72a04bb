#pragma once
// Whether a move of the generators leaves the mover's king attacked, decided without making it:
// a king move needs its target safe with the king lifted off its square; a move out of check or
// an en-passant capture (which empties two squares of a line) needs the king safe on the board as
// the move leaves it; any other move is safe unless its piece shields the king from an enemy
// slider and steps off the line between them. The answer is that of MakeMove followed by InCheck
// on the mover's king for every position whose side not to move is not in check, that is every
// position a legal move can reach; Applies tells whether a position is one of them.
#include "board/ChessBoard.h"
#include "board/SideFields.h"
#include "movegen/AttackTest.h"
#include "movegen/LineTables.h"
#include "movegen/PawnGeometry.h"

template <int Side>
class LegalityTest {
public:
  LegalityTest(const ChessBoard& b, bool inCheck)
      : Board(b), King(b.*SideFields<Side>::King), KingSquare(SquareIndex(King)), Checked(inCheck),
        EnPassantTo(EnPassantTarget<Side>(b)), Pinned(inCheck ? 0 : FindPinned()) {}

  static bool Applies(const ChessBoard& b) {
    return b.HasOneKingEach() && !b.InCheck(b.*SideFields<1 - Side>::King, 1 - Side);
  }

  bool Allows(SquareSet from, SquareSet to) const {
    const SquareSet occupied = Board.AllPieces;
    if (from == King) return !AttackedAfter(to, (occupied ^ from) | to, to);
    const bool enPassant = to == EnPassantTo && (from & Board.*SideFields<Side>::Pawns);
    if (Checked || enPassant) {
      const SquareSet taken = enPassant ? PawnGeometry<Side>::Back(to) : to;
      return !AttackedAfter(King, (occupied ^ from ^ (taken & ~to)) | to, taken);
    }
    if (!(from & Pinned)) return true;
    // A pinned piece may move towards the king or towards (and onto) the pinning slider.
    return (LineTables::Between[KingSquare][SquareIndex(from)] & to) ||
           (LineTables::Between[KingSquare][SquareIndex(to)] & from);
  }

private:
  using Enemy = SideFields<1 - Side>;
  const ChessBoard& Board;
  SquareSet King;
  int KingSquare;
  bool Checked;
  SquareSet EnPassantTo;   // where an en-passant capture lands, 0 when there is none
  SquareSet Pinned;        // own pieces alone between the king and an enemy slider

  SquareSet FindPinned() const {
    const ChessBoard& b = Board;
    const SquareSet queens = b.*Enemy::Queens;
    SquareSet snipers = (AttackTables::RookLines[KingSquare] & (b.*Enemy::Rooks | queens)) |
                        (AttackTables::BishopLines[KingSquare] & (b.*Enemy::Bishops | queens));
    SquareSet pinned = 0;
    for (; snipers; snipers &= snipers - 1) {
      const SquareSet between = LineTables::Between[KingSquare][SquareIndex(snipers)] & b.AllPieces;
      if (IsSingleSquare(between)) pinned |= between;
    }
    return pinned & b.*SideFields<Side>::Pieces;
  }

  bool AttackedAfter(SquareSet king, SquareSet occupied, SquareSet taken) const {
    return ::AttackedAfter<Side>(Board, king, occupied, taken);
  }
};
