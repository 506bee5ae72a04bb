// Attack masks of whole sets and empty sets (single squares: counted by the perft suite, whose
// every move and legality decision rests on them).
#include <gtest/gtest.h>
#include "BoardSetup.h"

namespace {

using board_test::Bit;
using board_test::Board;

// Several squares shift as one set, so the edge guards must hold for all of them.
TEST(AttackMasks, EmptyAndMultiSquareSets) {
  ChessBoard b = Board({"Pa5"});
  EXPECT_EQ(b.KnightMask(0) | b.KingMask(0) | b.RookMask(0) | b.BishopMask(0) | b.RookCheckMask(0, ~0ull), 0u);
  EXPECT_FALSE(b.InCheck(0, 0));
  EXPECT_EQ(b.KnightMask(Bit("c3") | Bit("f6")), b.KnightMask(Bit("c3")) | b.KnightMask(Bit("f6")));
  EXPECT_EQ(b.KnightMask(Bit("a1") | Bit("h8")), 0u);
  EXPECT_EQ(b.RookMask(Bit("a1") | Bit("a3")) & Masks::FileA, Bit("a1") | Bit("a2") | Bit("a3") | Bit("a4") | Bit("a5"));
}

TEST(AttackMasks, FillsAndRookAttackCount) {
  const ChessBoard b = Board({"Rd1", "Qh8", "pd6", "Nd3", "ph3", "Ka1", "ka8"});
  EXPECT_EQ(b.NorthAttacks(Bit("d1") | Bit("h3"), ~b.AllPieces), Bit("d2") | Bit("d3") | Bit("h4") | Bit("h5") | Bit("h6") | Bit("h7") | Bit("h8"));
  EXPECT_EQ(b.SouthAttacks(Bit("h8"), ~b.AllPieces), Bit("h7") | Bit("h6") | Bit("h5") | Bit("h4") | Bit("h3"));
  EXPECT_EQ(b.RookAttackCount(Bit("d1")), 1 + 2 + 4);  // own knight d3 and own king a1 not counted
  EXPECT_EQ(b.RookAttackCount(Bit("h8")), 5 + 7);      // Black pawn h3 and king a8 counted
}

}  // namespace
