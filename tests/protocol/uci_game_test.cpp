// A whole game through the UCI dialogue: the engine plays itself, each best move is sent back in
// the move list, and every move it sends must be legal in the position it was asked about.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include "board/ChessBoard.h"
#include "engine/Status.h"
#include "hash/Zobrist.h"
#include "protocol/UCIProtocol.h"
#include "protocol/UciMoves.h"
#include "support/RunEngine.h"

namespace {

using nelktest::EngineProcess;

constexpr int MovesPerSide = 40;
constexpr int ReplyMs = 10000;

// Sets the game up in this process the way the engine does and returns the legal moves there.
int LegalMovesAfter(const std::string& moves, UciMove* legal) {
  InitKeysOnce();
  MainStatus.UCIMode = 1;
  std::snprintf(UCI.CommandLine, sizeof UCI.CommandLine, "position startpos moves%s", moves.c_str());
  testing::internal::CaptureStdout();
  UCI.SetPosition();
  const std::string errors = testing::internal::GetCapturedStdout();
  EXPECT_EQ(errors, "") << moves;
  return CollectLegalMoves(MainBoard, MainBoard.SideToMove, MainBoard.CastleFlags, legal);
}

std::string MoveName(const UciMove& m) {
  char text[UciMoveTextSize];
  WriteUciMove(text, SquareIndex(m.From), SquareIndex(m.To), m.Promotion);
  return text;
}

bool Contains(const UciMove* legal, int count, const std::string& move) {
  for (int i = 0; i < count; i++)
    if (MoveName(legal[i]) == move) return true;
  return false;
}

TEST(UciGame, SelfPlayAtAShortTimeControlSendsOnlyLegalMoves) {
  EngineProcess engine({});
  engine.Send("uci");
  ASSERT_TRUE(engine.WaitFor("uciok\n", ReplyMs));
  engine.Send("setoption name Ponder value true");
  engine.Send("ucinewgame");
  std::string moves;
  int plies = 0;
  for (; plies < 2 * MovesPerSide; plies++) {
    UciMove legal[MaxMovesInList];
    const int count = LegalMovesAfter(moves, legal);
    engine.Send("position startpos" + (moves.empty() ? std::string() : " moves" + moves));
    engine.Send("go wtime 600 btime 600 winc 10 binc 10");
    ASSERT_TRUE(engine.WaitFor("bestmove ", ReplyMs)) << moves;
    ASSERT_TRUE(engine.WaitFor("\n", ReplyMs));
    const std::string& out = engine.Output();
    const auto at = out.rfind("bestmove ") + 9;
    const std::string line = out.substr(at, out.find('\n', at) - at);
    const std::string move = line.substr(0, line.find(' '));
    if (count == 0) {
      EXPECT_EQ(line, "0000") << "game over after" << moves;
      break;
    }
    ASSERT_TRUE(Contains(legal, count, move)) << move << " after" << moves;
    // The expected reply must be legal after the move as well.
    if (line.size() > move.size()) {
      ASSERT_EQ(line.substr(move.size(), 8), " ponder ") << line;
      UciMove replies[MaxMovesInList];
      const int replyCount = LegalMovesAfter(moves + " " + move, replies);
      EXPECT_TRUE(Contains(replies, replyCount, line.substr(move.size() + 8))) << line << " after" << moves;
    }
    moves += " " + move;
  }
  engine.Send("quit");
  EXPECT_EQ(engine.Wait(ReplyMs), 0);
  EXPECT_EQ(engine.Output().find("info string error"), std::string::npos);
  EXPECT_GE(plies, 10) << moves;
}

}  // namespace
