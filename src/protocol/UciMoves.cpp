#include "protocol/UciMoves.h"

#include <cstdio>

namespace {

constexpr int BoardFiles = 8;
constexpr int BoardRanks = 8;
constexpr int SquareCount = 64;
constexpr int TextLengthWithoutPromotion = 4;

SquareSet KingOf(const ChessBoard& board, char side) { return side ? board.BlackKing : board.WhiteKing; }

bool IsGeneratedPromotion(char promotion) { return promotion == 'Q' || promotion == 'q'; }

bool ParseSquare(const char* text, int* square) {
  if (text[0] < 'a' || text[0] >= 'a' + BoardFiles) return false;
  if (text[1] < '1' || text[1] >= '1' + BoardRanks) return false;
  *square = (text[1] - '1') * BoardFiles + (text[0] - 'a');
  return true;
}

bool LeavesKingSafe(const ChessBoard& board, char side, SquareSet from, SquareSet to, char promotion) {
  ChessBoard trial = board;
  char castleMask = AllCastleRights;
  trial.MakeMove(from, to, promotion, &castleMask);
  return !trial.InCheck(KingOf(trial, side), side);
}

// Promotion letters as the front end writes them.
char TextLetter(char c) {
  switch (c) {
    case 'q': case 'Q': return 'q';
    case 'r': case 'R': return 'r';
    case 'b': case 'B': return 'b';
    case 'n': case 'N': return 'n';
    default: return '\0';
  }
}

char LetterInMoversCase(char letter, char side) {
  return side ? letter : static_cast<char>(letter - 'a' + 'A');
}

}  // namespace

int CollectLegalMoves(const ChessBoard& board, char side, char castleFlags, UciMove* moves) {
  if ((side != 0 && side != 1) || !board.HasOneKingEach()) return 0;
  ChessBoard position = board;
  MoveGen list;
  list.MoveCount = 0;
  int count = position.InCheck(KingOf(position, side), side) ? list.GenCheckEvasions(side, &position)
                                                             : list.GenerateAllMoves(side, &position, castleFlags);
  if (count > MaxMovesInList) count = MaxMovesInList;
  const SquareSet enemyKing = KingOf(board, side ^ 1);
  int legal = 0;
  for (int i = 0; i < count; i++) {
    const SquareSet from = list.FromSquares[i], to = list.ToSquares[i];
    if ((to & enemyKing) || !LeavesKingSafe(board, side, from, to, list.Promotions[i])) continue;
    moves[legal].From = from;
    moves[legal].To = to;
    moves[legal].Promotion = list.Promotions[i];
    legal++;
  }
  return legal;
}

bool ParseUciMove(const char* text, int* from, int* to, char* letter) {
  if (text == nullptr || !ParseSquare(text, from) || !ParseSquare(text + 2, to)) return false;
  const char fifth = text[TextLengthWithoutPromotion];
  if (fifth == '\0') {
    *letter = '\0';
    return true;
  }
  *letter = TextLetter(fifth);
  return *letter != '\0' && text[TextLengthWithoutPromotion + 1] == '\0';
}

bool FindUciMove(const char* text, const ChessBoard& board, char side, char castleFlags, UciMove* move) {
  int from = 0, to = 0;
  char letter = '\0';
  if (!ParseUciMove(text, &from, &to, &letter)) return false;
  UciMove legal[MaxMovesInList];
  const int count = CollectLegalMoves(board, side, castleFlags, legal);
  for (int i = 0; i < count; i++) {
    if (legal[i].From != SquareBit(from) || legal[i].To != SquareBit(to)) continue;
    const bool promotes = IsGeneratedPromotion(legal[i].Promotion);
    if (!promotes && letter != '\0') return false;
    *move = legal[i];
    if (promotes) move->Promotion = LetterInMoversCase(letter ? letter : 'q', side);
    return true;
  }
  return false;
}

bool LegalizeUciMove(const ChessBoard& board, char side, char castleFlags, UciMove* move) {
  if (move->From == 0 || move->To == 0) return false;
  char text[UciMoveTextSize];
  WriteUciMove(text, SquareIndex(move->From), SquareIndex(move->To), move->Promotion);
  return FindUciMove(text, board, side, castleFlags, move);
}

char PromotionLetter(char promotion) {
  switch (promotion) {
    case 'Q': case 'q': case WhiteQueenCode: case BlackQueenCode: return 'q';
    case 'R': case 'r': case WhiteRookCode: case BlackRookCode: return 'r';
    case 'B': case 'b': case WhiteBishopCode: case BlackBishopCode: return 'b';
    case 'N': case 'n': case WhiteKnightCode: case BlackKnightCode: return 'n';
    default: return '\0';
  }
}

void WriteUciMove(char* text, int from, int to, char promotion) {
  const int f = from & (SquareCount - 1), t = to & (SquareCount - 1);
  const char suffix[2] = {PromotionLetter(promotion), '\0'};
  std::snprintf(text, UciMoveTextSize, "%c%d%c%d%s", 'a' + f % BoardFiles, f / BoardFiles + 1, 'a' + t % BoardFiles,
                t / BoardFiles + 1, suffix);
}
