#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "eval/PawnHash.h"
#include "hash/TranspositionTables.h"
#include "support/RunEngine.h"
#include "tools/Benchmarks.h"

namespace {

using nelktest::RunEngine;

// Node total of "nelk -bench -fd 5": the search's signature. A change that is meant to alter the
// search changes it; then run that command and copy the number of its "Bench signature:" line here.
constexpr long long BenchSignatureFd5 = 5172;

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

class BenchStatisticsTest : public ::testing::Test {
protected:
  void SetUp() override {
    PositionCache.Hits = PositionCache.Misses = 0;
    Phashmisses = Phashattempts = 0;
  }
  void TearDown() override { SetUp(); }
};

TEST_F(BenchStatisticsTest, EmptyRunPrintsDefinedFigures) {
  // No time, no probes, no pawn evaluations: nothing may divide by zero.
  const BenchStatistics stats = CollectBenchStatistics(BenchTotals{}, 0);
  EXPECT_EQ(stats.ElapsedMs, 1);
  EXPECT_EQ(PositionCache.Misses, 1u);
  EXPECT_EQ(Printed(stats),
            "    Time Interior Nodes Quiesce Nodes Total Nodes        NPS\n"
            "       1           0             0             0           0\n"
            "Leaf Interior Nodes searched = 0\n"
            "Transposition Table Hits 0  Misses  1  Ratio = 0\n"
            "Pawn misses 0 Pawn attempts 0 Pawn miss rate = 0\n");
}

TEST_F(BenchStatisticsTest, FiguresOfARun) {
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
}

TEST(BenchNpsTest, TruncatesToWholeNodesPerMillisecond) {
  EXPECT_EQ(BenchNodesPerSecond(1999, 1000), 1000);
  EXPECT_EQ(BenchNodesPerSecond(5000000000LL, 1), 5000000000000LL);
  EXPECT_EQ(BenchNodesPerSecond(700, 0), 700000);
}

long long Signature(const std::string& output) {
  const std::string label = "Bench signature: ";
  const std::size_t at = output.find(label);
  if (at == std::string::npos) return -1;
  return std::atoll(output.c_str() + at + label.size());
}

TEST(BenchRunTest, SignatureAtDepthFive) {
  const auto run = RunEngine({"-bench", "-fd", "5"}, "", 300000);
  ASSERT_EQ(run.ExitStatus, 0) << run.Output;
  EXPECT_NE(run.Output.find("Running benchmark 1 2 3 4 5 6\n"), std::string::npos) << run.Output;
  const long long signature = Signature(run.Output);
  ASSERT_GT(signature, 0) << run.Output;
  EXPECT_EQ(signature, BenchSignatureFd5) << "the search changed; see BenchSignatureFd5";
  // The total column of the statistics row is the same number.
  EXPECT_NE(run.Output.find(std::to_string(signature) + " "), std::string::npos);
  for (int pos = 1; pos <= 6; pos++)
    EXPECT_NE(run.MatchLog.find("======== Pos " + std::to_string(pos) + " =======\n"), std::string::npos);
}

TEST(BenchRunTest, SATrainRunsTheSameBenchmark) {
  const auto bench = RunEngine({"-bench", "-fd", "3"}, "", 120000);
  const auto satrain = RunEngine({"-satrain", "-fd", "3"}, "", 120000);
  ASSERT_EQ(satrain.ExitStatus, 0) << satrain.Output;
  EXPECT_GT(Signature(bench.Output), 0);
  EXPECT_EQ(Signature(satrain.Output), Signature(bench.Output));
}

TEST(BenchRunTest, Bench2RunsPositionFiveTwice) {
  const auto run = RunEngine({"-bench2", "-fd", "4"}, "", 120000);
  ASSERT_EQ(run.ExitStatus, 0) << run.Output;
  const std::string& out = run.Output;
  const auto first = out.find("Running benchmark \nProgressive Deepening\n");
  const auto second = out.find("Running benchmark \nSearch Exact Depth\n");
  ASSERT_NE(first, std::string::npos) << out;
  ASSERT_NE(second, std::string::npos) << out;
  EXPECT_LT(first, second);
  int blocks = 0;
  for (auto p = out.find("Pawn miss rate = "); p != std::string::npos; p = out.find("Pawn miss rate = ", p + 1)) blocks++;
  EXPECT_EQ(blocks, 2);
  EXPECT_NE(run.MatchLog.find("======== Pos 5 =======\n"), std::string::npos);
  EXPECT_EQ(run.MatchLog.find("======== Pos 1 ="), std::string::npos);
}

}  // namespace
