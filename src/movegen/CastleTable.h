#pragma once
// The four castling moves: which right they need, which squares must be empty, where the rook
// must stand and which squares the enemy may not attack (the king's start, path and target).
#include "board/Masks.h"
#include "board/Types.h"

struct CastleMove {
  int Right;               // bit of CastleFlags
  SquareSet King;          // king's home square (also the from-square)
  SquareSet Target;        // king's to-square
  SquareSet Rook;          // the rook's corner
  SquareSet MustBeEmpty;   // squares between king and rook
  SquareSet MustBeSafe[3]; // king's home, the square it crosses and its target
};

// Indexed by side (0 White, 1 Black), then king side first, queen side second.
constexpr CastleMove CastleMoves[2][2] = {
    {{WhiteCastleKing, Masks::E1, Masks::G1, Masks::H1, Masks::F1 | Masks::G1,
      {Masks::E1, Masks::F1, Masks::G1}},
     {WhiteCastleQueen, Masks::E1, Masks::C1, Masks::A1, Masks::B1 | Masks::C1 | Masks::D1,
      {Masks::E1, Masks::D1, Masks::C1}}},
    {{BlackCastleKing, Masks::E8, Masks::G8, Masks::H8, Masks::F8 | Masks::G8,
      {Masks::E8, Masks::F8, Masks::G8}},
     {BlackCastleQueen, Masks::E8, Masks::C8, Masks::A8, Masks::B8 | Masks::C8 | Masks::D8,
      {Masks::E8, Masks::D8, Masks::C8}}},
};

// Order value a castling move gets as soon as it is generated.
constexpr int CastleOrderValue = 800;
