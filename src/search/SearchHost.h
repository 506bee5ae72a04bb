#pragma once
// What the search asks of the front end that started it. The protocol layer defines these; a run
// has exactly one front end, so they are plain functions bound when the program is linked, with
// no indirection on the search's side.
#include "board/ChessBoard.h"

// Room for one command read while the search runs: as large as the UCI handler's own line, so that
// a long "position ... moves ..." line arriving now is kept whole for after the search.
constexpr int PolledCommandSize = 32768;

// Carries out (or keeps for after the search) a command that a poll read; true when the command
// ends the search.
bool HandOverPolledCommand(char* command);

// False for a root move that the front end left out ("go searchmoves"); `moveCode` is a MoveCode.
bool FrontEndAllowsRootMove(int moveCode);

// Index, in the list GenerateAllMoves makes for the position, of the opening-book move to play, or
// a negative value when the book has none.
int BookMoveIndex(char side, char castle, const ChessBoard& board);
