// Fuzz target: the UCI command handler. The input is a sequence of command lines, dispatched one by
// one as the handler's own loop does (lines kept during a search first), with the game state
// checked after every line. Two rewrites keep each input short and the process alive: "quit" lines
// are dropped (quit ends the process), and every "go" line gets a depth or a short move time
// appended (later limits override earlier ones), so that searches end by themselves. Plenty of
// "stop" lines behind the input end analysis and ponder searches.
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "testkit/robustness_driver.h"

namespace {

constexpr int ExtraStops = 8;
constexpr int MoveTimeChoices = 20;
constexpr int DepthChoices = 3;
// A low node-rate estimate makes the search poll its input often, so that lines arriving during a
// search reach the handler there too.
constexpr int FuzzNodesPerSecond = 20000;

std::string FirstWord(const std::string& line) {
  char word[UciWordSize];
  int position = 0;
  NextWord(line.c_str(), &position, word, sizeof word);
  return word;
}

std::string BoundedSearch(const std::string& line) {
  const unsigned choice = static_cast<unsigned>(line.size());
  if (choice % 2 == 0) return line + " depth " + std::to_string(1 + choice / 2 % DepthChoices);
  return line + " movetime " + std::to_string(1 + choice / 2 % MoveTimeChoices);
}

// The input as the lines to feed; NUL bytes stay (the handler sees the line up to the first one),
// carriage returns go (the engine's line reader drops them, so "qu\rit" would be "quit").
std::vector<std::string> Lines(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> lines(1);
  for (std::size_t i = 0; i < size; i++) {
    if (data[i] == '\n') lines.emplace_back();
    else if (data[i] != '\r') lines.back() += static_cast<char>(data[i]);
  }
  return lines;
}

void ResetHandler() {
  UCI.State = UCIProtocol::WAITING;
  UCI.InSearch = 0;
  UCI.StopRequested = 0;
  UCI.DeferredCount = 0;
  UCI.PonderOption = 0;
  UCI.AnalyseOption = 0;
  UCI.SearchMoveCount = 0;
  MainStatus.initVars();
  MainStatus.UCIMode = 1;
  MainStatus.xboard = 0;
  // "position startpos" rather than a new game: clearing the transposition table for every input
  // would make the fuzzer ten times slower.
  std::snprintf(UCI.CommandLine, sizeof UCI.CommandLine, "position startpos");
  UCI.Dispatch(false);
  MainStatus.NodesPerSecond = FuzzNodesPerSecond;
}

[[noreturn]] void Fault(const char* what, const std::string& detail) { fuzz::Fail(what, detail); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > fuzz::MaxInputSize / 4) return 0;
  fuzz::StartEngineOnce();
  fuzz::Output.Clear();
  ResetHandler();
  std::string feed;
  int lineCount = 0;
  for (const std::string& line : Lines(data, size)) {
    const std::string command = FirstWord(line);
    if (command == "quit") continue;
    feed += (command == "go" ? BoundedSearch(line) : line) + "\n";
    lineCount++;
  }
  for (int i = 0; i < lineCount + ExtraStops; i++) feed += "stop\n";
  fuzz::Input.Feed(feed);
  robustness::DriveUci(Fault);
  if (UCI.State != UCIProtocol::WAITING || UCI.InSearch) fuzz::Fail("the handler is still busy after the input");
  fuzz::Output.Scan(fuzz::MarkerPlace::LineStart);
  return 0;
}
