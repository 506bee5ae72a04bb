// Command-line options in-process: the settings each sets, values and their errors.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <string>
#include <vector>

#include "board/ChessBoard.h"
#include "engine/CommandLine.h"
#include "engine/Status.h"
#include "testkit/RunEngine.h"

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
  EXPECT_EQ(Parse({"-fd", "5", "-st", "2"}), CommandLineContinue);
  EXPECT_TRUE(MainStatus.getFD() == 5 && MainBoard.MaxDepth == 5 && MainBoard.FixedDepth == 5);
  EXPECT_TRUE(MainStatus.ST == 2 && MainStatus.TimePerMove == 1800 && MainStatus.TimeLeft == 120000);
  EXPECT_EQ(Parse({"-sd", "9"}), CommandLineContinue);
  EXPECT_TRUE(MainBoard.MaxDepth == 9 && MainBoard.FixedDepth == 5);
  MainStatus = Status{};
  EXPECT_EQ(Parse({"-uci", "-tc", "-post"}), CommandLineContinue);   // "-tc" swallows its value
  EXPECT_TRUE(MainStatus.UCIMode == 1 && MainStatus.Post == 0);
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
  EXPECT_TRUE(MainBoard.SideToMove == 1 && MainBoard.WhiteKing == 1u && MainStatus.SelfPlay == 1);
}

TEST(OptionValueTest, ReadsLikeAtoiWithoutOverflow) {
  const std::pair<const char*, int> cases[] = {{"12abc", 12}, {"abc", 0}, {" \t-7", -7}, {"+5", 5}, {"", 0},
                                               {"99999999999999999999", INT_MAX}, {"-99999999999999999999", INT_MIN}};
  for (const auto& [text, value] : cases) EXPECT_EQ(ParseOptionValue(text), value) << text;
  EXPECT_EQ(ParseOptionValue(nullptr), 0);
}

}  // namespace
