// Reading commands that arrive while the engine searches.
#include "search/SearchRoutines.h"

#include <cstring>
#include "engine/Status.h"
#include "protocol/Commands.h"
#include "protocol/UCIProtocol.h"
#include "search/Input.h"
#include "search/SearchReport.h"

namespace {

constexpr char AbortRequested = 2;
const char QuitCommand[] = "quit";

// UCI commands are whole lines; an xboard command is one word whose arguments its handler reads.
int ReadCommand(char* buffer, int size) {
  return MainStatus.UCIMode ? ReadLine(buffer, size) : ReadWord(buffer, size);
}

char HandOver(char* command) { return MainStatus.UCIMode ? UCI.UCIPrep(command) : DoCommand(command); }

}  // namespace

unsigned SearchRoutines::InputDetected() {
  if (!MainStatus.xboard && !MainStatus.UCIMode) return 0;
  return InputPending() ? 1u : 0u;
}

void SearchRoutines::AbortSearch() { Aborted = StopSearch = TimeUp = 1; }

bool SearchRoutines::PollInput(int depth, int ply) {
  PollDepth = depth;
  PollPly = ply;
  bool commandRead = false;
  if (InputDetected()) {
    char command[SearchLimits::PollWordSize];
    const int length = ReadCommand(command, sizeof command);
    if (length < 0) {
      // The front end has gone: handle it as "quit" and unwind instead of polling a closed input.
      std::strcpy(command, QuitCommand);
      HandOver(command);
      AbortSearch();
      return false;
    }
    if (length > 0) {
      commandRead = true;
      if (HandOver(command) == AbortRequested) {
        ReportSearchAborted(command);
        AbortSearch();
        return false;
      }
    }
    if (!MainStatus.UCIMode) DiscardPendingLine();
  }
  return CheckBudget(commandRead);
}
