// The opponent's move entry.
#include "protocol/HumanMove.h"

#include <cstdio>
#include "board/ChessBoard.h"
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
