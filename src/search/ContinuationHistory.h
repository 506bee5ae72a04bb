#pragma once
// The capture-search mode's continuation history: how well a quiet move, known by its side, piece
// and target square, has answered the moves one and two plies before it. The plain history knows a
// move by its squares alone, whatever was played before; this table tells a reply that refutes one
// particular move from one that is merely good in general.
#include <cstdint>
#include "board/ChessBoard.h"

class ContinuationHistory {
public:
  static constexpr int PieceKinds = 6;                  // pawn, knight, bishop, rook, queen, king
  static constexpr int Keys = 2 * PieceKinds * 64;      // side, piece and target square of a move
  static constexpr int NoKey = Keys;                    // before a null move, or before the root
  // Counters[key of the earlier move][key of the reply]; the NoKey row is never written, so it reads 0.
  std::int16_t Counters[Keys + 1][Keys] = {};

  void Clear();
  int Score(int before, int key) const { return Counters[before][key]; }
  // Pulls a counter towards +-gravity by bonus (negative: a malus); nothing when before is NoKey.
  void Pull(int before, int key, int bonus, int gravity);
  // The key of a move of side's piece standing on square, to target square (an index, 0 to 63).
  static int KeyOf(const ChessBoard& b, int side, SquareSet square, int target);
};
