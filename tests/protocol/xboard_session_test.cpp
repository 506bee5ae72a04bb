// Scripted xboard sessions through pipes: protocol version 2, move entry, force mode and takebacks,
// set-ups, analysis, commands while thinking, time controls and awkward input.
#include <chrono>
#include <thread>

#include "protocol/xboard_driver.h"

namespace {

using namespace xboard_test;

void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void Open(EngineProcess& engine) {
  for (const char* command : {"xboard", "protover 2", "new"}) engine.Send(command);
  ASSERT_TRUE(engine.WaitFor("done=1\n"));
}

// Sends "ping n" and returns everything the engine wrote before "pong n".
std::string UntilPong(EngineProcess& engine, int n) {
  const std::size_t start = Cursor(engine);
  const std::string pong = "pong " + std::to_string(n) + "\n";
  engine.Send("ping " + std::to_string(n));
  if (!engine.WaitFor(pong)) return "<no pong>";
  return engine.Output().substr(start, Cursor(engine) - start - pong.size());
}

// The engine's next move (empty, and the test failed, when none comes).
std::string EngineMove(EngineProcess& engine, int* number = nullptr) {
  std::string line, move;
  int n = 0;
  if (!NextMoveOrResult(engine, &line) || !ParseMoveLine(line, &n, &move)) ADD_FAILURE() << "no move: " << line;
  if (number) *number = n;
  return move;
}

// First move of a thinking line "depth score time nodes  move ...".
std::string ThinkingMove(const std::string& line) {
  int depth = 0, score = 0, time = 0;
  long long nodes = 0;
  char text[16] = {};
  if (std::sscanf(line.c_str(), "%d %d %d %lld %15s", &depth, &score, &time, &nodes, text) != 5) return "";
  return text;
}

TEST(XboardProtocol, Version2FeaturesAndPing) {
  EngineProcess engine({});
  for (const char* command : {"xboard", "protover 2", "accepted ping", "rejected usermove"}) engine.Send(command);
  EXPECT_EQ(UntilPong(engine, 17), "Nelk \nfeature ping=1 setboard=1 playother=0 san=0 usermove=0 time=1 draw=0 sigint=0 "
                                   "sigterm=1 reuse=1 analyze=1 colors=0 myname=\"Nelk\" done=1\n");
  // Everything received before a ping has been handled when it is answered.
  engine.Send("new");
  engine.Send("e2e4");
  EXPECT_EQ(Count(UntilPong(engine, 18), ". ... "), 1);
  engine.Send("quit");
  EXPECT_EQ(engine.Wait(), 0);
  // A front end that never sends "protover" is not told about features.
  EXPECT_FALSE(Has(RunEngine({}, "xboard\nnew\nquit\n").Output, "feature"));
}

TEST(XboardMoves, IllegalMovesForceModeAndTakebacks) {
  EngineProcess engine({});
  Open(engine);
  for (const char* bad : {"e2e5", "e7e5", "e0e4", "e1e2", "e2e4q", "a7a8q", "b1d2"}) {
    engine.Send(bad);
    EXPECT_EQ(UntilPong(engine, 1), std::string("Illegal move: ") + bad + "\n");
  }
  for (const char* word : {"e9e4", "z2z4", "hello"}) engine.Send(word);   // no moves at all: ignored
  EXPECT_EQ(UntilPong(engine, 2), "");
  engine.Send("force");
  for (const char* word : {"e2e4", "e7e5", "undo", "e7e6", "remove", "d2d4", "d7d5", "e2e4", "d7d5"})
    engine.Send(word);
  EXPECT_EQ(UntilPong(engine, 3), "Illegal move: d7d5\n");   // played already
  engine.Send("go");
  int number = 0;
  const std::string reply = EngineMove(engine, &number);
  GameBoard game;
  for (const char* move : {"d2d4", "d7d5", "e2e4"}) ASSERT_TRUE(game.Play(move));
  EXPECT_TRUE(game.Play(reply)) << reply;
  EXPECT_EQ(number, 2);
  engine.Send("quit");
  EXPECT_EQ(engine.Wait(), 0);
}

TEST(XboardSetup, EditAndSetboard) {
  EngineProcess engine({});
  Open(engine);
  engine.Send("force");
  // King and rook at home give White the king-side right; Black's king alone gives nothing.
  for (const char* word : {"edit", "#", "Ke1", "Rh1", "c", "Ke8", ".", "e1c1", "e1g1"}) engine.Send(word);
  EXPECT_EQ(UntilPong(engine, 1), "Illegal move: e1c1\n");
  // Placed and removed again; a second king moves the king; a second piece replaces the first.
  for (const char* word : {"white", "edit", "#", "Pe2", "xe2", "Ke1", "Kf1", "Pd2", "Nd2", "c", "Ke8", ".",
                           "e2e4", "e1d1", "d2b3"})
    engine.Send(word);
  EXPECT_EQ(UntilPong(engine, 2), "Illegal move: e2e4\nIllegal move: e1d1\n");
  engine.Send("setboard 8/8/8/8/8/8/4P3/8 w - - 0 1");
  EXPECT_EQ(UntilPong(engine, 3), "tellusererror Illegal position\n");
  // The promotion is White's only move; it is sent with the piece named.
  engine.Send("setboard 8/4P3/8/8/8/1p6/2k5/K7 w - - 0 1");
  engine.Send("go");
  EXPECT_EQ(EngineMove(engine), "e7e8q");
  engine.Send("force");
  engine.SendRaw("setboard k7/8/1K6/8/8/8/8/7Q w - - 0 1\r\n");
  engine.Send("go");
  const std::string mate = EngineMove(engine);
  EXPECT_TRUE(mate == "h1h8" || mate == "h1b7") << mate;
  std::string line;
  ASSERT_TRUE(NextMoveOrResult(engine, &line));
  EXPECT_EQ(line, "1-0 {White mates}");
  engine.Send("a8a7");
  EXPECT_EQ(UntilPong(engine, 4), "Illegal move: a8a7\n");
  engine.Send("quit");
  EXPECT_EQ(engine.Wait(), 0);
}

TEST(XboardAnalysis, AnalyzeDotMoveAndExit) {
  EngineProcess engine({});
  Open(engine);
  engine.Send("analyze");
  std::string line;
  do ASSERT_TRUE(NextLine(engine, &line)); while (ThinkingMove(line).empty());
  EXPECT_TRUE(GameBoard().Play(ThinkingMove(line))) << line;
  engine.Send(".");
  ASSERT_TRUE(engine.WaitFor("stat01: "));
  // A move entered during the analysis is played; the analysis starts again (depth 1) for Black.
  engine.Send("e2e4");
  ASSERT_TRUE(engine.WaitFor("Search Aborted due to receiveing following string: e2e4\n"));
  do ASSERT_TRUE(NextLine(engine, &line)); while (line.rfind("1 ", 0) != 0 || ThinkingMove(line).empty());
  GameBoard after;
  EXPECT_TRUE(after.Play("e2e4") && after.Play(ThinkingMove(line))) << "not a Black move: " << line;
  engine.Send("exit");
  UntilPong(engine, 1);
  Pause(300);
  EXPECT_EQ(UntilPong(engine, 2), "");   // no more thinking
  EXPECT_FALSE(Has(engine.Output(), ". ... ")) << "the analysis played a move";
  engine.Send("quit");
  EXPECT_EQ(engine.Wait(), 0);
}

// A 60-second search answers ping at once, plays at "?", ends without a move at "force", and the
// end of input ends the program even while it analyses.
TEST(XboardThinking, PingMoveNowForceAndEndOfInput) {
  EngineProcess engine({});
  Open(engine);
  engine.Send("st 60");
  engine.Send("e2e4");
  Pause(300);
  EXPECT_EQ(UntilPong(engine, 1), "");
  engine.Send("?");
  GameBoard game;
  ASSERT_TRUE(game.Play("e2e4"));
  EXPECT_TRUE(game.Play(EngineMove(engine)));
  engine.Send("d2d4");
  Pause(300);
  engine.Send("force");
  EXPECT_FALSE(Has(UntilPong(engine, 2), ". ... "));
  engine.Send("analyze");
  Pause(300);
  EXPECT_EQ(engine.Wait(5000), 0);
  EXPECT_EQ(Count(engine.Output(), ". ... "), 1);
}

TEST(XboardTime, TimeControlsAsFrontEndsSendThem) {
  const auto run = RunEngine({}, "xboard\nnew\nlevel 40 0:30 0\nlevel 0 0:10 0.1\nlevel 40 5 2\nquit\n");
  for (const char* line : {"MovesPerSession 40 TimeLeft 30000 TimeInc 0 \n", "MovesPerSession 0 TimeLeft 10000 TimeInc 0 \n",
                           "MovesPerSession 40 TimeLeft 300000 TimeInc 2 \n"})
    EXPECT_TRUE(Has(run.MatchLog, line)) << line << run.MatchLog;
  EXPECT_FALSE(Has(run.Output, "stat01")) << "a piece of an argument was read as \".\"";

  EngineProcess engine({});
  Open(engine);
  for (const char* command : {"sd 1000000", "sd -5", "st -3", "st 99999999999999999999", "time -500",
                              "time 99999999999999", "otim 99999999999999", "level -1 -1 -1", "dumpsee 64 -1",
                              "level 99999999999 9999999999:99 99999999999", "protover 99999999999999"})
    engine.Send(command);
  // A fixed time survives an analysis, and a fraction of a second is kept.
  for (const char* command : {"st 0.5", "analyze", "exit", "e2e4"}) engine.Send(command);
  EngineMove(engine);
  engine.Send("quit");
  EXPECT_EQ(engine.Wait(), 0);
  EXPECT_TRUE(Has(engine.MatchLog(), " TimePeMove after ST = 450 \n")) << engine.MatchLog();
}

TEST(XboardInput, CarriageReturnsLongWordsAndManyGames) {
  EngineProcess engine({});
  engine.SendRaw("xboard\r\nprotover 2\r\nping 3\r\n");
  ASSERT_TRUE(engine.WaitFor("pong 3\n"));
  engine.Send(std::string(5000, 'e'));
  engine.Send("e2e4" + std::string(5000, '4'));
  engine.Send("setboard " + std::string(5000, 'K'));
  engine.Send("new");
  EXPECT_TRUE(Has(UntilPong(engine, 4), "Illegal move: e2e4"));
  engine.SendRaw("e2e4\r\n");
  EngineMove(engine);
  engine.SendRaw("quit\r\n");
  EXPECT_EQ(engine.Wait(), 0);

  // Every game starts a fresh repetition history: a long session does not fill it.
  std::string script = "xboard\n";
  for (int game = 0; game < 80; game++) script += "new\nforce\ng1f3\ng8f6\nf3g1\nf6g8\ng1f3\ng8f6\nf3g1\nf6g8\n";
  const auto run = RunEngine({}, script + "quit\n");
  EXPECT_EQ(run.ExitStatus, 0);
  EXPECT_FALSE(Has(run.Output, "ERROR") || Has(run.Output, "Illegal")) << run.Output.substr(0, 2000);
}

}  // namespace
