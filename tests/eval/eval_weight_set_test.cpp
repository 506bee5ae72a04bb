// The capture search's weight set: the standard set stays as it was, the fitted set leaves out the
// undefended-men term and nothing else, and its breakdown still adds up.
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

}  // namespace

TEST(EvalWeightSet, CaptureSearchSetDropsOnlyTheUndefendedMen) {
  int positionsWithTheTerm = 0;
  for (const char* fen : EvalPositions) {
    const int before = Eval(Board(fen));
    const EvalTrace standard = TraceWith(EvalWeights::Standard, fen);
    const EvalTrace fitted = TraceWith(EvalWeights::CaptureSearch, fen);
    EXPECT_EQ(Eval(Board(fen)), before) << fen;   // the standard set is back, unchanged
    EXPECT_EQ(fitted.TermValue(TermHangingPieces), 0) << fen;
    if (standard.LazyExit || fitted.LazyExit) continue;
    positionsWithTheTerm += standard.TermValue(TermHangingPieces) != 0;
    // The opposite-bishops correction shrinks the score it is given, and rounding follows the sum.
    for (int term = 0; term < EvalTermCount; ++term) {
      if (term == TermHangingPieces || term == TermRounding || term == TermOppositeBishops) continue;
      EXPECT_EQ(fitted.TermValue(static_cast<EvalTerm>(term)), standard.TermValue(static_cast<EvalTerm>(term)))
          << fen << " " << EvalTermNames[term];
    }
  }
  EXPECT_GT(positionsWithTheTerm, 0);
}

TEST(EvalWeightSet, CaptureSearchBreakdownAddsUpAndMirrors) {
  WeightsInUse set(EvalWeights::CaptureSearch);
  for (const char* fen : EvalPositions) ExpectSumAndMirror(Board(fen), true, fen);
}
