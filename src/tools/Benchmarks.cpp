#include "tools/Benchmarks.h"

#include "engine/Clock.h"
#include "engine/MatchLog.h"
#include "engine/Status.h"
#include "eval/PawnHash.h"
#include "hash/MoveHistory.h"
#include "hash/TranspositionTables.h"
#include "tools/BenchPositions.h"
#include "tools/Fen.h"

namespace {

constexpr int MillisecondsPerSecond = 1000;
constexpr int Percent = 100;

// Without "-fd" the normal time limits would apply: with no clock set they allow a single ply, and
// the exact-depth search of Bench2 would have no limit at all. A benchmark needs a fixed depth.
void FixBenchDepth() {
  if (MainStatus.FD <= 0) MainStatus.FD = BenchDefaultDepth;
}

void ZeroNodeCounters() {
  Search.Nodes = 0;
  Search.QNodes = 0;
}

void StartBench2Block(const char* title) {
  ZeroNodeCounters();
  std::printf("Running benchmark \n");
  std::printf("%s\n", title);
  std::fflush(stdout);
}

// One timed run of position 5 with the given search, then its statistics.
void TimedBench2Block(const char* title, BenchSearch search) {
  StartBench2Block(title);
  BenchTotals totals;
  const int start = NowMs();
  RunBenchPosition(Bench2Position, search, totals);
  PrintBenchStatistics(stdout, CollectBenchStatistics(totals, NowMs() - start));
}

}  // namespace

void RunBenchPosition(int number, BenchSearch search, BenchTotals& totals) {
  if (number < 1 || number > BenchPositionCount) return;
  LogPrintf("======== Pos %d =======\n", number);
  MoveList.Init();
  SetupBoard(BenchPositions[number - 1]);
  MainBoard.Recount();
  Search.ClearHistory();
  ChessBoard& b = MainBoard;
  const int start = NowMs();
  (Search.*search)(b, MainStatus.FD, &b.BestFrom, &b.BestTo, &b.BestPromotion);
  totals.SearchMs += NowMs() - start;
  totals.InteriorNodes += Search.Nodes;
  totals.QuiesceNodes += Search.QNodes;
  totals.LeafNodes += Search.HorizonNodes;
  PositionCache.ClearTranspositionTables();
}

void Bench() {
  FixBenchDepth();
  ZeroNodeCounters();
  std::printf("Running benchmark ");
  std::fflush(stdout);
  BenchTotals totals;
  const int start = NowMs();
  for (int i = 0; i < BenchPositionCount; i++) {
    std::printf("%s", BenchLabels[i]);
    RunBenchPosition(i + 1, &SearchRoutines::ProgressiveDeepening, totals);
  }
  PrintBenchStatistics(stdout, CollectBenchStatistics(totals, NowMs() - start));
  // Clearing the 200 MB transposition table six times costs more than a short search: the speed of
  // the search itself is measured without it.
  std::printf("Bench search time: %d ms, %lld nodes per second\n", totals.SearchMs,
              static_cast<long long>(BenchNodesPerSecond(totals.Total(), totals.SearchMs)));
  std::printf("Bench signature: %lld\n", static_cast<long long>(totals.Total()));
  std::fflush(stdout);
}

void Bench2() {
  FixBenchDepth();
  TimedBench2Block("Progressive Deepening", &SearchRoutines::ProgressiveDeepening);
  TimedBench2Block("Search Exact Depth", &SearchRoutines::SearchExactDepth);
}

BenchStatistics CollectBenchStatistics(const BenchTotals& totals, int elapsedMs) {
  if (PositionCache.Hits == 0 && PositionCache.Misses == 0) PositionCache.Misses = 1;
  BenchStatistics stats;
  stats.ElapsedMs = elapsedMs > 0 ? elapsedMs : 1;
  stats.Totals = totals;
  stats.TableHits = PositionCache.Hits;
  stats.TableMisses = PositionCache.Misses;
  stats.PawnMisses = Phashmisses;
  stats.PawnAttempts = Phashattempts;
  return stats;
}

std::int64_t BenchNodesPerSecond(std::int64_t nodes, int elapsedMs) {
  if (elapsedMs < 1) elapsedMs = 1;
  return nodes / elapsedMs * MillisecondsPerSecond;
}

void PrintBenchStatistics(std::FILE* out, const BenchStatistics& stats) {
  const BenchTotals& t = stats.Totals;
  std::fprintf(out, "    Time Interior Nodes Quiesce Nodes Total Nodes        NPS\n");
  std::fprintf(out, "%8d%12lld%14lld%14lld%12lld\n", stats.ElapsedMs, static_cast<long long>(t.InteriorNodes),
               static_cast<long long>(t.QuiesceNodes), static_cast<long long>(t.Total()),
               static_cast<long long>(BenchNodesPerSecond(t.Total(), stats.ElapsedMs)));
  std::fflush(out);
  std::fprintf(out, "Leaf Interior Nodes searched = %lld\n", static_cast<long long>(t.LeafNodes));
  // 64-bit arithmetic: hits * 100 overflows 32 bits after some 43 million hits.
  const std::uint64_t probes = std::uint64_t{stats.TableHits} + stats.TableMisses;
  const std::uint64_t ratio = probes ? std::uint64_t{stats.TableHits} * Percent / probes : 0;
  std::fprintf(out, "Transposition Table Hits %u  Misses  %u  Ratio = %llu\n", stats.TableHits, stats.TableMisses,
               static_cast<unsigned long long>(ratio));
  // Without a pawn evaluation there is no rate to speak of; 0 rather than a division by zero.
  const double missRate = stats.PawnAttempts ? stats.PawnMisses * double{Percent} / stats.PawnAttempts : 0.0;
  std::fprintf(out, "Pawn misses %u Pawn attempts %u Pawn miss rate = %g\n", stats.PawnMisses, stats.PawnAttempts,
               missRate);
  std::fflush(out);
}
