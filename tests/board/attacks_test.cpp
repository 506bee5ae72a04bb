// Attack masks against a reference that walks file and rank coordinates. (The check test is
// counted by the perft suite, whose every legality decision rests on it.)
#include <gtest/gtest.h>
#include <random>
#include "BoardSetup.h"

namespace {

using board_test::Bit;
using board_test::Board;
using Directions = std::initializer_list<std::pair<int, int>>;

SquareSet At(int file, int rank) {
  return (file >= 0 && file < 8 && rank >= 0 && rank < 8) ? SquareSet{1} << (rank * 8 + file) : 0;
}

// Union of the rays (df, dr) from sq, each up to its first blocker; with `reach` 1 a single step.
// Only rays that reach `target` count.
SquareSet Reference(int sq, Directions dirs, SquareSet occ, int reach = 7, SquareSet target = ~SquareSet{0}) {
  SquareSet result = 0;
  for (auto [df, dr] : dirs) {
    SquareSet ray = 0;
    for (int f = sq % 8 + df, r = sq / 8 + dr, n = 0; At(f, r) && n < reach; f += df, r += dr, ++n) {
      ray |= At(f, r);
      if (occ & At(f, r)) break;
    }
    if (ray & target) result |= ray;
  }
  return result;
}
const Directions Straight = {{0, 1}, {0, -1}, {1, 0}, {-1, 0}};
const Directions Diagonal = {{1, 1}, {-1, 1}, {1, -1}, {-1, -1}};
const Directions Leaps = {{1, 2}, {2, 1}, {2, -1}, {1, -2}, {-1, -2}, {-2, -1}, {-2, 1}, {-1, 2}};

// Several squares shift as one set, so the edge guards must hold for all of them.
TEST(AttackMasks, EmptyAndMultiSquareSets) {
  ChessBoard b = Board({"Pa5"});
  EXPECT_EQ(b.KnightMask(0) | b.KingMask(0) | b.RookMask(0) | b.BishopMask(0) | b.RookCheckMask(0, ~0ull), 0u);
  EXPECT_FALSE(b.InCheck(0, 0));
  EXPECT_EQ(b.KnightMask(Bit("c3") | Bit("f6")), b.KnightMask(Bit("c3")) | b.KnightMask(Bit("f6")));
  EXPECT_EQ(b.KnightMask(Bit("a1") | Bit("h8")), 0u);
  EXPECT_EQ(b.RookMask(Bit("a1") | Bit("a3")) & Masks::FileA, Bit("a1") | Bit("a2") | Bit("a3") | Bit("a4") | Bit("a5"));
}

TEST(AttackMasks, MatchReferenceOnRandomOccupancies) {
  std::mt19937_64 rng(20240611);
  ChessBoard b;
  for (int round = 0; round < 2000; ++round) {
    b.AllPieces = rng() & (round % 2 ? rng() : ~0ull) & (round % 3 ? rng() : ~0ull);
    const SquareSet target = rng() & rng();
    for (int sq = 0; sq < 64; ++sq) {
      const SquareSet s = SquareBit(sq), occ = b.AllPieces;
      ASSERT_EQ(b.RookMask(s), Reference(sq, Straight, occ)) << sq;
      ASSERT_EQ(b.BishopMask(s), Reference(sq, Diagonal, occ)) << sq;
      ASSERT_EQ(b.KnightMask(s), Reference(sq, Leaps, 0, 1));
      ASSERT_EQ(b.KingMask(s), Reference(sq, Straight, 0, 1) | Reference(sq, Diagonal, 0, 1));
      ASSERT_EQ(b.RookCheckMask(s, target), Reference(sq, Straight, occ, 7, target)) << sq;
      ASSERT_EQ(b.BishopCheckMask(s, target), Reference(sq, Diagonal, occ, 7, target)) << sq;
      // The whole-set ray walks give the same sets for one square.
      ASSERT_EQ(BoardAttacks::RookSpread(s, occ), b.RookMask(s));
      ASSERT_EQ(BoardAttacks::BishopSpread(s, occ), b.BishopMask(s));
      ASSERT_EQ(BoardAttacks::KnightSpread(s), b.KnightMask(s));
      ASSERT_EQ(BoardAttacks::KingSpread(s), b.KingMask(s));
    }
  }
}

TEST(AttackMasks, FillsAndRookAttackCount) {
  const ChessBoard b = Board({"Rd1", "Qh8", "pd6", "Nd3", "ph3", "Ka1", "ka8"});
  std::mt19937_64 rng(5);
  for (int round = 0; round < 2000; ++round) {
    const SquareSet sliders = rng() & rng() & rng(), free = rng() | rng();
    SquareSet north = 0, south = 0;
    for (int sq = 0; sq < 64; ++sq) {
      if (!(sliders >> sq & 1)) continue;
      north |= Reference(sq, {{0, 1}}, ~free);
      south |= Reference(sq, {{0, -1}}, ~free);
    }
    ASSERT_EQ(b.NorthAttacks(sliders, free), north);
    ASSERT_EQ(b.SouthAttacks(sliders, free), south);
  }
  EXPECT_EQ(b.RookAttackCount(Bit("d1")), 1 + 2 + 4);  // own knight d3 and own king a1 not counted
  EXPECT_EQ(b.RookAttackCount(Bit("h8")), 5 + 7);      // Black pawn h3 and king a8 counted
}

}  // namespace
