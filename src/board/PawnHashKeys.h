#pragma once
// What making a move and recounting a board ask of the hash tables: the keys that the pawn hash
// code is built from and its computation from scratch. The hash tables define both; the move maker
// reads the key table directly, with no indirection on its path.
#include <cstdint>

class ChessBoard;

extern std::uint64_t LPStable[12][64];   // lower-half key; low 32 bits of pawn rows form the pawn code
void genpawnhashcode(char side, ChessBoard board, std::uint32_t* code);
