#pragma once
// The pawn hash table: everything the pawn evaluation computes from a pawn placement, so that a
// placement seen before is restored instead of evaluated again.
#include <cstdint>
#include "board/Types.h"

// One entry. Layout, in order:
//   code / pawns             verification: the 32-bit pawn hash code and all pawns of both sides
//   doubled, middle game     doubled-pawn counts and the middlegame pawn terms
//   weak ... pawn attacks    backward pawns, file sets and both pawn attack sets
//   passer ranks             rank index of each side's most advanced passer per file a..h, 0 = none
//   pawn / passer scores     high 32 bits White, low 32 bits Black
//   counts                   byte 0 Black passers, byte 1 White passers, byte 2 passer flags
//   king context             the king squares the king-dependent pawn terms belong to; 0 = empty slot
struct PawnHashEntry {
  std::uint32_t Code;                 // full pawn hash code
  SquareSet Pawns;                    // White pawns | Black pawns
  std::int32_t WhiteDoubled;
  std::int32_t BlackDoubled;
  std::int32_t MiddleGame;            // pawn terms for MiddleGameScore
  SquareSet Weak;                     // backward pawns of both colours
  SquareSet PawnFiles;                // files holding a pawn of either colour
  SquareSet OpenFiles;                // files without pawns
  SquareSet WhitePawnAttacks;
  SquareSet BlackPawnAttacks;
  std::uint8_t WhitePasserRanks[8];
  std::uint64_t PawnScores;
  std::uint64_t PasserScores;
  std::uint8_t BlackPasserRanks[8];
  std::uint64_t Counts;
  std::int32_t EndGame;               // pawn terms for EndGameScore
  SquareSet NoBlackPawnFiles;
  SquareSet NoWhitePawnFiles;
  std::uint32_t KingContext;
};

constexpr int PawnHashEntries = 65538;          // 0..65535 are addressed
constexpr std::uint32_t PawnHashIndexMask = 0xFFFF;

extern PawnHashEntry PawnHashArray[PawnHashEntries];
extern std::uint32_t Phashattempts;             // pawn evaluations
extern std::uint32_t Phashmisses;               // pawn evaluations that found no entry
// False while every slot is empty (at start and after a clear): a clear then has nothing to do,
// and the first "new game" of a run does not write 10 MB of untouched memory.
extern bool PawnHashHoldsEntries;

// Key of the king squares (0..63 each) the stored king-dependent terms were computed with; never 0.
inline std::uint32_t PawnKingContext(int whiteKingSquare, int blackKingSquare) {
  return 0x10000u | static_cast<std::uint32_t>(whiteKingSquare) << 8 | static_cast<std::uint32_t>(blackKingSquare);
}

// True when the slot of `code` holds a stored entry for exactly this code and pawn set.
bool InPawnHash(std::uint32_t code, SquareSet pawns);
// The same, for the given king context as well (the test the evaluation uses).
bool InPawnHash(std::uint32_t code, SquareSet pawns, std::uint32_t kingContext);
// Empties every slot.
void ClearPawnHash();
