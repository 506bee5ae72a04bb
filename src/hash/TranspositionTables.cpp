// Transposition table: allocation, clearing, ageing, store and probe.
#include "hash/TranspositionTables.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sys/mman.h>
#include "engine/MatchLog.h"

TranspositionTables PositionCache;

namespace {

constexpr int ExitNoMemory = 1;
constexpr std::size_t TableBytes = std::size_t{TTABLESIZE} * sizeof(TTBucket);
constexpr std::size_t LargePageBytes = std::size_t{2} << 20;

// Zero pages that the operating system provides when they are first touched, so the 192 MiB
// cost nothing at start-up, and since clearing only moves the generation on, a page is first
// touched by the search that stores into it. Where the system offers large pages the table asks
// for them: a first touch then costs one fault per 2 MiB instead of one per 4 KiB, and the
// search's scattered probes miss the address translation cache far less often.
TTBucket* AllocateBuckets() {
#ifdef MADV_HUGEPAGE
  void* mapped = mmap(nullptr, TableBytes + LargePageBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped != MAP_FAILED) {
    const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(mapped);
    void* aligned = reinterpret_cast<void*>((start + LargePageBytes - 1) & ~(LargePageBytes - 1));
    madvise(aligned, TableBytes, MADV_HUGEPAGE);   // refused: ordinary pages, same contents
    return static_cast<TTBucket*>(aligned);
  }
#endif
  return static_cast<TTBucket*>(std::calloc(TTABLESIZE, sizeof(TTBucket)));
}

// Depth reduction assumed for a null-move search at this depth.
int NullMoveReduction(int depth) { return depth <= 5 ? 2 : 3; }

bool SameKey(const TTSlot& slot, std::uint64_t upper, std::uint64_t lower) {
  return slot.UpperHash == upper && slot.LowerHash == lower;
}

// Mate scores count from the root; stored with the remaining depth added so that a probe at
// another ply can convert them back.
int StoredScore(int score, int depth) {
  if (score >= TTMateThreshold) return score + depth;
  if (score <= -TTMateThreshold) return score - depth;
  return score;
}

}  // namespace

TranspositionTables::TranspositionTables() : Buckets(AllocateBuckets()) {
  if (Buckets == nullptr) {
    std::printf("Major Error: cannot allocate the transposition table (%zu bytes)\n", TableBytes);
    std::fflush(stdout);
    std::exit(ExitNoMemory);
  }
}

void TranspositionTables::ClearTranspositionTables() {
  WriteLogFile("Clearing Transposition Tables\n");
  if (Generation != TTLastStamp) {
    ++Generation;
    return;
  }
  for (std::uint32_t i = 0; i < TTABLESIZE; i++) Buckets[i] = TTBucket{};
  Generation = 0;
}

void TranspositionTables::AgeTranspositionTables() {
  if (AgeRound != TTLastStamp) {
    ++AgeRound;
    return;
  }
  for (std::uint32_t i = 0; i < TTABLESIZE; i++) {
    for (TTSlot& slot : Buckets[i].Slot) {
      slot.Valid = TTEmpty;
      slot.AgeStamp = 0;
    }
  }
  AgeRound = 0;
}

namespace {

constexpr TTSlot EmptySlot{};

}  // namespace

// A slot left from before the last clear is what the clear would have made of it.
const TTSlot& TranspositionTables::Current(const TTSlot& slot) const {
  return slot.Generation == Generation ? slot : EmptySlot;
}

// Slot 1 is replaced only when it is free or holds the same position searched no deeper; any
// other entry enters the queue of slots 2 and 3, whose oldest entry falls out.
void TranspositionTables::InsertTranspositionTables(std::uint64_t upper, std::uint64_t lower, char,
                                                    int depth, int move, int score,
                                                    std::uint8_t type, int, int) {
  TTSlot* slots = Buckets[lower & IndexMask].Slot;
  TTSlot entry{};
  entry.UpperHash = upper;
  entry.LowerHash = lower;
  entry.Move = static_cast<std::int16_t>(move);
  entry.BoundType = type;
  entry.Score = StoredScore(score, depth);
  entry.Depth = static_cast<std::int8_t>(depth);
  entry.Generation = Generation;
  entry.AgeStamp = AgeRound;
  const TTSlot& first = Current(slots[0]);
  const bool replaceFirst = !IsValid(first) || (SameKey(first, upper, lower) && first.Depth <= depth);
  slots[2] = slots[1];
  if (replaceFirst) {
    slots[1] = slots[0];
    entry.Valid = TTWrittenSlot1;
    slots[0] = entry;
  } else {
    entry.Valid = TTWrittenSlot2;
    slots[1] = entry;
  }
}

namespace {

// The cut-off and null-move tests of one matching, valid slot; TTNoCut when it allows no
// cut-off (result may have been raised to TTNoCutNoNull).
int ProbeSlot(const TTSlot& slot, bool valid, int depth, int alpha, int beta, int& score, int& result) {
  if (!valid) return TTNoCut;
  if (slot.BoundType == TTUpperBound && slot.Score < beta &&
      slot.Depth >= depth - NullMoveReduction(depth)) {
    result = TTNoCutNoNull;
  }
  if (depth > slot.Depth) return TTNoCut;
  if (slot.BoundType == TTExact) {
    score = slot.Score;
    return TTCutExact;
  }
  if (slot.BoundType == TTUpperBound && slot.Score <= alpha) {
    score = alpha;
    return TTCutUpper;
  }
  if (slot.BoundType == TTLowerBound && slot.Score >= beta) {
    score = beta;
    return TTCutLower;
  }
  return TTNoCut;
}

}  // namespace

// The move comes from the deepest matching slot, even an aged one: it still orders moves well.
int TranspositionTables::SearchTranspositionTables(std::uint64_t upper, std::uint64_t lower, char,
                                                   int depth, int alpha, int beta, int& score,
                                                   int& move) {
  const TTSlot* slots = Buckets[lower & IndexMask].Slot;
  int result = TTNoCut;
  int bestDepth = -1;
  for (int i = 0; i < TTSlotsPerBucket; i++) {
    const TTSlot& slot = Current(slots[i]);
    if (!SameKey(slot, upper, lower)) continue;
    if (i == 0 || bestDepth < slot.Depth) {
      move = slot.Move;
      bestDepth = slot.Depth;
    }
    const int cut = ProbeSlot(slot, IsValid(slot), depth, alpha, beta, score, result);
    if (cut != TTNoCut) {
      Hits++;
      return cut;
    }
  }
  Misses++;
  return result;
}
