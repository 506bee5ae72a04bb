#pragma once
// The game loop of console and xboard play: the opponent's moves, the engine's replies, and the
// end of a game by mate, stalemate or a draw rule. The game record it keeps is engine/GameRecord.h.
#include "board/ChessBoard.h"
#include "board/Types.h"
#include "engine/GameRecord.h"

// Plays games until "quit" or the end of input. At the console the end of a game ends the loop;
// under xboard the engine states the result and waits for the next game.
void PlayGameLoop();

// Prints the engine's move (the search has played it on MainBoard already) as "move e2e4" to a
// front end that sent "protover 2" or later, else as "<n>. ... e2e4 " (with the trailing blank),
// records it in the game's move record and logs it with the search's depth, score and node count.
void MakeGUIMove(SquareSet from, SquareSet to, char promotion, int score);

// How a game ended, as found on MainBoard (the side to move to play).
enum class GameEnd { None, WhiteMates, BlackMates, Stalemate, FiftyMoves, InsufficientMaterial };
GameEnd FindGameEnd();
// States the end: the console texts ("White mates!") or the xboard result line ("1-0 {White mates}").
void AnnounceGameEnd(GameEnd end);
