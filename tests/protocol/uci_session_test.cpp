// UCI dialogues with the nelk program through pipes: replies, the state machine around running
// searches, the clock values it takes from "go", refused input.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

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
constexpr const char* MoreOptions =
    "\noption name Hash type spin default 192 min 1 max 65536\n"
    "option name Clear Hash type button\n"
    "option name CaptureSearch type check default false\n"
    "option name Move Overhead type spin default 10 min 0 max 5000\n"
    "option name MultiPV type spin default 1 min 1 max 64\n"
    "option name UCI_LimitStrength type check default false\n"
    "option name UCI_Elo type spin default 1600 min 1350 max 1900\n"
    "option name BookFile type string default <empty>\n"
    "option name Best Book Move type check default false\n"
    "uciok\n";

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
  EXPECT_TRUE(about.find('\n') > 0 && EndsWith(about, MoreOptions) && Count(about, "\n") == 11) << about;
  s.Engine.Send("quit");
  EXPECT_EQ(s.Engine.Wait(), 0);
  EXPECT_TRUE(Has(s.Engine.MatchLog(), "uci\nSent uciok\n\nquit\n"));
}

// Neither a mate found at once nor a single legal move ends an infinite or a ponder search (an
// infinite one after a mate: MateScoresAndTheFiftyMoveRule).
TEST(UciSession, InfiniteAndPonderSearchesWaitForStopOrPonderhit) {
  Session s;
  s.Send({"position fen 6k1/8/8/8/8/8/1r6/7K w - - 0 1", "go infinite"});
  EXPECT_TRUE(s.NoBestMoveYet());
  s.Engine.Send("stop");
  EXPECT_EQ(s.BestMove(), "h1g1");
  s.Send({"position fen r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq - 4 4", "go ponder wtime 2000 btime 2000"});
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

// "go" takes the clock of the side to move. Increments below a second are kept: 500 ms is added
// to a 30 s clock's share of 1000 ms, and a clock of 40 ms with a second's increment coming still
// plans a search.
TEST(UciSession, GoTakesTheClockOfTheSideToMove) {
  Session s;
  s.Send({"position startpos moves e2e4"});
  for (const char* go : {"go wtime 60000 btime 50000 winc 2000 binc 1000\nstop", "go wtime 30000 btime 30000 winc 500 binc 500\nstop",
                         "go wtime 40 btime 40 winc 1000 binc 1000",
                         "position startpos\ngo wtime 40000 btime 1000 movestogo 20\nstop", "go btime 1000"})
    EXPECT_TRUE(s.Engine.Send(go) && !s.BestMove().empty()) << go;   // White has no clock in the last one
  EXPECT_TRUE(s.Ready());
  const std::string log = s.Engine.MatchLog();
  for (const char* part : {"MovesPerSession 0 TimeLeft 50000 TimeInc 1 \n", "MovesPerSession 20 TimeLeft 40000 TimeInc 0 \n",
                           "go btime 1000\nMovesPerSession 0 TimeLeft 0 TimeInc 0 \n", " TimePerMove After Inc = 1500 \n",
                           " TimePerMove raised to the increment floor = 20 \n"})
    EXPECT_TRUE(Has(log, part)) << part << log;
}

TEST(UciSession, BestMoveTexts) {
  Session s;
  s.Send({"position startpos", "go depth 3 searchmoves a2a3 h2h3"});
  const std::string move = s.BestMove();
  EXPECT_TRUE(move == "a2a3" || move == "h2h3") << move;
  const std::pair<const char*, const char*> cases[] = {
      {"position fen 4k3/8/8/8/8/8/8/4RK2 w - - 0 1", "0000"},   // the side not to move is in check
      {"position fen 8/4P1k1/8/8/8/8/8/4K3 w - - 0 1", "e7e8q"},
      {"position fen 4k3/8/8/8/8/8/p7/4K3 b - - 0 1", "a2a1q"}};
  for (const auto& [position, best] : cases) {
    s.Send({position, "go depth 4"});
    EXPECT_EQ(s.BestMove(), best) << position;
  }
  // A limit below zero is no reason to search for ever.
  for (const char* go : {"go depth -5", "go movetime -1"}) EXPECT_TRUE(s.Engine.Send(go) && !s.BestMove().empty()) << go;
  // A line too long to hold is refused whole with a notice; the position set before stays.
  std::string moves = "position startpos moves";
  while (moves.size() <= 40000) moves += " g1f3 g8f6 f3g1 f6g8";
  s.Send({"position startpos moves e2e4", moves.c_str(), "go depth 1"});
  EXPECT_TRUE(BlackMove(s.BestMove())) << "still the position after e2e4";
  EXPECT_TRUE(Has(s.Engine.Output(), "info string error: a line longer than 32767 characters cannot be held; "
                                     "it is refused whole\n"));
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

constexpr int SlowReplyMs = 20000;   // a search that may run for seconds on a busy machine

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

bool StartsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }

// Every line after the banner is a UCI command a front end can read.
void ExpectOnlyUciLines(const std::string& output) {
  for (const std::string& line : Lines(output.substr(output.find('\n') + 1))) {
    const bool uci = StartsWith(line, "id ") || StartsWith(line, "option ") || line == "uciok" || line == "readyok" ||
                     StartsWith(line, "info ") || StartsWith(line, "bestmove ");
    EXPECT_TRUE(uci) << "not UCI: [" << line << "]";
    EXPECT_FALSE(EndsWith(line, " pv") || EndsWith(line, " pv ")) << "an empty variation: " << line;
  }
}

// The numbers behind " time " in the info lines, in order.
std::vector<long long> Times(const std::string& output) {
  std::vector<long long> times;
  for (const std::string& line : Lines(output)) {
    const std::size_t at = line.find(" time ");
    if (StartsWith(line, "info ") && at != std::string::npos) times.push_back(std::stoll(line.substr(at + 6)));
  }
  return times;
}

std::string LastLineWith(const std::string& output, const std::string& part) {
  std::string found;
  for (const std::string& line : Lines(output))
    if (Has(line, part)) found = line;
  return found;
}

}  // namespace

// Notices are "info string" lines, times are the clock's and never run backwards, a stalemate is a
// draw and a line without a move has no variation.
TEST(UciSession, OnlyUciLinesWithRealTimesAndEveryLimitOfAGo) {
  Session s;
  s.Send({"position startpos moves e2e4", "go infinite"});
  const long long start = NowMs();
  EXPECT_TRUE(s.Engine.WaitFor("info depth 6 seldepth", SlowReplyMs));
  EXPECT_TRUE(s.NoBestMoveYet());
  s.Engine.Send("stop");
  EXPECT_FALSE(s.BestMove().empty());
  const long long wall = NowMs() - start;
  const std::vector<long long> times = Times(s.Engine.Output());
  ASSERT_GE(times.size(), 2u) << s.Engine.Output();
  for (std::size_t i = 1; i < times.size(); i++) EXPECT_LE(times[i - 1], times[i]) << s.Engine.Output();
  EXPECT_TRUE(times.back() >= QuietMs / 2 && times.back() <= wall + 1000) << times.back() << " of " << wall;
  s.Send({"position fen 7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", "go depth 3"});   // stalemate
  EXPECT_EQ(s.BestMove(), "0000");
  EXPECT_TRUE(Has(s.Engine.Output(), "info score cp 0\nbestmove 0000\n"));
  s.Send({"position fen 8/8/8/8/8/8/8/8 w - - 0 1", "go depth 2"});   // no kings: an error
  EXPECT_EQ(s.BestMove(), "0000");
  EXPECT_TRUE(Has(s.Engine.Output(), "info string ERROR: "));
  // Each limit of a "go" applies, the first reached ends the search: depth 40 or 20 seconds would
  // take far longer than the clock of 300 ms allows. A bare "go" searches until "stop".
  s.Send({"position startpos"});
  for (const char* go : {"go depth 40 wtime 300 btime 300", "go movetime 20000 wtime 300 btime 300"}) {
    const long long start = NowMs();
    s.Engine.Send(go);
    EXPECT_FALSE(s.BestMove().empty()) << go;
    EXPECT_LT(NowMs() - start, 4000) << go;
  }
  s.Engine.Send("go");
  EXPECT_TRUE(s.NoBestMoveYet());
  s.Engine.Send("stop");
  EXPECT_FALSE(s.BestMove().empty());
  ExpectOnlyUciLines(s.Engine.Output());
}

// "isready" and "stop" are answered at once in every state, from the first moment of a search on (a
// bound far above the few milliseconds measured by bench/clients.sh: the machine is shared). "stop"
// ends any search with a move, the timed one planned for about 20 s too, and does nothing (like
// "ponderhit" without a ponder search) while idle.
TEST(UciSession, StopAndIsReadyAreAnsweredAtOnceInEveryState) {
  Session s;
  s.Send({"stop", "ponderhit"});
  EXPECT_TRUE(s.Ready());
  for (const char* go : {"go infinite", "go depth 40", "go wtime 600000 btime 600000", "go ponder wtime 1000 btime 1000"}) {
    for (int delayMs : {0, 100}) {
      s.Send({"position startpos moves e2e4", go});
      usleep(delayMs * 1000);
      long long start = NowMs();
      EXPECT_TRUE(s.Engine.Send("isready") && s.Engine.WaitFor("readyok\n", 1000)) << go << " after " << delayMs;
      EXPECT_LT(NowMs() - start, 1000);
      start = NowMs();
      s.Engine.Send("stop");
      EXPECT_TRUE(BlackMove(s.BestMove())) << go << " after " << delayMs;
      EXPECT_LT(NowMs() - start, 1000);
    }
  }
}

// A first search stopped for a second by a signal (as a busy machine or a slow first touch of memory
// does) leaves the next moves the time they are given: a fixed time is used to at least nine tenths,
// a clock's share to its planned end. The bounds are lower ones: a slow machine only adds time.
TEST(UciSession, APausedFirstSearchLeavesTheNextMovesTheirTime) {
  Session s;
  EXPECT_TRUE(s.Ready());
  s.Send({"position startpos", "go wtime 5000 btime 5000 winc 50 binc 50"});
  usleep(20 * 1000);
  kill(s.Engine.Pid(), SIGSTOP);
  usleep(1000 * 1000);
  kill(s.Engine.Pid(), SIGCONT);
  EXPECT_FALSE(s.BestMove().empty());
  s.Send({"position startpos moves e2e4"});
  long long start = NowMs();
  s.Engine.Send("go movetime 300");
  EXPECT_FALSE(s.BestMove().empty());
  EXPECT_GE(NowMs() - start, 270);
  s.Send({"position startpos moves e2e4 e7e5"});
  start = NowMs();
  s.Engine.Send("go wtime 4000 btime 4000 winc 50 binc 50");
  EXPECT_FALSE(s.BestMove().empty());
  const long long elapsed = NowMs() - start;
  EXPECT_TRUE(s.Ready());
  const std::string limits = LastLineWith(s.Engine.MatchLog(), " Soft time limit = ");
  const int soft = std::atoi(limits.substr(limits.find(" Soft time limit = ") + 19).c_str());
  EXPECT_GT(soft, 50) << limits;
  EXPECT_GE(elapsed, soft * 9 / 10) << limits;
}

// "go nodes N" counts nodes: N of them (a tenth over at most), and the same count and move from
// the same table state, in one process after "ucinewgame" and in another.
TEST(UciSession, NodeLimitIsCountedAndRepeatable) {
  auto search = [](Session& s) {
    s.Send({"ucinewgame", "position startpos moves e2e4", "go nodes 20000"});
    const std::string move = s.BestMove();
    const std::string line = LastLineWith(s.Engine.Output(), " nodes ");
    return std::make_pair(move, std::atoll(line.substr(line.find(" nodes ") + 7).c_str()));
  };
  Session first, second;
  const auto reference = search(first);
  EXPECT_TRUE(reference.second >= 20000 && reference.second <= 22000) << reference.second;
  first.Send({"go infinite"});   // a long search between changes neither the count nor the move
  usleep(200 * 1000);
  first.Send({"stop"});
  EXPECT_FALSE(first.BestMove().empty());
  EXPECT_EQ(search(first), reference);
  EXPECT_EQ(search(second), reference);
}

// "Move Overhead" is kept back from every timed move (from a fixed time, up to a tenth of it); a
// value out of range or unreadable is refused and the old one stays. A "go" field that cannot be
// read is named and left out; with no limit left the search runs until "stop" and says so.
TEST(UciSession, MoveOverheadAndUnreadableGoFields) {
  Session s;
  s.Send({"setoption name Move Overhead value 5001", "setoption name Move Overhead value x",
          "setoption name Move Overhead value 100", "position startpos", "go movetime 1000"});
  EXPECT_FALSE(s.BestMove().empty());
  EXPECT_TRUE(Has(s.Engine.Output(), "info string error: Move Overhead 5001 is not a number of milliseconds from 0 to "
                                     "5000; it stays at 10\n")) << s.Engine.Output();
  EXPECT_TRUE(Has(s.Engine.Output(), "info string error: Move Overhead x is not"));
  EXPECT_TRUE(s.Ready());
  EXPECT_TRUE(Has(s.Engine.MatchLog(), " Hard time limit = 900 ms")) << s.Engine.MatchLog();
  s.Engine.Send("go wtime abc btime 99999999999999999999 depth 3");
  EXPECT_FALSE(s.BestMove().empty());
  EXPECT_TRUE(Has(s.Engine.Output(), "info string error: go: wtime \"abc\" is not a whole number; it is left out\n"));
  EXPECT_TRUE(Has(s.Engine.Output(), "info string error: go: btime \"99999999999999999999\" is not a whole number"));
  EXPECT_FALSE(Has(s.Engine.Output(), "no limit is left")) << "depth 3 is a limit";
  s.Engine.Send("go wtime abc movetime");
  EXPECT_TRUE(s.NoBestMoveYet());
  EXPECT_TRUE(Has(s.Engine.Output(), "info string error: go: no limit is left; searching until \"stop\"\n"))
      << s.Engine.Output();
  s.Engine.Send("stop");
  EXPECT_FALSE(s.BestMove().empty());
  ExpectOnlyUciLines(s.Engine.Output());
}

// The table's memory is provided before a search can touch it: after "readyok" the process holds
// the whole table (a resized table is provided at once: the table tests).
TEST(UciSession, TheTableIsProvidedBeforeTheFirstSearch) {
  auto residentKiB = [](int pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
      if (StartsWith(line, "VmRSS:")) return std::atol(line.c_str() + 6);
    return 0L;
  };
  Session s;
  EXPECT_TRUE(s.Ready());
  EXPECT_GE(residentKiB(s.Engine.Pid()), 192L * 1024);
}

// Mates are "score mate N" in moves; a mate given on the hundredth half-move is played, and a
// position already drawn by the fifty-move rule scores 0. An infinite analysis goes on deepening
// after the mate, until "stop".
TEST(UciSession, MateScoresAndTheFiftyMoveRule) {
  Session s;
  s.Send({"position fen 6k1/5ppp/8/8/8/8/5PPP/1R4K1 w - - 99 80", "go depth 4"});
  EXPECT_EQ(s.BestMove(), "b1b8");
  EXPECT_TRUE(Has(s.Engine.Output(), " score mate 1 nodes ")) << s.Engine.Output();
  EXPECT_TRUE(Has(s.Engine.Output(), "info score mate 1\nbestmove b1b8\n"));
  s.Send({"position fen 6k1/5pp1/7p/8/8/8/5PPP/1R4K1 w - - 100 80", "go depth 4"});
  EXPECT_FALSE(s.BestMove().empty());
  EXPECT_TRUE(Has(s.Engine.Output(), "info score cp 0\nbestmove ")) << "drawn by the rule";
  s.Send({"position fen 6k1/5ppp/8/8/8/8/5PPP/1R4K1 w - - 0 80", "go infinite"});
  EXPECT_TRUE(s.Engine.WaitFor("info depth 9 seldepth ", SlowReplyMs)) << s.Engine.Pending();
  EXPECT_TRUE(s.NoBestMoveYet());
  s.Engine.Send("stop");
  EXPECT_EQ(s.BestMove(), "b1b8");
  ExpectOnlyUciLines(s.Engine.Output());
}

// MultiPV: at each depth one line per line of play, numbered best first, each starting with its own
// move, the first being the move played. A further line searched whole may score above the first
// line, whose later root moves were searched reduced (here castling scores 215 at depth 3 against
// the first line's 40): it then leads the lines. A position with fewer moves gives fewer lines.
TEST(UciSession, MultiPvLinesComeBestFirst) {
  Session s;
  s.Send({"setoption name MultiPV value 65", "setoption name MultiPV value 3",
          "position fen rnbqk2r/ppp1bppp/8/3p4/3Pn3/3B1N2/PPP2PPP/RNBQK2R w KQkq - 2 7", "go depth 4"});
  const std::string best = s.BestMove();
  EXPECT_TRUE(Has(s.Engine.Output(), "info string error: MultiPV 65 is not a number of lines from 1 to 64; it stays at 1"));
  std::map<int, std::map<int, std::pair<int, std::string>>> lines;   // depth -> line -> last (score, move)
  for (const std::string& line : Lines(s.Engine.Output())) {
    int depth = 0, k = 0, score = 0;
    char move[6] = {};
    if (std::sscanf(line.c_str(), "info depth %d seldepth %*d multipv %d score cp %d nodes %*d nps %*d hashfull "
                    "%*d time %*d pv %5s", &depth, &k, &score, move) == 4)
      lines[depth][k] = {score, move};
  }
  ASSERT_EQ(lines.size(), 4u) << s.Engine.Output();
  for (const auto& [depth, byLine] : lines) {
    ASSERT_EQ(byLine.size(), 3u) << "depth " << depth;
    EXPECT_GE(byLine.at(1).first, byLine.at(2).first) << "depth " << depth;
    EXPECT_GE(byLine.at(2).first, byLine.at(3).first) << "depth " << depth;
    const std::string& a = byLine.at(1).second, &b = byLine.at(2).second, &c = byLine.at(3).second;
    EXPECT_TRUE(a != b && b != c && a != c) << "depth " << depth;
  }
  EXPECT_EQ(lines[4][1].second, best.substr(0, 4));
  const std::size_t before = s.Engine.Output().size();
  s.Send({"setoption name MultiPV value 5", "position fen 7k/8/8/8/8/8/r7/K7 w - - 0 1", "go depth 3"});
  EXPECT_FALSE(s.BestMove().empty());
  const std::string twoMoves = s.Engine.Output().substr(before);
  EXPECT_TRUE(Has(twoMoves, " multipv 2 ") && !Has(twoMoves, " multipv 3 ")) << "two legal moves, two lines";
  ExpectOnlyUciLines(s.Engine.Output());
}

// A limited strength caps the nodes of a timed move (not of an analysis) and is refused out of range.
TEST(UciSession, LimitStrengthOptions) {
  Session s;
  s.Send({"setoption name UCI_Elo value 3000", "setoption name UCI_LimitStrength value true",
          "setoption name UCI_Elo value 1500", "position startpos moves e2e4", "go wtime 60000 btime 60000"});
  EXPECT_FALSE(s.BestMove().empty());
  EXPECT_TRUE(Has(s.Engine.Output(), "info string error: UCI_Elo 3000 is not a rating from 1350 to 1900; it stays at 1600\n"));
  s.Send({"go infinite"});
  EXPECT_TRUE(s.NoBestMoveYet()) << "an analysis has no cap";
  s.Send({"stop"});
  EXPECT_FALSE(s.BestMove().empty());
  EXPECT_TRUE(s.Ready());
  EXPECT_EQ(Count(s.Engine.MatchLog(), "Strength limited to Elo 1500: at most "), 1) << s.Engine.MatchLog();
}

// "BookFile" with "OwnBook": the book's heaviest move with "Best Book Move", logged as a book move;
// a file that is no book is refused and no book is used.
TEST(UciSession, PolyglotBookOptions) {
  // Entries of 16 bytes, big-endian: the start position's key, the move (from * 64 + to), the
  // weight and 4 bytes of learning data; d2d4 with weight 3, then e2e4 with weight 1.
  const std::string key = "\x46\x3b\x96\x18\x16\x91\xfc\x9c";
  const std::string book = key + std::string("\x02\xdb\0\x03\0\0\0\0", 8) + key + std::string("\x03\x1c\0\x01\0\0\0\0", 8);
  EngineProcess withBook({}, {{"book.bin", book}, {"odd.bin", book.substr(0, 17)}});
  withBook.Send("uci");
  for (const char* line : {"setoption name BookFile value odd.bin", "setoption name BookFile value book.bin",
                           "setoption name OwnBook value true", "setoption name Best Book Move value true",
                           "position startpos", "go wtime 10000 btime 10000"})
    withBook.Send(line);
  EXPECT_TRUE(withBook.WaitFor("bestmove d2d4\n", ReplyMs)) << withBook.Output();
  EXPECT_TRUE(Has(withBook.Output(), "info string error: BookFile odd.bin: ")) << withBook.Output();
  EXPECT_TRUE(Has(withBook.Output(), "info string BookFile book.bin: 2 book entries\n"));
  EXPECT_TRUE(Has(withBook.MatchLog(), "Book file move d2d4 (weight 3)\n")) << withBook.MatchLog();
  ExpectOnlyUciLines(withBook.Output());
}

// "Hash" reallocates the table (a size that cannot be had keeps the old one and says so), "Clear
// Hash" empties it, "CaptureSearch" switches the capture search; xboard's "memory" sizes it too.
TEST(UciSession, HashAndCaptureSearchOptions) {
  // The address sanitizer reserves terabytes of shadow address space, so the engine cannot start
  // under an address-space limit there; the sanitizer build skips this part.
#ifndef __SANITIZE_ADDRESS__
  {
    // Under a limit of about 1 GB of address space a table of 4 GB cannot be had.
    EngineProcess engine({"-c", std::string("ulimit -v 1000000 && exec ") + DefaultProgram}, {}, "/bin/sh");
    engine.Send("uci");
    engine.Send("setoption name Hash value 4096");
    EXPECT_TRUE(engine.WaitFor("info string error: cannot allocate a table of 4096 MiB; the table stays at 192 MiB\n",
                               ReplyMs)) << engine.Output();
    engine.Send("setoption name Hash value 16");
    engine.Send("position startpos");
    engine.Send("go depth 5");
    EXPECT_TRUE(engine.WaitFor("bestmove ", ReplyMs));
    engine.Send("setoption name Hash value 0");
    EXPECT_TRUE(engine.WaitFor("info string error: Hash 0 is not a size from 1 to 65536 MiB; the table stays at 12 MiB",
                               ReplyMs));
    // The largest power of two of buckets that fits: 12 MiB of the 16.
    EXPECT_TRUE(Has(engine.MatchLog(), "Transposition table resized to 16 MiB (131072 buckets)\n"));
  }
#endif
  // The same search in a new process finds another tree with the capture search on than off.
  auto nodes = [](const char* option) {
    Session s;
    s.Send({option, "position startpos moves e2e4", "go depth 6"});
    s.BestMove();
    const std::string line = LastLineWith(s.Engine.Output(), "info depth 6 seldepth");
    return std::atoll(line.substr(line.find(" nodes ") + 7).c_str());
  };
  EXPECT_NE(nodes("setoption name CaptureSearch value true"), nodes("setoption name CaptureSearch value false"));
  Session s;
  s.Send({"setoption name Clear Hash", "isready"});
  EXPECT_TRUE(s.Engine.WaitFor("readyok\n", ReplyMs));
  EXPECT_TRUE(Has(s.Engine.MatchLog(), "setoption name Clear Hash\nClearing Transposition Tables\n"));
  EngineProcess xboard({});
  xboard.Send("xboard\nprotover 2\nmemory 32\nping 1");
  EXPECT_TRUE(xboard.WaitFor(" memory=1 ", ReplyMs) && xboard.WaitFor("pong 1", ReplyMs)) << xboard.Output();
  EXPECT_TRUE(Has(xboard.MatchLog(), "Transposition table resized to 32 MiB"));
}
