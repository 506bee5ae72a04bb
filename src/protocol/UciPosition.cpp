// "position": setting up the start position or a FEN record and replaying the move list.
#include "protocol/UCIProtocol.h"

#include <cstdio>
#include <cstring>
#include "board/ChessBoard.h"
#include "engine/MatchLog.h"
#include "engine/MoveText.h"
#include "engine/Status.h"
#include "hash/MoveHistory.h"
#include "hash/Zobrist.h"
#include "protocol/UciMoves.h"
#include "protocol/UciWords.h"
#include "search/SearchRoutines.h"
#include "tools/Fen.h"

namespace {

constexpr int FenTextSize = 256;        // a FEN record is under 100 characters; the rest is cut
constexpr int ShownWordLength = 16;     // how much of a bad move is quoted back
constexpr int ErrorTextSize = 160;
// The game's part of the repetition history is cut back to its most recent positions once it
// reaches the limit, so that the search always finds room above it for its own path. Positions
// further back than that could repeat only after a hundred plies without capture or pawn move.
constexpr int GameHistoryLimit = 256;
constexpr int GameHistoryKept = 200;
static_assert(GameHistoryLimit + SearchLimits::PVRows < HistoryCapacity, "room for the deepest search path");

// The repetition history starts with the position the front end set up.
void RestartHistory() {
  std::uint64_t upper = 0, lower = 0;
  MoveList.Init();
  genhashcode(MainBoard.SideToMove, MainBoard.CastleFlags, &upper, &lower, MainBoard);
  MoveList.InsertHashCodeMoveHistory(upper, lower);
}

void TrimHistory() {
  if (MoveList.NumMoves < GameHistoryLimit) return;
  const int first = MoveList.NumMoves - GameHistoryKept;
  std::memmove(MoveList.Entries, MoveList.Entries + first, sizeof(HistoryEntry) * GameHistoryKept);
  MoveList.NumMoves = GameHistoryKept;
}

// A word from the front end, fit to be quoted in a reply: short and printable.
void Quote(const char* word, char* shown) {
  int i = 0;
  for (; word[i] != '\0' && i < ShownWordLength; i++) shown[i] = (word[i] > ' ' && word[i] < 127) ? word[i] : '?';
  shown[i] = '\0';
}

void ResetGameState() {
  Status& s = MainStatus;
  // The capture-search mode keeps what its move ordering learnt during the game's earlier moves, as
  // the xboard loop does; "ucinewgame" still starts it afresh.
  if (!Search.CaptureSearchOn) Search.ClearHistory();
  MainBoard.InitRep();
  s.initVars();
  s.OpponentToMove = 1;
  MainBoard.FiftyMoveCount = 0;
  MainBoard.SideToMove = 0;
}

}  // namespace

void UCIProtocol::SetPosition() {
  char word[UciWordSize];
  int position = 0;
  NextWord(CommandLine, &position, word, sizeof word);   // "position"
  NextWord(CommandLine, &position, word, sizeof word);
  const int movesAt = FindWord(CommandLine, "moves", position);
  if (std::strcmp(word, "startpos") == 0) {
    ResetGameState();
    MainStatus.GameInProgress = 1;
  } else if (std::strcmp(word, "fen") == 0) {
    char fen[FenTextSize];
    while (CommandLine[position] == ' ' || CommandLine[position] == '\t') position++;
    const int end = movesAt >= 0 ? movesAt : static_cast<int>(std::strlen(CommandLine));
    std::snprintf(fen, sizeof fen, "%.*s", end - position, CommandLine + position);
    ResetGameState();
    SetupBoard(fen);
    WriteLogFile(fen);
    if (const char* error = MainBoard.SetupError()) ReportError(error);
  } else {
    ReportError("position needs startpos or fen");
    return;
  }
  MainBoard.Recount();
  MoveSide = MainBoard.SideToMove;
  RestartHistory();
  if (movesAt >= 0) ProcessMoves(CommandLine + movesAt + std::strlen("moves"));
}

int UCIProtocol::ProcessMoves(char* text) {
  MainStatus.MoveNumber = 0;
  char word[UciWordSize];
  int position = 0, count = 0;
  while (NextWord(text, &position, word, sizeof word)) {
    if (!MakeMoves(word)) {
      char shown[ShownWordLength + 1], error[ErrorTextSize];
      Quote(word, shown);
      std::snprintf(error, sizeof error, "move %d \"%s\" is not a legal move; the position keeps the %d moves before it",
                    count + 1, shown, count);
      ReportError(error);
      break;
    }
    count++;
  }
  return count;
}

bool UCIProtocol::MakeMoves(char* text) {
  ChessBoard& b = MainBoard;
  UciMove move;
  if (!PlayUciMove(&b, text, &move)) return false;
  FromSquare = SquareIndex(move.From);
  ToSquare = SquareIndex(move.To);
  FromMask = move.From;
  ToMask = move.To;
  Status& s = MainStatus;
  s.MoveNumber++;
  if (s.MoveNumber >= 0 && s.MoveNumber < MaxGameMoves)
    FTMoveList[s.MoveNumber] = static_cast<std::uint32_t>(MoveCode(FromSquare, ToSquare));
  MoveSide = b.SideToMove;

  // No position before a capture or a pawn move can occur again: the history starts afresh, so
  // that it stays small however long the game is.
  if (b.FiftyMoveCount == 0) MoveList.Init();
  TrimHistory();
  std::uint64_t upper = 0, lower = 0;
  genhashcode(MoveSide, b.CastleFlags, &upper, &lower, b);
  MoveList.InsertHashCodeMoveHistory(upper, lower);
  return true;
}
