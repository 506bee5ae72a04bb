// Benchmarks: the statistics block, and the node-count signature of the search.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "eval/PawnHash.h"
#include "hash/TranspositionTables.h"
#include "testkit/RunEngine.h"
#include "testkit/Text.h"
#include "tools/Benchmarks.h"

namespace {

using namespace nelktest;

// Node total of "nelk -bench -fd 5": the search's signature. A change that is meant to alter the
// search changes it; then run that command and copy the number of its "Bench signature:" line here.
constexpr long long BenchSignatureFd5 = 63204;

std::string Printed(const BenchStatistics& stats) {
  std::FILE* file = std::tmpfile();
  if (file == nullptr) return "";
  PrintBenchStatistics(file, stats);
  std::rewind(file);
  std::string text;
  for (int c; (c = std::fgetc(file)) != EOF;) text += static_cast<char>(c);
  std::fclose(file);
  return text;
}

TEST(BenchStatistics, FiguresOfAnEmptyAndOfARealRun) {
  PositionCache.Hits = PositionCache.Misses = Phashmisses = Phashattempts = 0;
  // No time, no probes, no pawn evaluations: nothing may divide by zero.
  EXPECT_EQ(Printed(CollectBenchStatistics(BenchTotals{}, 0)),
            "    Time Interior Nodes Quiesce Nodes Total Nodes        NPS\n"
            "       1           0             0             0           0\n"
            "Leaf Interior Nodes searched = 0\n"
            "Transposition Table Hits 0  Misses  1  Ratio = 0\n"
            "Pawn misses 0 Pawn attempts 0 Pawn miss rate = 0\n");
  BenchTotals totals;
  totals.InteriorNodes = 1500;
  totals.QuiesceNodes = 499;
  totals.LeafNodes = 77;
  PositionCache.Hits = 100000000;   // hits * 100 does not fit 32 bits
  PositionCache.Misses = 300000000;
  Phashmisses = 1;
  Phashattempts = 3;
  EXPECT_EQ(Printed(CollectBenchStatistics(totals, 1000)),
            "    Time Interior Nodes Quiesce Nodes Total Nodes        NPS\n"
            "    1000        1500           499          1999        1000\n"
            "Leaf Interior Nodes searched = 77\n"
            "Transposition Table Hits 100000000  Misses  300000000  Ratio = 25\n"
            "Pawn misses 1 Pawn attempts 3 Pawn miss rate = 33.3333\n");
  PositionCache.Hits = PositionCache.Misses = Phashmisses = Phashattempts = 0;
  EXPECT_EQ(BenchNodesPerSecond(5000000000LL, 1), 5000000000000LL);
  EXPECT_EQ(BenchNodesPerSecond(700, 0), 700000);
}

long long Signature(const std::string& output) {
  const std::string label = "Bench signature: ";
  const std::size_t at = output.find(label);
  return at == std::string::npos ? -1 : std::atoll(output.c_str() + at + label.size());
}

TEST(BenchRun, SignatureAtDepthFive) {
  const auto run = RunEngine({"-bench", "-fd", "5"}, "", 300000);
  ASSERT_EQ(run.ExitStatus, 0) << run.Output;
  EXPECT_TRUE(Has(run.Output, "Running benchmark 1 2 3 4 5 6\n")) << run.Output;
  const long long signature = Signature(run.Output);
  EXPECT_EQ(signature, BenchSignatureFd5) << "the search changed; see BenchSignatureFd5";
  EXPECT_TRUE(Has(run.Output, std::to_string(signature) + " "));   // the total column of the statistics row
  for (int pos = 1; pos <= 6; pos++) EXPECT_TRUE(Has(run.MatchLog, "======== Pos " + std::to_string(pos) + " =======\n"));
  const auto satrain = RunEngine({"-satrain", "-fd", "5"}, "", 300000);   // the same benchmark
  EXPECT_EQ(Signature(satrain.Output), signature) << satrain.Output;
}

}  // namespace
