#pragma once
// Static exchange evaluation: the material result of a sequence of captures on one square, each
// side recapturing with its least valuable attacker and free to stop when going on would lose.
// Pieces behind a capturer on the same line (x-rays) join once the capturer has left the line.
#include <cstdint>
#include "board/ChessBoard.h"

// Values of the pieces taking part in an exchange; the king's makes taking it win everything.
constexpr int SeeKingValue = 1000000;

// Square-number step from target towards other when both lie on a common rank, file or
// diagonal; 0 when they do not, or when they are the same square.
constexpr int LineStep(int target, int other) {
  if (target == other) return 0;
  const int fileDiff = (other & 7) - (target & 7);
  const int rankDiff = (other >> 3) - (target >> 3);
  const int fileStep = (fileDiff > 0) - (fileDiff < 0);
  const int rankStep = (rankDiff > 0) - (rankDiff < 0);
  const bool onLine = fileDiff == 0 || rankDiff == 0 || fileDiff == rankDiff || fileDiff == -rankDiff;
  return onLine ? rankStep * 8 + fileStep : 0;
}

class SEE {
public:
  const ChessBoard* board = nullptr;   // position of the current evaluation
  std::int16_t Direction[64][64];      // [target][other]: LineStep(target, other)

  SEE();
  // side: colour of the piece on the target, which recaptures first; from: the first capturer
  // (of the other colour); to: the target. Result from the first capturer's point of view.
  int StaticExchangeEvaluation(char side, SquareSet from, SquareSet to, const ChessBoard& position);
  SquareSet SquareAttacksDefences(SquareSet target) const;
  int LVP(char side, SquareSet set) const;
  SquareSet AddXrayAttacker(SquareSet set, int square, int direction) const;
};

extern SEE see;
