#include "engine/Startup.h"
#include <csignal>
#include <cstdio>
#include <cstring>
#include <random>
#include "board/ChessBoard.h"
#include "engine/Clock.h"
#include "engine/CommandLine.h"
#include "engine/MatchLog.h"
#include "engine/MatchLoop.h"
#include "engine/Status.h"
#include "hash/TranspositionTables.h"
#include "hash/Zobrist.h"
#include "protocol/CommandArgs.h"
#include "search/Strength.h"
#include "tools/OpeningBook.h"

namespace {
constexpr int ProtocolWordSize = 256;
constexpr int StartupProvideMs = 300;   // of the table's memory at start-up; a front end waits a second at most

// Before any other use of the streams: setvbuf is only allowed on a stream nothing was done with yet.
void PrepareStreams() {
  std::signal(SIGINT, SIG_IGN);
  std::setvbuf(stdin, nullptr, _IONBF, 0);
  std::setvbuf(stdout, nullptr, _IONBF, 0);
}

void InitialiseEngine() {
  MainStatus.initVars();
  MainStatus.xboard = 0;
  MainStatus.UCIMode = 0;
  MainBoard.InitRep();
  initPStable();
  buildbook();
  MainBoard.InitRep();
  // The start position's counts and material too: a front end may search it without setting up
  // a position first ("uci" then "go").
  MainBoard.Recount();
  MainStatus.initVars();
  // A limited strength's choices differ from game to game.
  Strength.Seed(std::random_device{}());
}

// The table's memory now, while the front end waits for the engine to start, rather than in the
// first search, whose clock it would eat. What a busy system cannot provide within the start-up's
// share comes in idle moments and, at the latest, before the first search.
void ProvideTableMemory() {
  const int start = NowMs();
  while (NowMs() - start < StartupProvideMs && PositionCache.ProvideNextPages()) {
  }
}

bool IsSpace(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// Test modes run without reading anything first.
bool TestModeSelected() {
  return MainStatus.PERFT || MainStatus.Bench || MainStatus.SATrain || TexelFileName != nullptr;
}

// Whether the first word's line has more after it (its arguments, when it is a console command).
bool FirstLineGoesOn = false;
}  // namespace

bool ReadFirstWord(char* word, int size) {
  int c = std::getchar();
  while (c != EOF && IsSpace(c)) c = std::getchar();
  int length = 0;
  for (; c != EOF && !IsSpace(c); c = std::getchar()) {
    if (length < size - 1) word[length++] = static_cast<char>(c);
  }
  FirstLineGoesOn = c != EOF && c != '\n';
  if (size > 0) word[length] = '\0';
  return length > 0;
}

void ChooseProtocol(const char* word) {
  if (std::strstr(word, "uci") != nullptr) MainStatus.UCIMode = 1;
  if (std::strstr(word, "xboard") != nullptr) MainStatus.xboard = 1;
}

int EngineMain(int argc, char** argv) {
  PrepareStreams();
  std::printf("Nelk \n");
  InitialiseEngine();
  ProvideTableMemory();
  OpenLogFile();
  if (argc > 1) {
    const int parsed = ParseCommandLine(argc, argv);
    if (parsed != CommandLineContinue) {
      CloseLogFile();
      return parsed == CommandLineHelp ? 0 : CommandLineErrorStatus;
    }
  }
  if (!TestModeSelected()) {
    char word[ProtocolWordSize];
    if (ReadFirstWord(word, ProtocolWordSize)) {
      ChooseProtocol(word);
      // At the console the first word is the user's first input, a move or a command.
      if (!MainStatus.UCIMode && !MainStatus.xboard) KeepFirstWord(word, FirstLineGoesOn);
    }
  }
  return MatchLoop();
}
