#include "protocol/UciMoves.h"

#include <cstdio>
#include "engine/MoveText.h"

namespace {
constexpr int BoardFiles = 8;
}  // namespace

bool LegalizeUciMove(const ChessBoard& board, char side, char castleFlags, UciMove* move) {
  if (move->From == 0 || move->To == 0) return false;
  char text[UciMoveTextSize];
  WriteUciMove(text, SquareIndex(move->From), SquareIndex(move->To), move->Promotion);
  return FindLegalMove(text, board, side, castleFlags, move);
}

void WriteUciMove(char* text, int from, int to, char promotion) {
  const int f = from & (SquareCount - 1), t = to & (SquareCount - 1);
  const char suffix[2] = {PromotionLetter(promotion), '\0'};
  std::snprintf(text, UciMoveTextSize, "%c%d%c%d%s", 'a' + f % BoardFiles, f / BoardFiles + 1, 'a' + t % BoardFiles,
                t / BoardFiles + 1, suffix);
}
