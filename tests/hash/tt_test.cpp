// The transposition table: cut-offs by bound and depth, mate scores, clearing and ageing, resizing.
// (Replacement: the bench signature.)
#include <gtest/gtest.h>

#include "board/Types.h"
#include "hash/TranspositionTables.h"

namespace {

constexpr std::uint64_t Bucket = 12345;
// Positions 1, 2, ... share one bucket: their lower codes differ only above the index bits.
constexpr std::uint64_t Lower(int position) { return Bucket | (std::uint64_t(position) << 21); }
constexpr std::uint64_t Upper(int position) { return 0xabcdef00ull + position; }

class TranspositionTest : public ::testing::Test {
protected:
  int score = 0, move = 0;
  void SetUp() override { PositionCache.Buckets[Bucket] = TTBucket{}; }
  const TTSlot& Slot(int i) const { return PositionCache.Buckets[Bucket].Slot[i]; }
  static void Store(int position, int depth, int move, int score, std::uint8_t type) {
    PositionCache.InsertTranspositionTables(Upper(position), Lower(position), 0, depth, move, score,
                                            type, -MateScore, MateScore);
  }
  int Probe(int position, int depth, int alpha, int beta) {
    return PositionCache.SearchTranspositionTables(Upper(position), Lower(position), 0, depth, alpha,
                                                   beta, score, move);
  }
};

TEST_F(TranspositionTest, CutOffsNeedEnoughDepthAndTheRightBound) {
  const std::uint32_t hits = PositionCache.Hits, misses = PositionCache.Misses;
  EXPECT_EQ(Probe(1, 4, -100, 100), TTNoCut);
  Store(1, 4, 11, 35, TTExact);
  EXPECT_EQ(Probe(1, 4, -100, 100), TTCutExact);
  EXPECT_EQ(score, 35);
  EXPECT_EQ(PositionCache.Hits - hits + PositionCache.Misses - misses, 2u);
  score = 0;
  EXPECT_EQ(Probe(1, 5, -100, 100), TTNoCut);
  EXPECT_EQ(score, 0);
  Store(2, 3, 12, 50, TTLowerBound);
  EXPECT_EQ(Probe(2, 3, -100, 50), TTCutLower);
  EXPECT_EQ(Probe(2, 3, -100, 51), TTNoCut);
  // A shallow upper bound below beta advises against the null move.
  Store(3, 3, 13, 50, TTUpperBound);
  EXPECT_EQ(Probe(3, 3, 50, 100), TTCutUpper);
  const std::pair<int, int> depthsAndResults[] = {{5, TTNoCutNoNull}, {6, TTNoCutNoNull}, {7, TTNoCut}};
  for (const auto& [depth, result] : depthsAndResults) EXPECT_EQ(Probe(3, depth, 0, 100), result) << depth;
  EXPECT_EQ(Probe(3, 5, 0, 50), TTNoCut);   // score not below beta
  move = 0;   // both halves must match
  PositionCache.SearchTranspositionTables(Upper(9), Lower(3), 0, 1, -100, 100, score, move);
  EXPECT_EQ(move, 0);
}

TEST_F(TranspositionTest, MateScoresAreStoredWithTheDepthAdded) {
  const std::pair<int, int> scores[] = {{109900, 109907}, {-109801, -109808}, {109800, 109800}, {109801, 109808}};
  for (const auto& [searched, stored] : scores) {
    Store(1, 7, 1, searched, TTExact);
    EXPECT_EQ(Slot(0).Score, stored) << searched;
  }
  EXPECT_EQ(Probe(1, 7, -MateScore, MateScore), TTCutExact);
  EXPECT_EQ(score, 109808) << "returned as stored";
}

// A cleared table has forgotten every entry; an aged one keeps the moves but allows no cut-off
// and lets the next store take slot 1. Both stay true when their 16-bit counters wrap around.
TEST_F(TranspositionTest, ClearingForgetsAndAgeingDisarmsEvenAfterTheCountersWrap) {
  constexpr int Rounds = TTLastStamp + 1;   // one full cycle of a counter
  for (int cycles : {1, Rounds}) {
    Store(1, 4, 11, 35, TTExact);
    for (int i = 0; i < cycles; i++) PositionCache.AgeTranspositionTables();
    move = 0;
    EXPECT_EQ(Probe(1, 4, -100, 100), TTNoCut) << cycles;
    EXPECT_EQ(move, 11) << cycles;
    Store(2, 1, 12, 0, TTExact);
    EXPECT_EQ(Slot(0).UpperHash, Upper(2)) << cycles;
    for (int i = 0; i < cycles; i++) PositionCache.ClearTranspositionTables();
    move = -1;
    for (int position : {1, 2}) EXPECT_EQ(Probe(position, 0, -100, 100), TTNoCut) << cycles;
    EXPECT_EQ(move, -1) << cycles;
    Store(3, 1, 13, 0, TTUpperBound);
    Store(4, 1, 14, 0, TTUpperBound);
    EXPECT_EQ(Probe(4, 1, 0, 100), TTCutUpper) << "slot 2 after a clear: " << cycles;
  }
}

// A new size gives an empty table of a power of two of buckets within it (the default of 192 MiB is
// today's table exactly); a size out of range changes nothing. The table is left at its default.
TEST_F(TranspositionTest, ResizingGivesAnEmptyTableWithinTheSize) {
  Store(1, 4, 11, 35, TTExact);
  EXPECT_FALSE(PositionCache.Resize(0));
  EXPECT_FALSE(PositionCache.Resize(TTMaxMiB + 1));
  EXPECT_EQ(Probe(1, 4, -100, 100), TTCutExact) << "a refused size keeps the table";
  ASSERT_TRUE(PositionCache.Resize(1));
  EXPECT_EQ(PositionCache.BucketCount, 8192u);   // 768 KiB: 16384 buckets would need 1.5 MiB
  EXPECT_EQ(PositionCache.IndexMask, 8191u);
  EXPECT_EQ(PositionCache.SizeMiB(), 0);
  move = -1;
  EXPECT_EQ(Probe(1, 4, -100, 100), TTNoCut);
  EXPECT_EQ(move, -1);
  Store(1, 4, 11, 35, TTExact);   // bucket 12345 & 8191 of the small table
  EXPECT_EQ(PositionCache.Buckets[Bucket & 8191].Slot[0].UpperHash, Upper(1));
  EXPECT_EQ(Probe(1, 4, -100, 100), TTCutExact);
  EXPECT_TRUE(PositionCache.ProvideAllPages());
  EXPECT_FALSE(PositionCache.ProvideNextPages()) << "a resized table is provided at once";
  EXPECT_EQ(Probe(1, 4, -100, 100), TTCutExact) << "providing the pages keeps what they hold";
  ASSERT_TRUE(PositionCache.Resize(192));
  EXPECT_EQ(PositionCache.BucketCount, 1u << 21);
  EXPECT_EQ(PositionCache.IndexMask, TTIndexMask);
  EXPECT_EQ(PositionCache.SizeMiB(), 192);
}

}  // namespace
