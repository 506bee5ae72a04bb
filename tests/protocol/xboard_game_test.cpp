// A whole game under xboard against a fixed reply rule (the first legal move in generator order),
// every engine move checked on the test's own board; then the next game in the same process.
#include "protocol/xboard_driver.h"

namespace {

using namespace xboard_test;

constexpr int MaxPlies = 3000;   // the fifty-move rule ends any game long before this

TEST(XboardGame, PlaysAGameToItsEndAndThenTheNext) {
  EngineProcess engine({});
  for (const char* command : {"xboard", "protover 2", "new", "post"}) engine.Send(command);
  GameBoard game;
  std::string result, line, move;
  int plies = 0, number = 0;
  while (result.empty() && plies < MaxPlies) {
    const std::string reply = game.FirstLegalMove();
    ASSERT_FALSE(reply.empty()) << "the engine did not state the end of the game";
    ASSERT_TRUE(game.Play(reply));
    engine.Send(reply);
    plies++;
    ASSERT_TRUE(NextMoveOrResult(engine, &line)) << engine.Pending();
    if (IsResultLine(line)) {
      result = line;
      break;
    }
    ASSERT_TRUE(ParseMoveLine(line, &number, &move));
    EXPECT_EQ(number, (plies + 2) / 2) << line;
    ASSERT_TRUE(game.Play(move)) << "illegal engine move " << line;
    plies++;
    // Read up to the pong: a result line after the engine's move comes before it.
    engine.Send("ping " + std::to_string(plies));
    while (NextLine(engine, &line) && line != "pong " + std::to_string(plies))
      if (IsResultLine(line)) result = line;
  }
  EXPECT_EQ(result, game.Result()) << "after " << plies << " plies";

  // The program goes on: moves are refused until the next game starts.
  engine.Send("a2a3");
  EXPECT_TRUE(engine.WaitFor("Illegal move: a2a3\n"));
  engine.Send("new");
  engine.Send("e2e4");
  ASSERT_TRUE(NextMoveOrResult(engine, &line));
  ASSERT_TRUE(ParseMoveLine(line, &number, &move)) << line;
  EXPECT_EQ(number, 1);
  GameBoard second;
  EXPECT_TRUE(second.Play("e2e4") && second.Play(move)) << move;
  engine.Send("quit");
  EXPECT_EQ(engine.Wait(), 0);
}

}  // namespace
