// Bit scans and counts.
#include <gtest/gtest.h>
#include <random>
#include "board/Bitboard.h"

namespace {

TEST(Bitboard, EmptySetHasDefinedAnswers) {
  EXPECT_EQ(RightMostBit(0) + MybitScanForward(0) + SimpleBitCount(0) + PopCount(0), 0);
  EXPECT_EQ(BSR(0), -1);
  EXPECT_EQ(static_cast<std::uint32_t>(MyLog2(0)), 0xFFFFFFFFu);
  EXPECT_EQ(SquareIndex(0), 63);  // always a valid table index
  testing::internal::CaptureStdout();
  DisplayBit(64, ~0ull);  // off the board: never set
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "- ");
}

TEST(Bitboard, ScansAgreeWithBitLoops) {
  std::mt19937_64 rng(1);
  for (int i = 0; i < 100000; ++i) {
    const SquareSet s = (rng() >> (rng() % 64)) & (~0ull << (rng() % 64));  // vary both ends
    if (s == 0) continue;
    int lowest = 0, highest = 63, count = 0;
    while (!(s >> lowest & 1)) ++lowest;
    while (!(s >> highest & 1)) --highest;
    for (int b = 0; b < 64; ++b) count += static_cast<int>(s >> b & 1);
    ASSERT_EQ(RightMostBit(s), lowest + 1);
    ASSERT_EQ(MybitScanForward(s), lowest + 1);
    ASSERT_EQ(SquareIndex(s), lowest);
    ASSERT_EQ(BSR(s), highest);
    ASSERT_EQ(MyLog2(s), highest);
    ASSERT_EQ(PopCount(s), count);
    ASSERT_EQ(SimpleBitCount(s), count);
    ASSERT_EQ(IsSingleSquare(s), count == 1);
  }
}

}  // namespace
