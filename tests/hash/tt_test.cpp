#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include "board/Types.h"
#include "engine/MatchLog.h"
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

TEST_F(TranspositionTest, SamePositionKeepsItsDeepestResultInSlotOne) {
  Store(1, 3, 100, 10, TTExact);
  Store(1, 5, 200, 20, TTExact);
  EXPECT_EQ(Slot(0).Move, 200);
  EXPECT_EQ(Slot(0).Valid, TTWrittenSlot1);
  EXPECT_EQ(Slot(1).Move, 100);
  Store(1, 2, 300, 30, TTExact);
  EXPECT_EQ(Slot(0).Move, 200);
  EXPECT_EQ(Slot(1).Move, 300);
  EXPECT_EQ(Slot(1).Valid, TTWrittenSlot2);
  EXPECT_EQ(Slot(2).Move, 100);
  Store(1, 5, 400, 40, TTExact);   // equally deep: the newer result wins
  EXPECT_EQ(Slot(0).Move, 400);
}

TEST_F(TranspositionTest, OtherPositionsQueueBehindSlotOne) {
  for (int position = 1; position <= 4; position++) Store(position, 9 - position, position, 0, TTLowerBound);
  EXPECT_EQ(Slot(0).LowerHash, Lower(1));
  EXPECT_EQ(Slot(1).LowerHash, Lower(4));
  EXPECT_EQ(Slot(2).LowerHash, Lower(3));
  EXPECT_EQ(Probe(2, 1, -100, 100), TTNoCut);
  EXPECT_EQ(move, 0) << "the oldest queued entry is the one lost";
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
  EXPECT_EQ(PositionCache.Misses, misses + 1);
  Store(1, 4, 11, 35, TTExact);
  EXPECT_EQ(Probe(1, 4, -100, 100), TTCutExact);
  EXPECT_EQ(score, 35);
  EXPECT_EQ(PositionCache.Hits, hits + 1);
  score = 0;
  EXPECT_EQ(Probe(1, 5, -100, 100), TTNoCut);
  EXPECT_EQ(score, 0);
  Store(2, 3, 12, 50, TTLowerBound);
  EXPECT_EQ(Probe(2, 3, -100, 50), TTCutLower);
  EXPECT_EQ(score, 50);
  EXPECT_EQ(Probe(2, 3, -100, 51), TTNoCut);
}

TEST_F(TranspositionTest, ShallowUpperBoundAdvisesAgainstNullMove) {
  Store(1, 3, 13, 50, TTUpperBound);
  Store(2, 2, 14, 50, TTUpperBound);
  EXPECT_EQ(Probe(1, 3, 50, 100), TTCutUpper);
  EXPECT_EQ(score, 50);
  EXPECT_EQ(Probe(1, 5, 0, 100), TTNoCutNoNull);   // 3 >= 5 - 2
  EXPECT_EQ(Probe(1, 6, 0, 100), TTNoCutNoNull);   // 3 >= 6 - 3
  EXPECT_EQ(Probe(1, 7, 0, 100), TTNoCut);
  EXPECT_EQ(Probe(1, 5, 0, 50), TTNoCut);          // score not below beta
  EXPECT_EQ(Probe(2, 5, 0, 100), TTNoCut);         // 2 < 5 - 2
}

TEST_F(TranspositionTest, MateScoresAreStoredWithTheDepthAdded) {
  const int scores[] = {109900, -109801, 109800, 109801};
  const int stored[] = {109907, -109808, 109800, 109808};
  for (int i = 0; i < 4; i++) {
    Store(1, 7, 1, scores[i], TTExact);
    EXPECT_EQ(Slot(0).Score, stored[i]);
  }
  EXPECT_EQ(Probe(1, 7, -MateScore, MateScore), TTCutExact);
  EXPECT_EQ(score, 109808) << "returned as stored";
}

TEST_F(TranspositionTest, ClearingLogsAndEmptiesEverySlot) {
  Store(1, 4, 1, 0, TTExact);
  dlog = std::tmpfile();
  ASSERT_NE(dlog, nullptr);
  PositionCache.ClearTranspositionTables();
  char text[64] = {};
  std::rewind(dlog);
  const std::size_t length = std::fread(text, 1, sizeof text - 1, dlog);
  CloseLogFile();
  EXPECT_EQ(std::string(text, length), "Clearing Transposition Tables\n\n");
  EXPECT_EQ(Probe(1, 0, -100, 100), TTNoCut);
  EXPECT_EQ(move, 0);
}

}  // namespace
