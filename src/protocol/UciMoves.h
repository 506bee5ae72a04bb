#pragma once
// Moves in UCI coordinate text ("e2e4", "e7e8q") and the legal moves of a position. Every move
// from the front end is looked up among the legal moves before it may reach MakeMove, and every
// move the engine sends is checked the same way.
#include "board/ChessBoard.h"
#include "movegen/MoveGen.h"
#include "protocol/MoveCheck.h"

// "e7e8q" and the terminating zero.
constexpr int UciMoveTextSize = 6;

// A legal move: one-bit from and to sets and the promotion character for MakeMove.
using UciMove = CheckedMove;

// The same for a move given by its squares and promotion character (the search's moves): false
// unless it is legal; then *move holds the legal move as FindLegalMove gives it.
bool LegalizeUciMove(const ChessBoard& board, char side, char castleFlags, UciMove* move);
// Plays the move `text` names ("e2e4", "e7e8q") on `board` when it is legal for the board's side to
// move: castling rights lost by it (a king or rook leaving home, a rook taken in its corner) are
// dropped and the turn passes. False, the board unchanged, when it is no legal move; else *played
// (when not null) receives the move.
bool PlayUciMove(ChessBoard* board, const char* text, UciMove* played);
// Writes "e2e4", or "e7e8q" for a promotion, into a buffer of UciMoveTextSize characters.
void WriteUciMove(char* text, int from, int to, char promotion);
