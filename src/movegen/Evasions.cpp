// Answers to a check: king steps to safe squares and, against a single checker, captures of it
// and interpositions on its line. Pinned pieces are not detected here; the caller rejects their
// moves after making them.
#include "movegen/MoveGen.h"

#include "board/Bitboard.h"
#include "board/SideFields.h"
#include "movegen/AttackTest.h"
#include "movegen/LineTables.h"
#include "movegen/ListFill.h"
#include "movegen/PawnGeometry.h"

using namespace ListFill;

namespace {

// The squares of every enemy piece giving check to king, and for a slider the squares between
// it and the king. Each kind of line (and knights) counts as one check however many pieces
// stand on it; pawns count one by one.
struct CheckInfo {
  SquareSet Squares = 0;
  int Count = 0;
};

void AddChecker(CheckInfo& checks, SquareSet squares) {
  if (!squares) return;
  checks.Squares |= squares;
  ++checks.Count;
}

// The squares from the king to each checker on a line, the checker included.
SquareSet CheckLines(int kingSquare, SquareSet checkers) {
  SquareSet lines = 0;
  for (; checkers; checkers &= checkers - 1)
    lines |= LineTables::Between[kingSquare][SquareIndex(checkers)] | LowestSquare(checkers);
  return lines;
}

// The sliders' lines from a lone king: the first piece on each ray from the king is a checker
// when it is a slider of that kind. Several kings (a board being edited) are looked at ray by ray.
void AddSliderCheckers(CheckInfo& checks, const ChessBoard& b, SquareSet king, SquareSet straight, SquareSet diagonal) {
  if (!IsSingleSquare(king)) {
    const SquareSet straightLines = straight ? b.RookCheckMask(king, straight) : 0;
    const SquareSet diagonalLines = diagonal ? b.BishopCheckMask(king, diagonal) : 0;
    AddChecker(checks, (straightLines & straight) ? straightLines : 0);
    AddChecker(checks, (diagonalLines & diagonal) ? diagonalLines : 0);
    return;
  }
  const int square = SquareIndex(king);
  const SquareSet occupied = b.AllPieces;
  if (AttackTables::RookLines[square] & straight)
    AddChecker(checks, CheckLines(square, BoardAttacks::RookAttacks(occupied, king, square) & straight));
  if (AttackTables::BishopLines[square] & diagonal)
    AddChecker(checks, CheckLines(square, BoardAttacks::BishopAttacks(occupied, king, square) & diagonal));
}

template <int Side>
CheckInfo FindCheckers(const ChessBoard& b, SquareSet king) {
  using G = PawnGeometry<Side>;
  using Enemy = SideFields<1 - Side>;
  CheckInfo checks;
  const SquareSet pawns = b.*Enemy::Pawns;
  AddChecker(checks, G::CaptureTowardsA(king) & pawns);
  AddChecker(checks, G::CaptureTowardsH(king) & pawns);
  AddChecker(checks, b.KnightMask(king) & b.*Enemy::Knights);
  const SquareSet queens = b.*Enemy::Queens;
  AddSliderCheckers(checks, b, king, queens | b.*Enemy::Rooks, queens | b.*Enemy::Bishops);
  return checks;
}

template <int Side>
int GenEvasions(MoveGen& list, ChessBoard& b) {
  const SquareSet king = b.*SideFields<Side>::King;
  const CheckInfo checks = FindCheckers<Side>(b, king);
  int index = list.GenKingEvasions(Side, checks.Squares, 0);
  // Against two checks at once only the king can move.
  if (checks.Count != 1) return index;
  index = list.GenKnightEvasions(Side, checks.Squares, index);
  index = list.GenRookEvasions(Side, checks.Squares, index);
  index = list.GenBishopEvasions(Side, checks.Squares, index);
  index = list.GenPawnEvasions(Side, checks.Squares, b.*SideFields<Side>::Pawns, b.*SideFields<1 - Side>::Pieces, index);
  return list.GenQueenEvasions(Side, checks.Squares, index);
}

// King steps to squares no enemy piece attacks once the king has left its square: lifted off
// the board, the king no longer shields the squares behind it from a slider.
template <int Side>
int AddKingEvasions(MoveGen& list, ChessBoard& b, int index) {
  const SquareSet king = b.*SideFields<Side>::King;
  SquareSet& ownPieces = b.*SideFields<Side>::Pieces;
  SquareSet targets = b.KingMask(king) & ~ownPieces;
  if (IsSingleSquare(king)) {
    const SquareSet occupied = b.AllPieces ^ king;
    for (; targets && !NoRoomForPiece(index); targets &= targets - 1) {
      const SquareSet to = LowestSquare(targets);
      if (!AttackedAfter<Side>(b, to, occupied, 0)) index = AddMove(list, index, king, to, NoPromotion);
    }
    return index;
  }
  // Several kings or none: lift them all and ask the board.
  ownPieces ^= king;
  b.AllPieces ^= king;
  for (; targets && !NoRoomForPiece(index); targets &= targets - 1) {
    const SquareSet to = LowestSquare(targets);
    if (!b.InCheck(to, Side)) index = AddMove(list, index, king, to, NoPromotion);
  }
  ownPieces ^= king;
  b.AllPieces ^= king;
  return index;
}

// A pawn that checks the king right after its double step can be taken en passant: the
// capture lands behind it, outside the set of check squares.
template <int Side>
int AddEnPassantEvasions(MoveGen& list, const ChessBoard& b, SquareSet king, SquareSet ownPawns, int index) {
  using G = PawnGeometry<Side>;
  const SquareSet epTarget = EnPassantTarget<Side>(b);
  const SquareSet checkers = G::CaptureTowardsA(king) | G::CaptureTowardsH(king);
  if (!epTarget || !(b.LastTo & checkers)) return index;
  for (SquareSet from = EnPassantCapturers<Side>(b, ownPawns); from && !NoRoomForPiece(index); from &= from - 1)
    index = AddMove(list, index, LowestSquare(from), epTarget, NoPromotion);
  return index;
}

// Moves of pawns onto check squares: single steps, double steps, then the two captures.
template <int Side>
int AddPawnEvasions(MoveGen& list, const ChessBoard& b, SquareSet checkSet, SquareSet ownPawns,
                    SquareSet enemy, int index) {
  using G = PawnGeometry<Side>;
  index = AddEnPassantEvasions<Side>(list, b, b.*SideFields<Side>::King, ownPawns, index);
  const SquareSet empty = ~b.AllPieces;
  for (SquareSet to = G::Forward(ownPawns) & empty & checkSet; to && !NoRoomForPiece(index); to &= to - 1)
    index = AddMove(list, index, G::Back(LowestSquare(to)), LowestSquare(to), PromotionFor<Side>(LowestSquare(to)));
  const SquareSet doubles = G::Forward(G::Forward(ownPawns & G::StartRank) & empty) & empty;
  for (SquareSet to = doubles & checkSet; to && !NoRoomForPiece(index); to &= to - 1)
    index = AddMove(list, index, G::Back(G::Back(LowestSquare(to))), LowestSquare(to), NoPromotion);
  // White takes towards file a first, Black towards file h first.
  const SquareSet towardsA = G::CaptureTowardsA(ownPawns) & checkSet & enemy;
  const SquareSet towardsH = G::CaptureTowardsH(ownPawns) & checkSet & enemy;
  for (int pass = 0; pass < 2; ++pass) {
    const bool aSide = (pass == 0) != (Side == 1);
    for (SquareSet to = aSide ? towardsA : towardsH; to && !NoRoomForPiece(index); to &= to - 1) {
      const SquareSet target = LowestSquare(to);
      const SquareSet from = aSide ? G::FromTowardsA(target) : G::FromTowardsH(target);
      index = AddMove(list, index, from, target, PromotionFor<Side>(target));
    }
  }
  return index;
}

}  // namespace

int MoveGen::GenCheckEvasions(char side, ChessBoard* board) {
  Board = board;
  return side ? GenEvasions<1>(*this, *board) : GenEvasions<0>(*this, *board);
}

int MoveGen::GenKingEvasions(char side, SquareSet, int index) {
  return side ? AddKingEvasions<1>(*this, *Board, index) : AddKingEvasions<0>(*this, *Board, index);
}

int MoveGen::GenKnightEvasions(char side, SquareSet checkSet, int index) {
  const ChessBoard& b = *Board;
  const SideSets sets = SetsOf(b, side);
  return AddPieceMoves(*this, index, sets.Knights, ~sets.Own & checkSet, [&b](SquareSet s) { return b.KnightMask(s); });
}

int MoveGen::GenBishopEvasions(char side, SquareSet checkSet, int index) {
  const ChessBoard& b = *Board;
  const SideSets sets = SetsOf(b, side);
  return AddPieceMoves(*this, index, sets.Bishops, ~sets.Own & checkSet, [&b](SquareSet s) { return b.BishopMask(s); });
}

int MoveGen::GenRookEvasions(char side, SquareSet checkSet, int index) {
  const ChessBoard& b = *Board;
  const SideSets sets = SetsOf(b, side);
  return AddPieceMoves(*this, index, sets.Rooks, ~sets.Own & checkSet, [&b](SquareSet s) { return b.RookMask(s); });
}

int MoveGen::GenQueenEvasions(char side, SquareSet checkSet, int index) {
  const ChessBoard& b = *Board;
  const SideSets sets = SetsOf(b, side);
  return AddPieceMoves(*this, index, sets.Queens, ~sets.Own & checkSet, [&b](SquareSet s) { return QueenTargets(b, s); });
}

int MoveGen::GenPawnEvasions(char side, SquareSet checkSet, SquareSet ownPawns, SquareSet enemyPieces, int index) {
  const ChessBoard& b = *Board;
  return side ? AddPawnEvasions<1>(*this, b, checkSet, ownPawns, enemyPieces, index)
              : AddPawnEvasions<0>(*this, b, checkSet, ownPawns, enemyPieces, index);
}
