// Fuzz target: the xboard and console command interpreter. The input is read word by word as move
// entry reads it; every word goes to DoCommand (which reads its own arguments), a word shaped like a
// move is played through move entry when it is legal, and whenever the engine is to move it thinks
// with a small depth limit, its move checked for legality. The game state is checked after every
// word. The first byte chooses xboard (odd) or console (even) mode.
#include <string>

#include "FuzzSupport.h"
#include "testkit/robustness_driver.h"

namespace {

// Ends any command still waiting for arguments ("level", "dumpsee"), a line ("setboard", "name")
// or the end of edit mode, so that the interpreter never waits for input that will not come.
constexpr const char* Trailer = "\n. . . . . . . .\n";
constexpr int MaxThinkDepth = 2;
constexpr int MaxEngineMovesPerInput = 16;   // self-play is cut short
constexpr int FuzzNodesPerSecond = 2000;     // polls every thousand nodes: commands reach the search

void ResetInterpreter(bool xboard) {
  MainStatus.initVars();
  MainStatus.UCIMode = 0;
  MainStatus.xboard = xboard ? 1 : 0;
  Commands.ProtocolVersion = 1;
  Commands.Searching = 0;
  Commands.QuitRequested = 0;
  Commands.HasPendingMove = 0;
  Commands.FixedTimeSaved = 0;
  StartNewGame();
  MainStatus.NodesPerSecond = FuzzNodesPerSecond;
}

[[noreturn]] void Fault(const char* what, const std::string& detail) { fuzz::Fail(what, detail); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0 || size > fuzz::MaxInputSize / 4) return 0;
  fuzz::StartEngineOnce();
  fuzz::Output.Clear();
  ResetInterpreter(data[0] & 1);
  fuzz::Input.Feed(std::string(reinterpret_cast<const char*>(data + 1), size - 1) + Trailer);
  robustness::XboardLimits limits;
  limits.ThinkDepth = MaxThinkDepth;
  limits.MaxEngineMoves = MaxEngineMovesPerInput;
  robustness::XboardDriver(Fault, limits).Run();
  // After "quit" the rest of the input is dropped, as the engine would never read it.
  char word[CommandWordSize];
  while (InputPending() && ReadWord(word, sizeof word) >= 0) {
  }
  fuzz::Output.Scan(fuzz::MarkerPlace::Anywhere);
  return 0;
}
