// The match log: one newline after every text, written at once, and no writes once it is closed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "engine/MatchLog.h"
#include "testkit/RunEngine.h"

namespace {

// Runs the log functions inside a temporary working directory.
struct MatchLogTest : testing::Test {
  nelktest::TempDir dir;
  char previous[4096] = {};
  void SetUp() override {
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
  }
  void TearDown() override {
    CloseLogFile();
    EXPECT_EQ(chdir(previous), 0);
  }
};

TEST_F(MatchLogTest, EveryTextGetsOneNewlineAndIsFlushedAtOnce) {
  OpenLogFile();
  WriteLogFile("old");
  OpenLogFile();   // truncates
  WriteLogFile("Move Made: 7 3 0 1234  e2e4 \n");
  EXPECT_EQ(dir.Read("match.log"), "Move Made: 7 3 0 1234  e2e4 \n\n");
  LogPrintf("Move Made: %d %d", -37 / 10, 0);
  EXPECT_EQ(dir.Read("match.log").substr(30), "Move Made: -3 0\n");
  CloseLogFile();
  WriteLogFile("after close");
  WriteLogFile(nullptr);
  EXPECT_EQ(dir.Read("match.log").size(), 46u);
}

TEST_F(MatchLogTest, OverlongFormattedLineIsCut) {
  OpenLogFile();
  const std::string longText(10000, 'x');
  LogPrintf("%s", longText.c_str());
  const std::string log = dir.Read("match.log");
  EXPECT_LT(log.size(), longText.size());
  EXPECT_EQ(log.back(), '\n');
}

}  // namespace
