// The nelk program as started from a shell: help text, test modes that read no input, position
// files and files that are none, bad options, a match.log that is no file, and the first word of
// input choosing the protocol.
#include <gtest/gtest.h>

#include <string>

#include "testkit/RunEngine.h"
#include "testkit/Text.h"

namespace {

using namespace nelktest;

constexpr const char* Banner = "Nelk \n";
constexpr const char* MatchSeparator =
    "=====================================\n\nNext Match\n\n=====================================\n\n";

// Parsing stops at the help option: the perft behind it is not run.
TEST(ProcessTest, HelpTextIsExact) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{"-help"}, {"-h", "-perft"}}) {
    const auto run = RunEngine(args);
    EXPECT_EQ(run.ExitStatus, 0);
    EXPECT_EQ(run.Output, std::string(Banner) +
                              "xboard   used when interfacing with xboard\n"
                              "-uci   used when interfacing with an UCI based GUI\n"
                              "-bench  run an internal benchmark suite\n"
                              "-fd  n    fixes search depth to n ply (min n = 3)\n"
                              "-lpf filename  loads a position from file\n"
                              "-pev  filename - run through a testsuite (EPD Format) & output full evaluation detail per position\n"
                              "-sd  n   sets max search depth to n ply (min n = 3)\n"
                              "-sp  self play\n"
                              "-ts  filename run through a testsuite (EPD Format)\n"
                              "-qs  search captures at the horizon (option CaptureSearch)\n"
                              "-book filename  plays from a Polyglot opening book (option BookFile)\n"
                              "-elo  n  plays at the rating n, 1350 to 1900 (options UCI_LimitStrength and UCI_Elo)\n"
                              "-texel filename  fits the evaluation's term multipliers to the games of a PGN file (UCI moves)\n");
    EXPECT_TRUE(run.MatchLogExists);
  }
}

// A test mode must not wait for a first word on standard input; the loaded file's en-passant
// square reaches the perft.
TEST(ProcessTest, PerftOnALoadedPositionReadsNoInput) {
  EngineProcess engine({"-lpf", "ep.fen", "-perft", "-fd", "2"},
                       {{"ep.fen", "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3\n"}});
  EXPECT_TRUE(engine.WaitFor("738 Total Nodes at Depth = 2\n707 Leaf Nodes at Depth = 2\n", 20000)) << engine.Output();
  EXPECT_EQ(engine.Wait(), 0);
  EXPECT_EQ(engine.MatchLog(), MatchSeparator);
}

TEST(ProcessTest, BadFilesAndOptionsEndWithAnErrorStatus) {
  const struct { std::vector<std::string> args; FileList files; int status; const char* message; } cases[] = {
      {{"-lpf", "missing.fen"}, {}, 1, "ERROR: opening file missing.fen\n"},
      {{"-lpf", "empty.fen"}, {{"empty.fen", ""}}, 0, "Empty file\n"},
      // Positions that cannot be played are refused when they are loaded, before anything runs.
      {{"-lpf", "nokings.fen", "-perft", "-fd", "2"}, {{"nokings.fen", "8/8/8/8/8/8/PPPPPPPP/8 w - -\n"}}, 1,
       "ERROR: nokings.fen: the position needs exactly one king for each side\n"},
      {{"-lpf", "check.fen", "-perft", "-fd", "2"}, {{"check.fen", "4k3/8/8/8/8/8/8/4RK2 w - -\n"}}, 1,
       "ERROR: check.fen: the side not to move is in check\n"},
      {{"-fd"}, {}, 2, "ERROR: option -fd needs a value\n"},
      {{"-perft", "-lpf"}, {}, 2, "ERROR: option -lpf needs a value\n"},
      {{"-perft", "-fd", "-4"}, {}, 2, "ERROR: -fd needs a depth from 0 to 127, not \"-4\"\n"},
      {{"-st", "99999"}, {}, 2, "ERROR: -st needs seconds from 0 to 35791, not \"99999\"\n"},
      // Only a regular file of text is read: a directory is no empty file, /dev/zero no endless
      // suite of empty lines.
      {{"-lpf", "."}, {}, 1, "ERROR: . is not a regular file\n"},
      {{"-ts", "/dev/zero"}, {}, 1, "ERROR: /dev/zero is not a regular file\n"},
      {{"-lpf", "nul.fen"}, {{"nul.fen", std::string("8/8/8/8/8/8/8/K6k w - -") + '\0' + "\n"}}, 1,
       "ERROR: nul.fen is not a text file (its first line holds a NUL byte)\n"},
      {{"-ts", "nul.epd"}, {{"nul.epd", "\n" + std::string(3, '\0') + "\n"}}, 1,
       "ERROR: nul.epd is not a text file (line 2 holds a NUL byte)\n"},
      // A book that cannot be used and a rating out of range end the run before it plays.
      {{"-book", "odd.bin"}, {{"odd.bin", std::string(17, 'x')}}, 2, "ERROR: -book odd.bin: "},
      {{"-elo", "3000"}, {}, 2, "ERROR: -elo needs a rating from 1350 to 1900, not \"3000\"\n"},
  };
  for (const auto& c : cases) {
    const auto run = RunEngine(c.args, "uci\n", 20000, c.files);
    EXPECT_EQ(run.ExitStatus, c.status) << c.message;
    EXPECT_TRUE(Has(run.Output, c.message)) << run.Output;
  }
}

// The engine started through a shell that first runs `setup` in the work dir.
struct ShellStarted : EngineProcess {
  ShellStarted(const std::string& setup, const std::vector<std::string>& args)
      : EngineProcess(Words(setup, args), {}, "/bin/sh") {}
  static std::vector<std::string> Words(const std::string& setup, const std::vector<std::string>& args) {
    std::vector<std::string> words{"-c", setup + " && exec \"$0\" \"$@\"", DefaultProgram};
    words.insert(words.end(), args.begin(), args.end());
    return words;
  }
};

// Opening a FIFO waits for its other end: neither a test suite nor a match.log that is one may hold
// the engine. The suite is refused; the log is left alone and the engine plays without one.
TEST(ProcessTest, AFifoHoldsNothingUp) {
  ShellStarted suite("mkfifo in.epd", {"-ts", "in.epd"});
  EXPECT_EQ(suite.Wait(), 1);
  EXPECT_TRUE(Has(suite.Output(), "ERROR: in.epd is not a regular file\n")) << suite.Output();
  ShellStarted log("mkfifo match.log", {});
  log.Send("xboard\nping 1");
  EXPECT_TRUE(log.WaitFor("pong 1\n")) << log.Output();
  log.Send("quit");
  EXPECT_EQ(log.Wait(), 0);
}

TEST(ProcessTest, FirstWordChoosesTheMode) {
  const auto console = RunEngine({}, "hello\n", 20000);
  EXPECT_EQ(console.ExitStatus, 0);
  EXPECT_TRUE(Has(console.Output, "\nHello! I am Nelk\nMAXDEPTH = 56\n   A B C D E F G H\n\n8  r n b q k b n r  8\n"))
      << console.Output;
  EXPECT_TRUE(Has(console.Output, "Error (unknown command): hello\n")) << "the first word is the first input";
  const auto move = RunEngine({}, "e2e4\nquit\n", 20000);
  EXPECT_TRUE(Has(move.Output, "Enter Move: e2e4\n") && Has(move.Output, "1. ... ")) << move.Output;
  for (const char* input : {"", "uci\n", "xboard\n", "protover\n"}) {
    const auto run = RunEngine({}, input, 20000);
    EXPECT_EQ(run.ExitStatus, 0) << input;
    EXPECT_EQ(Has(run.Output, "Hello! I am Nelk"), *input == '\0' || *input == 'p') << input;
    EXPECT_EQ(run.MatchLog.rfind(MatchSeparator, 0), 0u) << input;
  }
}

}  // namespace
