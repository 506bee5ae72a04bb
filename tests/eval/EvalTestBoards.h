#pragma once
// Boards for the evaluation tests: set up from FEN the way the engine prepares a search root.
#include <utility>
#include "eval/PawnHash.h"
#include "eval/PositionEvaluate.h"
#include "hash/Zobrist.h"
#include "tools/Fen.h"

namespace evaltest {

constexpr int FullWindow = 110000;

// The mating-material flags the draw test leaves for the evaluation: bit 1 while White can still
// mate, bit 32 while Black can (a side cannot with no pawn, queen or rook and either at most two
// knights or a lone bishop).
inline char MatingFlags(const ChessBoard& b) {
  auto canMate = [](int queens, int rooks, int bishops, int knights, int pawns) {
    if (pawns || queens || rooks) return true;
    return !((bishops == 0 && knights <= 2) || (bishops == 1 && knights == 0));
  };
  const bool white = canMate(b.WhiteQueenCount, b.WhiteRookCount, b.WhiteBishopCount, b.WhiteKnightCount, b.WhitePawnCount);
  const bool black = canMate(b.BlackQueenCount, b.BlackRookCount, b.BlackBishopCount, b.BlackKnightCount, b.BlackPawnCount);
  return static_cast<char>((white ? 1 : 0) | (black ? 32 : 0));
}

inline void Recount(ChessBoard& board) {
  board.InitPieceCounts();
  board.DrawFlag = MatingFlags(board);
  genpawnhashcode(board.SideToMove, board, &board.PawnHashCode);
}

inline ChessBoard Board(const char* fen) {
  InitKeysOnce();
  SetupBoard(fen);
  ChessBoard board = MainBoard;
  Recount(board);
  return board;
}

// Full-window evaluation from the side to move's view.
inline int Eval(ChessBoard board, char side) { return PE.PosEval(side, -FullWindow, FullWindow, &board, 0); }
inline int Eval(ChessBoard board) { return Eval(board, board.SideToMove); }
inline int WhiteView(ChessBoard board) { return board.SideToMove ? -Eval(board) : Eval(board); }

// The board turned upside down with the colours exchanged (and the side to move with them), not
// yet recounted.
inline ChessBoard MirrorPieces(const ChessBoard& b) {
  auto flip = [](SquareSet s) { return __builtin_bswap64(s); };
  ChessBoard m = b;
  m.WhitePawns = flip(b.BlackPawns), m.BlackPawns = flip(b.WhitePawns);
  m.WhiteKnights = flip(b.BlackKnights), m.BlackKnights = flip(b.WhiteKnights);
  m.WhiteBishops = flip(b.BlackBishops), m.BlackBishops = flip(b.WhiteBishops);
  m.WhiteRooks = flip(b.BlackRooks), m.BlackRooks = flip(b.WhiteRooks);
  m.WhiteQueens = flip(b.BlackQueens), m.BlackQueens = flip(b.WhiteQueens);
  m.WhiteKing = flip(b.BlackKing), m.BlackKing = flip(b.WhiteKing);
  m.WhitePieces = flip(b.BlackPieces), m.BlackPieces = flip(b.WhitePieces);
  m.AllPieces = flip(b.AllPieces);
  m.SideToMove = static_cast<std::int8_t>(b.SideToMove ^ 1);
  m.LastFrom = flip(b.LastFrom), m.LastTo = flip(b.LastTo);
  return m;
}

inline ChessBoard Mirror(const ChessBoard& b) {
  ChessBoard m = MirrorPieces(b);
  Recount(m);
  return m;
}

}  // namespace evaltest
