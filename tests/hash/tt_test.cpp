// The transposition table: which slot of a bucket each result goes to, ageing, cut-offs by bound
// and depth, mate scores. (Clearing: the search tests repeat fixed-depth searches exactly.)
#include <gtest/gtest.h>

#include <string>
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
  std::string Moves() const { return std::to_string(Slot(0).Move) + " " + std::to_string(Slot(1).Move) + " " + std::to_string(Slot(2).Move); }
};

// The same position keeps its deepest result in slot 1 (equally deep: the newer); the rest queue
// behind it, newest first, and the oldest queued entry is lost.
TEST_F(TranspositionTest, ReplacementWithinABucket) {
  Store(1, 3, 100, 10, TTExact);
  Store(1, 5, 200, 20, TTExact);
  EXPECT_EQ(Moves(), "200 100 0");
  EXPECT_EQ(Slot(0).Valid, TTWrittenSlot1);
  Store(1, 2, 300, 30, TTExact);
  EXPECT_EQ(Moves(), "200 300 100");
  EXPECT_EQ(Slot(1).Valid, TTWrittenSlot2);
  Store(1, 5, 400, 40, TTExact);
  EXPECT_EQ(Slot(0).Move, 400);
  for (int position = 2; position <= 4; position++) Store(position, 9, position, 0, TTLowerBound);
  EXPECT_EQ(Moves(), "400 4 3") << "a valid slot 1 of another position stays, however deep the result";
  EXPECT_EQ(Probe(2, 1, -100, 100), TTNoCut);
  EXPECT_EQ(move, 0);
  // Both halves must match.
  PositionCache.SearchTranspositionTables(Upper(9), Lower(4), 0, 1, -100, 100, score, move);
  EXPECT_EQ(move, 0);
}

TEST_F(TranspositionTest, AgedEntriesGiveMovesButNoCutOffs) {
  Store(1, 6, 500, 40, TTExact);
  PositionCache.AgeTranspositionTables();
  EXPECT_EQ(Probe(1, 2, -100, 100), TTNoCut);
  EXPECT_EQ(move, 500);
  EXPECT_EQ(score, 0);
  Store(1, 2, 600, 40, TTExact);   // into the aged slot 1
  EXPECT_EQ(Slot(0).Move, 600);
  EXPECT_EQ(Probe(1, 9, -100, 100), TTNoCut);
  EXPECT_EQ(move, 500) << "the move comes from the deepest matching slot";
  Store(2, 1, 700, 0, TTExact);
  EXPECT_EQ(Slot(0).LowerHash, Lower(1)) << "a valid slot 1 of another position stays";
}

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

}  // namespace
