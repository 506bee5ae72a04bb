// xboard and console sessions through pipes: protocol version 2, move entry, force mode and
// takebacks, set-ups, commands while thinking, time controls, long sessions; whole games
// against a fixed reply rule with every engine move checked on the test's own board; console
// prompts and the end of a game by the rules (which ends the program).
#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "testkit/GameBoard.h"
#include "testkit/RunEngine.h"
#include "testkit/Text.h"

namespace {

using namespace nelktest;

constexpr int LineTimeoutMs = 20000;
constexpr const char* Bye = "Bye, Thanks for the match.\n";
// An engine move line: "move <move>" after "protover 2", else exactly "<n>. ... <move> " (a blank
// at the end); the move in coordinates with a lower-case promotion letter.
const std::regex MoveLine("(?:move |([0-9]{1,6})\\. \\.\\.\\. )([a-h][1-8][a-h][1-8][qrbn]?)( ?)");
const std::regex NumberedMoveLine("([0-9]{1,6})\\. \\.\\.\\. ([a-h][1-8][a-h][1-8][qrbn]?) ");

void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// The next whole line of output, without its newline.
bool NextLine(EngineProcess& engine, std::string* line) {
  const std::size_t start = engine.Cursor();
  if (!engine.WaitFor("\n", LineTimeoutMs)) return false;
  *line = engine.Output().substr(start, engine.Cursor() - 1 - start);
  return true;
}

bool IsResultLine(const std::string& line) {
  return line == "1-0 {White mates}" || line == "0-1 {Black mates}" || line == "1/2-1/2 {Stalemate}" ||
         line == "1/2-1/2 {Draw by 50 Move Rule}" || line == "1/2-1/2 {Draw by insufficient material}";
}

bool IsMoveLine(const std::string& line, std::smatch* m) {
  return std::regex_match(line, *m, MoveLine) && (*m)[1].matched == ((*m)[3].length() == 1);
}

// Skips other lines (thinking output) up to a move line (matched in `m`) or a result line.
bool NextMoveOrResult(EngineProcess& engine, std::string* line, std::smatch* m) {
  while (NextLine(engine, line))
    if (IsMoveLine(*line, m) || IsResultLine(*line)) return true;
  return false;
}

// The engine's next move (empty, and the test failed, when none comes).
std::string EngineMove(EngineProcess& engine) {
  std::string line;
  std::smatch m;
  if (!NextMoveOrResult(engine, &line, &m) || m.empty()) ADD_FAILURE() << "no move: " << line;
  return m.empty() ? "" : m[2].str();
}

// An engine in xboard mode at the start of a game.
struct Xboard : EngineProcess {
  Xboard() : EngineProcess({}) { EXPECT_TRUE(Send("xboard\nprotover 2\nnew") && WaitFor("done=1\n")); }
};

void Quit(EngineProcess& engine) {
  engine.Send("quit");
  EXPECT_EQ(engine.Wait(), 0);
}

// Sends "ping n" and returns everything the engine wrote before "pong n".
std::string UntilPong(EngineProcess& engine, int n) {
  const std::size_t start = engine.Cursor();
  const std::string pong = "pong " + std::to_string(n) + "\n";
  engine.Send("ping " + std::to_string(n));
  if (!engine.WaitFor(pong)) return "<no pong>";
  return engine.Output().substr(start, engine.Cursor() - start - pong.size());
}

TEST(XboardProtocol, Version2FeaturesAndPing) {
  EngineProcess engine({});
  for (const char* command : {"xboard", "protover 2", "accepted ping", "rejected usermove"}) engine.Send(command);
  const std::string features = "feature ping=1 setboard=1 playother=0 san=0 usermove=0 time=1 draw=0 sigint=0 "
                               "sigterm=1 reuse=1 analyze=1 colors=0 memory=1 nps=1 myname=\"Nelk\" option=\"CaptureSearch -check ";
  const std::string strength = "option=\"UCI_LimitStrength -check ";
  const std::string book = "option=\"BookFile -file \" option=\"Best Book Move -check ";
  EXPECT_EQ(UntilPong(engine, 17), "Nelk \n" + features + "0\" option=\"MultiPV -spin 1 1 64\" " + strength +
                                       "0\" option=\"UCI_Elo -spin 1600 1350 1900\" " + book + "0\" done=1\n");
  // The options are set as announced; unknown options and values out of range are ignored.
  engine.Send("option CaptureSearch=1\noption MultiPV=3\noption MultiPV=65\noption Hash=64\noption\n"
              "option UCI_LimitStrength=1\noption UCI_Elo=1400\noption UCI_Elo=99\noption Best Book Move=1\n"
              "option BookFile=missing.bin\nprotover 2");
  EXPECT_EQ(UntilPong(engine, 16), "Error (missing.bin: no such book file; no book file is used): option BookFile\n" +
                                       features + "1\" option=\"MultiPV -spin 3 1 64\" " + strength +
                                       "1\" option=\"UCI_Elo -spin 1400 1350 1900\" " + book + "1\" done=1\n");
  // Everything received before a ping has been handled when it is answered; a move is "move e7e5".
  engine.Send("new\ne2e4");
  const std::string reply = UntilPong(engine, 18);
  std::smatch m;
  EXPECT_TRUE(std::regex_match(reply, m, std::regex("move [a-h][1-8][a-h][1-8]\n"))) << reply;
  Quit(engine);
  // A front end that never sends "protover" is not told about features.
  EXPECT_FALSE(Has(RunEngine({}, "xboard\nnew\nquit\n").Output, "feature"));
}

// Without "protover" the move comes behind its number: 1 for White's first move and for Black's
// reply, 2 for White's second. No UCI line reaches an xboard front end, not even in a timed search.
TEST(XboardProtocol, OldFrontEndsReadTheMoveBehindItsNumber) {
  EngineProcess engine({});
  engine.Send("xboard\nnew\npost\nst 1\ne2e4");
  std::string line;
  std::smatch m;
  ASSERT_TRUE(NextMoveOrResult(engine, &line, &m) && std::regex_match(line, m, NumberedMoveLine)) << line;
  EXPECT_EQ(m[1], "1");
  GameBoard game;
  ASSERT_TRUE(game.Play("e2e4") && game.Play(m[2]));
  engine.Send("force\n" + game.LegalMove());
  ASSERT_TRUE(game.Play(game.LegalMove()));
  engine.Send("white\ngo");
  ASSERT_TRUE(NextMoveOrResult(engine, &line, &m) && std::regex_match(line, m, NumberedMoveLine)) << line;
  EXPECT_EQ(m[1], "2");
  Quit(engine);
  EXPECT_FALSE(Has(engine.Output(), "info")) << engine.Output();
}

// XBoard learns what an engine lacks from "Error (unknown command): WORD"; the rest of that line is
// the unknown command's own and none of it is carried out. A word shaped like a move is refused as
// an illegal move instead (which moves are legal: the move-check tests). The console answers the same.
TEST(XboardMoves, UnknownCommandsIllegalMovesForceModeAndTakebacks) {
  Xboard engine;
  engine.Send("help\nNf3\nz9z9\nE2E4\nusermove e2e4\nfoo ping 5\ne0e4\ne2e5\ne7e5\ne2e4q");
  EXPECT_EQ(UntilPong(engine, 1), "Error (unknown command): help\nError (unknown command): Nf3\n"
                                  "Error (unknown command): z9z9\nError (unknown command): E2E4\n"
                                  "Error (unknown command): usermove\nError (unknown command): foo\n"
                                  "Illegal move: e0e4\nIllegal move: e2e5\nIllegal move: e7e5\nIllegal move: e2e4q\n");
  engine.Send("force\ne2e4\ne7e5\nundo\ne7e6\nremove\nd2d4\nd7d5\ne2e4\nd7d5");
  EXPECT_EQ(UntilPong(engine, 3), "Illegal move: d7d5\n");   // played already
  engine.Send("go");
  const std::string reply = EngineMove(engine);
  GameBoard game;
  EXPECT_TRUE(game.Play("d2d4") && game.Play("d7d5") && game.Play("e2e4") && game.Play(reply)) << reply;
  Quit(engine);
  const auto console = RunEngine({}, "console\nNf3 e2e4\nhello\nquit\n");
  EXPECT_TRUE(Has(console.Output, "Enter Move: Nf3\nError (unknown command): Nf3\nEnter Move: hello\n"
                                  "Error (unknown command): hello\nEnter Move: quit\n")) << console.Output;
}

// Knights to and fro, and a pawn move of each side every 90 plies, before the fifty-move rule would
// end the game: 630 plies.
std::vector<std::string> LongGame() {
  const char* shuffle[] = {"g1f3", "g8f6", "f3g1", "f6g8"};
  const char* pawns[] = {"a2a3", "a7a6", "a3a4", "a6a5", "h2h3", "h7h6", "h3h4", "h6h5", "b2b3", "b7b6", "g2g3", "g7g6", "c2c3", "c7c6"};
  std::vector<std::string> moves;
  for (int ply = 0; ply < 630; ply++) moves.push_back(ply % 90 < 88 ? shuffle[ply % 90 % 4] : pawns[ply / 90 * 2 + ply % 90 - 88]);
  return moves;
}

// A takeback reaches as far back as the kept record, the game's last 600 moves; one beyond it, or
// beyond the game's start, is refused aloud and changes nothing: the engine then still plays for
// the side the front end expects.
TEST(XboardMoves, TakebacksTheRecordCannotMakeAreRefused) {
  constexpr int Kept = 600;
  Xboard engine;
  const std::vector<std::string> moves = LongGame();
  std::string script = "force\n";
  for (const std::string& move : moves) script += move + "\n";
  for (int i = 0; i < Kept; i++) script += "undo\n";
  engine.SendRaw(script);
  EXPECT_EQ(UntilPong(engine, 1), "");
  engine.Send("undo\nremove");
  EXPECT_EQ(UntilPong(engine, 2), "Error (only the last 600 moves can be taken back): undo\n"
                                  "Error (only the last 600 moves can be taken back): remove\n");
  GameBoard game;
  for (std::size_t i = 0; i + Kept < moves.size(); i++) ASSERT_TRUE(game.Play(moves[i]));
  engine.Send("go");
  const std::string reply = EngineMove(engine);
  EXPECT_TRUE(game.Play(reply)) << reply;
  // A "remove" needs two moves: with one it takes back none.
  engine.Send("new\nforce\ne2e4\nremove\ne7e5\nundo\nundo\nundo");
  EXPECT_EQ(UntilPong(engine, 3), "Error (not enough moves to take back): remove\n"
                                  "Error (not enough moves to take back): undo\n");
  Quit(engine);
}

TEST(XboardSetup, EditAndSetboard) {
  Xboard engine;
  // King and rook at home give White the king-side right; Black's king alone gives nothing.
  engine.Send("force\nedit\n#\nKe1\nRh1\nc\nKe8\n.\ne1c1\ne1g1");
  EXPECT_EQ(UntilPong(engine, 1), "Illegal move: e1c1\n");
  // Placed and removed again; a second king moves the king; a second piece replaces the first.
  engine.Send("white\nedit\n#\nPe2\nxe2\nKe1\nKf1\nPd2\nNd2\nc\nKe8\n.\ne2e4\ne1d1\nd2b3");
  engine.Send("setboard 8/8/8/8/8/8/4P3/8 w - - 0 1");
  EXPECT_EQ(UntilPong(engine, 3), "Illegal move: e2e4\nIllegal move: e1d1\ntellusererror Illegal position\n");
  // The promotion is White's only move; it is sent with the piece named.
  engine.Send("setboard 8/4P3/8/8/8/1p6/2k5/K7 w - - 0 1\ngo");
  EXPECT_EQ(EngineMove(engine), "e7e8q");
  engine.SendRaw("force\nsetboard k7/8/1K6/8/8/8/8/6Q1 w - - 0 1\r\ngo\n");
  EXPECT_EQ(EngineMove(engine), "g1g8");
  std::string line;
  std::smatch m;
  ASSERT_TRUE(NextMoveOrResult(engine, &line, &m));
  EXPECT_EQ(line, "1-0 {White mates}");   // moves after the end: PlaysAGameToItsEndAndThenTheNext
  // A position whose side not to move is in check is refused: no move in it, no search of it.
  engine.Send("new\nsetboard 4k3/8/8/8/8/8/8/4RK2 w - - 0 1\ne1e8\ngo");
  EXPECT_EQ(UntilPong(engine, 5), "tellusererror Illegal position\nIllegal move: e1e8\n"
                                  "ERROR: the side not to move is in check; no move searched\n");
  Quit(engine);
}

// A 60-second search answers ping at once, plays at "?", ends without a move at "force", and the
// end of input ends the program even while it analyses.
TEST(XboardThinking, PingMoveNowForceAndEndOfInput) {
  Xboard engine;
  engine.Send("st 60\ne2e4");
  Pause(300);
  EXPECT_EQ(UntilPong(engine, 1), "");
  // The opponent's move while the engine thinks on its own changes nothing.
  engine.Send("e7e5");
  EXPECT_EQ(UntilPong(engine, 5), "Illegal move (not your turn): e7e5\n");
  engine.Send("?");
  GameBoard game;
  EXPECT_TRUE(game.Play("e2e4") && game.Play(EngineMove(engine)));
  engine.Send("d2d4");
  Pause(300);
  engine.Send("force");
  EXPECT_FALSE(Has(UntilPong(engine, 2), "move "));
  engine.Send("analyze");
  Pause(300);
  EXPECT_EQ(engine.Wait(5000), 0);
  EXPECT_EQ(Count(engine.Output(), "\nmove "), 1);
}

TEST(XboardTime, TimeControlsAsFrontEndsSendThem) {
  const auto run = RunEngine({}, "xboard\nnew\nlevel 40 0:30 0\nlevel 0 0:10 0.1\nlevel 40 5 2\nlevel 0 1.5 0\n"
                                 "level 0 2 2.5\nquit\n");
  for (const char* line : {"MovesPerSession 40 TimeLeft 30000 TimeInc 0 \n", "MovesPerSession 0 TimeLeft 10000 TimeInc 0 \n",
                           "MovesPerSession 40 TimeLeft 300000 TimeInc 2 \n", "MovesPerSession 0 TimeLeft 90000 TimeInc 0 \n",
                           "MovesPerSession 0 TimeLeft 120000 TimeInc 2 \n"})
    EXPECT_TRUE(Has(run.MatchLog, line)) << line << run.MatchLog;
  EXPECT_FALSE(Has(run.Output, "stat01")) << "a piece of an argument was read as \".\"";
  // A fixed time survives an analysis, and a fraction of a second is kept.
  Xboard engine;
  engine.Send("st 0.5\nanalyze\nexit\ne2e4");
  EngineMove(engine);
  Quit(engine);
  EXPECT_TRUE(Has(engine.MatchLog(), " TimePeMove after ST = 450 \n")) << engine.MatchLog();
}

// "nps N" times the search by its nodes: "st S" allows S * N of them, and even a budget too small for
// one iteration still ends in a move. The time control sent last holds: "level" after "st" and
// "nps" puts the engine back on the game clock with a fresh rate estimate.
TEST(XboardTime, NodeClockAndTheTimeControlSentLast) {
  Xboard engine;
  engine.Send("nps 20000\nst 3\ne2e4");
  EngineMove(engine);
  engine.Send("nps 1\nst 1\nd2d4");
  EngineMove(engine);
  engine.Send("level 0 0:10 0.1\ntime 1000\notim 1000\ng1f3");
  EngineMove(engine);
  Quit(engine);
  const std::string log = engine.MatchLog();
  std::smatch made;   // "Move Made: depth score time nodes ..."
  ASSERT_TRUE(std::regex_search(log, made, std::regex("Move Made: -?[0-9]+ -?[0-9]+ [0-9]+ ([0-9]+) ")));
  EXPECT_LE(std::stoll(made[1].str()), 60000) << log;
  const std::size_t clocked = log.rfind("Initial Nodes Per Second");
  EXPECT_TRUE(Has(log.substr(clocked), "Initial Nodes Per Second = 1200000\n")) << log.substr(clocked);
  EXPECT_FALSE(Has(log.substr(log.rfind("Move Made: ", clocked)), "after ST")) << "the fixed time outlived \"level\"";
}

// A mate is 100000 + N in thinking lines; an analysis goes on past a mate to its depth limit ("sd"),
// where a client waiting for that depth reads it; MultiPV gives a line per line of play.
TEST(XboardThinking, MatesAndLinesOfPlay) {
  Xboard engine;
  engine.Send("post\nforce\nsetboard 6k1/5ppp/8/8/8/8/5PPP/1R4K1 w - - 0 1\nsd 4\nanalyze");
  EXPECT_TRUE(engine.WaitFor("\n4 100001 ", LineTimeoutMs)) << engine.Pending();
  engine.Send("exit\nsd 3\noption MultiPV=2\nnew\nforce\nanalyze");
  std::string line;
  std::vector<std::string> depth3;
  while (depth3.size() < 2 && NextLine(engine, &line))
    if (line.rfind("3 ", 0) == 0) depth3.push_back(line.substr(line.rfind("  ") + 2, 4));
  ASSERT_EQ(depth3.size(), 2u);
  EXPECT_NE(depth3[0], depth3[1]) << "two lines, two first moves";
  engine.Send("exit");
  Quit(engine);
}

// "stat01:" lines go only to a front end that asks for them with "." in the running analysis, and
// not to one that ends the analysis with the same breath.
TEST(XboardThinking, ProgressLinesOnlyWhenAskedFor) {
  Xboard engine;
  engine.Send("analyze");
  Pause(500);
  engine.Send(".\nexit\nanalyze");
  Pause(1000);
  EXPECT_EQ(Count(engine.Output(), "stat01: "), 0);
  engine.Send(".");
  EXPECT_TRUE(engine.WaitUntil([](const std::string& out) { return Count(out, "stat01: ") >= 3; }, LineTimeoutMs))
      << "the analysis polls answer a front end that asked";
  engine.Send("exit\nanalyze");
  Pause(1000);
  const std::size_t restarted = engine.Output().size();
  Pause(1000);
  EXPECT_EQ(Count(engine.Output().substr(restarted), "stat01: "), 0);
  engine.Send("exit");
  Quit(engine);
}

// A command's missing argument is not taken from the next line: every word below is a command or a
// move of its own (a move taken as an argument would put the wrong side to move for the rest). The
// words behind a command's arguments on its line are commands too.
TEST(XboardInput, ArgumentsComeFromTheCommandsOwnLine) {
  const auto run = RunEngine({}, "xboard\nforce\nlevel\ne2e4\nst\ne7e5\nsd\ng1f3\ntime\nb8c6\notim\nf1c4\n"
                                 "dumpsee\ng8f6\nping\nlevel 1 2\nc4f7\nst 1 ping 7\nquit\n");
  EXPECT_EQ(run.Output, "Nelk \npong 7\n" + std::string(Bye));
}

// The reply rule is the first legal move in generator order; then the next game in the same process.
TEST(XboardGame, PlaysAGameToItsEndAndThenTheNext) {
  constexpr int MaxPlies = 3000;   // the fifty-move rule ends any game long before this
  EngineProcess engine({});
  engine.Send("xboard\nprotover 2\nnew\npost");
  GameBoard game;
  std::string result, line;
  std::smatch m;
  for (int plies = 2; result.empty() && plies < MaxPlies; plies += 2) {
    const std::string reply = game.LegalMove();
    ASSERT_TRUE(!reply.empty() && game.Play(reply)) << "the engine did not state the end of the game";
    engine.Send(reply);
    ASSERT_TRUE(NextMoveOrResult(engine, &line, &m)) << engine.Pending();
    if (IsResultLine(line)) {
      result = line;
      break;
    }
    ASSERT_TRUE(game.Play(m[2])) << "illegal engine move " << line;
    // Read up to the pong: a result line after the engine's move comes before it.
    engine.Send("ping " + std::to_string(plies));
    while (NextLine(engine, &line) && line != "pong " + std::to_string(plies))
      if (IsResultLine(line)) result = line;
  }
  EXPECT_EQ(result, game.Result());
  // The program goes on: moves are refused until the next game starts.
  engine.Send("a2a3");
  EXPECT_TRUE(engine.WaitFor("Illegal move: a2a3\n"));
  engine.Send("new\ne2e4");
  EXPECT_TRUE(engine.WaitFor("move "));
  Quit(engine);
}

TEST(ConsoleSession, PromptEchoBoardAndCommands) {
  const auto run = RunEngine({}, "console\nsd 3\ne2e5\ne2e4\nsetboard 4k3/8/2p5/3n4/4P3/8/8/4K3 w - - 0 1\n"
                                 "dumpsee 28 35\nquit\n");
  const std::string& out = run.Output;
  EXPECT_TRUE(Has(out, "Enter Move: e2e5\nIllegal move: e2e5\nEnter Move: e2e4\nGame Score 0\n   A B C D E F G H\n"));
  std::smatch m;
  GameBoard game;
  EXPECT_TRUE(std::regex_search(out, m, std::regex("\n1\\. \\.\\.\\. (\\S+) \n")) && game.Play("e2e4") && game.Play(m[1]))
      << out;
  EXPECT_EQ(Count(out, ". ... "), 1) << out;
  EXPECT_TRUE(Has(out, "Enter Move: dumpsee\nSEE value = 2450\n")) << out;   // pawn takes knight, pawn takes back
  EXPECT_TRUE(EndsWith(out, std::string("Enter Move: quit\n") + Bye)) << out;
  EXPECT_EQ(run.ExitStatus, 0);
}

// "help" lists the console's commands; without a time control the engine thinks a default time a
// move, set as "st" sets it, and says so once; with one (or in xboard) nothing is said.
TEST(ConsoleSession, HelpAndTheDefaultTime) {
  const std::string game = "setboard r1bqk2r/pp2bppp/2p5/3pP3/P2Q1P2/2N1B3/1PP3PP/R4RK1 b kq - 0 1\nsd 2\ngo\n";
  const auto run = RunEngine({}, "help\n" + game + "new\nsd 2\ngo\nquit\n");
  EXPECT_TRUE(Has(run.Output, "Enter Move: help\nMoves: e2e4, e7e8q (promotion), e1g1 (castling).\n")) << run.Output;
  EXPECT_EQ(Count(run.Output, "No time control is set: thinking 5 seconds a move"), 1) << run.Output;
  EXPECT_TRUE(Has(run.MatchLog, " TimePeMove after ST = 4500 ")) << run.MatchLog;
  const auto timed = RunEngine({}, "st 1\n" + game + "quit\n");
  EXPECT_FALSE(Has(timed.Output, "No time control")) << timed.Output;
  const auto xboard = RunEngine({}, "xboard\nhelp\n" + game + "quit\n");
  EXPECT_TRUE(Has(xboard.Output, "Error (unknown command): help\n") && !Has(xboard.Output, "No time control"));
}

// The greeting's board of a loaded position is evaluated as "displayboard" shows it afterwards; a
// set-up whose side not to move is in check (here White's king, by the knight) is refused with the
// reason, as every front end refuses it (the kings' count: the process and board tests).
TEST(ConsoleSession, LoadedPositionAndRefusedSetup) {
  const auto run = RunEngine({"-lpf", "q.fen"}, "console\ndisplayboard\nsetboard 4k3/8/8/8/8/5n2/8/4K3 b - - 0 1\nquit\n",
                             20000, {{"q.fen", "4k3/8/8/8/8/8/8/QQQQK3 w - - 0 1\n"}});
  std::vector<std::string> evals;
  const std::regex eval("PosEval from White view (-?[0-9]+)");
  for (std::sregex_iterator i(run.Output.begin(), run.Output.end(), eval), end; i != end; ++i) evals.push_back((*i)[1]);
  ASSERT_EQ(evals.size(), 2u) << run.Output;
  EXPECT_EQ(evals[0], evals[1]);
  EXPECT_TRUE(Has(run.Output, "Enter Move: setboard\nIllegal position: the side not to move is in check\n")) << run.Output;
}

TEST(ConsoleSession, TheEndOfTheGameEndsTheProgram) {
  const char* cases[][3] = {
      {"k7/8/1K6/8/8/8/8/6Q1 w - - 0 1", "g1g8", "White mates!\n"},
      {"K7/8/1k6/8/8/8/8/6q1 b - - 0 1", "go", "Black mates!\n"},   // the engine mates
      {"k7/8/1K6/8/8/8/8/2Q5 w - - 0 1", "c1c7", "Stalemate\n"},
      {"8/8/8/4k3/8/8/3pK3/8 w - - 0 1", "e2d2", "1/2-1/2 {Draw by insufficient material}\n"},
      // Both sides' half-moves count: from 96, two moves of each side reach the limit.
      {"7k/8/8/8/8/8/8/K5R1 w - - 96 80", "a1b1\nb1a1", "1/2-1/2 {Draw by 50 Move Rule}\n"},
  };
  for (const auto& c : cases) {
    const auto run = RunEngine({}, std::string("console\nst 0.1\nsetboard ") + c[0] + "\n" + c[1] + "\nnew\ne2e4\n");
    EXPECT_EQ(run.ExitStatus, 0) << c[0];
    EXPECT_TRUE(EndsWith(run.Output, std::string(c[2]) + Bye)) << run.Output;
    EXPECT_EQ(Count(run.Output, c[2]), 1) << run.Output;
    EXPECT_FALSE(Has(run.Output, "Enter Move: new")) << "input read after the end: " << run.Output;
  }
  EXPECT_TRUE(EndsWith(RunEngine({}, "console\ne2e4\n").Output, Bye));   // the end of input
}

}  // namespace
