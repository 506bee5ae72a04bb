// The evaluation as a whole: pawnless shortcuts, phase, lazy exits, corrections, colour symmetry
// and the breakdown that must add up to the score (its printed form: the -pev suite test).
#include <gtest/gtest.h>
#include "eval/EvalTables.h"
#include "EvalPositions.h"
#include "EvalTestBoards.h"

using namespace evaltest;

// Without pawns: the kings' table values, and an extra minor piece counting three quarters.
TEST(EvalPawnless, ShortcutScores) {
  const std::pair<const char*, int> cases[] = {
      {"k7/8/8/8/3K4/8/8/8 w - - 0 1", 330}, {"k7/8/8/8/3K4/8/8/8 b - - 0 1", -330},
      {"8/3r4/4k3/8/8/3K4/3R4/8 w - - 0 1", 0},   // e6 and d3 have equal table values
      {"7k/3r4/8/8/3K4/8/3R4/8 w - - 0 1", 80 + 250}, {"k7/8/8/8/3K4/8/3N4/8 w - - 0 1", (3 * 3250) / 4 + 330}};
  for (const auto& [fen, score] : cases) EXPECT_EQ(Eval(Board(fen)), score) << fen;
  EXPECT_NE(Eval(Board("k7/8/8/n7/3K4/8/2BB4/8 w - - 0 1")), (3 * 3250) / 4 + 330) << "two bishops are not cut down";
}

TEST(EvalEndgame, RookAgainstMinorIsHalved) {
  for (const char* fen : {"8/8/4k3/8/2b5/3K4/3R4/8 w - - 0 1", "8/8/4k3/8/2n5/3K4/3R4/8 b - - 0 1"}) {
    const EvalTrace trace = Traced(fen);
    const int halving = trace.Direct[TermTwoPieceEnding];
    ASSERT_NE(halving, 0) << fen;
    EXPECT_EQ((trace.Result - halving) / 2, trace.Result) << fen;
    EXPECT_EQ(trace.Direct[TermRounding], 0) << "later stages must not run: " << fen;
  }
  // two knights, or a pawn on the board: no halving
  for (const char* fen : {"8/8/4k3/8/8/3K4/2NN4/8 w - - 0 1", "8/8/4k3/8/2b5/3K4/3R1P2/8 w - - 0 1"})
    EXPECT_EQ(Traced(fen).Direct[TermTwoPieceEnding], 0) << fen;
}

TEST(EvalPhase, ClampedToOne) {
  for (const char* fen : {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
                          "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/QQQQKBNR w Kkq - 0 1"})
    EXPECT_EQ(Traced(fen).Phase, 1) << fen;
  EXPECT_EQ(Traced("4k3/pppp4/8/8/8/8/PPPP4/R3K3 w - - 0 1").Phase, 24 - 2);
}

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

TEST(EvalCorrections, MatingMaterialLoneMinorAndPieceAgainstPawns) {
  ChessBoard b = Board("4k3/pp6/8/8/8/8/PP6/4K3 w - - 0 1");
  const std::pair<char, int> flags[] = {{0, 0}, {1, 800}, {32, -800}, {33, 0}};
  b.DrawFlag = 0;
  const int none = Eval(b, 0);
  for (const auto& [flag, bonus] : flags) {
    b.DrawFlag = flag;
    EXPECT_EQ(Eval(b, 0), none + bonus) << int(flag);
  }
  EvalTrace trace = Traced("8/8/4k3/8/2n5/8/PP4K1/8 w - - 0 1");
  EXPECT_EQ(trace.Direct[TermPieceAgainstPawns], 1100);
  EXPECT_EQ(trace.Direct[TermLoneMinor], 800);   // the knight alone cannot beat the pawns
  trace = Traced("8/8/4k3/pp6/8/8/3B4/4K3 w - - 0 1");
  EXPECT_EQ(trace.Direct[TermPieceAgainstPawns], -1100);
  EXPECT_EQ(trace.Direct[TermLoneMinor], -750);
}

// Opposite bishops keep a quarter of the positional advantage, unless only rook pawns are left.
TEST(EvalCorrections, OppositeBishopsAndTheRookPawnRule) {
  auto shrink = [](const char* fen) { return Traced(fen).Direct[TermOppositeBishops]; };
  EXPECT_LT(shrink("8/5k2/4b3/8/2P1P3/4BK2/8/8 w - - 0 1"), 0);
  EXPECT_EQ(shrink("8/5k2/4b3/8/2P1P3/3B1K2/8/8 w - - 0 1"), 0) << "same-coloured bishops";
  EXPECT_EQ(shrink("8/5k2/4b3/8/P6P/4BK2/8/8 w - - 0 1"), 0) << "rook pawns only";
  EXPECT_EQ(shrink("8/5k2/4b3/8/PPPPP3/4BK2/8/8 w - - 0 1"), 0) << "more than three pawns apart";
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
