#pragma once
// Checking a move given as coordinate text ("e2e4", "e7e8q") against the legal moves of a position.
// Every move that comes from outside (console, xboard, UCI) passes through here before it may
// reach ChessBoard::MakeMove, which trusts its arguments.
#include "board/ChessBoard.h"
#include "engine/MoveText.h"   // MoveTextMaxLength, the longest text read here

// A move found legal: one-bit from and to sets and the promotion character for MakeMove.
struct CheckedMove {
  SquareSet From = 0;
  SquareSet To = 0;
  // NoPromotion for an ordinary move; for a promotion the piece letter in the mover's case
  // ('Q', 'R', 'B', 'N' for White, 'q', 'r', 'b', 'n' for Black).
  char Promotion = NoPromotion;
};

// A square name "a1".."h8" at the start of `text` into its index (0 = a1 .. 63 = h8); characters
// after the two are not looked at. False for anything else.
bool ParseSquareText(const char* text, int* square);

// Reads the move text only, without looking at a position: "a1".."h8" twice, then optionally one
// of the letters n, b, r, q in either case, then the end of the text. Fills the square indices
// (0 = a1 .. 63 = h8) and the promotion letter in lower case ('\0' when none). False for anything
// else ("e9e4", "z2z4", "e2e4x", "e2", a null pointer).
bool ParseMoveText(const char* text, int* from, int* to, char* promotion);

// True when `text` names a legal move of `side` on `board` with the given castling rights: it is
// in the generator's list (check evasions when the side is in check, all moves otherwise) and does
// not leave the mover's king attacked. A promotion may name any of the four pieces; a promotion
// move without a letter is taken as a queen promotion. A letter on a move that is no promotion
// makes the text illegal. The board is not changed. Positions without exactly one king per side
// have no legal moves here. On success `move` receives the move.
bool FindLegalMove(const char* text, const ChessBoard& board, char side, char castleFlags,
                   CheckedMove* move);

// The same check for the side to move and castling rights stored in the board itself.
bool FindLegalMove(const char* text, const ChessBoard& board, CheckedMove* move);

// The legal moves of `side` (at most MaxMovesInList entries are written): the generator's moves
// (check evasions when in check) that leave the own king safe, with the generator's promotion
// characters. A position without exactly one king per side has none. Returns the count.
int CollectLegalMoves(const ChessBoard& board, char side, char castleFlags, CheckedMove* moves);

// True when `side` has at least one legal move on `board` (mate and stalemate tests).
bool HasLegalMove(const ChessBoard& board, char side, char castleFlags);
