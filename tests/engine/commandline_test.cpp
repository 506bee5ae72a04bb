#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <string>
#include <vector>

#include "board/ChessBoard.h"
#include "engine/CommandLine.h"
#include "engine/Status.h"
#include "support/RunEngine.h"

namespace {

struct CommandLineTest : testing::Test {
  void SetUp() override {
    MainStatus = Status{};
    MainBoard = ChessBoard{};
    TestFileName = nullptr;
  }
  int Parse(std::vector<std::string> args) {
    storage = std::move(args);   // TestFileName points into the arguments
    storage.insert(storage.begin(), "nelk");
    std::vector<char*> argv;
    for (auto& arg : storage) argv.push_back(arg.data());
    return ParseCommandLine(static_cast<int>(argv.size()), argv.data());
  }
  std::vector<std::string> storage;
};

TEST_F(CommandLineTest, DepthAndTimeOptions) {
  EXPECT_EQ(Parse({"-fd", "5"}), CommandLineContinue);
  EXPECT_EQ(MainStatus.getFD(), 5);
  EXPECT_EQ(MainBoard.MaxDepth, 5);
  EXPECT_EQ(MainBoard.FixedDepth, 5);
  EXPECT_EQ(Parse({"-sd", "9"}), CommandLineContinue);
  EXPECT_EQ(MainBoard.MaxDepth, 9);
  EXPECT_EQ(MainBoard.FixedDepth, 5);
  EXPECT_EQ(Parse({"-st", "2"}), CommandLineContinue);
  EXPECT_EQ(MainStatus.ST, 2);
  EXPECT_EQ(MainStatus.TimePerMove, 1800);
  EXPECT_EQ(MainStatus.TimeLeft, 120000);
  EXPECT_EQ(Parse({"-fd", "deep"}), CommandLineContinue);   // not a number: 0
  EXPECT_EQ(MainStatus.FD, 0);
}

TEST_F(CommandLineTest, FlagOptions) {
  EXPECT_EQ(Parse({"-bench3", "-kibitz", "-nobook", "-post", "-sp", "-trace", "-perft", "-HPC", "-satrain"}),
            CommandLineContinue);
  EXPECT_EQ(MainStatus.Bench, 3);
  EXPECT_EQ(MainStatus.Kibitz + MainStatus.Post + MainStatus.SelfPlay + MainStatus.Trace + MainStatus.PERFT +
                MainStatus.SATrain, 6);
  EXPECT_EQ(MainStatus.UseBook, 0);
  EXPECT_EQ(Parse({"xboard"}), CommandLineContinue);
  EXPECT_EQ(MainStatus.xboard, 1);
  EXPECT_EQ(MainStatus.UCIMode, 0);
  MainStatus = Status{};
  EXPECT_EQ(Parse({"-uci", "-tc", "-post"}), CommandLineContinue);   // "-tc" swallows its value
  EXPECT_EQ(MainStatus.UCIMode, 1);
  EXPECT_EQ(MainStatus.Post, 0);
}

TEST_F(CommandLineTest, TestFileOptions) {
  EXPECT_EQ(Parse({"-ts", "suite.epd"}), CommandLineContinue);
  EXPECT_EQ(MainStatus.DoTestSuite, 1);
  EXPECT_STREQ(TestFileName, "suite.epd");
  EXPECT_EQ(Parse({"-pev", "eval.epd"}), CommandLineContinue);
  EXPECT_EQ(MainStatus.PEV, 1);
  EXPECT_STREQ(TestFileName, "eval.epd");
  testing::internal::CaptureStdout();
  EXPECT_EQ(Parse({"-mimicstudent", "mimic.epd"}), CommandLineContinue);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "## Mimic Student option detected \n");
  EXPECT_EQ(MainStatus.Mimic, 1);
  EXPECT_STREQ(TestFileName, "mimic.epd");
}

// The options after a value-taking one in the table are tested against its value.
TEST_F(CommandLineTest, ValueIsTestedAgainstTheRemainingOptions) {
  nelktest::TempDir dir;
  ASSERT_TRUE(dir.Write("my-sp-game.fen", "8/8/8/8/8/8/8/K6k b - -\n"));
  char previous[4096];
  ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(chdir(dir.Path().c_str()), 0);   // a relative name: the temporary path could hold an option
  EXPECT_EQ(Parse({"-lpf", "my-sp-game.fen"}), CommandLineContinue);
  ASSERT_EQ(chdir(previous), 0);
  EXPECT_EQ(MainBoard.SideToMove, 1);
  EXPECT_EQ(MainBoard.WhiteKing, 1u);
  EXPECT_EQ(MainStatus.SelfPlay, 1);
}

TEST_F(CommandLineTest, MissingOrBadValuesAreErrors) {
  testing::internal::CaptureStdout();
  EXPECT_EQ(Parse({"-fd"}), CommandLineError);
  EXPECT_EQ(Parse({"-perft", "-lpf"}), CommandLineError);
  EXPECT_EQ(Parse({"-fd", "-3"}), CommandLineError);
  EXPECT_EQ(Parse({"-fd", "128"}), CommandLineError);
  EXPECT_EQ(Parse({"-st", "-1"}), CommandLineError);
  EXPECT_EQ(Parse({"-st", "99999"}), CommandLineError);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("ERROR: option -fd needs a value\n"), std::string::npos);
  EXPECT_NE(out.find("ERROR: option -lpf needs a value\n"), std::string::npos);
  EXPECT_NE(out.find("ERROR: -fd needs a depth from 0 to 127, not \"-3\"\n"), std::string::npos);
}

TEST_F(CommandLineTest, HelpStopsParsing) {
  testing::internal::CaptureStdout();
  EXPECT_EQ(Parse({"-h", "-perft"}), CommandLineHelp);
  EXPECT_FALSE(testing::internal::GetCapturedStdout().empty());
  EXPECT_EQ(MainStatus.PERFT, 0);
}

TEST(OptionValueTest, ReadsLikeAtoiWithoutOverflow) {
  EXPECT_EQ(ParseOptionValue("12abc"), 12);
  EXPECT_EQ(ParseOptionValue("abc"), 0);
  EXPECT_EQ(ParseOptionValue(" \t-7"), -7);
  EXPECT_EQ(ParseOptionValue("+5"), 5);
  EXPECT_EQ(ParseOptionValue(""), 0);
  EXPECT_EQ(ParseOptionValue(nullptr), 0);
  EXPECT_EQ(ParseOptionValue("2147483647"), INT_MAX);
  EXPECT_EQ(ParseOptionValue("99999999999999999999"), INT_MAX);
  EXPECT_EQ(ParseOptionValue("-99999999999999999999"), INT_MIN);
}

}  // namespace
