#pragma once
// "-texel FILE": fits multipliers of the evaluation's terms to the games of a PGN file whose moves
// are in UCI coordinates (fastchess "-pgnout notation=uci") and prints them as a table. Each game
// gives its quiet positions: past the opening, side to move not in check, the move played next no
// capture or promotion, and not among the last plies before a mate.
#include <cstddef>
#include <cstdio>
#include "board/Types.h"
#include "tools/TexelFit.h"

class ChessBoard;

constexpr int TexelFileErrorStatus = 1;        // missing, unreadable or no text
constexpr int TexelOpeningPlies = 8;           // plies of a game played before its first position is taken
constexpr int TexelMatePlies = 8;              // plies before a mate whose positions are left out
constexpr std::size_t TexelMaxPositions = 2000000;   // about 200 MB; the rest of a larger file is not read

// A move of a game, as the front end's move reading finds it.
struct TexelMove {
  SquareSet From = 0;
  SquareSet To = 0;
  char Promotion = NoPromotion;
};

// Provided by the UCI move reading, which the tuner sits below: plays `text` ("e2e4", "e7e8q") on
// *board when it is a legal move of the side to move (castling rights and turn updated) and tells
// which move it was; false, the board unchanged, otherwise.
bool PlayTexelMove(ChessBoard* board, const char* text, TexelMove* played);

struct TexelGameCounts {
  int Read = 0;      // games found in the file
  int Skipped = 0;   // of them, games with an unknown result or an unreadable or illegal move
};

// Reads the games of `file` and appends their positions, printing an "ERROR: game N: ..." line
// for every game skipped. False, after an "ERROR: " line, when the file cannot be read to its end.
bool CollectTexelPositions(std::FILE* file, TexelPositions* positions, TexelGameCounts* counts);

// The "-texel" mode: reads the file, fits K and the multipliers, prints the table. Returns the
// program's exit status.
int RunTexelTuner(const char* path);
