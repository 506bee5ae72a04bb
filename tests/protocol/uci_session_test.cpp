// UCI dialogues with the nelk program through pipes: replies, the state machine around running
// searches, the clock values it takes from "go", and malformed input.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include "support/RunEngine.h"

namespace {

using nelktest::EngineProcess;
using nelktest::RunEngine;
using Clock = std::chrono::steady_clock;

constexpr int ReplyMs = 5000;        // longest wait for an answer that is due at once
constexpr int QuietMs = 700;         // how long a search that must not end is watched

constexpr const char* Identity =
    "id name Nelk VEDiR w64adv\n"
    "id author The Nelk developers\n"
    "option name UCI_AnalyseMode type check default false\n"
    "option name OwnBook type check default false\n"
    "option name SecondaryBook type check default false\n"
    "option name UCI_ShowCurrLine type check default true\n"
    "option name Ponder type check default false\n"
    "option name UCI_EngineAbout type string default ";

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

int Count(const std::string& text, const std::string& part) {
  int n = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) n++;
  return n;
}

// A nelk speaking UCI, "uciok" already received.
struct Session {
  EngineProcess Engine{{}};
  Session() {
    Engine.Send("uci");
    EXPECT_TRUE(Engine.WaitFor("uciok\n", ReplyMs)) << Engine.Output();
  }
  // Waits for the next best-move line and returns what follows "bestmove " ("" on time-out).
  std::string BestMove(int timeoutMs = ReplyMs) {
    if (!Engine.WaitFor("bestmove ", timeoutMs) || !Engine.WaitFor("\n", ReplyMs)) return "";
    const std::string& out = Engine.Output();
    const auto at = out.rfind("bestmove ");
    return out.substr(at + 9, out.find('\n', at) - at - 9);
  }
  bool Ready() {
    Engine.Send("isready");
    return Engine.WaitFor("readyok\n", ReplyMs);
  }
  // True when no best move arrives within `ms`.
  bool NoBestMoveFor(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return !Engine.WaitFor("bestmove", 1);
  }
};

TEST(UciSession, IdentityIsSentToTheCharacter) {
  EngineProcess engine({});
  engine.Send("uci");
  ASSERT_TRUE(engine.WaitFor("uciok\n", ReplyMs));
  const std::string out = engine.Output();
  EXPECT_EQ(out.rfind(std::string("Nelk \n") + Identity, 0), 0u) << out;
  const std::string about = out.substr(out.find("UCI_EngineAbout type string default ") + 36);
  EXPECT_GT(about.find('\n'), 0u);
  EXPECT_EQ(about.substr(about.find('\n')), "\nuciok\n");
  engine.Send("quit");
  EXPECT_EQ(engine.Wait(), 0);
  const std::string log = engine.MatchLog();
  EXPECT_TRUE(Has(log, "uci\nSent uciok\n\nquit\n")) << log;
}

TEST(UciSession, ReadyOkWhileIdleSearchingAnalysingAndPondering) {
  Session s;
  EXPECT_TRUE(s.Ready());
  s.Engine.Send("position startpos");
  s.Engine.Send("go wtime 300000 btime 300000");
  EXPECT_TRUE(s.Ready()) << "timed search";
  s.Engine.Send("stop");
  EXPECT_NE(s.BestMove(), "");
  s.Engine.Send("go infinite");
  EXPECT_TRUE(s.Engine.WaitFor("info depth", ReplyMs));
  EXPECT_TRUE(s.Ready()) << "analysis";
  s.Engine.Send("stop");
  EXPECT_NE(s.BestMove(), "");
  s.Engine.Send("go ponder wtime 1000 btime 1000");
  EXPECT_TRUE(s.Ready()) << "pondering";
  s.Engine.Send("stop");
  EXPECT_NE(s.BestMove(), "");
  const std::string log = s.Engine.MatchLog();
  EXPECT_EQ(Count(log, "Sent readyok\n"), 4) << log;
}

TEST(UciSession, StopEndsATimedSearchAtOnce) {
  Session s;
  s.Engine.Send("position startpos moves e2e4");
  s.Engine.Send("go wtime 600000 btime 600000");
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  const auto sent = Clock::now();
  s.Engine.Send("stop");
  // The search was planned for about 20 s; a loaded or sanitized build still answers far sooner.
  const std::string move = s.BestMove(ReplyMs);
  EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - sent).count(), ReplyMs);
  EXPECT_EQ(move.size(), 4u) << move;
  EXPECT_TRUE(move[1] == '7' || move[1] == '8') << "a Black move: " << move;
}

TEST(UciSession, StopEndsAFixedDepthSearch) {
  Session s;
  s.Engine.Send("position startpos");
  s.Engine.Send("go depth 60");
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  s.Engine.Send("stop");
  EXPECT_NE(s.BestMove(3000), "") << s.Engine.Output().substr(0, 2000);
}

TEST(UciSession, StopWhileIdleOrPonderhitWithoutPonderingChangesNothing) {
  Session s;
  s.Engine.Send("stop");
  s.Engine.Send("ponderhit");
  EXPECT_TRUE(s.Ready());
  s.Engine.Send("position startpos");
  s.Engine.Send("go depth 2");
  EXPECT_EQ(s.BestMove().size(), 4u);
  EXPECT_FALSE(Has(s.Engine.Output(), "bestmove 0000"));
}

TEST(UciSession, InfiniteAnalysisWaitsForStopEvenAfterMate) {
  Session s;
  // White mates at once (Qh5xf7), and the search knows it after a ply.
  s.Engine.Send("position fen r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq - 4 4");
  s.Engine.Send("go infinite");
  EXPECT_TRUE(s.NoBestMoveFor(QuietMs));
  s.Engine.Send("stop");
  EXPECT_EQ(s.BestMove(), "h5f7");
  // A single legal move (Kg1: the rook holds the second rank) does not end it either.
  s.Engine.Send("position fen 6k1/8/8/8/8/8/1r6/7K w - - 0 1");
  s.Engine.Send("go infinite");
  EXPECT_TRUE(s.NoBestMoveFor(QuietMs));
  s.Engine.Send("stop");
  EXPECT_EQ(s.BestMove(), "h1g1");
}

TEST(UciSession, PonderhitTurnsThePonderSearchIntoTheMove) {
  Session s;
  s.Engine.Send("setoption name Ponder value true");
  s.Engine.Send("position startpos moves e2e4 e7e5");
  s.Engine.Send("go ponder wtime 2000 btime 2000");
  EXPECT_TRUE(s.NoBestMoveFor(QuietMs));
  s.Engine.Send("ponderhit");
  const std::string move = s.BestMove(4000);
  ASSERT_FALSE(move.empty());
  EXPECT_EQ(move.rfind("ponder "), 5u) << move;   // "g1f3 ponder b8c6"
  EXPECT_EQ(move.size(), 16u) << move;
  // A ponder search with nothing left to find (mate) still waits for the front end.
  s.Engine.Send("position fen r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq - 4 4");
  s.Engine.Send("go ponder wtime 2000 btime 2000");
  EXPECT_TRUE(s.NoBestMoveFor(QuietMs));
  s.Engine.Send("ponderhit");
  EXPECT_EQ(s.BestMove().substr(0, 4), "h5f7");
}

TEST(UciSession, UcinewgameDuringASearchEndsItThenStartsTheGame) {
  Session s;
  s.Engine.Send("position startpos moves e2e4");
  s.Engine.Send("go infinite");
  EXPECT_TRUE(s.Engine.WaitFor("info depth", ReplyMs));
  s.Engine.Send("ucinewgame");
  EXPECT_FALSE(s.BestMove().empty());
  EXPECT_TRUE(s.Ready());
  s.Engine.Send("go depth 1");   // the new game's start position: White moves
  const std::string move = s.BestMove();
  EXPECT_TRUE(move[1] == '1' || move[1] == '2') << move;
  const std::string log = s.Engine.MatchLog();
  const auto busy = log.find("Received ucinewgame while doing something other than WAITING\n");
  ASSERT_NE(busy, std::string::npos) << log;
  EXPECT_LT(busy, log.find("Processing ucinewgame\n"));
}

TEST(UciSession, PositionAndGoDuringASearchAreCarriedOutAfterIt) {
  Session s;
  s.Engine.Send("position startpos");
  s.Engine.Send("go infinite");
  EXPECT_TRUE(s.Engine.WaitFor("info depth", ReplyMs));
  s.Engine.Send("position startpos moves e2e4");
  s.Engine.Send("go depth 2");
  const std::string first = s.BestMove();
  EXPECT_TRUE(first[1] == '1' || first[1] == '2') << first;
  const std::string second = s.BestMove();
  EXPECT_TRUE(second[1] == '7' || second[1] == '8') << second;
}

TEST(UciSession, GoTakesTheClockOfTheSideToMove) {
  Session s;
  s.Engine.Send("position startpos moves e2e4");
  s.Engine.Send("go wtime 60000 btime 50000 winc 2000 binc 1000");
  s.Engine.Send("stop");
  EXPECT_FALSE(s.BestMove().empty());
  s.Engine.Send("position startpos");
  s.Engine.Send("go wtime 40000 btime 1000 movestogo 20");
  s.Engine.Send("stop");
  EXPECT_FALSE(s.BestMove().empty());
  s.Engine.Send("go movetime 100");
  EXPECT_FALSE(s.BestMove().empty());
  s.Engine.Send("go depth 3");
  EXPECT_FALSE(s.BestMove().empty());
  s.Engine.Send("go btime 1000");   // White to move: no clock of its own
  EXPECT_FALSE(s.BestMove().empty());
  EXPECT_TRUE(s.Ready());
  const std::string log = s.Engine.MatchLog();
  EXPECT_TRUE(Has(log, "MainStatus.TimeLeft = 50000\n\nMainStatus.TimeInc = 1\n\n"
                       "MovesPerSession 0 TimeLeft 50000 TimeInc 1 \n")) << log;
  EXPECT_TRUE(Has(log, "MainStatus.TimeLeft = 40000\n\nMainStatus.MovesPerSession = 20\n\n"
                       "MovesPerSession 20 TimeLeft 40000 TimeInc 0 \n"));
  EXPECT_TRUE(Has(log, "MainStatus.ST = 100\n\nMainStatus.ST = 100\n\nMovesPerSession 0 TimeLeft 6000 TimeInc 0 \n"));
  EXPECT_TRUE(Has(log, "MainBoard.FixedDepth = 3\n\nMovesPerSession 0 TimeLeft 0 TimeInc 0 \n"));
  EXPECT_TRUE(Has(log, "go btime 1000\nMovesPerSession 0 TimeLeft 0 TimeInc 0 \n"));
  EXPECT_EQ(Count(log, "Received the NelkSearchFinished message - a search has finished\n\n"
                       "===========================================================\n"), 5);
}

TEST(UciSession, OptionsChangeTheReplies) {
  Session s;
  for (const char* line : {"setoption name OwnBook value true", "setoption name OwnBook value false",
                           "setoption name SecondaryBook value false", "setoption name UCI_ShowCurrLine value false",
                           "setoption name UCI_AnalyseMode value false", "setoption name UCI_EngineAbout value x",
                           "setoption name Ponder value true"})
    s.Engine.Send(line);
  s.Engine.Send("position startpos");
  s.Engine.Send("go depth 4");
  EXPECT_TRUE(Has(s.BestMove(), " ponder ")) << s.Engine.Output();
  s.Engine.Send("setoption name Ponder value false");
  s.Engine.Send("go depth 4");
  EXPECT_EQ(s.BestMove().size(), 4u);
  // Analysis mode does not turn a search with limits into an endless one.
  s.Engine.Send("setoption name UCI_AnalyseMode value true");
  s.Engine.Send("go depth 3");
  EXPECT_FALSE(s.BestMove().empty());
}

TEST(UciSession, SearchmovesRestrictsTheRootWithoutPlayingTheMoves) {
  Session s;
  s.Engine.Send("position startpos");
  s.Engine.Send("go depth 3 searchmoves a2a3 h2h3");
  const std::string move = s.BestMove();
  EXPECT_TRUE(move == "a2a3" || move == "h2h3") << move;
  s.Engine.Send("go depth 3");
  const std::string free = s.BestMove();
  EXPECT_TRUE(free[1] == '1' || free[1] == '2') << "still White to move: " << free;
}

TEST(UciSession, NoLegalMoveGivesTheNullMove) {
  Session s;
  s.Engine.Send("position fen 7k/5Q2/6K1/8/8/8/8/8 b - - 0 1");   // stalemate
  s.Engine.Send("go depth 3");
  EXPECT_EQ(s.BestMove(), "0000");
  s.Engine.Send("position fen 7k/6Q1/6K1/8/8/8/8/8 b - - 0 1");    // mate
  s.Engine.Send("go wtime 1000 btime 1000");
  EXPECT_EQ(s.BestMove(), "0000");
  s.Engine.Send("position fen 8/8/8/8/8/8/8/8 w - - 0 1");        // no kings at all
  s.Engine.Send("go depth 2");
  EXPECT_EQ(s.BestMove(), "0000");
}

TEST(UciSession, PromotionsAreSentWithTheirLetter) {
  Session s;
  s.Engine.Send("position fen 8/4P1k1/8/8/8/8/8/4K3 w - - 0 1");
  s.Engine.Send("go depth 4");
  EXPECT_EQ(s.BestMove(), "e7e8q");
  s.Engine.Send("position fen 4k3/8/8/8/8/8/p7/4K3 b - - 0 1");
  s.Engine.Send("go depth 4");
  EXPECT_EQ(s.BestMove(), "a2a1q");
  EXPECT_FALSE(Has(s.Engine.Output(), "bestmove e7e8q "));
}

TEST(UciSession, MalformedLinesAreIgnoredOrAnsweredWithAnError) {
  Session s;
  for (const char* line : {"", "   ", "garbage line", "go!", "setoption", "setoption name", "position",
                           "position fen", "position startpos moves", "go wtime abc btime", "ucinewgamex",
                           "isready now"})
    s.Engine.Send(line);
  EXPECT_TRUE(s.Engine.WaitFor("readyok\n", ReplyMs));
  s.Engine.Send("position startpos moves e2e4 e7e5 g1f9 b8c6");
  EXPECT_TRUE(s.Engine.WaitFor("info string error: move 3 \"g1f9\"", ReplyMs)) << s.Engine.Output();
  s.Engine.Send("go depth 2");
  const std::string move = s.BestMove();
  EXPECT_TRUE(move[1] == '1' || move[1] == '2') << "White to move after two moves: " << move;
  s.Engine.Send("go depth -5");
  EXPECT_FALSE(s.BestMove().empty());
  s.Engine.Send("go movetime -1");
  EXPECT_FALSE(s.BestMove().empty());
  EXPECT_TRUE(s.Ready());
}

TEST(UciSession, CarriageReturnsAreNotPartOfAnyWord) {
  const auto run = RunEngine({}, "uci\r\nisready\r\nposition startpos moves e2e4\r\ngo depth 2\r\nquit\r\n", 20000);
  EXPECT_EQ(run.ExitStatus, 0);
  EXPECT_TRUE(Has(run.Output, "readyok\n"));
  const auto at = run.Output.find("bestmove ");
  ASSERT_NE(at, std::string::npos) << run.Output;
  const char rank = run.Output[at + 10];
  EXPECT_TRUE(rank == '7' || rank == '8') << run.Output.substr(at);
  EXPECT_FALSE(Has(run.Output, "\r"));
}

TEST(UciSession, EndOfInputActsAsQuit) {
  const auto idle = RunEngine({}, "uci\nisready\n", 20000);
  EXPECT_EQ(idle.ExitStatus, 0);
  EXPECT_FALSE(idle.TimedOut);
  EngineProcess analysing({});
  analysing.Send("uci");
  analysing.Send("go infinite");
  EXPECT_TRUE(analysing.WaitFor("info depth", ReplyMs));
  EXPECT_EQ(analysing.Wait(ReplyMs), 0);
  EXPECT_FALSE(analysing.TimedOut());
}

}  // namespace
