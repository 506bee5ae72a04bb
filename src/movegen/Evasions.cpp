// Answers to a check: king steps to safe squares and, against a single checker, captures of it
// and interpositions on its line. Pinned pieces are not detected here; the caller rejects their
// moves after making them.
#include "movegen/MoveGen.h"

#include "board/Bitboard.h"
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

template <int Side>
CheckInfo FindCheckers(const ChessBoard& b, SquareSet king) {
  using G = PawnGeometry<Side>;
  CheckInfo checks;
  const SquareSet pawns = Side ? b.WhitePawns : b.BlackPawns;
  AddChecker(checks, G::CaptureTowardsA(king) & pawns);
  AddChecker(checks, G::CaptureTowardsH(king) & pawns);
  const SquareSet knights = b.KnightMask(king) & (Side ? b.WhiteKnights : b.BlackKnights);
  const SquareSet queens = Side ? b.WhiteQueens : b.BlackQueens;
  const SquareSet straight = queens | (Side ? b.WhiteRooks : b.BlackRooks);
  const SquareSet diagonal = queens | (Side ? b.WhiteBishops : b.BlackBishops);
  const SquareSet straightLines = straight ? b.RookCheckMask(king, straight) : 0;
  const SquareSet diagonalLines = diagonal ? b.BishopCheckMask(king, diagonal) : 0;
  AddChecker(checks, knights);
  AddChecker(checks, (straightLines & straight) ? straightLines : 0);
  AddChecker(checks, (diagonalLines & diagonal) ? diagonalLines : 0);
  return checks;
}

template <int Side>
int GenEvasions(MoveGen& list, ChessBoard& b) {
  const SquareSet king = Side ? b.BlackKing : b.WhiteKing;
  const CheckInfo checks = FindCheckers<Side>(b, king);
  int index = list.GenKingEvasions(Side, checks.Squares, 0);
  // Against two checks at once only the king can move.
  if (checks.Count != 1) return index;
  index = list.GenKnightEvasions(Side, checks.Squares, index);
  index = list.GenRookEvasions(Side, checks.Squares, index);
  index = list.GenBishopEvasions(Side, checks.Squares, index);
  index = list.GenPawnEvasions(Side, checks.Squares, Side ? b.BlackPawns : b.WhitePawns,
                               Side ? b.WhitePieces : b.BlackPieces, index);
  return list.GenQueenEvasions(Side, checks.Squares, index);
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
  const SquareSet king = Side ? b.BlackKing : b.WhiteKing;
  index = AddEnPassantEvasions<Side>(list, b, king, ownPawns, index);
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
  ChessBoard& b = *Board;
  const SquareSet king = side ? b.BlackKing : b.WhiteKing;
  SquareSet& ownPieces = side ? b.BlackPieces : b.WhitePieces;
  SquareSet targets = b.KingMask(king) & ~ownPieces;
  // Lifted off the board, the king no longer shields the squares behind it from a slider.
  ownPieces ^= king;
  b.AllPieces ^= king;
  for (; targets && !NoRoomForPiece(index); targets &= targets - 1) {
    const SquareSet to = LowestSquare(targets);
    if (!b.InCheck(to, side)) index = AddMove(*this, index, king, to, NoPromotion);
  }
  ownPieces ^= king;
  b.AllPieces ^= king;
  return index;
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
