// Repetition history: a stack of position hash codes.
#include "hash/MoveHistory.h"

#include <cstdio>
#include <cstring>

MoveHistory MoveList;

namespace {

constexpr int MaxRepetitionCount = 127;   // the count is reported in a signed byte

}  // namespace

void MoveHistory::InsertHashCodeMoveHistory(std::uint64_t upper, std::uint64_t lower) {
  if (NumMoves < 0) {
    std::printf("MAJOR ERROR: NumMoves < 0 in InsertHashCodeMoveHistor \n");
    return;
  }
  if (NumMoves >= HistoryCapacity) {
    const int kept = HistoryCapacity - HistoryDropBlock;
    std::memmove(Entries, Entries + HistoryDropBlock, sizeof(HistoryEntry) * kept);
    NumMoves = kept;
  }
  Entries[NumMoves] = HistoryEntry{upper, lower};
  NumMoves++;
  if (NumMoves > HistoryWarningThreshold) {
    std::printf("MAJOR ERROR: NumMoves > 590 in InsertHashCodeMoveHistor \n");
  }
}

void MoveHistory::RetractMove() {
  if (NumMoves > 0) NumMoves--;
}

// Only every second entry back from the top has the same side to move; the window ends where the
// last irreversible move was made, since no earlier position can recur.
std::int8_t MoveHistory::ThreeFoldRepDetection(std::int32_t n, std::uint64_t upper,
                                               std::uint64_t lower) const {
  if (n < 0 || NumMoves <= 0) return -1;
  const int top = NumMoves > HistoryCapacity ? HistoryCapacity : NumMoves;
  const int low = top < n ? 0 : top - n;
  int count = -1;
  for (int i = top - 1; i >= low; i -= 2) {
    if (Entries[i].Upper == upper && Entries[i].Lower == lower) count++;
  }
  return static_cast<std::int8_t>(count > MaxRepetitionCount ? MaxRepetitionCount : count);
}
