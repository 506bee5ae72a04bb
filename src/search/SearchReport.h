#pragma once
// Every line the search writes to standard output: UCI "info" lines, xboard thinking and "stat01:"
// lines, kibitz lines and the search's own notices. Each line is flushed at once. Scores are given
// in the evaluation's unit and printed divided by 10 (truncating towards zero); `pvText` is a move
// text as fillmovestring writes it (leading blank, trailing newline).
#include <cstdint>

// UCI
void ReportUciDepth(int depth);
void ReportUciLine(int depth, int score, bool withTime, int elapsedSeconds, std::int64_t nodes,
                   const char* pvText);
void ReportUciCurrMove(int fromSquare, int toSquare, int moveNumber);
void ReportUciCurrMoveNumber(int moveNumber);
void ReportNodeRate(int nodesPerSecond, float seconds);
void ReportAnalysisRate(int nodesPerSecond, int elapsedSeconds);

// xboard and console
void ReportThinking(int depth, int score, int elapsedSeconds, std::int64_t nodes, const char* pvText);
void ReportIteration(int depth, int score, int elapsedSeconds, std::int64_t nodes, const char* pvText);
void ReportStat01(int centiseconds, std::int64_t nodes, int depth, int movesLeft, int moveCount);
void ReportConsoleTime(int timePerMove, int timeLeft, int defaultMovesPerSession);
void ReportKibitzBook();
void ReportOpeningBookMove();
void ReportKibitz(int depth, int score, int elapsedSeconds, std::int64_t nodes, int nodesPerSecond,
                  const char* pvText);

// Notices
void ReportSearchAborted(const char* word);
void ReportCacheTrace(const char* event, int score, int alpha, int beta, std::uint64_t upper,
                      std::uint64_t lower);
void ReportSearchError(const char* text);
