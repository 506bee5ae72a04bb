// Raw standard input and the poll step of the search. Each case runs in a child process whose
// standard input is a pipe holding the given text (then closed), since the input state lasts for
// the whole process.
#include <unistd.h>
#include <cstdlib>
#include <cstring>
#include <string>
#include "engine/Clock.h"
#include "protocol/UCIProtocol.h"
#include "search/Input.h"
#include "search/SearchTestSupport.h"

using namespace searchtest;

namespace {

// In the child: standard input becomes a pipe whose write end is returned.
int PipeIntoStandardInput() {
  int fds[2];
  if (pipe(fds) != 0 || dup2(fds[0], 0) < 0) std::_Exit(90);
  close(fds[0]);
  return fds[1];
}

void WriteAll(int fd, const std::string& text) {
  if (write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size())) std::_Exit(91);
}

// In the child: makes `text` the whole of standard input.
void FeedStandardInput(const std::string& text) {
  const int fd = PipeIntoStandardInput();
  WriteAll(fd, text);
  close(fd);
}

// Ends the child with the number of the first failed check (0 once all have held).
#define CHILD_CHECK(n, condition) do { if (!(condition)) std::_Exit(n); } while (0)

void WordsAndBounds() {
  FeedStandardInput(std::string(300, 'x') + " next\r\n\tgo\r\n");
  char word[8];
  std::memset(word, '#', sizeof word);
  CHILD_CHECK(1, InputPending());
  CHILD_CHECK(2, ReadWord(word, sizeof word) == 7 && std::strcmp(word, "xxxxxxx") == 0);
  CHILD_CHECK(4, ReadWord(word, sizeof word) == 4 && std::strcmp(word, "next") == 0);
  CHILD_CHECK(5, ReadWord(word, sizeof word) == 2 && std::strcmp(word, "go") == 0);
  CHILD_CHECK(6, ReadWord(word, sizeof word) == -1 && word[0] == '\0');
  CHILD_CHECK(7, InputClosed() && InputPending());
}

void LinesAndDiscard() {
  FeedStandardInput("position startpos moves e2e4\r\n\nabc def ghi\nlast\n" + std::string(100, 'y'));
  char line[12];
  CHILD_CHECK(1, ReadLine(line, sizeof line) == 11 && std::strcmp(line, "position st") == 0);
  CHILD_CHECK(2, ReadLine(line, sizeof line) == 0 && line[0] == '\0');
  CHILD_CHECK(3, ReadWord(line, sizeof line) == 3 && std::strcmp(line, "abc") == 0);
  DiscardPendingLine();
  CHILD_CHECK(4, ReadWord(line, sizeof line) == 4 && std::strcmp(line, "last") == 0);
  CHILD_CHECK(5, ReadLine(line, sizeof line) == 0);   // the rest of "last"'s line
  CHILD_CHECK(6, ReadLine(line, sizeof line) == 11);  // a last line without newline
  CHILD_CHECK(7, ReadLine(line, sizeof line) == -1 && InputClosed());
  CHILD_CHECK(8, ReadWord(nullptr, 5) == -1 && ReadLine(line, 0) == -1);
}

// Only blanks left behind a word are no pending command; new bytes on the descriptor are.
void LeftoverBlanksAreNoPendingInput() {
  const int fd = PipeIntoStandardInput();
  WriteAll(fd, "go \r\n");
  char word[8];
  CHILD_CHECK(1, ReadWord(word, sizeof word) == 2);
  CHILD_CHECK(2, !InputPending());
  WriteAll(fd, "stop\n");
  CHILD_CHECK(3, InputPending());
  CHILD_CHECK(4, ReadWord(word, sizeof word) == 4 && std::strcmp(word, "stop") == 0);
}

void ConsoleGameNeverReads() {
  FeedStandardInput("quit\n");
  InitEngineOnce();
  MainStatus.xboard = MainStatus.UCIMode = 0;
  CHILD_CHECK(1, Search.InputDetected() == 0);
  MainStatus.Analyze = 1;   // only the user can end a console analysis
  CHILD_CHECK(2, Search.InputDetected() != 0);
  MainStatus.Analyze = 0;
  MainStatus.xboard = 1;
  CHILD_CHECK(3, Search.InputDetected() != 0);
}

// An xboard search, or a UCI one in the state that "go" leaves it in, at its first poll.
void EnterSearch(bool uci, std::uint8_t state) {
  SetPosition("4k3/8/8/8/8/8/8/Q3K3 w - - 0 1");
  MainStatus.xboard = !uci;
  MainStatus.UCIMode = uci;
  UCI.State = state;
  UCI.InSearch = uci;
  Search.InitValues();
  Search.NpsMeasured = 0;
  Search.NodesPerMove = 1000000;
  Search.Nodes = Search.QNodes = 0;
}

// A word that arrives during an xboard search is handed to the command handler, and the rest of
// its line is dropped; a handler that does not ask for an abort lets the search go on.
void PollHandsOverOneWordAndDropsTheLine() {
  FeedStandardInput("otim 1234\nnext\n");
  EnterSearch(false, 0);
  CHILD_CHECK(1, Search.PollInput(4, 2));
  CHILD_CHECK(2, Search.PollDepth == 4 && Search.PollPly == 2 && !Search.Aborted);
  char word[16];
  CHILD_CHECK(4, ReadWord(word, sizeof word) == 4 && std::strcmp(word, "next") == 0);
}

// The front end closing its end while the engine searches ends the search instead of polling a
// closed input for ever.
void EndOfInputWhileSearchingAborts() {
  FeedStandardInput("");
  SetPosition("r1bqk2r/pp2bppp/2p5/3pP3/P2Q1P2/2N1B3/1PP3PP/R4RK1 b kq - 0 1");
  MainStatus.xboard = 1;
  MainStatus.ST = 100;   // long enough that only the input can end it early
  SearchTo(0);
  CHILD_CHECK(1, Search.Aborted && Search.StopSearch && InputClosed());
}

// "ponderhit" starts the engine's clock: the wall-clock limits count from that poll on.
void PonderhitStartsTheClock() {
  FeedStandardInput("ponderhit\n");
  EnterSearch(true, UCIProtocol::PONDERING);
  MainStatus.Pondering = 1;
  Search.ClockStartMs = -100000;
  Search.Nodes = 5000000;   // pondered: the node budget must not count these
  const int before = NowMs();
  CHILD_CHECK(1, Search.PollInput(4, 2));
  CHILD_CHECK(2, !MainStatus.Pondering && !Search.Aborted);
  CHILD_CHECK(3, Search.ClockStartMs >= before && Search.BudgetNodes() == 0);
}

// A long "position" line arriving during a search reaches the handler whole, to be carried out
// after the search.
void LongLineDuringASearchIsKeptWhole() {
  std::string line = "position startpos moves";
  while (line.size() < 3000) line += " g1f3 g8f6 f3g1 f6g8";
  FeedStandardInput(line + "\n");
  EnterSearch(true, UCIProtocol::SEARCHING);
  CHILD_CHECK(1, !Search.PollInput(4, 2) && Search.Aborted);
  CHILD_CHECK(2, UCI.DeferredCount == 1 && line == UCI.DeferredLines[0]);
}

}  // namespace

TEST(InputDeathTest, EachCaseInAFreshProcess) {
  const std::pair<const char*, void (*)()> cases[] = {
      {"words are bounded and a carriage return is blank", WordsAndBounds},
      {"lines are bounded and discard drops the rest of a line", LinesAndDiscard},
      {"leftover blanks are no pending input", LeftoverBlanksAreNoPendingInput},
      {"a console game never reads but a console analysis does", ConsoleGameNeverReads},
      {"the poll hands over one word and drops the line", PollHandsOverOneWordAndDropsTheLine},
      {"the end of input while searching aborts", EndOfInputWhileSearchingAborts},
      {"ponderhit starts the clock", PonderhitStartsTheClock},
      {"a long line during a search is kept whole", LongLineDuringASearchIsKeptWhole}};
  for (const auto& [name, run] : cases) EXPECT_EXIT({ run(); std::_Exit(0); }, ::testing::ExitedWithCode(0), "") << name;
}
