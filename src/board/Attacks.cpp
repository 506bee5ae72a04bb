// Attack sets of the pieces and the check test.
// The single-square forms live inline in ChessBoardInline.h; this file holds the ray walks that
// accept any set, the check masks of the evasion generator and the fills.
#include "board/Checks.h"
#include "board/ChessBoard.h"

namespace {

using namespace Masks;
using AttackTables::Ray;

// One ray: shift the whole set step by step (positive = towards h8), adding every square reached,
// and stop after a square in `stop` or when the set has left the board.
template <int Step>
SquareSet Walk(SquareSet s, SquareSet stop) {
  SquareSet ray = 0;
  SquareSet x = s;
  do {
    x = Step > 0 ? x << Step : x >> -Step;
    ray |= x;
  } while (x != 0 && (x & stop) == 0);
  return ray;
}

// The four rays of each slider, each with its edge guard, in the order south/west/east/north
// (rook) and south-east/north-east/south-west/north-west (bishop). An empty entry is a ray
// that the edge rules out.
struct FourRays {
  SquareSet ray[4];
};

FourRays RookRays(SquareSet s, SquareSet occ) {
  return {{Walk<-8>(s, occ), (s & FileA) ? 0 : Walk<-1>(s, FileA | occ), (s & FileH) ? 0 : Walk<1>(s, FileH | occ),
           Walk<8>(s, occ)}};
}

FourRays BishopRays(SquareSet s, SquareSet occ) {
  const bool onH = (s & FileH) != 0;
  const bool onA = (s & FileA) != 0;
  return {{onH ? 0 : Walk<-7>(s, FileH | occ), onH ? 0 : Walk<9>(s, FileH | occ), onA ? 0 : Walk<-9>(s, FileA | occ),
           onA ? 0 : Walk<7>(s, FileA | occ)}};
}

SquareSet RaysHolding(const FourRays& rays, SquareSet target) {
  SquareSet result = 0;
  for (SquareSet ray : rays.ray) {
    if (ray & target) result |= ray;
  }
  return result;
}

// The part of an empty-board ray up to and including its first blocker.
SquareSet RayToBlocker(int direction, int square, SquareSet occ) {
  SquareSet ray = TableAt(TableAt(Ray, direction), square);
  const SquareSet blockers = ray & occ;
  if (blockers == 0) return ray;
  const bool upwards = direction == AttackTables::North || direction == AttackTables::East ||
                       direction == AttackTables::NorthEast || direction == AttackTables::NorthWest;
  const int first = upwards ? SquareIndex(blockers) : BSR(blockers);
  return ray ^ TableAt(TableAt(Ray, direction), first);
}

SquareSet LinesHolding(const int (&directions)[4], SquareSet s, SquareSet occ, SquareSet target) {
  const int square = SquareIndex(s);
  SquareSet result = 0;
  for (int direction : directions) {
    const SquareSet ray = RayToBlocker(direction, square, occ);
    if (ray & target) result |= ray;
  }
  return result;
}

constexpr int RookDirections[4] = {AttackTables::North, AttackTables::South, AttackTables::East, AttackTables::West};
constexpr int BishopDirections[4] = {AttackTables::NorthEast, AttackTables::NorthWest, AttackTables::SouthEast,
                                     AttackTables::SouthWest};

}  // namespace

namespace BoardAttacks {

SquareSet KnightSpread(SquareSet s) {
  SquareSet result = 0;
  if ((s & FilesGH) == 0) result |= (s >> 6) | (s << 10);
  if ((s & FilesAB) == 0) result |= (s >> 10) | (s << 6);
  if ((s & FileH) == 0) result |= (s >> 15) | (s << 17);
  if ((s & FileA) == 0) result |= (s >> 17) | (s << 15);
  return result;
}

SquareSet KingSpread(SquareSet s) {
  SquareSet result = (s << 8) | (s >> 8);
  if ((s & FileH) == 0) result |= (s << 9) | (s >> 7) | (s << 1);
  if ((s & FileA) == 0) result |= (s << 7) | (s >> 9) | (s >> 1);
  return result;
}

SquareSet BishopSpread(SquareSet s, SquareSet occ) {
  const FourRays rays = BishopRays(s, occ);
  return rays.ray[0] | rays.ray[1] | rays.ray[2] | rays.ray[3];
}

SquareSet RookSpread(SquareSet s, SquareSet occ) {
  const FourRays rays = RookRays(s, occ);
  return rays.ray[0] | rays.ray[1] | rays.ray[2] | rays.ray[3];
}

bool InCheckSpread(const ChessBoard& board, SquareSet s, char side) {
  const bool black = side != 0;
  if (black) {
    if ((s & FileH) == 0 && (board.WhitePawns & (s >> 7))) return true;
    if ((s & FileA) == 0 && (board.WhitePawns & (s >> 9))) return true;
  } else {
    if ((s & FileA) == 0 && (board.BlackPawns & (s << 7))) return true;
    if ((s & FileH) == 0 && (board.BlackPawns & (s << 9))) return true;
  }
  const SquareSet knights = black ? board.WhiteKnights : board.BlackKnights;
  const SquareSet queens = black ? board.WhiteQueens : board.BlackQueens;
  const SquareSet bishops = black ? board.WhiteBishops : board.BlackBishops;
  const SquareSet rooks = black ? board.WhiteRooks : board.BlackRooks;
  const SquareSet king = black ? board.WhiteKing : board.BlackKing;
  if (KnightSpread(s) & knights) return true;
  if (BishopSpread(s, board.AllPieces) & (queens | bishops)) return true;
  if (RookSpread(s, board.AllPieces) & (queens | rooks)) return true;
  return (KingSpread(s) & king) != 0;
}

}  // namespace BoardAttacks

SquareSet ChessBoard::BishopCheckMask(SquareSet s, SquareSet target) const {
  if (!IsSingleSquare(s)) return RaysHolding(BishopRays(s, AllPieces), target);
  return LinesHolding(BishopDirections, s, AllPieces, target);
}

SquareSet ChessBoard::RookCheckMask(SquareSet s, SquareSet target) const {
  if (!IsSingleSquare(s)) return RaysHolding(RookRays(s, AllPieces), target);
  return LinesHolding(RookDirections, s, AllPieces, target);
}

// Occluded fills: every slider floods through empty squares in three doubling steps; the
// final shift adds the first square past the flood (the blocker, or nothing at the edge).
SquareSet ChessBoard::NorthAttacks(SquareSet sliders, SquareSet empty) const {
  sliders |= empty & (sliders << 8);
  empty &= empty << 8;
  sliders |= empty & (sliders << 16);
  empty &= empty << 16;
  sliders |= empty & (sliders << 32);
  return sliders << 8;
}

SquareSet ChessBoard::SouthAttacks(SquareSet sliders, SquareSet empty) const {
  sliders |= empty & (sliders >> 8);
  empty &= empty >> 8;
  sliders |= empty & (sliders >> 16);
  empty &= empty >> 16;
  sliders |= empty & (sliders >> 32);
  return sliders >> 8;
}

int ChessBoard::RookAttackCount(SquareSet s) const {
  const SquareSet own = (s & (WhiteRooks | WhiteQueens)) ? WhitePieces : BlackPieces;
  return PopCount(RookMask(s) & ~own);
}
