// The pawn hash table: counters, empty slots, and the king-dependent terms.
#include <gtest/gtest.h>
#include "EvalTestBoards.h"

using namespace evaltest;

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
