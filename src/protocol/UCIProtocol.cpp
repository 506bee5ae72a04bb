// The UCI dialogue: the read-dispatch loop, the state machine and the commands that need no search.
#include "protocol/UCIProtocol.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include "board/ChessBoard.h"
#include "engine/MatchLog.h"
#include "engine/Status.h"
#include "eval/PawnHash.h"
#include "hash/MoveHistory.h"
#include "hash/TranspositionTables.h"
#include "protocol/BookOptions.h"
#include "protocol/UciTexts.h"
#include "protocol/UciWords.h"
#include "search/Input.h"
#include "search/MultiPvLines.h"
#include "search/SearchRoutines.h"
#include "search/Strength.h"
#include "tools/OpeningBook.h"

UCIProtocol UCI;

namespace {

constexpr int PassGoesOn = 0;         // Dispatch: the line is done, read the next one
constexpr char SearchGoesOn = 1;      // results for a search that handed over a line
constexpr char SearchMustStop = 2;
constexpr int ErrorTextSize = 256;
constexpr int ReportLineSize = 4 * ErrorTextSize;   // the text behind "info string error: ", a book path included

bool Is(const char* word, const char* command) { return std::strcmp(word, command) == 0; }

void Send(const char* line) {
  std::fputs(line, stdout);
  std::fputc('\n', stdout);
}

// The text of "name" (words up to "value") and of "value" (the rest), each joined by single blanks.
void ReadOptionWords(const char* line, char* name, char* value, int size) {
  char word[UciWordSize];
  int position = 0;
  char* target = nullptr;
  name[0] = value[0] = '\0';
  NextWord(line, &position, word, sizeof word);   // "setoption"
  while (NextWord(line, &position, word, sizeof word)) {
    if (target == nullptr && Is(word, "name")) { target = name; continue; }
    if (target == name && Is(word, "value")) { target = value; continue; }
    if (target == nullptr) continue;
    const std::size_t used = std::strlen(target);
    std::snprintf(target + used, static_cast<std::size_t>(size) - used, "%s%s", used ? " " : "", word);
  }
}

}  // namespace

// The dialogue ends the process on "quit" or at the end of input; should the loop ever come back,
// the match loop is not asked to start it again.
bool UCIProtocol::RunSession() {
  char first[] = "uci";
  UCIPrep(first);
  return false;
}


char UCIProtocol::UCIPrep(char* text) {
  if (text != CommandLine) std::snprintf(CommandLine, sizeof CommandLine, "%s", text ? text : "");
  WriteLogFile(CommandLine);
  return static_cast<char>(UCICore());
}

int UCIProtocol::UCICore() {
  for (;;) {
    const int result = Dispatch(InSearch || State != WAITING);
    if (result != PassGoesOn) return result;
    std::snprintf(CommandLine, sizeof CommandLine, "\n");
    // A call made from inside a search returns to it; only the outermost loop reads input.
    if (InSearch || State != WAITING) {
      WriteLogFile(UciText::LogReturning);
      return SearchGoesOn;
    }
    if (!NextCommandLine()) Quit();
  }
}

// One command line. `busy`: a search runs (or waits for "stop"), so nothing may start a new one.
int UCIProtocol::Dispatch(bool busy) {
  char command[UciWordSize];
  int position = 0;
  if (!NextWord(CommandLine, &position, command, sizeof command)) return PassGoesOn;
  if (Is(command, "uci")) {
    SendIdentity();
    if (!busy) State = WAITING;
    MainStatus.UseBook = 0;
  } else if (Is(command, "isready")) {
    SendReadyOk();
  } else if (Is(command, "position") || Is(command, "go")) {
    // The front end has moved on: finish the running search first, then carry the line out.
    if (busy) {
      Defer();
      return StopSearchFor(UciText::LogCommandWhileBusy);
    }
    if (Is(command, "go")) Go();
    else SetPosition();
  } else if (Is(command, "ponderhit")) {
    if (State == PONDERING) {
      State = SEARCHING;
      MainStatus.Pondering = 0;
      return SearchGoesOn;
    }
  } else if (Is(command, "stop")) {
    if (busy) return StopSearchFor(UciText::LogStop);
  } else if (Is(command, "ucinewgame")) {
    if (!busy) {
      StartNewGame();
    } else {
      Defer();
      return StopSearchFor(UciText::LogNewGameWhileBusy);
    }
  } else if (Is(command, "setoption")) {
    if (busy) Defer();
    else SetOption();
  } else if (Is(command, "quit")) {
    Quit();
  }
  return PassGoesOn;
}

void UCIProtocol::SendIdentity() {
  std::printf("%s%s\n", UciText::IdName, Version);
  Send(UciText::IdAuthor);
  for (const char* option : UciText::Options) Send(option);
  std::printf("%s%s\n", UciText::AboutOption, UciText::About);
  std::printf(UciText::HashOptionFormat, PositionCache.SizeMiB(), TTMinMiB, TTMaxMiB);
  std::printf("\n");
  for (const char* option : UciText::MoreOptions) Send(option);
  Send(UciText::UciOk);
  std::fflush(stdout);
  WriteLogFile(UciText::LogUciOk);
}

// Answered in every state: a front end asks while the engine ponders or analyses too.
// "isready" is the front end's way to wait until the engine can search at full speed.
void UCIProtocol::SendReadyOk() {
  PositionCache.ProvideAllPages();
  Send(UciText::ReadyOk);
  std::fflush(stdout);
  WriteLogFile(UciText::LogReadyOk);
}

void UCIProtocol::StartNewGame() {
  Status& s = MainStatus;
  MoveSide = 0;
  Search.ClearHistory();
  Search.ClearKillers();   // a new game searches as a fresh engine would
  MainBoard.InitRep();
  s.initVars();
  ClearPawnHash();
  PositionCache.ClearTranspositionTables();
  State = WAITING;
  s.OpponentToMove = 1;
  MainBoard.FiftyMoveCount = 0;
  MainBoard.SideToMove = 0;
  s.GameInProgress = 1;
  s.Pondering = 0;
  s.NodesPerSecond = UciSettings::DefaultNodesPerSecond;
  MainBoard.Recount();
  MoveList.Init();
  WriteLogFile(UciText::LogNewGame);
}

void UCIProtocol::SetOption() {
  Status& s = MainStatus;
  char name[UciWordSize], value[UciWordSize];
  ReadOptionWords(CommandLine, name, value, UciWordSize);
  const bool on = SameWordIgnoringCase(value, UciText::True);
  if (SameWordIgnoringCase(name, UciText::OwnBook) || SameWordIgnoringCase(name, UciText::SecondaryBook)) {
    s.UseBook = on ? 1 : 0;
    if (on) buildbook();
  } else if (SameWordIgnoringCase(name, UciText::ShowCurrLine)) {
    ShowCurrLine = on ? 1 : 0;
  } else if (SameWordIgnoringCase(name, UciText::AnalyseMode)) {
    AnalyseOption = on ? 1 : 0;
    s.Analyze = AnalyseOption;
    s.Post = AnalyseOption;
    if (on) {
      s.Force = 0;
      s.OpponentToMove = 0;
      s.NodesPerSecond = UciSettings::AnalyseNodesPerSecond;
      const long long st = s.ST ? static_cast<long long>(s.ST) * UciSettings::MillisecondsPerSecond
                                : UciSettings::AnalysisMilliseconds;
      s.ST = st > UciSettings::AnalysisMilliseconds ? UciSettings::AnalysisMilliseconds : static_cast<int>(st);
    }
  } else if (SameWordIgnoringCase(name, UciText::Ponder)) {
    PonderOption = on ? 1 : 0;
    if (on) s.Pondering = 0;
  } else if (SameWordIgnoringCase(name, UciText::Hash)) {
    ResizeHash(value);
  } else if (SameWordIgnoringCase(name, UciText::ClearHash)) {
    PositionCache.ClearTranspositionTables();
  } else if (SameWordIgnoringCase(name, UciText::CaptureSearch)) {
    Search.SetCaptureSearch(on);
  } else if (SameWordIgnoringCase(name, UciText::MoveOverhead)) {
    SetMoveOverhead(value);
  } else if (SameWordIgnoringCase(name, UciText::MultiPv)) {
    SetMultiPv(value);
  } else if (SameWordIgnoringCase(name, UciText::LimitStrength)) {
    Strength.Limited = on ? 1 : 0;
  } else if (SameWordIgnoringCase(name, UciText::Elo)) {
    SetElo(value);
  } else if (SameWordIgnoringCase(name, UciText::BookFile)) {
    SetBookFile();
  } else if (SameWordIgnoringCase(name, UciText::BestBookMove)) {
    BookSettings.BestMove = on ? 1 : 0;
  }
}

// A path is taken as it stands after "value", inner blanks and all (the option words are joined
// with single blanks and cut to a word's size).
void UCIProtocol::SetBookFile() {
  const char* value = std::strstr(CommandLine, " value ");
  char path[UciLineSize] = "";
  if (value != nullptr) std::snprintf(path, sizeof path, "%s", value + std::strlen(" value "));
  for (std::size_t n = std::strlen(path); n > 0 && (path[n - 1] == ' ' || path[n - 1] == '\t'); n--) path[n - 1] = '\0';
  const char* start = path + std::strspn(path, " \t");
  char message[BookMessageSize];
  if (BookSettings.SetFile(start, message, sizeof message)) {
    char line[BookMessageSize + sizeof "info string BookFile "];
    std::snprintf(line, sizeof line, "info string BookFile %s", message);
    Send(line);
  } else {
    char text[BookMessageSize + sizeof "BookFile "];
    std::snprintf(text, sizeof text, "BookFile %s", message);
    ReportError(text);
  }
}

void UCIProtocol::SetElo(const char* value) {
  int elo = 0;
  if (ParseInteger(value, &elo) && elo >= StrengthLimits::MinElo && elo <= StrengthLimits::MaxElo) {
    Strength.Elo = elo;
    return;
  }
  char text[ErrorTextSize];
  std::snprintf(text, sizeof text, "UCI_Elo %s is not a rating from %d to %d; it stays at %d", value,
                StrengthLimits::MinElo, StrengthLimits::MaxElo, Strength.Elo);
  ReportError(text);
}

// More lines than the position has moves give as many lines as it has.
void UCIProtocol::SetMultiPv(const char* value) {
  int lines = 0;
  if (ParseInteger(value, &lines) && lines >= 1 && lines <= MaxMultiPv) {
    Search.MultiPv = lines;
    return;
  }
  char text[ErrorTextSize];
  std::snprintf(text, sizeof text, "MultiPV %s is not a number of lines from 1 to %d; it stays at %d", value,
                MaxMultiPv, Search.MultiPv);
  ReportError(text);
}

void UCIProtocol::SetMoveOverhead(const char* value) {
  int ms = 0;
  if (ParseInteger(value, &ms) && ms >= 0 && ms <= UciSettings::MaxMoveOverheadMs) {
    MainStatus.MoveOverheadMs = ms;
    return;
  }
  char text[ErrorTextSize];
  std::snprintf(text, sizeof text, "Move Overhead %s is not a number of milliseconds from 0 to %d; it stays at %d", value,
                UciSettings::MaxMoveOverheadMs, MainStatus.MoveOverheadMs);
  ReportError(text);
}

// A size that cannot be had leaves the table as it was, and the front end is told.
void UCIProtocol::ResizeHash(const char* value) {
  int mebibytes = 0;
  char text[ErrorTextSize];
  if (!ParseInteger(value, &mebibytes) || mebibytes < TTMinMiB || mebibytes > TTMaxMiB) {
    std::snprintf(text, sizeof text, "Hash %s is not a size from %d to %d MiB; the table stays at %d MiB", value,
                  TTMinMiB, TTMaxMiB, PositionCache.SizeMiB());
    ReportError(text);
  } else if (!PositionCache.Resize(mebibytes)) {
    std::snprintf(text, sizeof text, "cannot allocate a table of %d MiB; the table stays at %d MiB", mebibytes,
                  PositionCache.SizeMiB());
    ReportError(text);
  }
}

void UCIProtocol::Quit() {
  CloseLogFile();
  Running = 0;
  MainStatus.KeepRunning = 0;
  MainStatus.GameInProgress = 0;
  std::fflush(stdout);
  std::exit(0);
}

// The next line to carry out: one kept from the last search, or the next line of input (false
// at the end of input).
bool UCIProtocol::NextCommandLine() {
  if (DeferredCount > 0) {
    std::memcpy(CommandLine, DeferredLines[0], sizeof CommandLine);
    DeferredCount--;
    for (int i = 0; i < DeferredCount; i++) std::memcpy(DeferredLines[i], DeferredLines[i + 1], sizeof CommandLine);
    return true;
  }
  // While the front end is silent, the table's memory is provided for the next search.
  while (!InputPending() && PositionCache.ProvideNextPages()) {
  }
  if (ReadLine(CommandLine, sizeof CommandLine) < 0) return false;
  WriteLogFile(CommandLine);
  RefuseCutLine(CommandLine);
  return true;
}

// A line cut to fit would be another command (a game of thousands of moves cut short sets up
// another position): it is refused whole and left empty.
bool UCIProtocol::RefuseCutLine(char* line) {
  if (!LastLineWasCut()) return false;
  char text[ErrorTextSize];
  std::snprintf(text, sizeof text, "a line longer than %d characters cannot be held; it is refused whole",
                UciLineSize - 1);
  ReportError(text);
  line[0] = '\0';
  return true;
}

void UCIProtocol::Defer() {
  if (DeferredCount >= UciDeferredLines) {
    ReportError("too many commands during a search; this one is dropped");
    return;
  }
  std::memcpy(DeferredLines[DeferredCount++], CommandLine, sizeof CommandLine);
}

char UCIProtocol::StopSearchFor(const char* logText) {
  Search.AbortSearch();
  MainStatus.Analyze = 0;
  MainStatus.Pondering = 0;
  StopRequested = 1;
  WriteLogFile(logText);
  return SearchMustStop;
}

// An analysis or ponder search that has ended by itself still waits: its best move is sent only
// when the front end says "stop" (or "ponderhit").
void UCIProtocol::WaitForStop() {
  while ((State == INFINITE || State == PONDERING) && !StopRequested) {
    if (ReadLine(CommandLine, sizeof CommandLine) < 0) Quit();
    WriteLogFile(CommandLine);
    if (!RefuseCutLine(CommandLine)) Dispatch(true);
  }
}

void UCIProtocol::ReportError(const char* text) {
  char line[ReportLineSize];
  std::snprintf(line, sizeof line, "info string error: %s", text);
  Send(line);
  std::fflush(stdout);
  WriteLogFile(line);
}

bool UCIProtocol::RootMoveAllowed(int moveCode) const {
  if (SearchMoveCount <= 0) return true;
  for (int i = 0; i < SearchMoveCount; i++)
    if (SearchMoves[i] == moveCode) return true;
  return false;
}
