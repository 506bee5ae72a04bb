#include <gtest/gtest.h>

#include <string>

#include "support/RunEngine.h"

namespace {

using nelktest::EngineProcess;
using nelktest::RunEngine;

constexpr const char* Banner = "Nelk \n";
constexpr const char* Help =
    "xboard   used when interfacing with xboard\n"
    "-uci   used when interfacing with an UCI based GUI\n"
    "-bench  run an internal benchmark suite\n"
    "-fd  n    fixes search depth to n ply (min n = 3)\n"
    "-lpf filename  loads a position from file\n"
    "-pev  filename - run through a testsuite (EPD Format) & output full evaluation detail per position\n"
    "-sd  n   sets max search depth to n ply (min n = 3)\n"
    "-sp  self play\n"
    "-ts  filename run through a testsuite (EPD Format)\n";
constexpr const char* MatchSeparator =
    "=====================================\n\nNext Match\n\n=====================================\n\n";

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(ProcessTest, HelpTextIsExact) {
  for (const char* option : {"-help", "-h"}) {
    const auto run = RunEngine({option});
    EXPECT_EQ(run.ExitStatus, 0);
    EXPECT_EQ(run.Output, std::string(Banner) + Help);
    EXPECT_TRUE(run.MatchLogExists);
  }
}

TEST(ProcessTest, PerftFromTheInitialPosition) {
  const auto run = RunEngine({"-perft", "-fd", "3"});
  EXPECT_EQ(run.ExitStatus, 0);
  EXPECT_EQ(run.Output.rfind(std::string(Banner) + "Starting PerfT test \n", 0), 0u) << run.Output;
  EXPECT_TRUE(Has(run.Output, "9322 Total Nodes at Depth = 3\n8902 Leaf Nodes at Depth = 3\n")) << run.Output;
  EXPECT_EQ(run.MatchLog, MatchSeparator);
}

TEST(ProcessTest, PerftWithoutDepthCountsOneLeaf) {
  const auto run = RunEngine({"-perft"});
  EXPECT_EQ(run.ExitStatus, 0);
  EXPECT_TRUE(Has(run.Output, "0 Total Nodes at Depth = 0\n1 Leaf Nodes at Depth = 0\n")) << run.Output;
}

// A test mode must not wait for a first word on standard input.
TEST(ProcessTest, PerftReadsNothingFromInput) {
  EngineProcess engine({"-perft", "-fd", "2"});
  EXPECT_TRUE(engine.WaitFor("400 Leaf Nodes at Depth = 2\n", 20000)) << engine.Output();
  EXPECT_EQ(engine.Wait(), 0);
}

TEST(ProcessTest, PerftOnALoadedPositionHonoursItsEnPassantSquare) {
  const nelktest::FileList files{{"ep.fen", "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3\n"}};
  const auto run = RunEngine({"-lpf", "ep.fen", "-perft", "-fd", "2"}, "", 60000, files);
  EXPECT_EQ(run.ExitStatus, 0);
  EXPECT_TRUE(Has(run.Output, "738 Total Nodes at Depth = 2\n707 Leaf Nodes at Depth = 2\n")) << run.Output;
}

TEST(ProcessTest, PerftRefusesAPositionWithoutBothKings) {
  const auto run = RunEngine({"-lpf", "nokings.fen", "-perft", "-fd", "2"}, "", 60000,
                             {{"nokings.fen", "8/8/8/8/8/8/PPPPPPPP/8 w - -\n"}});
  EXPECT_EQ(run.ExitStatus, 1);
  EXPECT_TRUE(Has(run.Output, "ERROR: perft needs exactly one king for each side\n")) << run.Output;
}

TEST(ProcessTest, PositionFileFailures) {
  auto run = RunEngine({"-lpf", "missing.fen"});
  EXPECT_EQ(run.ExitStatus, 1);
  EXPECT_EQ(run.Output, std::string(Banner) + "ERROR: opening file missing.fen\n");
  run = RunEngine({"-lpf", "empty.fen"}, "", 60000, {{"empty.fen", ""}});
  EXPECT_EQ(run.ExitStatus, 0);
  EXPECT_EQ(run.Output, std::string(Banner) + "Empty file\n");
}

TEST(ProcessTest, BadOptionsEndWithStatusTwo) {
  struct Case { std::vector<std::string> Args; const char* Message; };
  const Case cases[] = {
    {{"-fd"}, "ERROR: option -fd needs a value\n"},
    {{"-perft", "-lpf"}, "ERROR: option -lpf needs a value\n"},
    {{"-ts"}, "ERROR: option -ts needs a value\n"},
    {{"-perft", "-fd", "-4"}, "ERROR: -fd needs a depth from 0 to 127, not \"-4\"\n"},
  };
  for (const Case& c : cases) {
    const auto run = RunEngine(c.Args, "uci\n");
    EXPECT_EQ(run.ExitStatus, 2);
    EXPECT_EQ(run.Output, std::string(Banner) + c.Message);
  }
}

TEST(ProcessTest, FirstWordChoosesTheMode) {
  const auto console = RunEngine({}, "hello\n", 20000);
  EXPECT_EQ(console.ExitStatus, 0);
  EXPECT_TRUE(Has(console.Output, "\nHello! I am Nelk\nMAXDEPTH = 56\n   A B C D E F G H\n\n8  r n b q k b n r  8\n"))
      << console.Output;
  for (const char* word : {"uci", "xboard", "protover"}) {
    const auto run = RunEngine({}, std::string(word) + "\n", 20000);
    EXPECT_EQ(run.ExitStatus, 0) << word;
    EXPECT_EQ(Has(run.Output, "Hello! I am Nelk"), std::string(word) == "protover") << word;
    EXPECT_EQ(run.MatchLog.rfind(MatchSeparator, 0), 0u) << word;
  }
}

TEST(ProcessTest, EmptyInputMeansConsolePlay) {
  const auto run = RunEngine({}, "", 20000);
  EXPECT_EQ(run.ExitStatus, 0);
  EXPECT_TRUE(Has(run.Output, "Hello! I am Nelk")) << run.Output;
}

}  // namespace
