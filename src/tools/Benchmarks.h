#pragma once
// The fixed search benchmarks of "-bench", "-bench2" and "-satrain". With a fixed depth ("-fd") the
// node total of Bench is the build's signature: it repeats on every run and every machine.
#include <cstdint>
#include <cstdio>
#include "search/SearchRoutines.h"

constexpr int BenchDefaultDepth = 9;   // the depth of a benchmark run without "-fd"

// Node counts summed over the searches of one benchmark run.
struct BenchTotals {
  std::int64_t InteriorNodes = 0;   // Nodes of the searches
  std::int64_t QuiesceNodes = 0;    // QNodes
  std::int64_t LeafNodes = 0;       // HorizonNodes
  int SearchMs = 0;                 // time inside the searches, without set-up and table clearing
  std::int64_t Total() const { return InteriorNodes + QuiesceNodes; }
};

// Everything the statistics block prints.
struct BenchStatistics {
  int ElapsedMs = 1;                  // at least 1
  BenchTotals Totals;
  std::uint32_t TableHits = 0;        // transposition table
  std::uint32_t TableMisses = 0;
  std::uint32_t PawnMisses = 0;       // pawn hash table
  std::uint32_t PawnAttempts = 0;
};

// A search entry point of the benchmarks (ProgressiveDeepening or SearchExactDepth).
using BenchSearch = int (SearchRoutines::*)(ChessBoard, char, std::uint64_t*, std::uint64_t*, char*);

// Both run at the fixed depth FD, which becomes BenchDefaultDepth when no depth was given.
void Bench();    // the six built-in positions with ProgressiveDeepening
void Bench2();   // position 5 with ProgressiveDeepening, then with SearchExactDepth

// Sets up built-in position `number` (1-based), searches it at the fixed depth FD and adds its node
// counters to `totals`; the tables are cleared afterwards.
void RunBenchPosition(int number, BenchSearch search, BenchTotals& totals);
// Reads the table counters. An elapsed time of 0 counts as 1 ms; when the transposition table saw
// neither hits nor misses its miss counter becomes 1, so that the ratio is defined.
BenchStatistics CollectBenchStatistics(const BenchTotals& totals, int elapsedMs);
// Nodes per second, truncated to whole thousands of nodes per millisecond as the figure always was.
std::int64_t BenchNodesPerSecond(std::int64_t nodes, int elapsedMs);
void PrintBenchStatistics(std::FILE* out, const BenchStatistics& stats);
