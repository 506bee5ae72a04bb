#pragma once
// Boards for the evaluation tests: set up from FEN the way the engine prepares a search root.
#include <gtest/gtest.h>

#include <string>
#include "eval/PawnHash.h"
#include "eval/PositionEvaluate.h"
#include "hash/Zobrist.h"
#include "support/Boards.h"
#include "tools/Fen.h"

namespace evaltest {

constexpr int FullWindow = 110000;

// The mating-material flags the draw test leaves for the evaluation: bit 1 while White can still
// mate, bit 32 while Black can (a side cannot with no pawn, queen or rook and either at most two
// knights or a lone bishop).
inline char MatingFlags(const ChessBoard& b) {
  auto canMate = [](int queens, int rooks, int bishops, int knights, int pawns) {
    return pawns || queens || rooks || !((bishops == 0 && knights <= 2) || (bishops == 1 && knights == 0));
  };
  const bool white = canMate(b.WhiteQueenCount, b.WhiteRookCount, b.WhiteBishopCount, b.WhiteKnightCount, b.WhitePawnCount);
  const bool black = canMate(b.BlackQueenCount, b.BlackRookCount, b.BlackBishopCount, b.BlackKnightCount, b.BlackPawnCount);
  return static_cast<char>((white ? 1 : 0) | (black ? 32 : 0));
}

// Counts, occupancy and pawn code from the piece sets; the mating flags as given.
inline void Recount(ChessBoard& board, char drawFlag) {
  nelktest::CompleteCounts(board);
  board.DrawFlag = drawFlag;
  genpawnhashcode(board.SideToMove, board, &board.PawnHashCode);
}

inline ChessBoard Board(const char* fen) {
  InitKeysOnce();
  SetupBoard(fen);
  ChessBoard board = MainBoard;
  nelktest::CompleteCounts(board);
  Recount(board, MatingFlags(board));
  return board;
}

// Full-window evaluation from the side to move's view.
inline int Eval(ChessBoard board, char side) { return PE.PosEval(side, -FullWindow, FullWindow, &board, 0); }
inline int Eval(ChessBoard board) { return Eval(board, board.SideToMove); }
// Evaluates the board (kept alive by the caller) so that the evaluator's fields describe it.
inline void Evaluate(ChessBoard& board) { PE.PosEval(board.SideToMove, -FullWindow, FullWindow, &board, 0); }

// The board turned upside down with the colours exchanged (and the side to move and the mating
// flags with them).
inline ChessBoard Mirror(ChessBoard b) {
  auto flip = [](SquareSet s) { return __builtin_bswap64(s); };
  ChessBoard m = b;
  for (const char* white = "PNBRQK"; *white; ++white) {
    const char black = static_cast<char>(*white - 'A' + 'a');
    *nelktest::PieceSetOf(m, *white) = flip(*nelktest::PieceSetOf(b, black));
    *nelktest::PieceSetOf(m, black) = flip(*nelktest::PieceSetOf(b, *white));
  }
  m.SideToMove = static_cast<std::int8_t>(b.SideToMove ^ 1);
  m.LastFrom = flip(b.LastFrom), m.LastTo = flip(b.LastTo);
  Recount(m, static_cast<char>(((b.DrawFlag & 1) << 5) | ((b.DrawFlag & 32) >> 5)));
  return m;
}

// The breakdown adds up to the score from both sides' view, and (`mirror`) the board turned
// upside down with the colours exchanged scores the same for its side to move.
inline void ExpectSumAndMirror(ChessBoard b, bool mirror, const std::string& label) {
  const ChessBoard m = Mirror(b);
  for (char side = 0; side < 2; ++side) {
    EvalTrace trace;
    const int white = PE.TraceEval(&b, side, &trace);
    EXPECT_EQ(trace.Total(), white) << label;
    EXPECT_EQ(side ? -Eval(b, side) : Eval(b, side), white) << label << " side " << int(side);
    if (mirror) { EXPECT_EQ(Eval(b, side), Eval(m, static_cast<char>(side ^ 1))) << label << " side " << int(side); }
  }
}

}  // namespace evaltest
