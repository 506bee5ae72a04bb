#pragma once
// Moves in UCI coordinate text ("e2e4", "e7e8q") and the legal moves of a position. Every move
// from the front end is looked up among the legal moves before it may reach MakeMove, and every
// move the engine sends is checked the same way.
#include "board/ChessBoard.h"
#include "movegen/MoveGen.h"

// "e7e8q" and the terminating zero.
constexpr int UciMoveTextSize = 6;

struct UciMove {
  SquareSet From = 0;             // one-bit sets
  SquareSet To = 0;
  char Promotion = NoPromotion;   // piece letter in the mover's case, NoPromotion for none
};

// The legal moves of `side` (at most MaxMovesInList): the generator's moves (check evasions when
// in check) that do not leave the own king attacked and do not take the enemy king. A position
// without exactly one king per side has none.
int CollectLegalMoves(const ChessBoard& board, char side, char castleFlags, UciMove* moves);
// Reads move text: two squares "a1".."h8" and an optional promotion letter (q, r, b, n in either
// case), nothing else. Square indices 0 = a1 .. 63 = h8; letter in lower case, '\0' when none.
bool ParseUciMove(const char* text, int* from, int* to, char* letter);
// Looks the text up among the legal moves. A promotion without a letter promotes to a queen; a
// letter on a move that is no promotion makes the text illegal.
bool FindUciMove(const char* text, const ChessBoard& board, char side, char castleFlags, UciMove* move);
// The same for a move given by its squares and promotion character (the search's moves): false
// unless it is legal; then *move holds the legal move as FindUciMove gives it.
bool LegalizeUciMove(const ChessBoard& board, char side, char castleFlags, UciMove* move);
// Lower-case letter of a promotion character ("Q"/"q" of the generator, piece letters of the
// front end, or piece codes 1-4 and 7-10), '\0' when the character names no promotion piece.
char PromotionLetter(char promotion);
// Writes "e2e4", or "e7e8q" for a promotion, into a buffer of UciMoveTextSize characters.
void WriteUciMove(char* text, int from, int to, char promotion);
