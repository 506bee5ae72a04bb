#pragma once
// The engine's own random generator, the Zobrist key tables and the hash-code functions.
#include <cstdint>
#include "board/ChessBoard.h"
#include "board/PawnHashKeys.h"

// The lower-half keys LPStable and the pawn hash code are declared in board/PawnHashKeys.h.
extern std::uint64_t UPStable[12][64];   // upper-half key of a piece code on a square
extern std::uint64_t CastleCode[16];
extern std::uint64_t WtoMove;
extern std::uint64_t BtoMove;

std::uint32_t BetterRandom32();
void initPStable();
// Fills the keys unless initPStable has already run (for test programs that need the keys).
void InitKeysOnce();
void genhashcode(char side, int castle, std::uint64_t* upper, std::uint64_t* lower, const ChessBoard& board);
