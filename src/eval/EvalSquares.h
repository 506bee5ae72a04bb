#pragma once
// Square geometry shared by the evaluation files.
#include <cstdlib>
#include "board/Masks.h"
#include "eval/EvalAttacks.h"

inline int FileOf(int square) { return square & 7; }
inline int RankOf(int square) { return square >> 3; }
inline SquareSet FileSet(int square) { return Masks::FileA << FileOf(square); }

// King distance: the larger of the file and the rank distance.
inline int Distance(int a, int b) {
  const int files = std::abs(FileOf(a) - FileOf(b));
  const int ranks = std::abs(RankOf(a) - RankOf(b));
  return files > ranks ? files : ranks;
}

// Square of a king. A board without a king of that colour (set up by hand) is evaluated as if the
// king stood on its corner of the a-file, so that no term reads a table at an invalid index; with
// several kings the one nearest its own first rank counts (the mirror rule for both colours).
inline int WhiteKingIndex(SquareSet king) { return king ? __builtin_ctzll(king) : 0; }
inline int BlackKingIndex(SquareSet king) { return king ? (__builtin_ctzll(__builtin_bswap64(king)) ^ 56) : 56; }

inline SquareSet WhitePawnAttackSet(SquareSet pawns) {
  return ((pawns & ~Masks::FileH) << 9) | ((pawns & ~Masks::FileA) << 7);
}
inline SquareSet BlackPawnAttackSet(SquareSet pawns) {
  return ((pawns & ~Masks::FileH) >> 7) | ((pawns & ~Masks::FileA) >> 9);
}

inline SquareSet KingAttackSet(SquareSet kings) {
  SquareSet attacks = 0;
  for (; kings; kings &= kings - 1) attacks |= EvalAttacks::King(__builtin_ctzll(kings));
  return attacks;
}

// The squares of the colour (or colours) the given bishops stand on.
inline SquareSet SameColourSquares(SquareSet bishops) {
  return ((bishops & Masks::LightSquares) ? Masks::LightSquares : 0) | ((bishops & Masks::DarkSquares) ? Masks::DarkSquares : 0);
}

// The king's file and its two neighbours; a king on an edge file takes the two next files inwards.
inline SquareSet KingRegionFiles(int kingSquare) {
  int centre = FileOf(kingSquare);
  if (centre == 0) centre = 1;
  if (centre == 7) centre = 6;
  return (Masks::FileA << (centre - 1)) | (Masks::FileA << centre) | (Masks::FileA << (centre + 1));
}

// Every square of every file that holds a square of `set`.
inline SquareSet FileFill(SquareSet set) {
  set |= set << 8;
  set |= set << 16;
  set |= set << 32;
  set |= set >> 8;
  set |= set >> 16;
  set |= set >> 32;
  return set;
}
