// Transposition table: allocation, clearing, ageing, store and probe.
#include "hash/TranspositionTables.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cerrno>
#include <cstdlib>
#include <sys/mman.h>
#include "engine/MatchLog.h"

namespace {

constexpr int ExitNoMemory = 1;
constexpr std::size_t TableBytes = std::size_t{TTABLESIZE} * sizeof(TTBucket);
constexpr std::size_t LargePageBytes = std::size_t{2} << 20;
constexpr std::size_t BytesPerMiB = std::size_t{1} << 20;
constexpr std::size_t SmallPageBytes = 4096;   // the smallest page: a touch of each touches them all

// Every table is a mapping of its bytes plus the slack that aligns it to a large page; the
// constructor's table comes from calloc only where the system lacks large-page advice.
struct Mapping {
  void* Start = nullptr;
  std::size_t Bytes = 0;
};
Mapping CurrentMapping;

// Zero pages that the operating system provides when they are first touched (ProvideNextPages
// and ProvideAllPages have it provide them before any search). Where the system offers large pages the table asks for
// them: providing the table then costs one fault per 2 MiB instead of one per 4 KiB, and the
// search's scattered probes miss the address translation cache far less often.
TTBucket* MapBuckets(std::size_t tableBytes, Mapping* mapping) {
  const std::size_t bytes = tableBytes + LargePageBytes;
  void* mapped = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) return nullptr;
  *mapping = Mapping{mapped, bytes};
  const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(mapped);
  void* aligned = reinterpret_cast<void*>((start + LargePageBytes - 1) & ~(LargePageBytes - 1));
#ifdef MADV_HUGEPAGE
  madvise(aligned, tableBytes, MADV_HUGEPAGE);   // refused: ordinary pages, same contents
#endif
  return static_cast<TTBucket*>(aligned);
}

TTBucket* AllocateBuckets() {
  if (TTBucket* buckets = MapBuckets(TableBytes, &CurrentMapping)) return buckets;
  return static_cast<TTBucket*>(std::calloc(TTABLESIZE, sizeof(TTBucket)));
}

// Has the system provide every page of the range now, keeping what the pages hold. The system's
// own prefault leaves the contents alone by definition; where it has none (or the range is not
// page-aligned, as a calloc'd table may be), each page is read and written back, which only
// happens while nothing else uses the table.
bool ProvideRange(void* start, std::size_t bytes) {
#ifdef MADV_POPULATE_WRITE
  if (madvise(start, bytes, MADV_POPULATE_WRITE) == 0) return true;
  if (errno != EINVAL) return false;   // no memory to be had
#endif
  volatile unsigned char* p = static_cast<volatile unsigned char*>(start);
  for (std::size_t at = 0; at < bytes; at += SmallPageBytes) p[at] = p[at];
  return true;
}

// The largest power of two of buckets within the size (at least one bucket).
std::uint64_t BucketsFor(int mebibytes) {
  const std::uint64_t fit = static_cast<std::uint64_t>(mebibytes) * BytesPerMiB / sizeof(TTBucket);
  std::uint64_t count = 1;
  while (count * 2 <= fit) count *= 2;
  return count;
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

TranspositionTables PositionCache;

TranspositionTables::TranspositionTables() : Buckets(AllocateBuckets()) {
  if (Buckets == nullptr) {
    std::printf("Major Error: cannot allocate the transposition table (%zu bytes)\n", TableBytes);
    std::fflush(stdout);
    std::exit(ExitNoMemory);
  }
}

// The new table's pages are the system's zero pages, so it is empty at once; they are provided
// before the old table goes, so that a size the machine cannot hold leaves the old one in place.
bool TranspositionTables::Resize(int mebibytes) {
  if (mebibytes < TTMinMiB || mebibytes > TTMaxMiB) return false;
  const std::uint64_t count = BucketsFor(mebibytes);
  const std::size_t tableBytes = static_cast<std::size_t>(count * sizeof(TTBucket));
  Mapping mapping;
  TTBucket* buckets = MapBuckets(tableBytes, &mapping);
  if (buckets == nullptr) return false;
  if (!ProvideRange(buckets, tableBytes)) {
    munmap(mapping.Start, mapping.Bytes);
    return false;
  }
  if (CurrentMapping.Start != nullptr) munmap(CurrentMapping.Start, CurrentMapping.Bytes);
  else std::free(Buckets);
  CurrentMapping = mapping;
  Buckets = buckets;
  BucketCount = count;
  IndexMask = static_cast<std::uint32_t>(count - 1);
  ProvidedBytes = tableBytes;
  Generation = 0;
  AgeRound = 0;
  LogPrintf("Transposition table resized to %d MiB (%llu buckets)\n", mebibytes, static_cast<unsigned long long>(count));
  return true;
}

bool TranspositionTables::ProvideNextPages() {
  const std::uint64_t tableBytes = BucketCount * sizeof(TTBucket);
  if (ProvidedBytes >= tableBytes) return false;
  const std::uint64_t end = std::min<std::uint64_t>(ProvidedBytes + LargePageBytes, tableBytes);
  if (!ProvideRange(reinterpret_cast<unsigned char*>(Buckets) + ProvidedBytes, static_cast<std::size_t>(end - ProvidedBytes)))
    return false;
  ProvidedBytes = end;
  return true;
}

bool TranspositionTables::ProvideAllPages() {
  const std::uint64_t tableBytes = BucketCount * sizeof(TTBucket);
  if (ProvidedBytes >= tableBytes) return true;
  if (!ProvideRange(reinterpret_cast<unsigned char*>(Buckets) + ProvidedBytes, static_cast<std::size_t>(tableBytes - ProvidedBytes)))
    return false;
  ProvidedBytes = tableBytes;
  return true;
}

int TranspositionTables::SizeMiB() const {
  return static_cast<int>(BucketCount * sizeof(TTBucket) / BytesPerMiB);
}

void TranspositionTables::ClearTranspositionTables() {
  WriteLogFile("Clearing Transposition Tables\n");
  if (Generation != TTLastStamp) {
    ++Generation;
    return;
  }
  for (std::uint64_t i = 0; i < BucketCount; i++) Buckets[i] = TTBucket{};
  Generation = 0;
}

int TranspositionTables::HashFullPermille() const {
  constexpr std::uint64_t SampleBuckets = 1000;
  constexpr int Permille = 1000;
  const std::uint64_t buckets = std::min(SampleBuckets, BucketCount);
  int used = 0;
  for (std::uint64_t i = 0; i < buckets; i++)
    for (const TTSlot& slot : Buckets[i].Slot) used += slot.Generation == Generation && IsValid(slot) ? 1 : 0;
  return static_cast<int>(used * std::uint64_t{Permille} / (buckets * TTSlotsPerBucket));
}

void TranspositionTables::AgeTranspositionTables() {
  if (AgeRound != TTLastStamp) {
    ++AgeRound;
    return;
  }
  for (std::uint64_t i = 0; i < BucketCount; i++) {
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
