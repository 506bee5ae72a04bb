#pragma once
// The xboard "edit" mode: setting up a position piece by piece.

// The "edit" mode: reads words until one beginning with "." (or the end of input): "#" clears the
// board, "c" switches the colour being placed (White first), "Pe2" ... "Kg8" place a piece (a
// piece already on the square is replaced; a king moves there), "xe4" empties a square. After
// every word the occupancy sets and the castling rights (from king and rooks on their home
// squares) are recomputed. The side to move is not changed.
void SetupBoardFromEdit();
