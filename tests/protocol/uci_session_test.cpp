// UCI dialogues with the nelk program through pipes: replies, the state machine around running
// searches, the clock values it takes from "go", refused input.
#include <gtest/gtest.h>

#include <string>

#include "testkit/GameBoard.h"
#include "testkit/RunEngine.h"
#include "testkit/Text.h"

namespace {

using namespace nelktest;

constexpr int ReplyMs = 5000;   // longest wait for an answer that is due at once
constexpr int QuietMs = 700;    // how long a search that must not end is watched

constexpr const char* Identity =
    "Nelk \n"
    "id name Nelk VEDiR w64adv\n"
    "id author The Nelk developers\n"
    "option name UCI_AnalyseMode type check default false\n"
    "option name OwnBook type check default false\n"
    "option name SecondaryBook type check default false\n"
    "option name UCI_ShowCurrLine type check default true\n"
    "option name Ponder type check default false\n"
    "option name UCI_EngineAbout type string default ";

// A nelk speaking UCI, "uciok" already received.
struct Session {
  EngineProcess Engine{{}};
  Session() { EXPECT_TRUE(Engine.Send("uci") && Engine.WaitFor("uciok\n", ReplyMs)) << Engine.Output(); }
  void Send(std::initializer_list<const char*> lines) {
    for (const char* line : lines) Engine.Send(line);
  }
  // Waits for the next best-move line and returns what follows "bestmove " ("" on time-out).
  std::string BestMove() {
    if (!Engine.WaitFor("bestmove ", ReplyMs)) return "";
    const std::size_t start = Engine.Cursor();
    return Engine.WaitFor("\n", ReplyMs) ? Engine.Output().substr(start, Engine.Cursor() - 1 - start) : "";
  }
  bool Ready() { return Engine.Send("isready") && Engine.WaitFor("readyok\n", ReplyMs); }
  bool NoBestMoveYet() { return !Engine.WaitFor("bestmove", QuietMs); }
};

bool WhiteMove(const std::string& move) { return move.size() >= 4 && (move[1] == '1' || move[1] == '2'); }
bool BlackMove(const std::string& move) { return move.size() >= 4 && (move[1] == '7' || move[1] == '8'); }

TEST(UciSession, IdentityIsSentToTheCharacter) {
  Session s;
  const std::string out = s.Engine.Output();
  EXPECT_EQ(out.rfind(Identity, 0), 0u) << out;
  const std::string about = out.substr(std::string(Identity).size());
  EXPECT_TRUE(about.find('\n') > 0 && EndsWith(about, "\nuciok\n") && Count(about, "\n") == 2) << about;
  s.Engine.Send("quit");
  EXPECT_EQ(s.Engine.Wait(), 0);
  EXPECT_TRUE(Has(s.Engine.MatchLog(), "uci\nSent uciok\n\nquit\n"));
}

// "isready" is answered in every state; "stop" ends any search with a move, and does nothing (like
// "ponderhit" without a ponder search) while idle.
TEST(UciSession, ReadyOkAndStopInEveryState) {
  Session s;
  s.Send({"stop", "ponderhit"});
  EXPECT_TRUE(s.Ready());
  s.Send({"position startpos moves e2e4"});
  // The timed search is planned for about 20 s: the move comes at once all the same.
  for (const char* go : {"go wtime 600000 btime 600000", "go depth 60", "go infinite", "go ponder wtime 1000 btime 1000"}) {
    s.Engine.Send(go);
    EXPECT_TRUE(s.Ready()) << go;
    s.Engine.Send("stop");
    EXPECT_TRUE(BlackMove(s.BestMove())) << go;
  }
  EXPECT_EQ(Count(s.Engine.MatchLog(), "Sent readyok\n"), 5);
}

// Neither a mate found at once nor a single legal move ends an infinite or a ponder search.
TEST(UciSession, InfiniteAndPonderSearchesWaitForStopOrPonderhit) {
  Session s;
  const char* mateInOne = "position fen r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq - 4 4";
  const std::pair<const char*, const char*> cases[] = {{mateInOne, "h5f7"}, {"position fen 6k1/8/8/8/8/8/1r6/7K w - - 0 1", "h1g1"}};
  for (const auto& [position, move] : cases) {
    s.Send({position, "go infinite"});
    EXPECT_TRUE(s.NoBestMoveYet()) << position;
    s.Engine.Send("stop");
    EXPECT_EQ(s.BestMove(), move);
  }
  s.Send({mateInOne, "go ponder wtime 2000 btime 2000"});
  EXPECT_TRUE(s.NoBestMoveYet());
  s.Engine.Send("ponderhit");
  EXPECT_EQ(s.BestMove().substr(0, 4), "h5f7");
  // With the Ponder option the move names the reply it expects ("g1f3 ponder b8c6"), a legal one.
  s.Send({"setoption name Ponder value true", "position startpos moves e2e4 e7e5", "go ponder wtime 2000 btime 2000"});
  EXPECT_TRUE(s.NoBestMoveYet());
  s.Engine.Send("ponderhit");
  const std::string move = s.BestMove();
  GameBoard game;
  ASSERT_EQ(move.size(), 16u) << move;
  EXPECT_EQ(move.substr(4, 8), " ponder ");
  EXPECT_TRUE(game.Play("e2e4") && game.Play("e7e5") && game.Play(move.substr(0, 4)) && game.Play(move.substr(12))) << move;
}

TEST(UciSession, CommandsDuringASearchWaitForIt) {
  Session s;
  s.Send({"position startpos moves e2e4", "go infinite"});
  EXPECT_TRUE(s.Engine.WaitFor("info depth", ReplyMs));
  s.Send({"position startpos moves e2e4 e7e5", "go depth 2"});   // carried out after the search
  EXPECT_TRUE(BlackMove(s.BestMove()));
  EXPECT_TRUE(WhiteMove(s.BestMove()));
  s.Send({"position startpos moves e2e4", "go infinite"});
  EXPECT_TRUE(s.Engine.WaitFor("info depth", ReplyMs));
  s.Send({"ucinewgame", "go depth 1"});   // ends the search, then starts the new game
  EXPECT_FALSE(s.BestMove().empty());
  EXPECT_TRUE(WhiteMove(s.BestMove()));
}

TEST(UciSession, GoTakesTheClockOfTheSideToMove) {
  Session s;
  s.Send({"position startpos moves e2e4"});
  for (const char* go : {"go wtime 60000 btime 50000 winc 2000 binc 1000\nstop",
                         "position startpos\ngo wtime 40000 btime 1000 movestogo 20\nstop", "go btime 1000"})
    EXPECT_TRUE(s.Engine.Send(go) && !s.BestMove().empty()) << go;   // White has no clock in the last one
  EXPECT_TRUE(s.Ready());
  const std::string log = s.Engine.MatchLog();
  for (const char* part : {"MovesPerSession 0 TimeLeft 50000 TimeInc 1 \n", "MovesPerSession 20 TimeLeft 40000 TimeInc 0 \n",
                           "go btime 1000\nMovesPerSession 0 TimeLeft 0 TimeInc 0 \n"})
    EXPECT_TRUE(Has(log, part)) << part << log;
}

TEST(UciSession, BestMoveTexts) {
  Session s;
  s.Send({"position startpos", "go depth 3 searchmoves a2a3 h2h3"});
  const std::string move = s.BestMove();
  EXPECT_TRUE(move == "a2a3" || move == "h2h3") << move;
  const std::pair<const char*, const char*> cases[] = {
      {"position fen 7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", "0000"},   // stalemate
      {"position fen 7k/6Q1/6K1/8/8/8/8/8 b - - 0 1", "0000"},   // mate
      {"position fen 8/8/8/8/8/8/8/8 w - - 0 1", "0000"},        // no kings at all
      {"position fen 8/4P1k1/8/8/8/8/8/4K3 w - - 0 1", "e7e8q"},
      {"position fen 4k3/8/8/8/8/8/p7/4K3 b - - 0 1", "a2a1q"}};
  for (const auto& [position, best] : cases) {
    s.Send({position, "go depth 4"});
    EXPECT_EQ(s.BestMove(), best) << position;
  }
  // A refused move keeps the moves before it; a limit below zero is no reason to search for ever.
  s.Send({"position startpos moves e2e4 e7e5 g1f9 b8c6", "go depth 2"});
  EXPECT_TRUE(WhiteMove(s.BestMove()));
  for (const char* go : {"go depth -5", "go movetime -1"}) EXPECT_TRUE(s.Engine.Send(go) && !s.BestMove().empty()) << go;
}

TEST(UciSession, CarriageReturnsAndEndOfInput) {
  const auto run = RunEngine({}, "uci\r\nisready\r\nposition startpos moves e2e4\r\ngo depth 2\r\n", 20000);
  EXPECT_EQ(run.ExitStatus, 0);
  EXPECT_TRUE(Has(run.Output, "readyok\n"));
  const auto at = run.Output.find("bestmove ");
  EXPECT_TRUE(at != std::string::npos && BlackMove(run.Output.substr(at + 9, 4))) << run.Output;
  EXPECT_FALSE(Has(run.Output, "\r"));
  // The end of input ends an analysis too.
  Session s;
  s.Send({"go infinite"});
  EXPECT_TRUE(s.Engine.WaitFor("info depth", ReplyMs));
  EXPECT_TRUE(s.Engine.Wait(ReplyMs) == 0 && !s.Engine.TimedOut());
}

}  // namespace
