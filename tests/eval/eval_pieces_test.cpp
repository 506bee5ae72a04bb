// King shelter, pawn storms, attacks on the king, traps and the piece terms.
#include <gtest/gtest.h>
#include "EvalTestBoards.h"

using namespace evaltest;

TEST(EvalKingSafety, PawnShield) {
  const struct { const char* fen; char colour; int penalty, holes; } cases[] = {
    {"6k1/8/8/8/8/8/5PPP/6K1 w - - 0 1", 0, 0, 0},
    {"6k1/8/8/8/8/8/PPP5/6K1 w - - 0 1", 0, 1400, 3},
    {"6k1/8/8/7P/6P1/8/5P2/6K1 w - - 0 1", 0, 2 * 70 + 0 + 105, 1},   // g4 advanced, h5 a hole
    {"6k1/8/8/8/8/8/5PNP/6K1 w - - 0 1", 0, 350, 1},                  // knight in front: counted once
    {"6k1/8/8/8/8/5P2/6PP/7K w - - 0 1", 0, 35, 0},                   // corner king: files h, g, f
    {"6k1/5p2/6p1/7p/8/8/8/6K1 b - - 0 1", 1, 2 * 35 + 70, 0},
  };
  for (const auto& c : cases) {
    Evaluated(c.fen);
    EXPECT_EQ(PE.PawnShield(c.colour), c.penalty) << c.fen;
    EXPECT_EQ(c.colour ? PE.BlackShieldHoles : PE.WhiteShieldHoles, c.holes) << c.fen;
  }
}

TEST(EvalKingSafety, PawnStormAndAttackCounts) {
  Evaluated("6k1/8/6P1/7P/5P2/8/8/4K3 w - - 0 1");
  EXPECT_EQ(PE.PawnStorm(0), 600 + 300 + 100);
  Evaluated("7k/8/4P3/8/8/8/8/4K3 w - - 0 1");   // e6 is outside the files f-h of a king on h8
  EXPECT_EQ(PE.PawnStorm(0), 0);
  // Queen and knight: (2 attacked squares + 1 + 4) * 110, + 1080 for the queen on rank 1, * 2 / 4,
  // and -30 for no heavy piece on the king's files.
  Evaluated("6k1/8/8/8/8/4n3/5PPP/q5K1 w - - 0 1");
  PE.PawnShield(0);
  EXPECT_EQ(PE.AttackCounts(0), (7 * 110 + 1080) * 2 / 4 - 30);
}

TEST(EvalTraps, Patterns) {
  const std::pair<const char*, int> cases[] = {
    {"4k2N/7p/8/8/8/8/8/4K3 w - - 0 1", -1219},
    {"4k3/B1p5/1p6/8/8/8/8/4K3 w - - 0 1", -1600},
    {"r3k3/8/8/8/8/8/6P1/5KR1 w - - 0 1", -1670},
    {"4k3/8/8/8/8/8/6P1/5KR1 w - - 0 1", 0},      // Black has no heavy piece to exploit it
    {"1rk5/2p5/8/8/8/8/8/R3K3 w - - 0 1", 1670},
    {"4k2N/8/8/8/8/8/8/4K3 w - - 0 1", 0},
  };
  for (const auto& [fen, value] : cases) {
    Evaluated(fen);
    EXPECT_EQ(PE.Traps(0), value) << fen;
  }
}

TEST(EvalPieces, TermsOfSinglePatterns) {
  const struct { const char* fen; EvalTerm term; int mg, eg; } cases[] = {
    {"4k3/8/8/8/8/6P1/5PBP/4K3 w - - 0 1", TermFianchetto, 200, 0},
    {"4k3/5pbp/6p1/8/8/8/8/4K3 w - - 0 1", TermFianchetto, -200, 0},
    // The queen on h7 can only go to g8 and h8, both covered by the rook.
    {"k4r2/6PQ/6PP/8/8/8/8/K7 w - - 0 1", TermQueenTrapped, 0, -6500},
    {"k7/6PQ/6PP/8/8/8/8/K7 w - - 0 1", TermQueenTrapped, 0, 0},
    {"4k3/p7/8/3N4/8/8/P7/4K3 w - - 0 1", TermKnightOutposts, 120, 0},
    {"4k3/8/4p3/3N4/8/8/P7/4K3 w - - 0 1", TermKnightOutposts, 0, 0},   // the e6 pawn attacks it
    {"4k3/1p6/8/8/8/8/1P6/R3K3 w - - 0 1", TermRookFiles, 320, 140},
    {"6k1/R4ppp/8/8/8/8/6PP/6K1 w - - 0 1", TermMajorsOn7th, 175, 350}};
  for (const auto& c : cases) {
    const EvalTrace t = Traced(c.fen);
    EXPECT_EQ(t.Mg[c.term][0] + t.Mg[c.term][1] + t.Mg[c.term][2], c.mg) << c.fen;
    EXPECT_EQ(t.Eg[c.term][0] + t.Eg[c.term][1] + t.Eg[c.term][2], c.eg) << c.fen;
  }
  Evaluated("4k3/8/8/8/8/8/8/2B1KB2 w - - 0 1");
  const int withPair = PE.BishopEval(0);
  Evaluated("4k3/8/8/8/8/8/8/2B1K3 w - - 0 1");
  EXPECT_EQ(withPair - PE.BishopEval(0), 500) << "the bishop pair";
}
