// The board editor of the "edit" command.
#include "protocol/BoardEdit.h"

#include "board/ChessBoard.h"
#include "board/Masks.h"
#include "protocol/CommandArgs.h"
#include "protocol/MoveCheck.h"

namespace {

SquareSet* PieceSet(char letter, int colour) {
  ChessBoard& b = MainBoard;
  switch (letter) {
    case 'P': return colour ? &b.BlackPawns : &b.WhitePawns;
    case 'N': return colour ? &b.BlackKnights : &b.WhiteKnights;
    case 'B': return colour ? &b.BlackBishops : &b.WhiteBishops;
    case 'R': return colour ? &b.BlackRooks : &b.WhiteRooks;
    case 'Q': return colour ? &b.BlackQueens : &b.WhiteQueens;
    case 'K': return colour ? &b.BlackKing : &b.WhiteKing;
    default: return nullptr;
  }
}

void EmptySquare(SquareSet square) {
  ChessBoard& b = MainBoard;
  SquareSet* sets[] = {&b.WhitePawns, &b.WhiteKnights, &b.WhiteBishops, &b.WhiteRooks, &b.WhiteQueens,
                       &b.WhiteKing,  &b.BlackPawns,   &b.BlackKnights, &b.BlackBishops, &b.BlackRooks,
                       &b.BlackQueens, &b.BlackKing};
  for (SquareSet* set : sets) *set &= ~square;
}

// One piece per square and one king per colour, so the board stays one the engine can play on.
void PlacePiece(char letter, int colour, const char* squareText) {
  int square = 0;
  SquareSet* set = PieceSet(letter, colour);
  if (set == nullptr || !ParseSquareText(squareText, &square)) return;
  const SquareSet bit = SquareBit(square);
  EmptySquare(bit);
  if (letter == 'K') *set = 0;
  *set |= bit;
}

void RemovePiece(const char* squareText) {
  int square = 0;
  if (ParseSquareText(squareText, &square)) EmptySquare(SquareBit(square));
}

char CastlingFromHomeSquares() {
  const ChessBoard& b = MainBoard;
  int rights = 0;
  if (b.WhiteKing & Masks::E1) {
    if (b.WhiteRooks & Masks::H1) rights |= WhiteCastleKing;
    if (b.WhiteRooks & Masks::A1) rights |= WhiteCastleQueen;
  }
  if (b.BlackKing & Masks::E8) {
    if (b.BlackRooks & Masks::H8) rights |= BlackCastleKing;
    if (b.BlackRooks & Masks::A8) rights |= BlackCastleQueen;
  }
  return static_cast<char>(rights);
}

}  // namespace

void SetupBoardFromEdit() {
  char word[CommandWordSize];
  int colour = 0;
  bool done = false;
  while (!done && NextInputWord(word, sizeof word)) {
    switch (word[0]) {
      case '#': MainBoard.ClearField(); break;
      case 'c': colour ^= 1; break;
      case 'P': case 'N': case 'B': case 'R': case 'Q': case 'K': PlacePiece(word[0], colour, word + 1); break;
      case 'x': RemovePiece(word + 1); break;
      case '.': done = true; break;
      default: break;
    }
    MainBoard.RecountOccupancy();
    MainBoard.CastleFlags = CastlingFromHomeSquares();
  }
  // An edited position has no history: no en-passant capture, no half-moves counted.
  MainBoard.LastFrom = MainBoard.LastTo = 0;
  MainBoard.FiftyMoveCount = 0;
}
