#pragma once
// The game loop of console and xboard play: the opponent's moves, the engine's replies, and the
// end of a game by mate, stalemate or a draw rule. Besides MainBoard it keeps the game record: the
// move number, the castling rights and the repetition history (MoveList) hold, between moves, every
// position since the last capture or pawn move, the current one on top.
#include "board/ChessBoard.h"
#include "board/Types.h"
#include "protocol/MoveCheck.h"

// Plays games until "quit" or the end of input. At the console the end of a game ends the loop;
// under xboard the engine states the result and waits for the next game.
void PlayGameLoop();

// Prints the engine's move (the search has played it on MainBoard already) as "<n>. ... e2e4",
// records it in the game's move record and logs it with the search's depth, score and node count.
void MakeGUIMove(SquareSet from, SquareSet to, char promotion, int score);

// Makes the game record agree with a position just set up on MainBoard (start position,
// "setboard", "edit", a change of the side to move): piece counts and pawn hash code recounted, the
// repetition history restarted with this position alone.
void BeginGameRecord();

// Completes a move that has just been played on MainBoard with MakeMove (`before` is the position
// it was played in): castling rights lost by the move (also by a capture on a rook's corner), the
// turn passes (side to move, move number), the new position enters the repetition history, and
// the old one is kept so that the move can be taken back.
void CompleteGameMove(const ChessBoard& before, SquareSet from, SquareSet to, char castleMask);

// Restores the position before the game's last move ("undo"); false when there is none to take
// back (the start of the game or of a set-up position).
bool TakeBackMove();

// Text of a move for the front end: "e2e4", with the promotion piece in lower case ("e7e8q").
// `text` needs room for MoveTextMaxLength + 1 characters.
void MoveToText(SquareSet from, SquareSet to, char promotion, char* text);

// How a game ended, as found on MainBoard (the side to move to play).
enum class GameEnd { None, WhiteMates, BlackMates, Stalemate, FiftyMoves, InsufficientMaterial };
GameEnd FindGameEnd();
// States the end: the console texts ("White mates!") or the xboard result line ("1-0 {White mates}").
void AnnounceGameEnd(GameEnd end);
