#pragma once
// Inline bodies of the attack masks and the check test: the generators and the legality test
// after every move call them, so they must not cost a function call.
// Included at the end of board/ChessBoard.h; do not include directly.
#include "board/AttackTables.h"
#include "board/Bitboard.h"
#include "board/Checks.h"
#include "board/Masks.h"

class ChessBoard;

namespace BoardAttacks {

// Slider attacks along one line through the square `s` (a one-bit set) on the occupancy `occ`:
// the o^(o-2r) borrow trick, applied once upwards and once on the byte-swapped (mirrored) board
// for the downward half. `line` excludes s itself. Valid for files and both diagonals.
inline SquareSet LineAttacks(SquareSet occ, SquareSet s, SquareSet line) {
  SquareSet forward = occ & line;
  SquareSet reverse = __builtin_bswap64(forward);
  forward -= s;
  reverse -= __builtin_bswap64(s);
  forward ^= __builtin_bswap64(reverse);
  return forward & line;
}

// Rank attacks from the eight-file table; the byte swap does not mirror a rank.
inline SquareSet RankAttacks(SquareSet occ, int square) {
  const int shift = square & 56;
  const unsigned inner = static_cast<unsigned>(occ >> (shift + 1)) & 63u;
  return SquareSet{TableAt(TableAt(AttackTables::RankAttack, static_cast<int>(inner)), square & 7)} << shift;
}

inline SquareSet BishopAttacks(SquareSet occ, SquareSet s, int square) {
  return LineAttacks(occ, s, TableAt(AttackTables::DiagonalLine, square)) |
         LineAttacks(occ, s, TableAt(AttackTables::AntiDiagonalLine, square));
}

inline SquareSet RookAttacks(SquareSet occ, SquareSet s, int square) {
  return LineAttacks(occ, s, TableAt(AttackTables::FileLine, square)) | RankAttacks(occ, square);
}

// Ray-by-ray forms that accept any set, including empty sets and sets of several squares
// (each shift moves the whole set); the single-square fast paths give the same answers.
SquareSet KnightSpread(SquareSet s);
SquareSet KingSpread(SquareSet s);
SquareSet BishopSpread(SquareSet s, SquareSet occ);
SquareSet RookSpread(SquareSet s, SquareSet occ);
bool InCheckSpread(const ChessBoard& board, SquareSet s, char side);

}  // namespace BoardAttacks

inline SquareSet ChessBoard::KnightMask(SquareSet s) const {
  if (__builtin_expect(!IsSingleSquare(s), 0)) return BoardAttacks::KnightSpread(s);
  return TableAt(AttackTables::Knight, SquareIndex(s));
}

inline SquareSet ChessBoard::KingMask(SquareSet s) const {
  if (__builtin_expect(!IsSingleSquare(s), 0)) return BoardAttacks::KingSpread(s);
  return TableAt(AttackTables::King, SquareIndex(s));
}

inline SquareSet ChessBoard::BishopMask(SquareSet s) const {
  if (__builtin_expect(!IsSingleSquare(s), 0)) return BoardAttacks::BishopSpread(s, AllPieces);
  return BoardAttacks::BishopAttacks(AllPieces, s, SquareIndex(s));
}

inline SquareSet ChessBoard::RookMask(SquareSet s) const {
  if (__builtin_expect(!IsSingleSquare(s), 0)) return BoardAttacks::RookSpread(s, AllPieces);
  return BoardAttacks::RookAttacks(AllPieces, s, SquareIndex(s));
}

// Cheap tests first; a slider line is only walked when an enemy slider stands on it at all.
inline bool ChessBoard::InCheck(SquareSet s, char side) const {
  if (__builtin_expect(!IsSingleSquare(s), 0)) return BoardAttacks::InCheckSpread(*this, s, side);
  const int square = SquareIndex(s);
  SquareSet pawnSources, pawns, knights, diagonalSliders, straightSliders, king;
  if (side) {  // a Black piece on s, White attackers below it
    pawnSources = ((s >> 7) & ~Masks::FileA) | ((s >> 9) & ~Masks::FileH);
    pawns = WhitePawns;
    knights = WhiteKnights;
    diagonalSliders = WhiteBishops | WhiteQueens;
    straightSliders = WhiteRooks | WhiteQueens;
    king = WhiteKing;
  } else {
    pawnSources = ((s << 7) & ~Masks::FileH) | ((s << 9) & ~Masks::FileA);
    pawns = BlackPawns;
    knights = BlackKnights;
    diagonalSliders = BlackBishops | BlackQueens;
    straightSliders = BlackRooks | BlackQueens;
    king = BlackKing;
  }
  if ((pawnSources & pawns) | (TableAt(AttackTables::Knight, square) & knights) |
      (TableAt(AttackTables::King, square) & king))
    return true;
  if ((TableAt(AttackTables::BishopLines, square) & diagonalSliders) &&
      (BoardAttacks::BishopAttacks(AllPieces, s, square) & diagonalSliders))
    return true;
  return (TableAt(AttackTables::RookLines, square) & straightSliders) &&
         (BoardAttacks::RookAttacks(AllPieces, s, square) & straightSliders);
}
