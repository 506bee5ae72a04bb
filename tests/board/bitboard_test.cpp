// Bit scans, counts and the set diagram.
#include <gtest/gtest.h>
#include <random>
#include "board/Bitboard.h"

namespace {

TEST(Bitboard, EmptySetHasDefinedAnswers) {
  EXPECT_EQ(RightMostBit(0), 0);
  EXPECT_EQ(MybitScanForward(0), 0);
  EXPECT_EQ(BSR(0), -1);
  EXPECT_EQ(static_cast<std::uint32_t>(MyLog2(0)), 0xFFFFFFFFu);
  EXPECT_EQ(SquareIndex(0), 63);  // always a valid table index
  EXPECT_EQ(SimpleBitCount(0) + PopCount(0), 0);
}

TEST(Bitboard, ScansAgreeWithBitLoops) {
  EXPECT_EQ(RightMostBit(0x80), 8);
  EXPECT_EQ(BSR(0x80), 7);
  EXPECT_EQ(MyLog2(1), 0);
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

TEST(Bitboard, DisplaybitsLayout) {
  testing::internal::CaptureStdout();
  Displaybits(1ull | 1ull << 63 | 1ull << 12);  // a1, h8, e2
  DisplayBit(64, ~0ull);  // off the board: never set
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "   A B C D E F G H\n\n"
            "8  - - - - - - - 1  8\n"
            "7  - - - - - - - -  7\n"
            "6  - - - - - - - -  6\n"
            "5  - - - - - - - -  5\n"
            "4  - - - - - - - -  4\n"
            "3  - - - - - - - -  3\n"
            "2  - - - - 1 - - -  2\n"
            "1  1 - - - - - - -  1\n\n"
            "   A B C D E F G H\n- ");
}

}  // namespace
