#pragma once
// The lines of a running search as the front ends read them. SearchOutput.cpp defines the search's
// events (search/SearchEvents.h) and is the one place that decides, from the front end and its
// settings, which of them a UCI, xboard or console user sees and in what words.
#include <cstdint>

// The xboard analysis progress line "stat01: time nodes depth movesleft movecount".
void ReportStat01(int centiseconds, std::int64_t nodes, int depth, int movesLeft, int moveCount);
