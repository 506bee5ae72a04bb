// Pseudo-legal move generation: every move that obeys the piece's movement rules, including
// moves that leave the own king attacked (the caller rejects those after making the move).
#include "movegen/MoveGen.h"

#include <cstdio>

#include "board/Bitboard.h"
#include "board/SideFields.h"
#include "movegen/CastleTable.h"
#include "movegen/ListFill.h"
#include "movegen/PawnGeometry.h"

using namespace ListFill;

namespace {

// Quiet pieces may go to empty squares, capturing pieces to enemy ones.
SquareSet QuietTargets(const ChessBoard& b, char) { return ~b.AllPieces; }
SquareSet CaptureTargets(const ChessBoard& b, char side) { return b.PiecesOf(side ^ 1); }

// A missing or doubled king is reported rather than trusted; extra kings still move.
bool ReportKingCount(SquareSet kings) {
  if (!kings) {
    std::fputs("Major Error: There is No king of a given color\n", stdout);
    return false;
  }
  for (SquareSet extra = kings & (kings - 1); extra; extra &= extra - 1)
    std::fputs("Major Error: There is more than one king of a given color\n", stdout);
  return true;
}

template <int Side>
int AddPawnMovesOf(MoveGen& list, int index, SquareSet p, SquareSet singles, SquareSet doubles,
                   SquareSet towardsA, SquareSet towardsH, SquareSet epTarget, SquareSet epPawns) {
  using G = PawnGeometry<Side>;
  const SquareSet ahead = G::Forward(p);
  if (G::Forward(ahead) & doubles) index = AddMove(list, index, p, G::Forward(ahead), NoPromotion);
  if (ahead & singles) index = AddMove(list, index, p, ahead, PromotionFor<Side>(ahead));
  // White takes towards file a first, Black towards file h first (the mirror of each other).
  const SquareSet first = Side ? G::CaptureTowardsH(p) : G::CaptureTowardsA(p);
  const SquareSet second = Side ? G::CaptureTowardsA(p) : G::CaptureTowardsH(p);
  if (first & (Side ? towardsH : towardsA)) index = AddMove(list, index, p, first, PromotionFor<Side>(first));
  if (second & (Side ? towardsA : towardsH)) index = AddMove(list, index, p, second, PromotionFor<Side>(second));
  if (p & epPawns) index = AddMove(list, index, p, epTarget, NoPromotion);
  return index;
}

// All pawn moves, pawn by pawn from the lowest square: double step, single step, the two
// captures and en passant. The targets are found for all pawns at once; the loop visits only
// pawns that have a move.
template <int Side>
int AddPawnMoves(MoveGen& list, const ChessBoard& b, int index) {
  using G = PawnGeometry<Side>;
  const SquareSet pawns = b.*SideFields<Side>::Pawns;
  const SquareSet enemy = b.*SideFields<1 - Side>::Pieces;
  const SquareSet empty = ~b.AllPieces;
  const SquareSet singles = G::Forward(pawns) & empty;
  const SquareSet doubles = G::Forward(G::Forward(pawns & G::StartRank) & empty) & empty;
  const SquareSet towardsA = G::CaptureTowardsA(pawns) & enemy;
  const SquareSet towardsH = G::CaptureTowardsH(pawns) & enemy;
  const SquareSet epTarget = EnPassantTarget<Side>(b);
  const SquareSet epPawns = epTarget ? EnPassantCapturers<Side>(b, pawns) : 0;
  SquareSet movers = G::Back(singles | G::Back(doubles)) | G::FromTowardsA(towardsA) |
                     G::FromTowardsH(towardsH) | epPawns;
  while (movers && !NoRoomForPiece(index)) {
    const SquareSet p = LowestSquare(movers);
    index = AddPawnMovesOf<Side>(list, index, p, singles, doubles, towardsA, towardsH, epTarget, epPawns);
    movers ^= p;
  }
  return index;
}

// Captures of all pawns at once, towards file h first; no promotion is marked.
template <int Side>
int AddPawnCaptures(MoveGen& list, const ChessBoard& b, int index) {
  using G = PawnGeometry<Side>;
  const SquareSet pawns = b.*SideFields<Side>::Pawns;
  const SquareSet enemy = b.*SideFields<1 - Side>::Pieces;
  for (SquareSet to = G::CaptureTowardsH(pawns) & enemy; to && !NoRoomForPiece(index); to &= to - 1)
    index = AddMove(list, index, G::FromTowardsH(LowestSquare(to)), LowestSquare(to), NoPromotion);
  for (SquareSet to = G::CaptureTowardsA(pawns) & enemy; to && !NoRoomForPiece(index); to &= to - 1)
    index = AddMove(list, index, G::FromTowardsA(LowestSquare(to)), LowestSquare(to), NoPromotion);
  return index;
}

template <int Side>
bool CastleIsPossible(const ChessBoard& b, const CastleMove& c, char castleFlags) {
  if (!(castleFlags & c.Right) || (b.AllPieces & c.MustBeEmpty)) return false;
  // Rights from a position record are not trusted to have king and rook at home.
  if (!(b.*SideFields<Side>::King & c.King) || !(b.*SideFields<Side>::Rooks & c.Rook)) return false;
  for (SquareSet s : c.MustBeSafe)
    if (b.IsAttacked(s, Side)) return false;
  return true;
}

template <int Side>
int AddCastles(MoveGen& list, const ChessBoard& b, int index, char castleFlags) {
  for (const CastleMove& c : CastleMoves[Side]) {
    if (NoRoomForPiece(index) || !CastleIsPossible<Side>(b, c, castleFlags)) continue;
    list.OrderValues[index] = CastleOrderValue;
    index = AddMove(list, index, c.King, c.Target, NoPromotion);
  }
  return index;
}

// The pieces of one side other than pawns with their attack sets, found once for the captures
// and again used for the quiet moves. Kinds in the order of generation; within a kind, lowest
// square first. A side cannot have more pieces than there are squares.
enum PieceKind : int { Knights, Bishops, Rooks, Queens, Kings, KindCount };

struct PieceAttacks {
  SquareSet From[SquareCount];
  SquareSet Targets[SquareCount];
  int KindEnd[KindCount];   // entries of kind k end before KindEnd[k]
};

template <typename AttackFn>
int CollectKind(PieceAttacks& a, int n, SquareSet pieces, AttackFn attacks) {
  for (; pieces; pieces &= pieces - 1, ++n) {
    const int square = SquareIndex(pieces);
    a.From[n] = SquareBit(square);
    a.Targets[n] = attacks(a.From[n], square);
  }
  return n;
}

template <int Side>
void CollectAttacks(PieceAttacks& a, const ChessBoard& b) {
  using S = SideFields<Side>;
  const SquareSet occupied = b.AllPieces;
  int n = CollectKind(a, 0, b.*S::Knights, [](SquareSet, int sq) { return AttackTables::Knight[sq]; });
  a.KindEnd[Knights] = n;
  n = CollectKind(a, n, b.*S::Bishops,
                  [occupied](SquareSet s, int sq) { return BoardAttacks::BishopAttacks(occupied, s, sq); });
  a.KindEnd[Bishops] = n;
  n = CollectKind(a, n, b.*S::Rooks,
                  [occupied](SquareSet s, int sq) { return BoardAttacks::RookAttacks(occupied, s, sq); });
  a.KindEnd[Rooks] = n;
  n = CollectKind(a, n, b.*S::Queens, [occupied](SquareSet s, int sq) {
    return BoardAttacks::BishopAttacks(occupied, s, sq) | BoardAttacks::RookAttacks(occupied, s, sq);
  });
  a.KindEnd[Queens] = n;
  a.KindEnd[Kings] = CollectKind(a, n, b.*S::King, [](SquareSet, int sq) { return AttackTables::King[sq]; });
}

// The moves of the pieces of kinds first..last into the squares of filter; as in the single-kind
// generators, a piece is skipped once the list has no room left for a whole piece's moves.
int AddKindMoves(MoveGen& list, int index, const PieceAttacks& a, PieceKind first, PieceKind last, SquareSet filter) {
  const int begin = first == Knights ? 0 : a.KindEnd[first - 1];
  for (int n = begin; n < a.KindEnd[last] && !NoRoomForPiece(index); ++n)
    index = AddTargets(list, index, a.From[n], a.Targets[n] & filter);
  return index;
}

int AddKingMoves(MoveGen& list, int index, const PieceAttacks& a, SquareSet kings, SquareSet filter) {
  if (!ReportKingCount(kings)) return index;
  return AddKindMoves(list, index, a, Kings, Kings, filter);
}

// The order of GenerateAllMoves: piece captures, quiet piece moves, castling, quiet king moves,
// then every pawn move; each attack set is computed once.
template <int Side>
int AddAllMoves(MoveGen& list, const ChessBoard& b, char castleFlags) {
  PieceAttacks a;
  CollectAttacks<Side>(a, b);
  const SquareSet enemy = b.*SideFields<1 - Side>::Pieces;
  const SquareSet empty = ~b.AllPieces;
  const SquareSet kings = b.*SideFields<Side>::King;
  int index = AddKindMoves(list, 0, a, Knights, Queens, enemy);
  index = AddKingMoves(list, index, a, kings, enemy);
  index = AddKindMoves(list, index, a, Knights, Queens, empty);
  index = AddCastles<Side>(list, b, index, castleFlags);
  index = AddKingMoves(list, index, a, kings, empty);
  return AddPawnMoves<Side>(list, b, index);
}

}  // namespace

int MoveGen::GenerateAllMoves(char side, ChessBoard* board, char castleFlags) {
  Board = board;
  MoveCount = side ? AddAllMoves<1>(*this, *board, castleFlags) : AddAllMoves<0>(*this, *board, castleFlags);
  return MoveCount;
}

int MoveGen::GenCaptures(char side, ChessBoard* board) {
  Board = board;
  int index = GenKnightCaptures(side, 0);
  index = GenBishopCaptures(side, index);
  index = GenRookCaptures(side, index);
  index = GenQueenCaptures(side, index);
  MoveCount = GenKingCaptures(side, index);
  return MoveCount;
}

int MoveGen::GenerateQuiesceMoves(char side, ChessBoard* board) {
  Board = board;
  int index = GenQueenCaptures(side, 0);
  index = GenRookCaptures(side, index);
  index = GenKnightCaptures(side, index);
  index = GenBishopCaptures(side, index);
  index = GenPawns(side, index);
  return GenKingCaptures(side, index);
}

int MoveGen::GenKnights(char side, int index) {
  const ChessBoard& b = *Board;
  return AddPieceMoves(*this, index, SetsOf(b, side).Knights, QuietTargets(b, side),
                       [&b](SquareSet s) { return b.KnightMask(s); });
}

int MoveGen::GenBishops(char side, int index) {
  const ChessBoard& b = *Board;
  return AddPieceMoves(*this, index, SetsOf(b, side).Bishops, QuietTargets(b, side),
                       [&b](SquareSet s) { return b.BishopMask(s); });
}

int MoveGen::GenRooks(char side, int index) {
  const ChessBoard& b = *Board;
  return AddPieceMoves(*this, index, SetsOf(b, side).Rooks, QuietTargets(b, side),
                       [&b](SquareSet s) { return b.RookMask(s); });
}

int MoveGen::GenQueens(char side, int index) {
  const ChessBoard& b = *Board;
  return AddPieceMoves(*this, index, SetsOf(b, side).Queens, QuietTargets(b, side),
                       [&b](SquareSet s) { return QueenTargets(b, s); });
}

int MoveGen::GenKings(char side, int index) {
  const ChessBoard& b = *Board;
  const SquareSet kings = SetsOf(b, side).King;
  if (!ReportKingCount(kings)) return index;
  return AddPieceMoves(*this, index, kings, QuietTargets(b, side), [&b](SquareSet s) { return b.KingMask(s); });
}

int MoveGen::GenPawns(char side, int index) {
  return side ? AddPawnMoves<1>(*this, *Board, index) : AddPawnMoves<0>(*this, *Board, index);
}

int MoveGen::GenCastle(char side, int index, char castleFlags) {
  return side ? AddCastles<1>(*this, *Board, index, castleFlags) : AddCastles<0>(*this, *Board, index, castleFlags);
}

int MoveGen::GenKnightCaptures(char side, int index) {
  const ChessBoard& b = *Board;
  return AddPieceMoves(*this, index, SetsOf(b, side).Knights, CaptureTargets(b, side),
                       [&b](SquareSet s) { return b.KnightMask(s); });
}

int MoveGen::GenBishopCaptures(char side, int index) {
  const ChessBoard& b = *Board;
  return AddPieceMoves(*this, index, SetsOf(b, side).Bishops, CaptureTargets(b, side),
                       [&b](SquareSet s) { return b.BishopMask(s); });
}

int MoveGen::GenRookCaptures(char side, int index) {
  const ChessBoard& b = *Board;
  return AddPieceMoves(*this, index, SetsOf(b, side).Rooks, CaptureTargets(b, side),
                       [&b](SquareSet s) { return b.RookMask(s); });
}

int MoveGen::GenQueenCaptures(char side, int index) {
  const ChessBoard& b = *Board;
  return AddPieceMoves(*this, index, SetsOf(b, side).Queens, CaptureTargets(b, side),
                       [&b](SquareSet s) { return QueenTargets(b, s); });
}

int MoveGen::GenKingCaptures(char side, int index) {
  const ChessBoard& b = *Board;
  const SquareSet kings = SetsOf(b, side).King;
  if (!ReportKingCount(kings)) return index;
  return AddPieceMoves(*this, index, kings, CaptureTargets(b, side), [&b](SquareSet s) { return b.KingMask(s); });
}

int MoveGen::GenPawnCaptures(char side, int index) {
  return side ? AddPawnCaptures<1>(*this, *Board, index) : AddPawnCaptures<0>(*this, *Board, index);
}
