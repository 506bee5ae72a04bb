// The capture search's weight set: the standard set stays as it was, the fitted set scales the
// terms it names by their percentages and leaves the others alone, and its breakdown still adds up.
#include <gtest/gtest.h>
#include "EvalTestBoards.h"
#include "testkit/EvalPositions.h"

using namespace evaltest;

namespace {

// Selects a weight set for one test and puts the standard set back.
struct WeightsInUse {
  explicit WeightsInUse(EvalWeights weights) { PE.Weights = weights; }
  ~WeightsInUse() { PE.Weights = EvalWeights::Standard; }
};

EvalTrace TraceWith(EvalWeights weights, const char* fen) {
  WeightsInUse set(weights);
  ChessBoard b = Board(fen);
  EvalTrace trace;
  PE.TraceEval(&b, b.SideToMove, &trace);
  return trace;
}

// The fitted set's percentage of each term it changes; a term scaled piece by piece (a passer's
// king distances) may lose a unit to truncation per piece.
struct ScaledTerm {
  EvalTerm Term;
  int Percent;
};
constexpr ScaledTerm FittedTerms[] = {
    {TermHangingPieces, 0},   {TermKingAttack, 25},      {TermPawnStorm, 0},          {TermKnightSquares, 65},
    {TermBishopSquares, 65},  {TermBishopMobility, 0},   {TermThreats, 300},          {TermKingSquares, 65},
    {TermPasserKings, 160},   {TermPawnEndgameValue, 150}, {TermKnightMobility, 0},   {TermRookMobility, 0},
    {TermQueenMobility, 0}};
constexpr int TruncationAllowance = 20;

const ScaledTerm* FittedTerm(int term) {
  for (const ScaledTerm& scaled : FittedTerms)
    if (scaled.Term == term) return &scaled;
  return nullptr;
}

}  // namespace

TEST(EvalWeightSet, CaptureSearchSetScalesOnlyItsFittedTerms) {
  int positionsWithTheTerms = 0;
  for (const char* fen : EvalPositions) {
    const int before = Eval(Board(fen));
    const EvalTrace standard = TraceWith(EvalWeights::Standard, fen);
    const EvalTrace fitted = TraceWith(EvalWeights::CaptureSearch, fen);
    EXPECT_EQ(Eval(Board(fen)), before) << fen;   // the standard set is back, unchanged
    EXPECT_EQ(fitted.TermValue(TermHangingPieces), 0) << fen;
    EXPECT_EQ(standard.TermValue(TermKingDanger), 0) << fen;   // the standard set has neither king danger ...
    EXPECT_EQ(standard.TermValue(TermPieceThreats), 0) << fen;   // ... nor piece threats,
    EXPECT_EQ(standard.TermValue(TermPasserPath), 0) << fen;     // passer paths
    EXPECT_EQ(standard.TermValue(TermSafeMobility), 0) << fen;   // or safe mobility
    if (standard.LazyExit || fitted.LazyExit) continue;
    positionsWithTheTerms += standard.TermValue(TermHangingPieces) != 0 && standard.TermValue(TermKingSquares) != 0;
    // The opposite-bishops correction shrinks the score it is given, and rounding follows the sum.
    for (int term = 0; term < EvalTermCount; ++term) {
      if (term == TermRounding || term == TermOppositeBishops || term == TermKingDanger || term == TermPieceThreats ||
          term == TermPasserPath || term == TermSafeMobility)
        continue;
      const int was = standard.TermValue(static_cast<EvalTerm>(term));
      const int is = fitted.TermValue(static_cast<EvalTerm>(term));
      const ScaledTerm* scaled = FittedTerm(term);
      if (scaled == nullptr) EXPECT_EQ(is, was) << fen << " " << EvalTermNames[term];
      else EXPECT_NEAR(is, was * scaled->Percent / 100, TruncationAllowance) << fen << " " << EvalTermNames[term];
    }
  }
  EXPECT_GT(positionsWithTheTerms, 0);
}

TEST(EvalWeightSet, CaptureSearchBreakdownAddsUpAndMirrors) {
  WeightsInUse set(EvalWeights::CaptureSearch);
  for (const char* fen : EvalPositions) ExpectSumAndMirror(Board(fen), true, fen);
}

// The set's king danger: a king whose ring enemy pieces reach, with checks to come, costs its side;
// the cost grows with the attack, and a quiet opening costs nothing.
TEST(EvalWeightSet, KingDangerWeighsTheAttackOnTheKing) {
  auto danger = [](const char* fen) { return TraceWith(EvalWeights::CaptureSearch, fen).TermValue(TermKingDanger); };
  EXPECT_EQ(danger("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"), 0);
  // White's queen on h5 and knight on g5 aim at h7 beside a bishop on d3; without the queen the
  // same pieces threaten far less.
  const int battery = danger("r1bq1rk1/pppn1ppp/4p3/3pP1NQ/1b1P4/2NB4/PPP2PPP/R3K2R w KQ - 0 1");
  const int noQueen = danger("r1bq1rk1/pppn1ppp/4p3/3pP1N1/1b1P4/2NB4/PPP2PPP/R3K2R w KQ - 0 1");
  EXPECT_GT(battery, 0);
  EXPECT_GT(battery, noQueen);
  // The colours reversed: the same danger, now Black's asset (White's view).
  EXPECT_EQ(danger("r3k2r/ppp2ppp/2nb4/1B1p4/3Pp1nq/4P3/PPPN1PPP/R1BQ1RK1 b kq - 0 1"), -battery);
}

// The set's piece threats: a pawn attacking a piece, or a minor piece attacking a rook, favours the
// attacker, and more so than a quiet position; the colours reversed, the opposite.
TEST(EvalWeightSet, PieceThreatsFavourTheAttacker) {
  auto threats = [](const char* fen) { return TraceWith(EvalWeights::CaptureSearch, fen).TermValue(TermPieceThreats); };
  // White's e5 pawn, defended by d4, attacks the knight on f6 and the bishop on d6; then the same
  // without the e5 pawn.
  const int pawnFork = threats("r1bqk2r/pppp1ppp/2nb1n2/4P3/3P4/2N5/PPP2PPP/R1BQKBNR w KQkq - 0 1");
  const int noFork = threats("r1bqk2r/pppp1ppp/2nb1n2/8/3P4/2N5/PPP2PPP/R1BQKBNR w KQkq - 0 1");
  EXPECT_GT(pawnFork, noFork);
  EXPECT_GT(pawnFork, 0);
  EXPECT_EQ(threats("r1bqkbnr/ppp2ppp/2n5/3p4/4p3/2NB1N2/PPPP1PPP/R1BQK2R b KQkq - 0 1"), -pawnFork);
}

// The set's passer paths: a passer on the sixth whose path no enemy man attacks counts for its
// side, a rook covering the path takes most of that away, and the colours reversed give the
// opposite.
TEST(EvalWeightSet, PasserPathsWeighTheWayToQueen) {
  auto path = [](const char* fen) { return TraceWith(EvalWeights::CaptureSearch, fen).TermValue(TermPasserPath); };
  const int free = path("6k1/8/3P4/8/8/8/5PPP/6K1 w - - 0 1");
  const int covered = path("3r2k1/8/3P4/8/8/8/5PPP/6K1 w - - 0 1");
  EXPECT_GT(free, 0);
  EXPECT_LT(covered, free);
  EXPECT_EQ(path("6k1/5ppp/8/8/8/3p4/8/6K1 b - - 0 1"), -free);
}

// A man pinned to its king adds to that king's danger: White's queen and knight aim at h7 in both
// positions; the bishop on a2 pins Black's knight on d5, the one on a4 reaches nothing.
TEST(EvalWeightSet, KingDangerCountsPinnedMen) {
  auto danger = [](const char* fen) { return TraceWith(EvalWeights::CaptureSearch, fen).TermValue(TermKingDanger); };
  const int pinned = danger("6k1/6pp/5p2/3n2NQ/8/8/B4PPP/6K1 b - - 0 1");
  const int free = danger("6k1/6pp/5p2/3n2NQ/B7/8/5PPP/6K1 b - - 0 1");
  EXPECT_GT(free, 0);
  EXPECT_GT(pinned, free);
}
