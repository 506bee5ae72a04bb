// The evaluation's side of the board display (board/BoardDisplay.h).
#include "board/BoardDisplay.h"

#include "board/ChessBoard.h"
#include "engine/Status.h"
#include "eval/PositionEvaluate.h"

namespace {
constexpr int EvalWindow = 110000;  // full window: the shown value is never cut at a bound
}  // namespace

// Side 0 and no castling flags: the value is shown from White's view, as the display says.
bool DisplayedEvaluation(ChessBoard& board, int* score) {
  if (MainStatus.PEV) return false;
  *score = PE.PosEval(0, -EvalWindow, EvalWindow, &board, 0);
  return true;
}
