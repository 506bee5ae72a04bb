#include "protocol/UciMoves.h"

#include <cstdio>
#include "engine/MoveText.h"
#include "tools/TexelTuner.h"

namespace {
constexpr int BoardFiles = 8;

// Castling rights that no longer exist once a move starts or ends on the square: a king that
// leaves its home, a rook that leaves its corner or is taken there.
struct RightsSquare {
  int Square;
  int Rights;
};
constexpr RightsSquare RightsSquares[] = {
    {4, WhiteCastleKing | WhiteCastleQueen},    // e1
    {7, WhiteCastleKing},                       // h1
    {0, WhiteCastleQueen},                      // a1
    {60, BlackCastleKing | BlackCastleQueen},   // e8
    {63, BlackCastleKing},                      // h8
    {56, BlackCastleQueen},                     // a8
};

int RightsLostAt(int square) {
  for (const RightsSquare& r : RightsSquares)
    if (r.Square == square) return r.Rights;
  return 0;
}
}  // namespace

bool PlayUciMove(ChessBoard* board, const char* text, UciMove* played) {
  if (board == nullptr) return false;
  ChessBoard& b = *board;
  UciMove move;
  if (!FindLegalMove(text, b, b.SideToMove, b.CastleFlags, &move)) return false;
  char kept = AllCastleRights;
  b.MakeMove(move.From, move.To, move.Promotion, &kept);
  const int lost = RightsLostAt(SquareIndex(move.From)) | RightsLostAt(SquareIndex(move.To));
  b.CastleFlags = static_cast<std::int8_t>(b.CastleFlags & kept & ~lost);
  b.SideToMove ^= 1;
  if (played != nullptr) *played = move;
  return true;
}

bool PlayTexelMove(ChessBoard* board, const char* text, TexelMove* played) {
  UciMove move;
  if (!PlayUciMove(board, text, &move)) return false;
  played->From = move.From;
  played->To = move.To;
  played->Promotion = move.Promotion;
  return true;
}

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
