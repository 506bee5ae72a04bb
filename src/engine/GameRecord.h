#pragma once
// The game record of console and xboard play. Besides MainBoard it is the move number, the
// castling rights and the repetition history (MoveList), which holds, between moves, every position
// since the last capture or pawn move, the current one on top; and the positions before the game's
// moves, so that moves can be taken back.
#include "board/ChessBoard.h"
#include "board/Types.h"

// Makes the game record agree with a position just set up on MainBoard (start position,
// "setboard", "edit", a change of the side to move): piece counts and pawn hash code recounted, the
// repetition history restarted with this position alone.
void BeginGameRecord();

// Completes a move that has just been played on MainBoard with MakeMove (`before` is the position
// it was played in): castling rights lost by the move (also by a capture on a rook's corner), the
// turn passes (side to move, move number), the new position enters the repetition history, and
// the old one is kept so that the move can be taken back.
void CompleteGameMove(const ChessBoard& before, SquareSet from, SquareSet to, char castleMask);

// The record keeps the positions before the game's last TakeBackLimit moves; a longer game loses
// its oldest ones, and its first moves can no longer be taken back.
constexpr int TakeBackLimit = MaxGameMoves;

// Why a takeback was refused.
enum class TakeBackRefusal {
  None,        // the moves were taken back
  TooFew,      // the game (or the set-up position) has fewer moves than asked
  NotKept      // the positions before them were dropped from the record
};

// Restores the position before the game's last `count` moves ("undo" one, "remove" two): all of
// them or, when the record does not reach that far back, none, so that the position never ends up
// somewhere the front end does not expect.
TakeBackRefusal TakeBackMoves(int count);

// True while the engine searches the game's position. The search pushes and pops on the
// repetition history then, so the record rebuilds it only once the search is over. Defined by the
// command interpreter, which knows when a search runs.
bool GameSearchRunning();

// After a search of the game's position: the repetition history is rebuilt from the record when
// the position was replaced during the search, or when the search played no move (it may have
// left without entering the root).
void EndGameSearch(bool played);
