#pragma once
// Values and square spans of the move ordering (also used by the search's reduction test).
#include <array>
#include <cstdint>
#include "board/Types.h"

namespace MoveOrder {

// Ordering values of the special moves; everything else is a capture or quiet value below them.
constexpr int PVMoveValue = 28998;
constexpr int HashMoveValue = 29000;
constexpr int FirstKillerValue = 1020;
constexpr int SecondKillerValue = 1010;
constexpr int CaptureBase = 9750;
constexpr int QueenPromotionValue = 4875;      // promotion field holding the queen's piece code
constexpr int UnderPromotionValue = 500;       // any other promotion character (also "Q"/"q")
constexpr int HeavyPieceOnKingLine = 28;       // rook or queen move onto the enemy king's file or rank

// Victim values by kind; the knight counts a little less than the bishop.
constexpr int PawnVictim = 800;
constexpr int KnightVictim = 3248;
constexpr int BishopVictim = 3250;
constexpr int RookVictim = 5000;
constexpr int QueenVictim = 9750;

// Terms of the capturing piece.
constexpr int BishopCapture = -12;
constexpr int KnightCapture = -10;             // plus the outpost value of the destination
constexpr int RookCapture = -19;               // plus open-file and seventh-rank terms
constexpr int PawnCapture = -3;                // plus the passed-pawn gain
constexpr int QueenCapture = -38;
constexpr int KingCapture = -14625;

// A rook capture on a file without pawns, by file a..h: central files are worth more.
constexpr std::array<std::int32_t, 8> OpenFileControl = {60, 70, 80, 90, 90, 80, 70, 60};

// Squares ahead of a square on its own and the neighbouring files, towards the side's promotion
// rank: [0] White (ranks above), [1] Black (ranks below). A pawn with no enemy pawn there is passed.
constexpr std::array<std::array<SquareSet, 64>, 2> FrontSpans = [] {
  std::array<std::array<SquareSet, 64>, 2> spans{};
  for (int square = 0; square < 64; ++square) {
    const int file = square & 7, rank = square >> 3;
    for (int r = 0; r < 8; ++r) {
      for (int f = file - 1; f <= file + 1; ++f) {
        if (f < 0 || f > 7) continue;
        const SquareSet bit = SquareSet{1} << (r * 8 + f);
        if (r > rank) spans[0][square] |= bit;
        if (r < rank) spans[1][square] |= bit;
      }
    }
  }
  return spans;
}();

}  // namespace MoveOrder
