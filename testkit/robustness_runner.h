#pragma once
// Running one random stream (robustness_streams.h) and judging the result, in two ways: in process,
// a child of the caller drives the handlers (robustness_driver.h) with the stream as its standard
// input and checks the board after every command; in the engine, the nelk program gets the stream
// through a pipe and must then still answer "isready" / "ping", or have exited cleanly on "quit" or
// the end of input. Both fail on a crash, a hang, a sanitizer report or an internal-error line.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "RunEngine.h"
#include "Text.h"
#include "robustness_driver.h"
#include "robustness_streams.h"

namespace robustness {

struct Verdict {
  bool Passed = true;
  std::string Reason;   // why it failed
};

constexpr std::size_t ErrorsShown = 800;
constexpr int ChildFaultStatus = 3;   // a check failed; the reason is on standard error
constexpr int ChildSetupStatus = 4;   // the child could not prepare its input or output
constexpr int ChildPollUs = 2000;
constexpr int PingNumber = 424242;

// Passed when `failure` is empty; else the reason names the stream and shows the start of `errors`.
inline Verdict Judge(const Stream& s, const char* where, const std::string& failure, const std::string& errors) {
  if (failure.empty()) return {};
  const std::string shown = errors.empty() ? "" : "\nstandard error: " + errors.substr(0, ErrorsShown);
  return {false, std::string(ModeName(s.Kind)) + " stream, seed " + std::to_string(s.Seed) + where + failure + shown};
}

// The fault in how a process ended (a signal or an exit status) or in what it wrote; empty when none.
inline std::string EndFault(bool signalled, int number, const std::string& output, const std::string& errors) {
  if (signalled) return "killed by signal " + std::to_string(number);
  if (number != 0) return "exit status " + std::to_string(number);
  if (const char* marker = SanitizerReportIn(errors)) return std::string("sanitizer report: ") + marker;
  if (const char* marker = InternalErrorIn(output)) return std::string("internal error line: ") + marker;
  return "";
}

[[noreturn]] inline void ChildFault(const char* what, const std::string& detail) {
  std::fprintf(stderr, "check failed: %s %s\n", what, detail.c_str());
  std::fflush(stderr);
  std::_Exit(ChildFaultStatus);
}

// "quit" ends the process through exit(): the state is checked there too.
inline void CheckAtExit() {
  if (const char* what = GameStateFault(MainBoard, false, true)) ChildFault(what, "at exit");
}

// The child's side, in the work dir: the stream without its first line (the word that chose the
// mode) is standard input, standard output and error go to files.
[[noreturn]] inline void RunChild(const Stream& s, const nelktest::TempDir& dir) {
  const std::size_t firstLine = std::min(s.Text.find('\n'), s.Text.size());
  const bool written = dir.Write("in", s.Text.substr(firstLine + (firstLine < s.Text.size())));
  const int in = open(dir.File("in").c_str(), O_RDONLY);
  const int out = open(dir.File("out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  const int err = open(dir.File("err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (!written || in < 0 || out < 0 || err < 0 || chdir(dir.Path().c_str()) != 0) std::_Exit(ChildSetupStatus);
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
  const nelktest::TempDir dir;   // the child ends with _Exit: only this process removes it
  std::fflush(stdout);
  std::fflush(stderr);
  const pid_t pid = fork();
  if (pid == 0) RunChild(s, dir);
  if (pid < 0) return Judge(s, " in process: ", "cannot fork", "");
  int status = 0;
  bool ended = false;
  for (const long long end = nelktest::NowMs() + timeoutMs; !ended && nelktest::NowMs() < end; usleep(ChildPollUs))
    ended = waitpid(pid, &status, WNOHANG) == pid;
  if (!ended) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
  }
  const std::string err = dir.Read("err");
  const bool signalled = WIFSIGNALED(status);
  const std::string failure = !ended ? "no end within " + std::to_string(timeoutMs) + " ms (hang)"
                                     : EndFault(signalled, signalled ? WTERMSIG(status) : WEXITSTATUS(status), dir.Read("out"), err);
  return Judge(s, " in process: ", failure, err);
}

// The lines of a UCI stream that ask "isready", read as the engine reads them: carriage returns
// dropped, a line cut at its first NUL byte and at the handler's line size, the first blank-separated
// word compared. The first line is the word that chose the protocol.
inline int ReadyRequests(const std::string& text) {
  int count = 0;
  for (std::size_t start = text.find('\n'); start != std::string::npos && start + 1 < text.size();) {
    const std::size_t end = text.find('\n', start + 1);
    std::string kept;
    for (std::size_t i = start + 1; i < std::min(end, text.size()) && text[i] != '\0'; i++)
      if (text[i] != '\r' && static_cast<int>(kept.size()) < UciLineSize - 1) kept += text[i];
    const std::string word = FirstUciWord(kept.c_str());
    if (word == "quit") break;
    count += word == "isready";
    start = end;
  }
  return count;
}

// What the engine still owes at the end of an open stream, after a trailer that ends whatever the
// stream left running: a search ("stop", "?"), analysis or self-play ("new"), force or edit mode
// ("."), a command still reading its arguments (". . ." and the newline), the lines kept during a
// search (one "stop" each). Empty when it answered.
inline std::string MissingAnswer(const Stream& s, nelktest::EngineProcess& engine, int replyMs) {
  if (SpeaksUci(s.Kind)) {
    std::string trailer = "\n";
    for (int i = 0; i <= UciDeferredLines + 1; i++) trailer += "stop\n";
    const int owed = ReadyRequests(s.Text + trailer + "isready\n");
    engine.SendRaw(trailer + "isready\n");
    if (engine.WaitUntil([&](const std::string& out) { return nelktest::Count(out, "readyok") >= owed; }, replyMs)) return "";
    return "no answer to isready (" + std::to_string(nelktest::Count(engine.Output(), "readyok")) + " of " +
           std::to_string(owed) + " readyok)";
  }
  engine.SendRaw("\n. . . . . . . .\n?\nnew\nforce\nping " + std::to_string(PingNumber) + "\n");
  if (engine.WaitFor("pong " + std::to_string(PingNumber), replyMs)) return "";
  // At the console the end of a game ends the program: that is a clean end too.
  if (engine.Exited()) return s.Kind == Mode::Console ? "" : "ended without quit";
  return "no answer to ping";
}

inline Verdict RunStreamInEngine(const std::string& program, const Stream& s, int replyMs) {
  nelktest::EngineProcess engine({}, {}, program);
  if (!engine.Started()) return Judge(s, " in the engine: ", "cannot start " + program, "");
  engine.SendRaw(s.Text);
  std::string failure = s.End == Ending::Open ? MissingAnswer(s, engine, replyMs) : "";
  if (s.End == Ending::Open && !engine.Exited()) engine.Send("quit");
  if (s.End != Ending::EndOfInput) {   // "quit" must end it with the input still open
    engine.WaitUntil([](const std::string&) { return false; }, replyMs);
    if (failure.empty() && !engine.Exited()) failure = "no exit after quit (hang)";
  }
  const int status = engine.Wait(replyMs);
  if (failure.empty() && engine.TimedOut()) failure = "no exit after the end of input (hang)";
  const std::string end = EndFault(engine.Signal() != 0, engine.Signal() ? engine.Signal() : status, engine.Output(), engine.Errors());
  if (!end.empty()) failure += failure.empty() ? end : " (" + end + ")";
  return Judge(s, " in the engine: ", failure, engine.Errors());
}

}  // namespace robustness
