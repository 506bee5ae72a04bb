#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/RunEngine.h"
#include "tools/EpdSuite.h"

namespace {

using nelktest::RunEngine;

constexpr const char* ThreeMates =
    "3rk3/p4p2/4p2r/1pPp3p/5Rpq/2N1P1P1/1P3PK1/2B2QR1 b - - bm Qh3#; dm 1;\n"
    "rn2k2r/2p2pp1/p7/6bp/P1P1P1nP/4P1PK/5q2/2B3R1 b kq - bm Qh2#; dm 1;\n"
    "5r1k/7r/4pb1Q/1p6/3P2PP/p3B3/P4P2/1R2K1R1 w - - bm Qxf8#; dm 1;\n";

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The result lines of a suite run: depth, score, three blanks and the move text.
bool IsResultLine(const std::string& line) {
  const std::size_t gap = line.find("   ");
  if (gap == std::string::npos || gap == 0) return false;
  std::istringstream numbers(line.substr(0, gap));
  long long depth = 0, score = 0;
  std::string rest;
  return bool(numbers >> depth >> score) && !(numbers >> rest);
}

std::vector<std::string> ResultLines(const std::string& output) {
  std::vector<std::string> lines;
  std::istringstream in(output);
  for (std::string line; std::getline(in, line);) {
    if (IsResultLine(line)) lines.push_back(line);
  }
  return lines;
}

TEST(EpdSuiteTest, SuiteWithoutFixedDepthSearchesAtDepthThree) {
  const auto run = RunEngine({"-ts", "suite.epd"}, "", 120000, {{"suite.epd", ThreeMates}});
  ASSERT_EQ(run.ExitStatus, 0) << run.Output;
  EXPECT_TRUE(Has(run.Output, "## file opened suite.epd\n## Entering ParseEPDSuite and Opened data file\n"));
  const auto lines = ResultLines(run.Output);
  ASSERT_EQ(lines.size(), 3u) << run.Output;
  for (const auto& line : lines) EXPECT_EQ(line.rfind("3 ", 0), 0u) << line;
  // Each position is echoed before its result, and the count closes the run.
  EXPECT_TRUE(Has(run.Output, "\n3rk3/p4p2/4p2r/1pPp3p/5Rpq/2N1P1P1/1P3PK1/2B2QR1 b - - bm Qh3#; dm 1;\n"));
  EXPECT_TRUE(EndsWith(run.Output, "\n3\n")) << run.Output;
}

TEST(EpdSuiteTest, FixedDepthIsKept) {
  const auto run = RunEngine({"-fd", "5", "-ts", "suite.epd"}, "", 120000, {{"suite.epd", ThreeMates}});
  ASSERT_EQ(run.ExitStatus, 0) << run.Output;
  const auto lines = ResultLines(run.Output);
  ASSERT_EQ(lines.size(), 3u) << run.Output;
  for (const auto& line : lines) EXPECT_EQ(line.rfind("5 ", 0), 0u) << line;
}

TEST(EpdSuiteTest, UnreadableFileEndsWithStatusOne) {
  const auto run = RunEngine({"-ts", "missing.epd"});
  EXPECT_EQ(run.ExitStatus, EpdOpenErrorStatus);
  EXPECT_TRUE(Has(run.Output, "ERROR: opening file missing.epd\n")) << run.Output;
}

TEST(EpdSuiteTest, BadLinesAreSkippedWithAMessage) {
  const std::string longLine = "8/8/8/8/8/8/8/K6k w - - " + std::string(EpdLineSize * 3, 'x') + "\n";
  const std::string suite = std::string("\n") + longLine + "   \r\n" + "8/8/8/8/8/8/8/K7 w - -\n" +
                            "8/8/8/8/8/8/4P3/K6k w - - last line without newline";
  const auto run = RunEngine({"-ts", "bad.epd", "-fd", "2"}, "", 60000, {{"bad.epd", suite}});
  ASSERT_EQ(run.ExitStatus, 0) << run.Output << run.Errors;
  EXPECT_TRUE(Has(run.Output, "ERROR: line 1 is empty; skipped\n"));
  EXPECT_TRUE(Has(run.Output, "ERROR: line 2 is longer than 1024 characters; skipped\n"));
  EXPECT_TRUE(Has(run.Output, "ERROR: line 3 is empty; skipped\n"));
  EXPECT_TRUE(Has(run.Output, "ERROR: line 4: the position needs exactly one king for each side; skipped\n"));
  const auto lines = ResultLines(run.Output);
  ASSERT_EQ(lines.size(), 1u) << run.Output;
  EXPECT_EQ(lines[0].rfind("2 ", 0), 0u);
  EXPECT_TRUE(EndsWith(run.Output, "\n1\n")) << run.Output;
}

TEST(EpdSuiteTest, EvaluationDumpPrintsABreakdownPerPosition) {
  const auto run = RunEngine({"-pev", "suite.epd"}, "", 60000, {{"suite.epd", ThreeMates}});
  ASSERT_EQ(run.ExitStatus, 0) << run.Output;
  EXPECT_TRUE(ResultLines(run.Output).empty());   // nothing is searched
  int breakdowns = 0;
  for (std::size_t p = run.Output.find("Evaluation, White's view"); p != std::string::npos;
       p = run.Output.find("Evaluation, White's view", p + 1))
    breakdowns++;
  EXPECT_EQ(breakdowns, 3);
  EXPECT_TRUE(EndsWith(run.Output, "\n3\n"));
}

TEST(EpdSuiteTest, MimicStudentEvaluatesSilently) {
  const auto run = RunEngine({"-mimicstudent", "suite.epd"}, "", 60000, {{"suite.epd", ThreeMates}});
  ASSERT_EQ(run.ExitStatus, 0) << run.Output;
  EXPECT_TRUE(Has(run.Output, "## Mimic == STUDENT\n## file opened suite.epd\n"));
  EXPECT_TRUE(Has(run.Output, "In ParseEPDSuite and Mimic == STUDENT \n"));
  EXPECT_TRUE(EndsWith(run.Output, "Mimic == STUDENT \n3\n")) << run.Output;   // no boards, no results
}

}  // namespace
