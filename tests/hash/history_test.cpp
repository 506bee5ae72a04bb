// The repetition history: the window since the last irreversible move, full matches only, and the
// bounds of the table.
#include <gtest/gtest.h>

#include "hash/MoveHistory.h"

namespace {

constexpr const char* FullWarning = "MAJOR ERROR: NumMoves > 590 in InsertHashCodeMoveHistor \n";

// Position p is hashed as (p, p + 1000).
class HistoryTest : public ::testing::Test {
protected:
  MoveHistory history;
  void Push(std::initializer_list<std::uint64_t> positions) {
    for (std::uint64_t p : positions) history.InsertHashCodeMoveHistory(p, p + 1000);
  }
  void PushRange(int first, int last) {
    for (int p = first; p <= last; p++) Push({std::uint64_t(p)});
  }
  int Count(int n, std::uint64_t p) const { return history.ThreeFoldRepDetection(n, p, p + 1000); }
};

TEST_F(HistoryTest, WindowStartsAfterTheLastIrreversibleMove) {
  Push({1, 2, 3, 4, 5});
  EXPECT_EQ(Count(0, 5), -1);   // the current position itself was reached irreversibly
  EXPECT_EQ(Count(1, 5), 0);
  history.Init();
  Push({1, 7, 8, 9, 3, 4, 5, 6, 3});   // 3 again four plies later
  EXPECT_EQ(Count(6, 3), 1);
  EXPECT_EQ(Count(4, 3), 0) << "the position reached irreversibly lies outside the window";
  EXPECT_EQ(Count(INT32_MAX, 3), 1) << "a window longer than the history starts at its bottom";
  EXPECT_EQ(Count(-1, 3), -1);
}

TEST_F(HistoryTest, OnlyFullMatchesWithTheSameSideToMoveCount) {
  Push({3, 1, 2, 3});   // 3 plies earlier the other side was to move
  EXPECT_EQ(Count(10, 3), 0);
  history.Init();
  Push({3});
  history.InsertHashCodeMoveHistory(4, 3 + 1000);
  history.InsertHashCodeMoveHistory(3, 9);
  Push({5, 3});
  EXPECT_EQ(Count(10, 3), 1) << "entries sharing one half only are different positions";
}

// The search pushes and pops on top of the game: a full history warns and drops its oldest
// positions, never the search path.
TEST_F(HistoryTest, FullHistoryDropsItsOldestPositions) {
  history.RetractMove();
  EXPECT_EQ(history.NumMoves, 0);
  PushRange(0, 589);
  ::testing::internal::CaptureStdout();
  Push({590});
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), FullWarning);
  ::testing::internal::CaptureStdout();
  PushRange(591, HistoryCapacity - 1);
  PushRange(1000, 1009);
  ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(history.NumMoves, HistoryCapacity - HistoryDropBlock + 10);
  EXPECT_EQ(history.Entries[0].Upper, std::uint64_t(HistoryDropBlock));
  for (int i = 0; i < 10; i++) history.RetractMove();
  EXPECT_EQ(history.Entries[history.NumMoves - 1].Upper, std::uint64_t(HistoryCapacity - 1));
}

}  // namespace
