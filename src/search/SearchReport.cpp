#include "search/SearchReport.h"

#include <cinttypes>
#include <cstdio>
#include "engine/MoveText.h"
#include "engine/Status.h"

namespace {
int Centipawns(int score) { return score / ScoreDivisor; }
const char* Text(const char* pvText) { return pvText ? pvText : "\n"; }
void Flush() { std::fflush(stdout); }
constexpr int CentisecondsPerSecond = 100;
// xboard reads the time of a thinking line in centiseconds; the console shows seconds.
long long ThinkingTime(int elapsedSeconds) {
  return MainStatus.xboard ? static_cast<long long>(elapsedSeconds) * CentisecondsPerSecond : elapsedSeconds;
}
}  // namespace

void ReportUciDepth(int depth) {
  std::printf("info depth %d\n", depth);
  Flush();
}

void ReportUciLine(int depth, int score, bool withTime, int elapsedSeconds, std::int64_t nodes,
                   const char* pvText) {
  std::printf("info depth %d score cp %d", depth, Centipawns(score));
  if (withTime) std::printf(" time %lld", static_cast<long long>(elapsedSeconds) * MsPerSecond);
  std::printf(" nodes %" PRId64 " pv%s", nodes, Text(pvText));
  Flush();
}

void ReportUciCurrMove(int fromSquare, int toSquare, int moveNumber) {
  std::printf("info currmove %c%d%c%d currmovenumber %d\n", files[fromSquare & 7], fromSquare / 8 + 1,
              files[toSquare & 7], toSquare / 8 + 1, moveNumber);
  Flush();
}

void ReportUciCurrMoveNumber(int moveNumber) {
  std::printf("info currmovenumber %d\n", moveNumber);
  Flush();
}

void ReportNodeRate(int nodesPerSecond, float seconds) {
  std::printf("info nps %d time %g\n", nodesPerSecond, static_cast<double>(MsPerSecond * seconds));
  Flush();
}

void ReportAnalysisRate(int nodesPerSecond, int elapsedSeconds) {
  std::printf("info nps %d\n", nodesPerSecond);
  std::printf("info time %lld\n", static_cast<long long>(elapsedSeconds) * MsPerSecond);
  Flush();
}

void ReportThinking(int depth, int score, int elapsedSeconds, std::int64_t nodes, const char* pvText) {
  std::printf("%d %d %lld %" PRId64 " %s", depth, Centipawns(score), ThinkingTime(elapsedSeconds), nodes,
              Text(pvText));
  Flush();
}

void ReportIteration(int depth, int score, int elapsedSeconds, std::int64_t nodes, const char* pvText) {
  // The variation text ends the line already.
  std::printf("%d %d %lld %" PRId64 " %s", depth, Centipawns(score), ThinkingTime(elapsedSeconds), nodes,
              Text(pvText));
  Flush();
}

void ReportStat01(int centiseconds, std::int64_t nodes, int depth, int movesLeft, int moveCount) {
  std::printf("stat01: %d %" PRId64 " %d %d %d\n", centiseconds, nodes, depth, movesLeft, moveCount);
  Flush();
}

void ReportConsoleTime(int timePerMove, int timeLeft, int defaultMovesPerSession) {
  std::printf("Time Per Move = %d\n", timePerMove);
  std::printf("Time Left = %d\n", timeLeft);
  std::printf("DefaultMovesPerSession = %d\n", defaultMovesPerSession);
  Flush();
}

void ReportKibitzBook() {
  std::printf("tellics kibitz Book Move\n");
  Flush();
}

void ReportOpeningBookMove() {
  std::printf("tellics kibitz Opening Book Move\n");
  Flush();
}

void ReportKibitz(int depth, int score, int elapsedSeconds, std::int64_t nodes, int nodesPerSecond,
                  const char* pvText) {
  std::printf("tellics kibitz ply=%d v=%d centipawns millisecs=%d Nodes=%" PRId64 " nps=%d %s\n", depth,
              Centipawns(score), elapsedSeconds > 0 ? elapsedSeconds : 1, nodes, nodesPerSecond, Text(pvText));
  Flush();
}

void ReportSearchAborted(const char* word) {
  std::printf(" Search Aborted due to receiveing following string: %s\n", word);
  Flush();
}

void ReportCacheTrace(const char* event, int score, int alpha, int beta, std::uint64_t upper,
                      std::uint64_t lower) {
  std::printf("%s: v=%d alpha=%d beta=%d\n", event, score, alpha, beta);
  std::printf("Upper HC %" PRIu64 " Lower HC %" PRIu64 "\n", upper, lower);
  Flush();
}

void ReportSearchError(const char* text) {
  std::printf("ERROR: %s\n", text);
  Flush();
}
