#pragma once
// Constant masks of the status record that the board's Masks.h does not hold: the pawn-chain and
// long diagonals and the single squares of the trapped-piece patterns and draw tests.
#include "board/Masks.h"

namespace StatusMasks {
using Masks::Square;

// `count` squares from (file, rank), stepping by (fileStep, rankStep).
constexpr SquareSet Line(int file, int rank, int fileStep, int rankStep, int count) {
  SquareSet set = 0;
  for (int i = 0; i < count; i++) set |= Square(file + i * fileStep, rank + i * rankStep);
  return set;
}

constexpr int FileIndexA = 0, FileIndexB = 1, FileIndexC = 2, FileIndexD = 3;
constexpr int FileIndexE = 4, FileIndexF = 5, FileIndexG = 6, FileIndexH = 7;
constexpr int ChainLength = 3;   // pawn-chain diagonals
constexpr int LongLength = 6;    // diagonals beside and on the long diagonals

// Pawn-chain diagonals, named by their end squares.
constexpr SquareSet DiagF5D7 = Line(FileIndexF, 4, -1, 1, ChainLength);   // f5 e6 d7
constexpr SquareSet DiagC5E7 = Line(FileIndexC, 4, 1, 1, ChainLength);    // c5 d6 e7
constexpr SquareSet DiagF4D6 = Line(FileIndexF, 3, -1, 1, ChainLength);   // f4 e5 d6
constexpr SquareSet DiagC4E6 = Line(FileIndexC, 3, 1, 1, ChainLength);    // c4 d5 e6
constexpr SquareSet DiagD2F4 = Line(FileIndexD, 1, 1, 1, ChainLength);    // d2 e3 f4
constexpr SquareSet DiagE2C4 = Line(FileIndexE, 1, -1, 1, ChainLength);   // e2 d3 c4
constexpr SquareSet DiagD3F5 = Line(FileIndexD, 2, 1, 1, ChainLength);    // d3 e4 f5
constexpr SquareSet DiagE3C5 = Line(FileIndexE, 2, -1, 1, ChainLength);   // e3 d4 c5

// Six-square diagonals from the second rank towards the seventh.
constexpr SquareSet DiagH2C7 = Line(FileIndexH, 1, -1, 1, LongLength);
constexpr SquareSet DiagG2B7 = Line(FileIndexG, 1, -1, 1, LongLength);
constexpr SquareSet DiagF2A7 = Line(FileIndexF, 1, -1, 1, LongLength);
constexpr SquareSet DiagC2H7 = Line(FileIndexC, 1, 1, 1, LongLength);
constexpr SquareSet DiagB2G7 = Line(FileIndexB, 1, 1, 1, LongLength);
constexpr SquareSet DiagA2F7 = Line(FileIndexA, 1, 1, 1, LongLength);

// Single squares (file, rank counted from 0).
constexpr SquareSet SqH8 = Square(7, 7), SqH7 = Square(7, 6), SqF7 = Square(5, 6), SqG7 = Square(6, 6);
constexpr SquareSet SqH6 = Square(7, 5), SqF6 = Square(5, 5), SqG6 = Square(6, 5), SqA8 = Square(0, 7);
constexpr SquareSet SqA7 = Square(0, 6), SqC7 = Square(2, 6), SqA6 = Square(0, 5), SqB7 = Square(1, 6);
constexpr SquareSet SqC6 = Square(2, 5), SqB6 = Square(1, 5), SqH1 = Square(7, 0), SqH2 = Square(7, 1);
constexpr SquareSet SqF2 = Square(5, 1), SqG2 = Square(6, 1), SqH3 = Square(7, 2), SqF3 = Square(5, 2);
constexpr SquareSet SqG3 = Square(6, 2), SqA1 = Square(0, 0), SqA2 = Square(0, 1), SqC2 = Square(2, 1);
constexpr SquareSet SqB2 = Square(1, 1), SqA3 = Square(0, 2), SqC3 = Square(2, 2), SqB3 = Square(1, 2);
constexpr SquareSet SqB8 = Square(1, 7), SqG8 = Square(6, 7), SqB1 = Square(1, 0), SqG1 = Square(6, 0);
}  // namespace StatusMasks
