// Pawn structure, passed pawns, pawn races and the pawn hash table.
#include <gtest/gtest.h>
#include "EvalTestBoards.h"

using namespace evaltest;

TEST(EvalPawns, DoubledBackwardAndWingPawns) {
  Evaluated("4k3/8/8/8/8/2P5/2P5/4K3 w - - 0 1");
  EXPECT_EQ(PE.WhiteDoubledPawns, 1) << "only the rear pawn of the pair";
  // d2 has neighbours only above it; d7 blocks it, so it is backward and not passed
  Evaluated("4k3/3p4/8/8/8/2P1P3/3P4/4K3 w - - 0 1");
  EXPECT_EQ(PE.WeakPawns, SquareSet{1} << 11);
  // a rook pawn costs 5 while its own king is on the other wing
  Evaluated("4k3/8/8/8/8/8/PP6/6K1 w - - 0 1");
  const int farScore = PE.WhitePawnScore;
  Evaluated("4k3/8/8/8/8/8/PP6/1K6 w - - 0 1");
  EXPECT_EQ(PE.WhitePawnScore - farScore, 5);
}

TEST(EvalPawns, ConnectedAndProtectedPassers) {
  Evaluated("4k3/8/8/3PP3/8/8/8/4K3 w - - 0 1");
  EXPECT_EQ(PE.WhitePasserScore, 2 * 320);
  EXPECT_EQ(PE.PasserFlags & 3, 3);
  // d5 protected by c4, which is a candidate (no Black pawn on its file, outnumbering b5)
  Evaluated("4k3/8/8/1p1P4/2P5/8/8/4K3 w - - 0 1");
  EXPECT_EQ(PE.WhitePasserScore, 300 + 160 / 3);
  EXPECT_EQ(PE.PasserFlags & 2, 0);
}

TEST(EvalPawns, SquareRuleAndRaces) {
  Evaluated("8/8/5k2/8/P7/8/8/7K w - - 0 1");   // Black king five steps from a8
  EXPECT_TRUE(PE.DoesPawnPromote(0, 3, 56, 0));
  EXPECT_FALSE(PE.DoesPawnPromote(0, 3, 56, 1));
  EXPECT_EQ(PE.RuleofSquare(0), 5700);
  EXPECT_EQ(PE.RuleofSquare(1), 0);
  Evaluated("8/8/8/6k1/8/8/P7/7K w - - 0 1");   // the pawn on its second rank moves as if from the third
  EXPECT_TRUE(PE.DoesPawnPromote(0, 1, 56, 0));
  Evaluated("8/8/5k2/8/P7/8/8/6NK w - - 0 1");   // with a piece on the board there is no race
  EXPECT_EQ(PE.RuleofSquare(0), 0);
  // equal races: White queens first with check and Black's king is far from its queening square
  Evaluated("7k/8/8/P7/7p/8/K7/8 w - - 0 1");
  EXPECT_EQ(PE.RuleofSquare(0), 5700);
}

TEST(EvalPawnHash, AttemptsMissesAndHits) {
  ClearPawnHash();
  ChessBoard b = Board("r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3");
  const std::uint32_t attempts = Phashattempts, misses = Phashmisses;
  EXPECT_EQ(Eval(b), Eval(b));
  EXPECT_EQ(Phashattempts - attempts, 2u);
  EXPECT_EQ(Phashmisses - misses, 1u);
  EXPECT_TRUE(InPawnHash(b.PawnHashCode, b.WhitePawns | b.BlackPawns));
  // the traced evaluation walks the pawns itself and leaves the counters alone
  EvalTrace trace;
  PE.TraceEval(&b, 0, &trace);
  EXPECT_EQ(Phashattempts - attempts, 2u);
}

// A cleared slot is empty: a pawnless board whose code is 0 is evaluated, not restored from zeros.
TEST(EvalPawnHash, PawnlessBoardIsNotRestoredFromAnEmptySlot) {
  ClearPawnHash();
  ChessBoard b = Board("4k3/8/8/8/8/8/8/R3K3 w - - 0 1");
  ASSERT_EQ(b.PawnHashCode, 0u);
  EXPECT_FALSE(InPawnHash(0, 0));
  const std::uint32_t misses = Phashmisses;
  for (int i = 0; i < 2; i++) {
    Evaluate(b);
    EXPECT_EQ(Phashmisses - misses, 1u);
    EXPECT_EQ(PE.OpenFiles, ~SquareSet{0}) << "every file is open without pawns";
  }
}

// Root boards share a pawn code whatever the kings do; the king-dependent pawn terms must not be
// taken from a board whose kings stood elsewhere.
TEST(EvalPawnHash, KingDependentTermsFollowTheKings) {
  ChessBoard kingsFar = Board("4k3/pp6/8/8/8/8/PP6/6K1 w - - 0 1");
  ChessBoard kingsNear = Board("1k6/pp6/8/8/8/8/PP6/1K6 w - - 0 1");
  ASSERT_EQ(kingsFar.PawnHashCode, kingsNear.PawnHashCode);
  ClearPawnHash();
  const int fresh = Eval(kingsNear);
  ClearPawnHash();
  Eval(kingsFar);
  EXPECT_EQ(Eval(kingsNear), fresh);
}
