// Every line the search writes to standard output, and the choice of which front end sees which:
// UCI "info" lines, xboard thinking and "stat01:" lines, the console's lines, kibitz lines and the
// search's own notices. Each line is flushed at once. Scores are centipawns (truncating towards
// zero), mates in each protocol's own form (protocol/ScoreText.h); the console keeps centipawns.
#include "protocol/SearchOutput.h"

#include <cinttypes>
#include <cstdio>
#include "engine/MoveText.h"
#include "engine/Status.h"
#include "protocol/Commands.h"
#include "protocol/ScoreText.h"
#include "protocol/UCIProtocol.h"
#include "search/SearchConstants.h"
#include "search/SearchEvents.h"

namespace {

using SearchTime::IterationLogDepth;
using SearchTime::LongSearchSeconds;

constexpr int CurrMoveMinDepth = 8;       // "info currmove" in iterations deeper than this ...
constexpr int CurrMoveSeconds = 3;        // ... once the search has run this long at the node rate
constexpr int AnalysisStatMinDepth = 7;   // "stat01:" at polls from the iteration after this

constexpr int MsPerCentisecond = 10;
constexpr int MsPerSecond = 1000;

int Centipawns(int score) { return score / ScoreDivisor; }
const char* Text(const char* pvText) { return pvText ? pvText : "\n"; }
void Flush() { std::fflush(stdout); }

// xboard reads the time of a thinking line in centiseconds of the clock; the console shows the
// search's seconds.
long long ThinkingTime(const SearchLine& line) {
  return MainStatus.xboard ? line.ElapsedMs / MsPerCentisecond : line.ElapsedSeconds;
}

// xboard reads a mate as 100000 + N; the console shows its centipawn figure.
int ThinkingScore(int score) { return MainStatus.xboard ? ScoreText::Xboard(score) : Centipawns(score); }

void PrintUciDepth(int depth) {
  std::printf("info depth %d\n", depth);
  Flush();
}

bool HasMoves(const char* pvText) { return pvText != nullptr && pvText[0] != '\0' && pvText[0] != '\n'; }

long long NodesPerSecond(const SearchLine& line) {
  return line.ElapsedMs > 0 ? line.Nodes * MsPerSecond / line.ElapsedMs : line.Nodes * MsPerSecond;
}

// A line with a score carries what GUIs show in their columns, times from the clock. A line
// without a move has no " pv"; one without a score that means anything (a search stopped before
// its first move was searched) has no " score" and tells only how far it got.
void PrintUciLine(const SearchLine& line, bool withTime, bool withScore = true) {
  std::printf("info depth %d", line.Depth);
  if (withScore) {
    char score[ScoreText::UciScoreSize];
    ScoreText::WriteUci(score, sizeof score, line.Score);
    std::printf(" seldepth %d", line.SelDepth > line.Depth ? line.SelDepth : line.Depth);
    if (line.MultiPv > 0) std::printf(" multipv %d", line.MultiPv);
    std::printf(" score %s nodes %" PRId64 " nps %lld hashfull %d time %d", score, line.Nodes, NodesPerSecond(line),
                line.HashFull, line.ElapsedMs);
  } else {
    if (withTime) std::printf(" time %d", line.ElapsedMs);
    std::printf(" nodes %" PRId64, line.Nodes);
  }
  if (HasMoves(line.PvText)) std::printf(" pv%s", line.PvText);
  else std::printf("\n");
  Flush();
}

// The lines of an interrupted or finished search show results only: the best line known. Before
// there is one, a stopped search tells how far it got, a finished one (a root without moves) its
// own line.
void PrintUciResult(const SearchLine& line, bool interrupted, const BestKnownLine& best, bool withTime) {
  if (best.Known) PrintUciLine(best.Line, withTime);
  else PrintUciLine(line, withTime, !interrupted);
}

void PrintUciCurrMove(int fromSquare, int toSquare, int moveNumber) {
  std::printf("info currmove %c%d%c%d currmovenumber %d\n", files[fromSquare & 7], fromSquare / 8 + 1,
              files[toSquare & 7], toSquare / 8 + 1, moveNumber);
  Flush();
}

void PrintUciCurrMoveNumber(int moveNumber) {
  std::printf("info currmovenumber %d\n", moveNumber);
  Flush();
}

// The xboard thinking line and the console's iteration line; the variation text ends the line.
void PrintThinking(const SearchLine& line) {
  std::printf("%d %d %lld %" PRId64 " %s", line.Depth, ThinkingScore(line.Score), ThinkingTime(line), line.Nodes,
              Text(line.PvText));
  Flush();
}

void PrintKibitz(const MoveChosen& m) {
  const SearchLine& line = m.Line;
  std::printf("tellics kibitz ply=%d v=%d centipawns millisecs=%d Nodes=%" PRId64 " nps=%d %s\n", m.SearchDepth,
              Centipawns(line.Score), line.ElapsedSeconds > 0 ? line.ElapsedSeconds : 1, line.Nodes,
              m.NodesPerSecond, Text(line.PvText));
  Flush();
}

// The search's notices are no protocol commands: a UCI front end reads them as "info string".
const char* NoticePrefix() { return MainStatus.UCIMode ? "info string " : ""; }

void PrintLine(const char* text) {
  std::printf("%s\n", text);
  Flush();
}

}  // namespace

void ReportStat01(int centiseconds, std::int64_t nodes, int depth, int movesLeft, int moveCount) {
  std::printf("stat01: %d %" PRId64 " %d %d %d\n", centiseconds, nodes, depth, movesLeft, moveCount);
  Flush();
}

namespace SearchEvents {

void RootSearchStarted(int depth) {
  if (MainStatus.UCIMode) PrintUciDepth(depth);
}

// Only a UCI front end that asked for it hears which root move is searched, and only in a long search.
void RootMoveStarted(const RootMoveStart& m) {
  if (!MainStatus.UCIMode) return;
  if (UCI.ShowCurrLine == 1 && m.Depth > CurrMoveMinDepth &&
      m.Nodes > static_cast<std::int64_t>(CurrMoveSeconds) * m.NodesPerSecond)
    PrintUciCurrMove(m.FromSquare, m.ToSquare, m.MoveNumber);
  Flush();
}

// xboard hears new best lines of the deeper iterations only; UCI hears all, timed in an analysis.
void NewBestLine(const SearchLine& line) {
  const Status& s = MainStatus;
  if (s.Post && line.Depth > IterationLogDepth && s.xboard) PrintThinking(line);
  if (s.UCIMode) PrintUciLine(line, s.Analyze != 0);
}

void RootInterrupted(const RootInterruption& r) {
  const Status& s = MainStatus;
  if (r.Exit == RootExit::Loop) {
    // A ponder search stopped between moves has nothing to tell: the front end decides next.
    if (s.Pondering) return;
    if (s.Post && s.xboard) PrintThinking(r.Line);
    if (s.UCIMode) PrintUciResult(r.Line, true, r.Best, false);
    return;
  }
  if (s.xboard && s.Post) PrintThinking(r.Line);
  // UCI hears a move stopped in its last search at any depth, one stopped earlier in deep iterations,
  // followed by the number of the move reached.
  if (s.UCIMode && (r.Exit == RootExit::Late || r.Line.Depth > IterationLogDepth)) {
    PrintUciResult(r.Line, true, r.Best, true);
    if (r.Exit == RootExit::Early) PrintUciCurrMoveNumber(r.LegalMoves);
  }
}

// A long iteration is shown to a posting front end once more before the line every iteration gets.
void IterationDone(const SearchLine& line, bool interrupted, const BestKnownLine& best) {
  const Status& s = MainStatus;
  if (s.Post && line.ElapsedSeconds > LongSearchSeconds) PrintThinking(line);
  if (s.Post || s.Analyze || (s.UCIMode && line.MultiPv > 0)) {
    if (s.UCIMode) PrintUciResult(line, interrupted, best, true);
    else PrintThinking(line);
  }
}

// Shown right after the iteration's best line. A UCI front end always gets the lines of play of
// each iteration once more, best first: the passes found them in their own order.
void OtherLineDone(const SearchLine& line) {
  const Status& s = MainStatus;
  if (s.UCIMode) PrintUciLine(line, true);
  else if (s.Post) PrintThinking(line);
}

void MoveFound(const MoveChosen& m) {
  const Status& s = MainStatus;
  if (s.Post && !m.Aborted && !s.UCIMode) PrintThinking(m.Line);
  if (s.UCIMode) {
    PrintUciResult(m.Line, m.Interrupted, m.Best, true);
  } else if (s.Kibitz) {
    if (m.BookMove) PrintLine("tellics kibitz Book Move");
    else PrintKibitz(m);
  }
}

// A UCI front end reads only UCI lines: the book move is its "bestmove".
void BookMovePlayed() {
  if (!MainStatus.UCIMode) PrintLine("tellics kibitz Opening Book Move");
}

// The measured node rate is a UCI "info" line; other front ends have no such line.
void NodeRateMeasured(int nodesPerSecond, int elapsedMs) {
  if (!MainStatus.UCIMode) return;
  std::printf("info nps %d time %d\n", nodesPerSecond, elapsedMs);
  Flush();
}

void AnalysisRate(int nodesPerSecond, int elapsedMs) {
  if (!MainStatus.UCIMode) return;
  std::printf("info nps %d\n", nodesPerSecond);
  std::printf("info time %d\n", elapsedMs);
  Flush();
}

// An xboard analysis gets a progress line at each poll of the deeper iterations, and at the first
// poll after a ".", except at a poll that read a command (which may be "." itself, or "exit").
// Only a front end that has asked for one with "." gets them: to any other client they are lines
// it cannot place.
void AnalysisPolled(const AnalysisPoll& p) {
  if (!MainStatus.xboard || p.CommandRead) return;
  if (Commands.Stat01Due || (p.Depth > AnalysisStatMinDepth && Commands.AsksForStat01)) {
    Commands.Stat01Due = 0;
    ReportStat01(p.Centiseconds, p.Nodes, p.Depth, p.MovesLeft, p.MoveCount);
  }
}

// Only the console user is shown the plan of a move.
void TimeBudgetPlanned(int timePerMove, int timeLeft, int defaultMovesPerSession) {
  const Status& s = MainStatus;
  if (s.xboard || s.UCIMode) return;
  std::printf("Time Per Move = %d\n", timePerMove);
  std::printf("Time Left = %d\n", timeLeft);
  std::printf("DefaultMovesPerSession = %d\n", defaultMovesPerSession);
  Flush();
}

// A UCI front end reads only UCI commands: notices go to it as "info string" lines.
void AbortedByCommand(const char* command) {
  // An xboard front end reads it as a comment line ("#"), which every client passes over.
  const char* prefix = MainStatus.xboard && !MainStatus.UCIMode ? "#" : NoticePrefix();
  std::printf("%s Search Aborted due to receiveing following string: %s\n", prefix, command);
  Flush();
}

void Error(const char* text) {
  std::printf("%sERROR: %s\n", NoticePrefix(), text);
  Flush();
}

}  // namespace SearchEvents
