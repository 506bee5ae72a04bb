#pragma once
// Running one random stream (robustness_streams.h) and judging the result, in two ways:
//   in process: a child of the test process has the stream as its standard input and drives the
//     handlers directly (robustness_driver.h), checking the board after every command;
//   in the engine: the nelk program gets the stream through a pipe and must then still answer
//     "isready" / "ping", or have exited cleanly on "quit" or the end of input.
// Both fail on a crash, a hang, a sanitizer report or an internal-error line of the engine.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "robustness_driver.h"
#include "robustness_process.h"
#include "robustness_streams.h"

namespace robustness {

struct Verdict {
  bool Passed = true;
  std::string Reason;   // why it failed
};

inline Verdict Failed(const std::string& reason) { return Verdict{false, reason}; }

inline std::string Describe(const Stream& s) {
  return std::string(ModeName(s.Kind)) + " stream, seed " + std::to_string(s.Seed);
}

inline std::string ReadFile(const std::string& path) {
  std::string text;
  if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
    std::fclose(file);
  }
  return text;
}

inline bool WriteFile(const std::string& path, const std::string& text) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  return std::fclose(file) == 0 && written;
}

// ---------------------------------------------------------------------------------------------
// In process.

constexpr int ChildFaultStatus = 3;     // a check failed; the reason is on standard error
constexpr int ChildSetupStatus = 4;     // the child could not prepare its input or output

[[noreturn]] inline void ChildFault(const char* what, const std::string& detail) {
  std::fprintf(stderr, "%s %s\n", what, detail.c_str());
  std::fflush(stderr);
  std::_Exit(ChildFaultStatus);
}

// "quit" ends the process through exit(): the state is checked there too.
inline void CheckAtExit() {
  if (const char* what = GameStateFault(MainBoard, false, true)) ChildFault(what, "at exit");
}

// The child's side: the stream without its first line (the word that chose the mode) is standard
// input, standard output and error go to files.
[[noreturn]] inline void RunChild(const Stream& s, const std::string& input, const std::string& output,
                                  const std::string& errors) {
  const std::size_t firstLine = s.Text.find('\n');
  const std::string rest = firstLine == std::string::npos ? "" : s.Text.substr(firstLine + 1);
  if (!WriteFile(input, rest)) std::_Exit(ChildSetupStatus);
  const int in = open(input.c_str(), O_RDONLY);
  const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  const int err = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (in < 0 || out < 0 || err < 0) std::_Exit(ChildSetupStatus);
  std::fflush(stdout);
  dup2(in, 0);
  dup2(out, 1);
  dup2(err, 2);
  StartEngineState();
  std::atexit(CheckAtExit);
  if (SpeaksUci(s.Kind)) {
    DriveUci(ChildFault);
  } else {
    MainStatus.xboard = s.Kind == Mode::Console ? 0 : 1;
    StartNewGame();
    XboardDriver(ChildFault, XboardLimits{}).Run();
  }
  CheckAtExit();
  std::fflush(stdout);
  std::_Exit(0);
}

inline Verdict RunStreamInProcess(const Stream& s, int timeoutMs) {
  char pattern[] = "/tmp/nelk-inproc-XXXXXX";
  if (mkdtemp(pattern) == nullptr) return Failed("no temporary directory");
  const std::string dir = pattern, input = dir + "/in", output = dir + "/out", errors = dir + "/err";
  std::fflush(stdout);
  std::fflush(stderr);
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.c_str()) != 0) std::_Exit(ChildSetupStatus);
    RunChild(s, input, output, errors);
  }
  int status = 0;
  bool ended = false;
  for (const long long end = NowMilliseconds() + timeoutMs; NowMilliseconds() < end;) {
    if (waitpid(pid, &status, WNOHANG) == pid) {
      ended = true;
      break;
    }
    usleep(2000);
  }
  if (!ended) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
  }
  const std::string out = ReadFile(output), err = ReadFile(errors);
  for (const std::string& file : {input, output, errors, dir + "/match.log"}) unlink(file.c_str());
  rmdir(dir.c_str());
  Verdict v;
  if (!ended) v = Failed("no end within " + std::to_string(timeoutMs) + " ms (hang)");
  else if (WIFSIGNALED(status)) v = Failed("killed by signal " + std::to_string(WTERMSIG(status)) + ": " + err.substr(0, 600));
  else if (WEXITSTATUS(status) == ChildFaultStatus) v = Failed("check failed: " + err.substr(0, 600));
  else if (WEXITSTATUS(status) != 0) v = Failed("exit status " + std::to_string(WEXITSTATUS(status)) + ": " + err.substr(0, 600));
  else if (const char* marker = SanitizerReportIn(err)) v = Failed(std::string("sanitizer report: ") + marker);
  else if (const char* marker = InternalErrorIn(out)) v = Failed(std::string("internal error line: ") + marker);
  if (!v.Passed) v.Reason = Describe(s) + " in process: " + v.Reason;
  return v;
}

// ---------------------------------------------------------------------------------------------
// In the engine.

struct EngineTimes {
  int ReplyMs = 30000;   // longest wait for the answer to the closing "isready" or "ping"
  int ExitMs = 30000;    // longest wait for the end after "quit" or the end of input
};

constexpr int PingNumber = 424242;

// Ends whatever the stream left running: a search ("stop", "?"), analysis ("new"), self-play
// ("new"), force mode or edit mode ("."), a command still reading its arguments (". . ." and the
// newline) and every line kept during a search (one "stop" each).
inline std::string UciTrailer() {
  std::string text = "\n";
  for (int i = 0; i <= UciDeferredLines + 1; i++) text += "stop\n";
  return text + "isready\n";
}

inline std::string XboardTrailer() { return "\n. . . . . . . .\n?\nnew\nforce\nping " + std::to_string(PingNumber) + "\n"; }

// The lines of a UCI stream that ask "isready", read as the engine reads them: carriage returns
// dropped, a line cut at its first NUL byte and at the handler's line size, the first blank-separated
// word compared. The first line is the word that chose the protocol.
inline int ReadyRequests(const std::string& text) {
  int count = 0;
  std::size_t start = text.find('\n');
  while (start != std::string::npos && start + 1 < text.size()) {
    const std::size_t end = text.find('\n', start + 1);
    std::string line = text.substr(start + 1, (end == std::string::npos ? text.size() : end) - start - 1);
    std::string kept;
    for (char c : line) {
      if (c == '\0') break;
      if (c != '\r' && static_cast<int>(kept.size()) < UciLineSize - 1) kept += c;
    }
    if (FirstUciWord(kept.c_str()) == "isready") count++;
    if (FirstUciWord(kept.c_str()) == "quit") break;
    start = end;
  }
  return count;
}

inline int Occurrences(const std::string& text, const std::string& part) {
  int n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) n++;
  return n;
}

inline Verdict JudgeEngine(const Stream& s, EngineSession& engine, bool exitedCleanly, const std::string& failure) {
  Verdict v;
  if (!failure.empty()) v = Failed(failure + (engine.Exited() ? " (exit status " + std::to_string(engine.ExitStatus()) + ", signal " + std::to_string(engine.Signal()) + ")" : ""));
  else if (engine.Signal() != 0) v = Failed("killed by signal " + std::to_string(engine.Signal()));
  else if (engine.Exited() && engine.ExitStatus() != 0) v = Failed("exit status " + std::to_string(engine.ExitStatus()));
  else if (!exitedCleanly) v = Failed("did not end cleanly");
  if (const char* marker = SanitizerReportIn(engine.Errors())) v = Failed(std::string("sanitizer report: ") + marker);
  if (const char* marker = InternalErrorIn(engine.Output())) v = Failed(std::string("internal error line: ") + marker);
  if (!v.Passed) {
    v.Reason = Describe(s) + " in the engine: " + v.Reason;
    const std::size_t errorsShown = 800;
    if (!engine.Errors().empty()) v.Reason += "\nstandard error: " + engine.Errors().substr(0, errorsShown);
  }
  return v;
}

inline Verdict RunStreamInEngine(const std::string& program, const Stream& s, const EngineTimes& times = {}) {
  EngineSession engine(program);
  if (!engine.Started()) return Failed("cannot start " + program);
  engine.Send(s.Text);
  if (s.End != Ending::Open) {
    if (s.End == Ending::EndOfInput) engine.CloseInput();
    const bool ended = engine.WaitForExit(times.ExitMs);
    return JudgeEngine(s, engine, ended, ended ? "" : "no exit after quit or the end of input (hang)");
  }
  std::string failure;
  if (SpeaksUci(s.Kind)) {
    const std::string trailer = UciTrailer();
    const int expected = ReadyRequests(s.Text + trailer);
    engine.Send(trailer);
    if (!engine.WaitUntil([&](const std::string& out) { return Occurrences(out, "readyok") >= expected; }, times.ReplyMs))
      failure = "no answer to isready (" + std::to_string(Occurrences(engine.Output(), "readyok")) + " of " +
                std::to_string(expected) + " readyok)";
  } else {
    engine.Send(XboardTrailer());
    const std::string pong = "pong " + std::to_string(PingNumber);
    const bool answered = engine.WaitFor(pong, 0, times.ReplyMs) != std::string::npos;
    // At the console the end of a game ends the program: that is a clean end too.
    const bool consoleEnded = s.Kind == Mode::Console && engine.Exited() && engine.ExitStatus() == 0;
    if (!answered && !consoleEnded) failure = engine.Exited() ? "ended without quit" : "no answer to ping";
  }
  if (!engine.Exited()) engine.Send("quit\n");
  const bool ended = engine.WaitForExit(times.ExitMs);
  if (failure.empty() && !ended) failure = "no exit after quit (hang)";
  return JudgeEngine(s, engine, ended, failure);
}

}  // namespace robustness
