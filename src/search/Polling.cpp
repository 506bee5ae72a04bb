// Reading commands that arrive while the engine searches.
#include "search/SearchRoutines.h"

#include <cstring>
#include "engine/Status.h"
#include "search/Input.h"
#include "search/SearchEvents.h"
#include "search/SearchHost.h"

namespace {

const char QuitCommand[] = "quit";

// A command read during a search; being static it costs the search's stack nothing.
char PolledCommand[PolledCommandSize];

// UCI commands are whole lines; an xboard command is one word whose arguments its handler reads.
int ReadCommand(char* buffer, int size) {
  return MainStatus.UCIMode ? ReadLine(buffer, size) : ReadWord(buffer, size);
}

}  // namespace

// A console game leaves what the user types for after the engine's move; but an analysis at the
// console runs until the user ends it, so it must hear the user.
unsigned SearchRoutines::InputDetected() {
  if (!MainStatus.xboard && !MainStatus.UCIMode && !MainStatus.Analyze) return 0;
  return InputPending() ? 1u : 0u;
}

void SearchRoutines::AbortSearch() { Aborted = StopSearch = TimeUp = 1; }

bool SearchRoutines::PollInput(int depth, int ply) {
  if (NodeLimitReached()) {
    StopSearch = 1;
    return false;
  }
  if (!PollDue()) {
    PollCountdown = InitMoveTimer();
    return true;
  }
  PollDepth = depth;
  PollPly = ply;
  bool commandRead = false;
  if (InputDetected()) {
    char* command = PolledCommand;
    const int length = ReadCommand(command, sizeof PolledCommand);
    if (length < 0) {
      // The front end has gone: handle it as "quit" and unwind instead of polling a closed input.
      std::strcpy(command, QuitCommand);
      HandOverPolledCommand(command);
      AbortSearch();
      return false;
    }
    if (length > 0) {
      commandRead = true;
      const bool pondering = MainStatus.Pondering;
      if (HandOverPolledCommand(command)) {
        SearchEvents::AbortedByCommand(command);
        AbortSearch();
        return false;
      }
      // "ponderhit": the opponent played the expected move and the engine's clock runs from now.
      if (pondering && !MainStatus.Pondering) StartClockNow();
    }
    if (!MainStatus.UCIMode) DiscardPendingLine();
  }
  return CheckBudget(commandRead);
}

// A ponder search that has nothing left to find waits for the front end's next command.
void SearchRoutines::WaitForPonderDecision() {
  if (!MainStatus.xboard && !MainStatus.UCIMode) return;
  char* command = PolledCommand;
  int length;
  do {   // blank lines are no decision
    length = ReadCommand(command, sizeof PolledCommand);
  } while (length == 0);
  if (length < 0) std::strcpy(command, QuitCommand);
  HandOverPolledCommand(command);
  SearchEvents::AbortedByCommand(command);
  AbortSearch();
}
