#include "eval/PawnHash.h"

PawnHashEntry PawnHashArray[PawnHashEntries];
std::uint32_t Phashattempts = 0;
std::uint32_t Phashmisses = 0;
bool PawnHashHoldsEntries = false;

bool InPawnHash(std::uint32_t code, SquareSet pawns) {
  const PawnHashEntry& entry = PawnHashArray[code & PawnHashIndexMask];
  return entry.KingContext != 0 && entry.Code == code && entry.Pawns == pawns;
}

bool InPawnHash(std::uint32_t code, SquareSet pawns, std::uint32_t kingContext) {
  const PawnHashEntry& entry = PawnHashArray[code & PawnHashIndexMask];
  return entry.KingContext == kingContext && entry.Code == code && entry.Pawns == pawns;
}

void ClearPawnHash() {
  if (!PawnHashHoldsEntries) return;
  PawnHashHoldsEntries = false;
  for (PawnHashEntry& entry : PawnHashArray) {
    entry.Code = 0;
    entry.Pawns = 0;
    for (int file = 0; file < 8; ++file) entry.WhitePasserRanks[file] = entry.BlackPasserRanks[file] = 0;
    entry.PawnScores = 0;
    entry.PasserScores = 0;
    entry.Counts = 0;
    entry.KingContext = 0;
  }
}
