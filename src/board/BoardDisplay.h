#pragma once
// What the board's display asks of the evaluation. The evaluation defines it; there is one
// evaluator, so it is a plain function bound when the program is linked.
class ChessBoard;

// The static evaluation shown under the board, from White's view, in *score; false when no value
// is to be shown (the evaluation dump mode prints its own breakdown instead).
bool DisplayedEvaluation(ChessBoard& board, int* score);
