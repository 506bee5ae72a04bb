#pragma once
// The transposition table: scores, bounds, depths and best moves of positions already searched,
// keyed by the 128-bit position hash code. Buckets of three slots: slot 1 keeps the most valuable
// entry of the bucket, slots 2 and 3 form a short queue of recent entries.
#include <cstdint>

constexpr std::uint32_t TTABLESIZE = 2097155;             // buckets allocated (2^21 + 3)
constexpr std::uint32_t TTIndexMask = (1u << 21) - 1;    // bucket = lower hash code & mask
static_assert(TTIndexMask < TTABLESIZE, "every masked index must address an allocated bucket");

// Bound types of a slot.
constexpr std::uint8_t TTUpperBound = 0;   // the true score is at most the stored score
constexpr std::uint8_t TTLowerBound = 1;   // the true score is at least the stored score
constexpr std::uint8_t TTExact = 2;

// Valid flags: only "greater than 0" is ever tested; the value tells which slot was written.
constexpr std::int8_t TTEmpty = 0;
constexpr std::int8_t TTWrittenSlot1 = 2;
constexpr std::int8_t TTWrittenSlot2 = 4;

// Probe results.
constexpr int TTCutUpper = 0;     // deep enough upper bound at or below alpha: score = alpha
constexpr int TTCutLower = 1;     // deep enough lower bound at or above beta: score = beta
constexpr int TTCutExact = 2;     // deep enough exact score: score = stored score
constexpr int TTNoCut = 3;
constexpr int TTNoCutNoNull = 4;  // no cut-off, and a null-move search would fail low anyway

// Scores at least this far towards mate are stored adjusted by the remaining depth.
constexpr int TTMateThreshold = 109801;

// One slot, 32 bytes:
//   bytes  0- 7  UpperHash   first half of the key
//   bytes  8-15  LowerHash   second half of the key
//   bytes 16-19  Move        move code (from * 64 + to), sign-extended from 16 bits
//   byte  20     BoundType   TTUpperBound / TTLowerBound / TTExact
//   byte  21     Valid       > 0 usable for cut-offs; 0 empty or aged
//   bytes 22-23  Generation  the table's generation when the slot was written
//   bytes 24-27  Score       mate scores adjusted by depth
//   byte  28     Depth       low 8 bits of the remaining depth
//   byte  29     padding
//   bytes 30-31  AgeStamp    the table's ageing round when the slot was written
struct TTSlot {
  std::uint64_t UpperHash;
  std::uint64_t LowerHash;
  std::int32_t Move;
  std::uint8_t BoundType;
  std::int8_t Valid;
  std::uint16_t Generation;
  std::int32_t Score;
  std::int8_t Depth;
  std::uint16_t AgeStamp;
};
static_assert(sizeof(TTSlot) == 32, "slot layout as documented above");

constexpr int TTSlotsPerBucket = 3;
struct TTBucket {
  TTSlot Slot[TTSlotsPerBucket];   // [0] slot 1 (kept), [1] slot 2, [2] slot 3 (oldest)
};

// Clearing and ageing do not walk the 192 MiB: each moves the table on to a new generation or
// ageing round, and a slot stamped with an older one reads as cleared (every field 0) or as aged
// (valid flag 0). Only when a counter has used up its 16 bits is the table walked, and the
// counter starts again from 0.
constexpr std::uint16_t TTLastStamp = 0xffff;

// Sizes a front end may ask for, in MiB. A table of n MiB has the largest power of two of buckets
// that fits, so that the bucket index stays a mask of the hash code.
constexpr int TTMinMiB = 1;
constexpr int TTMaxMiB = 65536;

class TranspositionTables {
public:
  TTBucket* Buckets;               // BucketCount buckets; replaced only by Resize
  std::uint32_t Hits = 0;          // probes that ended in a cut-off
  std::uint32_t Misses = 0;        // probes that did not
  std::uint32_t IndexMask = TTIndexMask;
  std::uint16_t Generation = 0;    // slots of another generation are empty
  std::uint16_t AgeRound = 0;      // slots of another round are aged
  std::uint64_t BucketCount = TTABLESIZE;
  std::uint64_t ProvidedBytes = 0;  // from the start of the table: the system has provided them

  TranspositionTables();
  // A new, empty table of at most `mebibytes` MiB (TTMinMiB .. TTMaxMiB), its memory provided at
  // once (see ProvideAllPages). False, with the old table kept as it was, when the size is out of
  // range or the memory cannot be had.
  bool Resize(int mebibytes);
  int SizeMiB() const;             // the size in whole MiB
  // A page that the system provides only when it is first touched costs the search that touches it
  // a fault and the zeroing of up to 2 MiB: a first search would pay for the whole table out of
  // its clock. These make the system provide the pages beforehand, keeping what they hold.
  // ProvideNextPages provides the next 2 MiB and is false once the whole table is provided (for
  // idle moments); ProvideAllPages provides the rest and is false when the system cannot.
  bool ProvideNextPages();
  bool ProvideAllPages();
  void ClearTranspositionTables();
  // Thousandths of the table written since it was last aged, from a sample of its first buckets
  // (the UCI "hashfull" figure).
  int HashFullPermille() const;
  void AgeTranspositionTables();
  void InsertTranspositionTables(std::uint64_t upper, std::uint64_t lower, char side, int depth,
                                 int move, int score, std::uint8_t type, int alpha, int beta);
  int SearchTranspositionTables(std::uint64_t upper, std::uint64_t lower, char side, int depth,
                                int alpha, int beta, int& score, int& move);
  // Starts loading the bucket of a position the search is about to enter, so that the cache miss
  // of its probe overlaps the work before it. Only a hint: it changes nothing the table holds.
  // (A table whose constructor has not run yet, as in another global's, has no buckets.)
  void Prefetch(std::uint64_t lower) const {
    if (Buckets != nullptr) __builtin_prefetch(&Buckets[lower & IndexMask]);
  }

private:
  const TTSlot& Current(const TTSlot& slot) const;
  bool IsValid(const TTSlot& slot) const { return slot.Valid > 0 && slot.AgeStamp == AgeRound; }
};

extern TranspositionTables PositionCache;
