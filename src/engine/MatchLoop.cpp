#include "engine/MatchLoop.h"
#include <cstdio>
#include "board/ChessBoard.h"
#include "engine/CommandLine.h"
#include "engine/MatchLog.h"
#include "engine/Status.h"
#include "eval/PawnHash.h"
#include "hash/TranspositionTables.h"
#include "movegen/Perft.h"
#include "engine/GameLoop.h"
#include "protocol/UCIProtocol.h"
#include "search/SearchRoutines.h"
#include "tools/Benchmarks.h"
#include "tools/EpdSuite.h"
#include "tools/TexelTuner.h"

namespace {
constexpr int PerftErrorStatus = 1;   // the position cannot be counted

bool ConsoleMode() { return !MainStatus.xboard && !MainStatus.UCIMode; }
}  // namespace

void StartMatchLog() {
  WriteLogFile("=====================================\n");
  WriteLogFile("Next Match\n");
  WriteLogFile("=====================================\n");
}

void ClearTablesForMatch() {
  // An xboard front end plays match after match in one process; nothing of the last game may leak.
  if (MainStatus.xboard == 1) {
    ClearPawnHash();
    PositionCache.ClearTranspositionTables();
  }
  Phashmisses = 0;
  Phashattempts = 0;
  Search.ClearHistory();
}

int RunPerftMode() {
  // The generators need both kings, and the count only game positions (no king can be taken).
  if (const char* error = MainBoard.SetupError()) {
    std::printf("ERROR: perft cannot count this position: %s\n", error);
    return PerftErrorStatus;
  }
  MainBoard.Recount();
  PerfT perft(MainStatus.getFD());
  return 0;
}

int RunEpdSuiteMode(const char* file) {
  return ParseEPDSuite(file);
}

int RunBenchmarkMode(int bench) {
  if (bench == 1) Bench();
  if (bench == 2) Bench2();
  return 0;
}

bool RunTestMode(int* status) {
  if (MainStatus.PERFT == 1) {
    *status = RunPerftMode();
  } else if (MainStatus.DoTestSuite) {
    *status = RunEpdSuiteMode(TestFileName);
  } else if (MainStatus.Mimic == 1) {
    std::printf("## Mimic == STUDENT\n");
    *status = RunEpdSuiteMode(TestFileName);
  } else if (MainStatus.PEV) {
    *status = RunEpdSuiteMode(TestFileName);
  } else if (TexelFileName != nullptr) {
    *status = RunTexelTuner(TexelFileName);
  } else if (MainStatus.SATrain == 1) {
    MainStatus.Bench = 1;
    *status = RunBenchmarkMode(1);
  } else if (MainStatus.Bench == 1 || MainStatus.Bench == 2) {
    *status = RunBenchmarkMode(MainStatus.Bench);
  } else {
    return false;
  }
  return true;
}

void GreetConsole() {
  std::printf("\nHello! I am Nelk\n");
  std::printf("MAXDEPTH = %d\n", MainBoard.MaxDepth);
  MainBoard.DisplayBoard();
}

void RunGameLoop() {
  PlayGameLoop();
}

bool RunUciSession() {
  return UCI.RunSession();
}

int MatchLoop() {
  for (;;) {
    StartMatchLog();
    ClearTablesForMatch();
    int status = 0;
    if (RunTestMode(&status)) return status;
    if (ConsoleMode()) GreetConsole();
    MainStatus.OpponentToMove = 1;
    RunGameLoop();
    if (MainStatus.UCIMode == 1 && RunUciSession()) MainStatus.KeepRunning = 1;
    if (!MainStatus.KeepRunning) break;
  }
  CloseLogFile();
  std::printf("Bye, Thanks for the match.\n");
  return 0;
}
