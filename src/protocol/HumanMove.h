#pragma once
// Reading the opponent's moves (console user or xboard front end).

// Reads words until a move has been played on MainBoard or a command ends the turn. Every word
// that is not a move goes to DoCommand. A move is played only when it is legal in the position
// (anything else is answered "Illegal move: " and the text); playing it passes the turn (side to
// move and move number advance). In force mode moves of both sides are read and played one after
// another until a command ends the turn. Result codes:
//   0 a move was played;
//   7 a move was played and it completes the fifty-move rule;
//   2 nothing was played (a command changed the game or asks the engine to act);
//   3 quit ("quit" or the end of input).
// A move that reached the engine during its last search is taken first.
int HumanMove();
