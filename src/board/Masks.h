#pragma once
// Constant square masks used by the hot paths (the same values the status record holds).
#include "board/Types.h"

namespace Masks {
constexpr SquareSet FileA = 0x0101010101010101ULL;
constexpr SquareSet FileB = FileA << 1;
constexpr SquareSet FileC = FileA << 2;
constexpr SquareSet FileD = FileA << 3;
constexpr SquareSet FileE = FileA << 4;
constexpr SquareSet FileF = FileA << 5;
constexpr SquareSet FileG = FileA << 6;
constexpr SquareSet FileH = FileA << 7;
constexpr SquareSet FilesAB = FileA | FileB;
constexpr SquareSet FilesGH = FileG | FileH;
constexpr SquareSet FilesABC = FilesAB | FileC;
constexpr SquareSet FilesFGH = FileF | FilesGH;
constexpr SquareSet Rank1 = 0xffULL;
constexpr SquareSet Rank2 = Rank1 << 8;
constexpr SquareSet Rank3 = Rank1 << 16;
constexpr SquareSet Rank4 = Rank1 << 24;
constexpr SquareSet Rank5 = Rank1 << 32;
constexpr SquareSet Rank6 = Rank1 << 40;
constexpr SquareSet Rank7 = Rank1 << 48;
constexpr SquareSet Rank8 = Rank1 << 56;
constexpr SquareSet LightSquares = 0x55aa55aa55aa55aaULL;
constexpr SquareSet DarkSquares = 0xaa55aa55aa55aa55ULL;
constexpr SquareSet Corners = 0x8100000000000081ULL;
constexpr SquareSet WhiteHalf = 0x00000000ffffffffULL;
constexpr SquareSet BlackHalf = 0xffffffff00000000ULL;

constexpr SquareSet Square(int file, int rank) { return SquareSet{1} << (rank * 8 + file); }
constexpr SquareSet A1 = Square(0, 0), B1 = Square(1, 0), C1 = Square(2, 0), D1 = Square(3, 0);
constexpr SquareSet E1 = Square(4, 0), F1 = Square(5, 0), G1 = Square(6, 0), H1 = Square(7, 0);
constexpr SquareSet A8 = Square(0, 7), B8 = Square(1, 7), C8 = Square(2, 7), D8 = Square(3, 7);
constexpr SquareSet E8 = Square(4, 7), F8 = Square(5, 7), G8 = Square(6, 7), H8 = Square(7, 7);
}  // namespace Masks
