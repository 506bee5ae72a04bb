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
    {TermHangingPieces, 0},   {TermKingAttack, 50},      {TermPawnStorm, 0},          {TermKnightSquares, 65},
    {TermBishopSquares, 65},  {TermBishopMobility, 180}, {TermThreats, 300},          {TermKingSquares, 65},
    {TermPasserKings, 160},   {TermPawnEndgameValue, 150}};
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
    if (standard.LazyExit || fitted.LazyExit) continue;
    positionsWithTheTerms += standard.TermValue(TermHangingPieces) != 0 && standard.TermValue(TermKingSquares) != 0;
    // The opposite-bishops correction shrinks the score it is given, and rounding follows the sum.
    for (int term = 0; term < EvalTermCount; ++term) {
      if (term == TermRounding || term == TermOppositeBishops) continue;
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
