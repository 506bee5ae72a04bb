// Console play through pipes: prompt and echo, the board after every move, the end of a game by
// the rules (which ends the program), and self-play.
#include <sstream>
#include <vector>

#include "protocol/xboard_driver.h"

namespace {

using namespace xboard_test;

constexpr const char* Bye = "Bye, Thanks for the match.\n";

std::vector<std::string> EngineMoves(const std::string& output) {
  std::vector<std::string> moves;
  std::istringstream lines(output);
  std::string line, move;
  int number = 0;
  while (std::getline(lines, line))
    if (ParseMoveLine(line, &number, &move)) moves.push_back(move);
  return moves;
}

TEST(ConsoleSession, PromptEchoBoardAndCommands) {
  const auto run = RunEngine({}, "console\nsd 3\ne2e5\ne2e4\nsetboard 4k3/8/2p5/3n4/4P3/8/8/4K3 w - - 0 1\n"
                                 "dumpsee 28 35\nquit\n");
  const std::string& out = run.Output;
  EXPECT_TRUE(Has(out, "\nHello! I am Nelk\nMAXDEPTH = 56\n")) << out;
  EXPECT_TRUE(Has(out, "Enter Move: sd\nsetting MAXDEPTH\nscanstring sd\nMAXDEPTH 3\n")) << out;
  EXPECT_TRUE(Has(out, "Enter Move: e2e5\nIllegal move: e2e5\nEnter Move: e2e4\nGame Score 0\n   A B C D E F G H\n"));
  const auto moves = EngineMoves(out);
  GameBoard game;
  ASSERT_EQ(moves.size(), 1u) << out;
  EXPECT_TRUE(game.Play("e2e4") && game.Play(moves[0])) << moves[0];
  EXPECT_TRUE(Has(out, "Enter Move: dumpsee\nSEE value = 2450\n")) << out;   // pawn takes knight, pawn takes back
  EXPECT_TRUE(EndsWith(out, std::string("Enter Move: quit\n") + Bye)) << out;
  EXPECT_EQ(run.ExitStatus, 0);
}

TEST(ConsoleSession, TheEndOfTheGameEndsTheProgram) {
  const char* cases[][3] = {
      {"k7/8/1K6/8/8/8/8/7Q w - - 0 1", "h1h8", "White mates!\n"},
      {"K7/8/1k6/8/8/8/8/7q b - - 0 1", "go", "Black mates!\n"},   // the engine mates
      {"k7/8/1K6/8/8/8/8/2Q5 w - - 0 1", "c1c7", "Stalemate\n"},
      {"8/8/8/4k3/8/8/3pK3/8 w - - 0 1", "e2d2", "1/2-1/2 {Draw by insufficient material}\n"},
      // Both sides' half-moves count: from 96, two moves of each side reach the limit.
      {"7k/8/8/8/8/8/8/K6R w - - 96 80", "a1b1\nb1a1", "1/2-1/2 {Draw by 50 Move Rule}\n"},
  };
  for (const auto& c : cases) {
    const auto run = RunEngine({}, std::string("console\nsetboard ") + c[0] + "\n" + c[1] + "\nnew\ne2e4\n");
    EXPECT_EQ(run.ExitStatus, 0) << c[0];
    EXPECT_TRUE(EndsWith(run.Output, std::string(c[2]) + Bye)) << run.Output;
    EXPECT_EQ(Count(run.Output, c[2]), 1) << run.Output;
    EXPECT_FALSE(Has(run.Output, "Enter Move: new")) << "input read after the end: " << run.Output;
  }
  EXPECT_TRUE(EndsWith(RunEngine({}, "console\ne2e4\n").Output, Bye));   // the end of input
}

TEST(ConsoleSession, SelfPlayPlaysAWholeLegalGame) {
  const auto run = RunEngine({"-sp"}, "console\n", 120000);
  const std::string tail = run.Output.substr(run.Output.size() > 3000 ? run.Output.size() - 3000 : 0);
  ASSERT_EQ(run.ExitStatus, 0) << tail;
  GameBoard game;
  for (const std::string& move : EngineMoves(run.Output)) ASSERT_TRUE(game.Play(move)) << move;
  std::string result = game.Result();
  if (result.find("mates") != std::string::npos) result = result.substr(result.find('{') + 1, 11) + "!";
  if (result == "1/2-1/2 {Stalemate}") result = "Stalemate";
  ASSERT_FALSE(result.empty()) << "the game was not over: " << tail;
  EXPECT_TRUE(EndsWith(run.Output, result + "\n" + Bye)) << tail;
}

}  // namespace
