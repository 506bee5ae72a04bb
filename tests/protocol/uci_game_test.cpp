// A whole game through the UCI dialogue: the engine plays itself, each best move is sent back in
// the move list, and every move it sends (and the reply it expects) must be legal.
#include <gtest/gtest.h>

#include <string>
#include "support/GameBoard.h"
#include "support/RunEngine.h"

namespace {

using namespace nelktest;

constexpr int MovesPerSide = 40;
constexpr int ReplyMs = 10000;

TEST(UciGame, SelfPlayAtAShortTimeControlSendsOnlyLegalMoves) {
  EngineProcess engine({});
  for (const char* line : {"uci", "setoption name Ponder value true", "ucinewgame"}) engine.Send(line);
  GameBoard game;
  std::string moves;
  int plies = 0;
  for (; plies < 2 * MovesPerSide; plies++) {
    engine.Send("position startpos" + (moves.empty() ? std::string() : " moves" + moves));
    engine.Send("go wtime 600 btime 600 winc 10 binc 10");
    ASSERT_TRUE(engine.WaitFor("bestmove ", ReplyMs)) << moves;
    ASSERT_TRUE(engine.WaitFor("\n", ReplyMs));
    const std::string& out = engine.Output();
    const auto at = out.rfind("bestmove ") + 9;
    const std::string line = out.substr(at, out.find('\n', at) - at);
    const std::string move = line.substr(0, line.find(' '));
    if (game.FirstLegalMove().empty()) {
      EXPECT_EQ(line, "0000") << "game over after" << moves;
      break;
    }
    ASSERT_TRUE(game.Play(move)) << move << " after" << moves;
    if (line.size() > move.size()) {   // the expected reply must be legal after the move as well
      ASSERT_EQ(line.substr(move.size(), 8), " ponder ") << line;
      GameBoard after = game;
      EXPECT_TRUE(after.Play(line.substr(move.size() + 8))) << line << " after" << moves;
    }
    moves += " " + move;
  }
  engine.Send("quit");
  EXPECT_EQ(engine.Wait(ReplyMs), 0);
  EXPECT_EQ(engine.Output().find("info string error"), std::string::npos);
  EXPECT_GE(plies, 10) << moves;
}

}  // namespace
