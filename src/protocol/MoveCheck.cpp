// Legality of moves given as text: the generators supply the candidates, a trial move on a copy of
// the board rejects those that leave the king attacked.
#include "protocol/MoveCheck.h"

#include "movegen/MoveGen.h"

namespace {

constexpr int BoardFiles = 8;
constexpr int BoardRanks = 8;

// "a".."h" then "1".."8" at text[0] and text[1]. A terminating zero is neither a file letter nor a
// rank digit, so a short text fails here before anything past its end is read.
bool ParseSquare(const char* text, int* square) {
  const char file = text[0];
  if (file < 'a' || file >= 'a' + BoardFiles) return false;
  const char rank = text[1];
  if (rank < '1' || rank >= '1' + BoardRanks) return false;
  *square = (rank - '1') * BoardFiles + (file - 'a');
  return true;
}

char LowerPromotionLetter(char c) {
  switch (c) {
    case 'q': case 'Q': return 'q';
    case 'r': case 'R': return 'r';
    case 'b': case 'B': return 'b';
    case 'n': case 'N': return 'n';
    default: return '\0';
  }
}

// The generators mark their (queen) promotions with the queen letter of the mover's case.
bool IsGeneratedPromotion(char promotion) { return promotion == 'Q' || promotion == 'q'; }

char LetterForSide(char lower, char side) {
  return side ? lower : static_cast<char>(lower - 'a' + 'A');
}

// Taking the king (possible only where the side not to move stands in check) is no move: the board
// record cannot lose a king. Any other move is legal when the mover's own king is not left attacked.
bool LeavesKingSafe(const ChessBoard& board, char side, SquareSet from, SquareSet to, char promotion) {
  if (to & board.KingOf(side ^ 1)) return false;
  ChessBoard trial = board;
  char castleMask = 0;
  trial.MakeMove(from, to, promotion, &castleMask);
  return !trial.InCheck(trial.KingOf(side), side);
}

// Candidate moves of `side`: check evasions when in check, every pseudo-legal move otherwise.
int GenerateCandidates(MoveGen* list, ChessBoard* board, char side, char castleFlags) {
  if (board->InCheck(board->KingOf(side), side)) return list->GenCheckEvasions(side, board);
  return list->GenerateAllMoves(side, board, castleFlags);
}

bool ValidSide(char side) { return side == 0 || side == 1; }

}  // namespace

bool ParseSquareText(const char* text, int* square) {
  return text != nullptr && square != nullptr && ParseSquare(text, square);
}

bool ParseMoveText(const char* text, int* from, int* to, char* promotion) {
  if (text == nullptr || from == nullptr || to == nullptr || promotion == nullptr) return false;
  int fromSquare = 0, toSquare = 0;
  if (!ParseSquare(text, &fromSquare) || !ParseSquare(text + 2, &toSquare)) return false;
  char letter = '\0';
  if (text[4] != '\0') {
    letter = LowerPromotionLetter(text[4]);
    if (letter == '\0' || text[5] != '\0') return false;
  }
  *from = fromSquare;
  *to = toSquare;
  *promotion = letter;
  return true;
}

bool FindLegalMove(const char* text, const ChessBoard& board, char side, char castleFlags,
                   CheckedMove* move) {
  int from = 0, to = 0;
  char letter = '\0';
  if (move == nullptr || !ValidSide(side) || !ParseMoveText(text, &from, &to, &letter)) return false;
  if (!board.HasOneKingEach()) return false;
  ChessBoard position = board;
  MoveGen list;
  const int count = GenerateCandidates(&list, &position, side, castleFlags);
  const SquareSet fromSet = SquareBit(from), toSet = SquareBit(to);
  for (int i = 0; i < count; i++) {
    if (list.FromSquares[i] != fromSet || list.ToSquares[i] != toSet) continue;
    const bool promotes = IsGeneratedPromotion(list.Promotions[i]);
    if (!promotes && letter != '\0') return false;
    const char promotion = promotes ? LetterForSide(letter ? letter : 'q', side) : NoPromotion;
    if (!LeavesKingSafe(board, side, fromSet, toSet, promotion)) return false;
    move->From = fromSet;
    move->To = toSet;
    move->Promotion = promotion;
    return true;
  }
  return false;
}

bool FindLegalMove(const char* text, const ChessBoard& board, CheckedMove* move) {
  return FindLegalMove(text, board, board.SideToMove, board.CastleFlags, move);
}

int CollectLegalMoves(const ChessBoard& board, char side, char castleFlags, CheckedMove* moves) {
  if (moves == nullptr || !ValidSide(side) || !board.HasOneKingEach()) return 0;
  ChessBoard position = board;
  MoveGen list;
  const int count = GenerateCandidates(&list, &position, side, castleFlags);
  int legal = 0;
  for (int i = 0; i < count && legal < MaxMovesInList; i++) {
    const SquareSet from = list.FromSquares[i], to = list.ToSquares[i];
    if (!LeavesKingSafe(board, side, from, to, list.Promotions[i])) continue;
    moves[legal++] = CheckedMove{from, to, list.Promotions[i]};
  }
  return legal;
}

bool HasLegalMove(const ChessBoard& board, char side, char castleFlags) {
  if (!ValidSide(side) || !board.HasOneKingEach()) return false;
  ChessBoard position = board;
  MoveGen list;
  const int count = GenerateCandidates(&list, &position, side, castleFlags);
  for (int i = 0; i < count; i++) {
    if (LeavesKingSafe(board, side, list.FromSquares[i], list.ToSquares[i], list.Promotions[i])) return true;
  }
  return false;
}
