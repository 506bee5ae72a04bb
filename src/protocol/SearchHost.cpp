// The front end's side of what the search asks of it (search/SearchHost.h): the protocol that runs
// this process takes the commands read during a search, limits the root moves and holds the book.
#include "search/SearchHost.h"

#include "engine/MatchLog.h"
#include "engine/Status.h"
#include "protocol/BookOptions.h"
#include "protocol/Commands.h"
#include "protocol/UCIProtocol.h"
#include "tools/OpeningBook.h"
#include "tools/PolyglotBook.h"

namespace {
// UCIPrep's answer that the search must stop, the same code as DoCommand's CommandActNow.
constexpr char SearchMustStop = 2;
static_assert(CommandActNow == SearchMustStop, "both interpreters end a search with the same code");
static_assert(PolledCommandSize == UciLineSize, "a command polled in a search is a whole UCI line");
}  // namespace

// UCI commands are whole lines for the UCI handler; an xboard or console word goes to the interpreter.
bool HandOverPolledCommand(char* command) {
  if (MainStatus.UCIMode && UCI.RefuseCutLine(command)) return false;
  const char result = MainStatus.UCIMode ? UCI.UCIPrep(command) : DoCommand(command);
  return result == SearchMustStop;
}

bool FrontEndAllowsRootMove(int moveCode) { return !MainStatus.UCIMode || UCI.RootMoveAllowed(moveCode); }

// A Polyglot book, when one is set, answers first; the built-in book where it has no move.
int BookMoveIndex(char side, char castle, const ChessBoard& board) {
  if (PolyglotOpeningBook.IsOpen() && board.SideToMove == side && board.CastleFlags == castle) {
    PolyglotMove move;
    if (PolyglotOpeningBook.ChooseMove(board, BookSettings.Random(), BookSettings.BestMove != 0, &move) &&
        move.ListIndex >= 0) {
      LogPrintf("Book file move %s (weight %d)\n", move.Text, static_cast<int>(move.Weight));
      return move.ListIndex;
    }
  }
  return InBook(side, castle, board);
}
