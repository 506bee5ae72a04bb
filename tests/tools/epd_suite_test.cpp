// EPD suites run from the command line: the search depth, bad lines, and the evaluation modes.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "testkit/RunEngine.h"
#include "testkit/Text.h"
#include "tools/EpdSuite.h"

namespace {

using namespace nelktest;

constexpr const char* ThreeMates =
    "3rk3/p4p2/4p2r/1pPp3p/5Rpq/2N1P1P1/1P3PK1/2B2QR1 b - - bm Qh3#; dm 1;\n"
    "rn2k2r/2p2pp1/p7/6bp/P1P1P1nP/4P1PK/5q2/2B3R1 b kq - bm Qh2#; dm 1;\n"
    "5r1k/7r/4pb1Q/1p6/3P2PP/p3B3/P4P2/1R2K1R1 w - - bm Qxf8#; dm 1;\n";

// The depths of the result lines of a suite run: depth, score, three blanks and the move text.
std::vector<long long> ResultDepths(const std::string& output) {
  std::vector<long long> depths;
  std::istringstream in(output);
  for (std::string line; std::getline(in, line);) {
    const std::size_t gap = line.find("   ");
    std::istringstream numbers(line.substr(0, gap));
    long long depth = 0, score = 0;
    std::string rest;
    if (gap != std::string::npos && gap > 0 && numbers >> depth >> score && !(numbers >> rest)) depths.push_back(depth);
  }
  return depths;
}

TEST(EpdSuiteTest, SearchesEveryPositionAtTheFixedDepthOrThree) {
  const std::pair<std::vector<std::string>, long long> cases[] = {{{"-ts", "suite.epd"}, 3},
                                                                  {{"-fd", "5", "-ts", "suite.epd"}, 5}};
  for (const auto& [args, depth] : cases) {
    const auto run = RunEngine(args, "", 120000, {{"suite.epd", ThreeMates}});
    ASSERT_EQ(run.ExitStatus, 0) << run.Output;
    EXPECT_TRUE(Has(run.Output, "## file opened suite.epd\n## Entering ParseEPDSuite and Opened data file\n"));
    EXPECT_EQ(ResultDepths(run.Output), std::vector<long long>(3, depth)) << run.Output;
    // Each position is echoed before its result, and the count closes the run.
    EXPECT_TRUE(Has(run.Output, "\n3rk3/p4p2/4p2r/1pPp3p/5Rpq/2N1P1P1/1P3PK1/2B2QR1 b - - bm Qh3#; dm 1;\n"));
    EXPECT_TRUE(EndsWith(run.Output, "\n3\n")) << run.Output;
  }
  const auto missing = RunEngine({"-ts", "missing.epd"});
  EXPECT_EQ(missing.ExitStatus, EpdOpenErrorStatus);
  EXPECT_TRUE(Has(missing.Output, "ERROR: opening file missing.epd\n")) << missing.Output;
}

TEST(EpdSuiteTest, BadLinesAreSkippedWithAMessage) {
  const std::string longLine = "8/8/8/8/8/8/8/K6k w - - " + std::string(EpdLineSize * 3, 'x') + "\n";
  const std::string suite = "\n" + longLine + "   \r\n" + "8/8/8/8/8/8/8/K7 w - -\n" +
                            "8/8/8/8/8/8/4P3/K6k w - - last line without newline";
  const auto run = RunEngine({"-ts", "bad.epd", "-fd", "2"}, "", 60000, {{"bad.epd", suite}});
  ASSERT_EQ(run.ExitStatus, 0) << run.Output << run.Errors;
  for (const char* message : {"ERROR: line 1 is empty; skipped\n", "ERROR: line 2 is longer than 1024 characters; skipped\n",
                              "ERROR: line 3 is empty; skipped\n",
                              "ERROR: line 4: the position needs exactly one king for each side; skipped\n"})
    EXPECT_TRUE(Has(run.Output, message)) << message;
  EXPECT_EQ(ResultDepths(run.Output), std::vector<long long>{2}) << run.Output;
  EXPECT_TRUE(EndsWith(run.Output, "\n1\n")) << run.Output;
}

TEST(EpdSuiteTest, EvaluationDumpSearchesNothing) {
  const auto dump = RunEngine({"-pev", "suite.epd"}, "", 60000, {{"suite.epd", ThreeMates}});
  ASSERT_EQ(dump.ExitStatus, 0) << dump.Output;
  EXPECT_TRUE(ResultDepths(dump.Output).empty());
  EXPECT_EQ(Count(dump.Output, "Evaluation, White's view"), 3);
  for (const char* term : {"material", "knight mobility", "king shelter", "phase", "total"})
    EXPECT_GE(Count(dump.Output, term), 3) << term;   // in the term table of each position
  EXPECT_TRUE(EndsWith(dump.Output, "\n3\n"));
}

}  // namespace
