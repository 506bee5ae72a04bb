#include "engine/CommandLine.h"
#include <climits>
#include <cstdio>
#include <cstring>
#include "board/ChessBoard.h"
#include "engine/Status.h"
#include "protocol/BookOptions.h"
#include "search/SearchRoutines.h"
#include "search/Strength.h"
#include "tools/Fen.h"

const char* TestFileName = nullptr;
const char* TexelFileName = nullptr;

namespace {
constexpr int MaxFixedDepth = 127;             // FD is a signed byte
constexpr int MsPerMoveOfSt = 900;             // "-st n": TimePerMove = 900 * n
constexpr int MsLeftOfSt = 60000;              // "-st n": TimeLeft = 60000 * n
constexpr int MaxStSeconds = INT_MAX / MsLeftOfSt;

enum class Test { Equals, Contains };

struct Option {
  const char* Name;
  Test How;
  bool TakesValue;
  int (*Apply)(const char* value);   // returns a CommandLineResult
};

int SetBench(int bench) { MainStatus.Bench = static_cast<std::uint8_t>(bench); return CommandLineContinue; }

int FixDepth(const char* value) {
  const int depth = ParseOptionValue(value);
  if (depth < 0 || depth > MaxFixedDepth) {
    std::printf("ERROR: -fd needs a depth from 0 to %d, not \"%s\"\n", MaxFixedDepth, value);
    return CommandLineError;
  }
  MainStatus.setFD(static_cast<char>(depth));
  MainBoard.MaxDepth = depth;
  MainBoard.FixedDepth = depth;
  return CommandLineContinue;
}

int FixTime(const char* value) {
  const int seconds = ParseOptionValue(value);
  if (seconds < 0 || seconds > MaxStSeconds) {
    std::printf("ERROR: -st needs seconds from 0 to %d, not \"%s\"\n", MaxStSeconds, value);
    return CommandLineError;
  }
  MainStatus.ST = seconds;
  MainStatus.TimePerMove = MsPerMoveOfSt * seconds;
  MainStatus.TimeLeft = MsLeftOfSt * seconds;
  return CommandLineContinue;
}

int Help(const char*) { PrintHelp(); return CommandLineHelp; }

int BookFile(const char* value) {
  char message[BookMessageSize];
  if (BookSettings.SetFile(value, message, sizeof message)) return CommandLineContinue;
  std::printf("ERROR: -book %s\n", message);
  return CommandLineError;
}

int LimitStrength(const char* value) {
  const int elo = ParseOptionValue(value);
  if (elo < StrengthLimits::MinElo || elo > StrengthLimits::MaxElo) {
    std::printf("ERROR: -elo needs a rating from %d to %d, not \"%s\"\n", StrengthLimits::MinElo,
                StrengthLimits::MaxElo, value);
    return CommandLineError;
  }
  Strength.Limited = 1;
  Strength.Elo = elo;
  return CommandLineContinue;
}

int MimicStudent(const char* value) {
  std::printf("## Mimic Student option detected \n");
  std::fflush(stdout);
  MainStatus.Mimic = 1;
  TestFileName = value;
  return CommandLineContinue;
}

int Flag(std::uint8_t& field) { field = 1; return CommandLineContinue; }

// Tested in this order against every argument; see ParseCommandLine for how values are consumed.
constexpr Option Options[] = {
  {"-satrain", Test::Equals, false, [](const char*) { return Flag(MainStatus.SATrain); }},
  {"-bench", Test::Equals, false, [](const char*) { return SetBench(1); }},
  {"-bench2", Test::Equals, false, [](const char*) { return SetBench(2); }},
  {"-bench3", Test::Equals, false, [](const char*) { return SetBench(3); }},
  {"-bench4", Test::Equals, false, [](const char*) { return SetBench(4); }},
  {"-bench5", Test::Equals, false, [](const char*) { return SetBench(5); }},
  {"-fd", Test::Equals, true, FixDepth},
  {"-book", Test::Equals, true, BookFile},
  {"-elo", Test::Equals, true, LimitStrength},
  {"-help", Test::Equals, false, Help},
  {"-h", Test::Equals, false, Help},
  {"-HPC", Test::Contains, false, [](const char*) { return int{CommandLineContinue}; }},
  {"-kibitz", Test::Contains, false, [](const char*) { return Flag(MainStatus.Kibitz); }},
  {"-lpf", Test::Contains, true, [](const char* v) { LoadPositionFile(v); return int{CommandLineContinue}; }},
  {"-nobook", Test::Contains, false, [](const char*) { MainStatus.UseBook = 0; return int{CommandLineContinue}; }},
  {"-perft", Test::Equals, false, [](const char*) { return Flag(MainStatus.PERFT); }},
  {"-mimicstudent", Test::Equals, true, MimicStudent},
  {"-pev", Test::Equals, true, [](const char* v) { TestFileName = v; return Flag(MainStatus.PEV); }},
  {"-post", Test::Contains, false, [](const char*) { return Flag(MainStatus.Post); }},
  {"-sd", Test::Contains, true, [](const char* v) { MainBoard.MaxDepth = ParseOptionValue(v); return int{CommandLineContinue}; }},
  {"-sp", Test::Contains, false, [](const char*) { return Flag(MainStatus.SelfPlay); }},
  {"-trace", Test::Contains, false, [](const char*) { return Flag(MainStatus.Trace); }},
  {"-st", Test::Contains, true, FixTime},
  {"-tc", Test::Contains, true, [](const char*) { return int{CommandLineContinue}; }},
  {"-ts", Test::Contains, true, [](const char* v) { TestFileName = v; return Flag(MainStatus.DoTestSuite); }},
  {"xboard", Test::Contains, false, [](const char*) { MainStatus.setxboard(1); return int{CommandLineContinue}; }},
  {"-uci", Test::Contains, false, [](const char*) { return Flag(MainStatus.UCIMode); }},
  {"-qs", Test::Equals, false, [](const char*) { Search.SetCaptureSearch(true); return int{CommandLineContinue}; }},
  // Last: no option after it is tested against the file name.
  {"-texel", Test::Equals, true, [](const char* v) { TexelFileName = v; return int{CommandLineContinue}; }},
};

bool Matches(const Option& option, const char* text) {
  if (option.How == Test::Equals) return std::strcmp(text, option.Name) == 0;
  return std::strstr(text, option.Name) != nullptr;
}

constexpr const char* HelpLines[] = {
  "xboard   used when interfacing with xboard\n",
  "-uci   used when interfacing with an UCI based GUI\n",
  "-bench  run an internal benchmark suite\n",
  "-fd  n    fixes search depth to n ply (min n = 3)\n",
  "-lpf filename  loads a position from file\n",
  "-pev  filename - run through a testsuite (EPD Format) & output full evaluation detail per position\n",
  "-sd  n   sets max search depth to n ply (min n = 3)\n",
  "-sp  self play\n",
  "-ts  filename run through a testsuite (EPD Format)\n",
  "-qs  search captures at the horizon (option CaptureSearch)\n",
  "-book filename  plays from a Polyglot opening book (option BookFile)\n",
  "-elo  n  plays at the rating n, 1350 to 1900 (options UCI_LimitStrength and UCI_Elo)\n",
  "-texel filename  fits the evaluation's term multipliers to the games of a PGN file (UCI moves)\n",
};
}  // namespace

void PrintHelp() {
  for (const char* line : HelpLines) std::fputs(line, stdout);
  std::fflush(stdout);
}

int ParseOptionValue(const char* text) {
  if (text == nullptr) return 0;
  while (*text == ' ' || (*text >= '\t' && *text <= '\r')) ++text;
  const bool negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  long long value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    value = value * 10 + (*text - '0');
    if (value > INT_MAX) value = static_cast<long long>(INT_MAX) + 1;   // clamp, keep going
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  return static_cast<int>(value);
}

// Every argument is tested against all options in table order. An option with a value consumes the
// next argument, and the options after it in the table are then tested against that value.
int ParseCommandLine(int argc, char** argv) {
  for (int i = 1; i < argc; i++) {
    const char* current = argv[i];
    for (const Option& option : Options) {
      if (!Matches(option, current)) continue;
      const char* value = nullptr;
      if (option.TakesValue) {
        if (i + 1 >= argc) {
          std::printf("ERROR: option %s needs a value\n", option.Name);
          return CommandLineError;
        }
        current = value = argv[++i];
      }
      const int result = option.Apply(value);
      if (result != CommandLineContinue) return result;
    }
  }
  return CommandLineContinue;
}
