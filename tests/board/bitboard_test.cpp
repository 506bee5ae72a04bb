// Bit scans and counts of the empty set (the others: every perft and search step uses them).
#include <gtest/gtest.h>
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

}  // namespace
