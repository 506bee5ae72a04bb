// The evaluation as a whole: material, pawnless shortcuts, phase, lazy exits, colour symmetry and
// the breakdown that must add up to the score.
#include <gtest/gtest.h>
#include <cstdio>
#include <cstring>
#include "eval/EvalTables.h"
#include "EvalPositions.h"
#include "EvalTestBoards.h"

using namespace evaltest;

TEST(EvalMaterial, MaterialOnlyAndSideMaterial) {
  ChessBoard b = Board("4k3/pp6/8/8/8/8/PPP5/RN1QK3 w - - 0 1");
  EXPECT_EQ(PE.MaterialOnly(0, 0, &b), 9750 + 5000 + 3250 + 800);
  EXPECT_EQ(PE.MaterialOnly(1, 0, &b), -(9750 + 5000 + 3250 + 800));
  EXPECT_EQ(PE.SideMaterialValue(0, &b), 9750 + 5000 + 3250);
  EXPECT_EQ(PE.SideMaterialValue(1, &b), 0);
}

TEST(EvalPawnless, BareKingsScoreTheKingTable) {
  ChessBoard b = Board("k7/8/8/8/3K4/8/8/8 w - - 0 1");
  EXPECT_EQ(Eval(b, 0), 330);
  EXPECT_EQ(Eval(b, 1), -330);
}

TEST(EvalPawnless, EqualRooksAreScoredByTheKingsAlone) {
  ChessBoard b = Board("8/3r4/4k3/8/8/3K4/3R4/8 w - - 0 1");   // e6 and d3 have equal table values
  EXPECT_EQ(Eval(b, 0), 0);
  b = Board("7k/3r4/8/8/3K4/8/3R4/8 w - - 0 1");
  EXPECT_EQ(Eval(b, 0), 80 + 250);
}

TEST(EvalPawnless, OneExtraMinorCountsThreeQuarters) {
  ChessBoard b = Board("k7/8/8/8/3K4/8/3N4/8 w - - 0 1");
  EXPECT_EQ(Eval(b, 0), (3 * 3250) / 4 + 330);
  // two bishops against a knight are not cut down
  b = Board("k7/8/8/n7/3K4/8/2BB4/8 w - - 0 1");
  EXPECT_NE(Eval(b, 0), (3 * 3250) / 4 + 330);
}

TEST(EvalEndgame, RookAgainstMinorIsHalved) {
  for (const char* fen : {"8/8/4k3/8/2b5/3K4/3R4/8 w - - 0 1", "8/8/4k3/8/2n5/3K4/3R4/8 b - - 0 1"}) {
    ChessBoard b = Board(fen);
    EvalTrace trace;
    const int score = PE.TraceEval(&b, b.SideToMove, &trace);
    const int halving = trace.Direct[TermTwoPieceEnding];
    ASSERT_NE(halving, 0) << fen;
    EXPECT_EQ((score - halving) / 2, score) << fen;
    EXPECT_EQ(trace.Direct[TermRounding], 0) << "later stages must not run: " << fen;
  }
  // two knights, or a pawn on the board: no halving
  for (const char* fen : {"8/8/4k3/8/8/3K4/2NN4/8 w - - 0 1", "8/8/4k3/8/2b5/3K4/3R1P2/8 w - - 0 1"}) {
    ChessBoard b = Board(fen);
    EvalTrace trace;
    PE.TraceEval(&b, 0, &trace);
    EXPECT_EQ(trace.Direct[TermTwoPieceEnding], 0) << fen;
  }
}

TEST(EvalPhase, ClampedToOne) {
  for (const char* fen : {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
                          "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/QQQQKBNR w Kkq - 0 1"}) {
    ChessBoard b = Board(fen);
    Eval(b);
    EXPECT_EQ(PE.Phase, 1) << fen;
  }
  ChessBoard b = Board("4k3/pppp4/8/8/8/8/PPPP4/R3K3 w - - 0 1");
  Eval(b);
  EXPECT_EQ(PE.Phase, 24 - 2);
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

TEST(EvalCorrections, MatingMaterialFlags) {
  ChessBoard b = Board("4k3/pp6/8/8/8/8/PP6/4K3 w - - 0 1");
  b.DrawFlag = 0;
  const int none = Eval(b, 0);
  b.DrawFlag = 1;
  EXPECT_EQ(Eval(b, 0), none + 800);
  b.DrawFlag = 32;
  EXPECT_EQ(Eval(b, 0), none - 800);
  b.DrawFlag = 33;
  EXPECT_EQ(Eval(b, 0), none);
}

TEST(EvalCorrections, PieceAgainstPawnsAndLoneMinor) {
  ChessBoard b = Board("8/8/4k3/8/2n5/8/PP4K1/8 w - - 0 1");
  EvalTrace trace;
  PE.TraceEval(&b, 0, &trace);
  EXPECT_EQ(trace.Direct[TermPieceAgainstPawns], 1100);
  EXPECT_EQ(trace.Direct[TermLoneMinor], 800);   // the knight alone cannot beat the pawns
  b = Board("8/8/4k3/pp6/8/8/3B4/4K3 w - - 0 1");
  PE.TraceEval(&b, 0, &trace);
  EXPECT_EQ(trace.Direct[TermPieceAgainstPawns], -1100);
  EXPECT_EQ(trace.Direct[TermLoneMinor], -750);
}

// Opposite bishops keep a quarter of the positional advantage, unless only rook pawns are left.
TEST(EvalCorrections, OppositeBishopsAndTheRookPawnRule) {
  auto shrink = [](const char* fen) {
    ChessBoard b = Board(fen);
    EvalTrace trace;
    PE.TraceEval(&b, 0, &trace);
    return trace.Direct[TermOppositeBishops];
  };
  EXPECT_LT(shrink("8/5k2/4b3/8/2P1P3/4BK2/8/8 w - - 0 1"), 0);
  EXPECT_EQ(shrink("8/5k2/4b3/8/2P1P3/3B1K2/8/8 w - - 0 1"), 0) << "same-coloured bishops";
  EXPECT_EQ(shrink("8/5k2/4b3/8/P6P/4BK2/8/8 w - - 0 1"), 0) << "rook pawns only";
  EXPECT_EQ(shrink("8/5k2/4b3/8/PPPPP3/4BK2/8/8 w - - 0 1"), 0) << "more than three pawns apart";
}

TEST(EvalSymmetry, MirroredPositionScoresTheSameForTheSideToMove) {
  for (const char* fen : EvalPositions) {
    const ChessBoard b = Board(fen);
    const ChessBoard m = Mirror(b);
    for (char side = 0; side < 2; ++side) EXPECT_EQ(Eval(b, side), Eval(m, static_cast<char>(side ^ 1))) << fen << " side " << int(side);
  }
}

TEST(EvalBreakdown, TermsAddUpToTheScore) {
  for (const char* fen : EvalPositions) {
    ChessBoard b = Board(fen);
    for (char side = 0; side < 2; ++side) {
      EvalTrace trace;
      const int traced = PE.TraceEval(&b, side, &trace);
      const int white = side ? -Eval(b, side) : Eval(b, side);
      EXPECT_EQ(traced, white) << fen;
      EXPECT_EQ(trace.Total(), white) << fen;
    }
  }
}

TEST(EvalBreakdown, PrintsTheTermTable) {
  ChessBoard b = Board("2r3k1/pp3ppp/2n1b3/q2pP3/3P4/P1r1BN2/4QPPP/R4RK1 w - - 0 20");
  EvalTrace trace;
  const int score = PE.TraceEval(&b, 0, &trace);
  char text[8192] = {};
  std::FILE* out = fmemopen(text, sizeof text - 1, "w");
  ASSERT_NE(out, nullptr);
  trace.Print(out);
  std::fclose(out);
  for (const char* word : {"material", "knight mobility", "king shelter", "phase", "total"}) EXPECT_NE(std::strstr(text, word), nullptr) << word;
  char total[64];
  std::snprintf(total, sizeof total, "%d\n", score);
  EXPECT_NE(std::strstr(text, total), nullptr);
}

// The draw test leaves the flags the mating-material term reads: bit 1 while White can mate,
// bit 32 while Black can.
TEST(EvalCorrections, DrawTestLeavesTheMatingFlags) {
  for (const char* fen : EvalPositions) {
    ChessBoard b = Board(fen);
    const char expected = b.DrawFlag;
    b.CheckDraw(0);
    EXPECT_EQ(b.DrawFlag & 33, expected) << fen;
  }
}
