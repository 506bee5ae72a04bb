// The opponent's move entry and the board editor.
#include "protocol/HumanMove.h"

#include <cstdio>
#include "board/ChessBoard.h"
#include "board/Masks.h"
#include "engine/GameRecord.h"
#include "engine/MoveText.h"
#include "engine/Status.h"
#include "protocol/CommandArgs.h"
#include "protocol/Commands.h"
#include "protocol/MoveCheck.h"

namespace {

bool Console() { return !MainStatus.xboard; }

// The next word: a move kept from the last search first, then standard input. False at the end
// of input.
bool NextWord(char* word, int size) {
  if (Commands.TakePendingMove(word, size)) return true;
  return NextCommandWord(word, size);
}

void EndOfInput() {
  MainStatus.KeepRunning = 0;
  MainStatus.GameInProgress = 0;
  Commands.QuitRequested = 1;
}

void RefuseMove(const char* word) {
  std::printf("Illegal move: %s\n", word);
  std::fflush(stdout);
}

// Plays a checked move and passes the turn; 7 when it completes the fifty-move rule.
int PlayMove(const CheckedMove& move) {
  const int code = MoveCode(SquareIndex(move.From), SquareIndex(move.To));
  const int index = MainStatus.MoveNumber + 1;
  if (index >= 0 && index < MaxGameMoves) FTMoveList[index] = static_cast<std::uint32_t>(code);
  const ChessBoard before = MainBoard;
  char castleMask = AllCastleRights;
  MainBoard.MakeMove(move.From, move.To, move.Promotion, &castleMask);
  CompleteGameMove(before, move.From, move.To, castleMask);
  return MainBoard.CheckDraw(0) == ResultFiftyMoveDraw ? ResultFiftyMoveDraw : ResultMovePlayed;
}

}  // namespace

int HumanMove() {
  char word[CommandWordSize];
  for (;;) {
    if (Console()) {
      std::printf("Enter Move: ");
      std::fflush(stdout);
    }
    if (!NextWord(word, sizeof word)) {
      EndOfInput();
      return ResultQuit;
    }
    if (Console()) std::printf("%s\n", word);
    const char code = DoCommand(word);
    if (code == CommandHandled) continue;
    if (code != CommandLooksLikeMove) return code;
    CheckedMove move;
    if (!MainStatus.GameInProgress || !FindLegalMove(word, MainBoard, &move)) {
      RefuseMove(word);
      continue;
    }
    const int result = PlayMove(move);
    if (!MainStatus.Force) return result;
  }
}

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
