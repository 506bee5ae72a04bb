// The evaluation as a whole: lazy exits, colour symmetry and the breakdown that must add up to
// the score (its printed form: the -pev suite test).
#include <gtest/gtest.h>
#include "EvalTestBoards.h"
#include "eval/EvalTables.h"
#include "testkit/EvalPositions.h"

using namespace evaltest;

TEST(EvalLazy, ExitsReturnTheStageScore) {
  ChessBoard b = Board("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1");
  EvalTrace full;
  const int fullScore = PE.TraceEval(&b, 0, &full);
  ASSERT_EQ(full.LazyExit, 0);
  // A window far below the score stops after the first stage.
  EvalTrace first;
  const int stage1 = PE.TraceEval(&b, 0, &first, -FullWindow, -50000);
  EXPECT_EQ(first.LazyExit, 1);
  EXPECT_EQ(first.Total(), stage1);
  EXPECT_EQ(PE.PosEval(0, -FullWindow, -50000, &b, 0), stage1);
  EXPECT_EQ(-PE.PosEval(1, 50000, FullWindow, &b, 0), stage1) << "the window is the side to move's";
  // A window just inside the first margin but outside the second stops after the second stage.
  const int beta = stage1 - EvalTables::LazyMarginFirst;
  EvalTrace second;
  const int stage2 = PE.TraceEval(&b, 0, &second, -FullWindow, beta);
  ASSERT_GT(stage2 - EvalTables::LazyMarginSecond, beta);
  EXPECT_EQ(second.LazyExit, 2);
  EXPECT_EQ(second.Total(), stage2);
  EXPECT_EQ(PE.PosEval(0, -FullWindow, beta, &b, 0), stage2);
  EXPECT_NE(stage2, fullScore);
  EXPECT_EQ(fullScore % 10, 0);
}

// Over a varied set of positions: the breakdown adds up, the mirrored board scores the same, and
// the draw test leaves the mating-material flags.
TEST(EvalSymmetry, MirrorBreakdownAndMatingFlags) {
  for (const char* fen : EvalPositions) {
    ChessBoard b = Board(fen);
    ExpectSumAndMirror(b, true, fen);
    const char expected = b.DrawFlag;
    b.CheckDraw(0);
    EXPECT_EQ(b.DrawFlag & 33, expected) << fen;
  }
}
