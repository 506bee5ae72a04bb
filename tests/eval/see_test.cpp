// Static exchange evaluation: captures, king recaptures and x-rays.
#include <gtest/gtest.h>

#include "eval/SEE.h"
#include "support/Boards.h"

namespace {

using namespace nelktest;

// Exchange on `to` started by the piece on `from`; the other colour recaptures first.
int Exchange(const char* placement, const char* from, const char* to) {
  const ChessBoard b = PlacementBoard(placement);
  const char side = (b.WhitePieces & Bit(from)) != 0 ? 1 : 0;
  return see.StaticExchangeEvaluation(side, Bit(from), Bit(to), b);
}

TEST(SeeExchange, CapturesKingsAndEdges) {
  const struct { const char *placement, *from, *to; int value; } cases[] = {
      {"4k3/8/8/3n4/4P3/8/8/4K3", "e4", "d5", KnightValue},
      {"4k3/2p5/3p4/8/8/8/8/3QK3", "d1", "d6", PawnValue - QueenValue},
      {"4k3/8/8/8/8/8/8/R3K3", "a1", "a5", 0},
      {"4k3/8/1p6/8/8/8/8/R3K3", "a1", "a5", -RookValue},
      // Pawn attacks do not wrap: the h2 pawn does not defend a4, the a7 pawn does not guard h5.
      {"4k3/8/8/1p6/n7/8/7P/R3K3", "a1", "a4", KnightValue - RookValue},
      {"4k3/p7/8/7r/8/8/8/4K2R", "h1", "h5", RookValue},
      // A king never recaptures into a defended square.
      {"8/8/8/3k4/4p3/8/8/4Q1K1", "e1", "e4", PawnValue - QueenValue},
      {"8/8/8/3k4/4p3/8/5N2/4Q1K1", "e1", "e4", PawnValue}};
  for (const auto& c : cases) EXPECT_EQ(Exchange(c.placement, c.from, c.to), c.value) << c.placement;
  // Taking the king outweighs everything.
  EXPECT_EQ(see.StaticExchangeEvaluation(1, Bit("e1"), Bit("d5"), PlacementBoard("8/8/8/3k4/4p3/8/5N2/4Q1K1")),
            SeeKingValue);
}

// The piece behind a capturer on the same line joins the exchange, whichever way the line runs.
TEST(SeeExchange, XraysJoinAlongEachKindOfLine) {
  // The comment names where the joining piece stands, seen from the target.
  EXPECT_EQ(Exchange("3rk3/8/8/3r4/8/8/3R4/3RK3", "d2", "d5"), RookValue);          // south
  EXPECT_EQ(Exchange("3k4/3r4/3r4/8/8/3R4/8/3RK3", "d6", "d3"), RookValue);         // north
  EXPECT_EQ(Exchange("4k3/8/8/r2n2RR/8/8/8/4K3", "g5", "d5"), KnightValue);         // east
  EXPECT_EQ(Exchange("4k3/8/8/QR1n3r/8/8/8/4K3", "b5", "d5"), KnightValue);         // west
  EXPECT_EQ(Exchange("4k3/6b1/8/4n3/8/2B5/1Q6/4K3", "c3", "e5"), KnightValue);     // south-west
  EXPECT_EQ(Exchange("1b2k3/8/8/4n3/5B2/6Q1/8/4K3", "f4", "e5"), KnightValue);     // south-east
  EXPECT_EQ(Exchange("4k3/8/3p4/4n3/3P4/2B5/8/4K3", "d4", "e5"), KnightValue) << "behind a pawn";
  // Pieces behind later capturers join too.
  EXPECT_EQ(Exchange("3rk3/3r4/8/3r4/8/8/3R4/3RK3", "d2", "d5"), 0);
  EXPECT_EQ(Exchange("4k3/2q5/3p4/4n3/3P4/2B5/8/4K3", "d4", "e5"), KnightValue - PawnValue);
  // The x-ray scans stop at the board edge: without that each would score the other way.
  EXPECT_EQ(Exchange("4k1r1/8/8/R7/6nR/8/8/4K3", "h4", "g4"), KnightValue - RookValue);
  EXPECT_EQ(Exchange("4k3/8/8/8/8/B2n3B/1n6/4K3", "a3", "b2"), KnightValue - BishopValue);
}

TEST(SeeParts, PawnsAttackNothingAcrossTheEdge) {
  // Pawns on the far edge attack nothing across it.
  const ChessBoard edges = PlacementBoard("4k3/p7/8/P7/7p/8/7P/4K3");   // the evaluator keeps a pointer to it
  see.StaticExchangeEvaluation(0, Bit("h2"), Bit("g3"), edges);
  EXPECT_EQ(see.SquareAttacksDefences(Bit("a4")) | see.SquareAttacksDefences(Bit("h5")), 0u);
  EXPECT_EQ(see.SquareAttacksDefences(Bit("b6")), Bit("a5") | Bit("a7"));
}

}  // namespace
