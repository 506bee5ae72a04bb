#pragma once
// Runs the nelk program for the tests, the robustness bench and the soak referee (header only, so
// the benches need no test library). Each run has a fresh temporary working directory for its
// "match.log". Input is written while output is read, so that neither side can stall the other
// however much either writes (a 100 000-character line, a flood of search output).
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace nelktest {

using FileList = std::vector<std::pair<std::string, std::string>>;   // name in the work dir, contents

inline long long NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Temporary directory removed with all its contents on destruction.
class TempDir {
public:
  TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/nelk-test-XXXXXX";
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  bool Write(const std::string& name, const std::string& contents) const {
    std::ofstream file(File(name), std::ios::binary);
    return static_cast<bool>(file << contents);
  }
  std::string Read(const std::string& name, bool* exists = nullptr) const {
    std::ifstream file(File(name), std::ios::binary);
    if (exists) *exists = static_cast<bool>(file);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }

private:
  std::string path_;
};

// The nelk program in the directory of the running program (argv[0]).
inline std::string EngineBesideProgram(const char* argv0) {
  const std::string self = argv0;
  const std::size_t slash = self.rfind('/');
  return (slash == std::string::npos ? std::string(".") : self.substr(0, slash)) + "/nelk";
}

#ifdef NELK_BINARY
constexpr const char* DefaultProgram = NELK_BINARY;
#else
constexpr const char* DefaultProgram = "nelk";
#endif

// A running nelk for dialogues: send lines, wait for text to appear, then end it.
class EngineProcess {
public:
  // Starts `program` at once in a fresh work dir, after writing `files` there.
  explicit EngineProcess(const std::vector<std::string>& args, const FileList& files = {},
                         const std::string& program = DefaultProgram) {
    signal(SIGPIPE, SIG_IGN);   // a program that ended early must not kill its driver with our next write
    for (const auto& file : files) dir_.Write(file.first, file.second);
    char resolved[PATH_MAX];   // the child changes into the work dir: a relative path must not depend on it
    std::vector<std::string> words{realpath(program.c_str(), resolved) != nullptr ? resolved : program};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    int pipes[3][2] = {{-1, -1}, {-1, -1}, {-1, -1}};   // a failed pipe2 leaves its pair at -1
    bool ready = !dir_.Path().empty();
    for (auto& p : pipes) ready = ready && pipe2(p, O_CLOEXEC) == 0;
    if (ready) pid_ = fork();
    if (pid_ == 0) ExecChild(argv.data(), pipes);
    in_ = pipes[0][1], out_ = pipes[1][0], err_ = pipes[2][0];
    for (int fd : {pipes[0][0], pipes[1][1], pipes[2][1]})
      if (fd >= 0) close(fd);
    for (int* fd : {&in_, &out_, &err_}) {
      if (pid_ < 0) Close(*fd);
      if (*fd >= 0) fcntl(*fd, F_SETFL, fcntl(*fd, F_GETFL) | O_NONBLOCK);
    }
  }
  ~EngineProcess() {
    for (int* fd : {&in_, &out_, &err_}) Close(*fd);
    if (pid_ > 0 && !exited_) kill(pid_, SIGKILL);
    Reap(true);
  }
  EngineProcess(const EngineProcess&) = delete;
  EngineProcess& operator=(const EngineProcess&) = delete;

  bool Started() const { return pid_ > 0; }
  int Pid() const { return pid_; }
  // Writes `line` and a newline, or `text` as it is; false when the program takes no more input.
  bool Send(const std::string& line) { return SendRaw(line + "\n"); }
  bool SendRaw(const std::string& text) {
    if (in_ >= 0) pending_ += text;
    Pump(InputTimeoutMs, [this] { return pending_.empty(); });
    return pending_.empty() && in_ >= 0;
  }
  // Reads output until `done(output)` holds, the output ends or the time is up.
  template <typename Done>
  bool WaitUntil(Done done, int timeoutMs) { return Pump(timeoutMs, [&] { return done(output_); }); }
  // Reads output until `pattern` appears after the previous match (or the start), and moves past it.
  bool WaitFor(const std::string& pattern, int timeoutMs = 10000) {
    std::size_t at = std::string::npos;
    if (!Pump(timeoutMs, [&] { return (at = output_.find(pattern, cursor_)) != std::string::npos; })) return false;
    cursor_ = at + pattern.size();
    return true;
  }
  std::size_t Cursor() const { return cursor_; }
  std::string Pending() const { return output_.substr(cursor_); }   // what the next WaitFor searches
  const std::string& Output() const { return output_; }
  const std::string& Errors() const { return errors_; }
  // Closes the input and waits for the end, reading output meanwhile. Returns the exit status, or -1
  // when the program was killed (by a signal, or after `timeoutMs`: TimedOut() tells which).
  int Wait(int timeoutMs = 10000) {
    if (pid_ <= 0) return -1;
    const long long deadline = NowMs() + timeoutMs;
    SendRaw("");
    pending_.clear();
    Close(in_);
    Pump(timeoutMs, [this] { return out_ < 0 && err_ < 0; });
    ReapWithin(deadline - NowMs());
    if (pid_ > 0 && !exited_) {
      timedOut_ = true;
      kill(pid_, SIGKILL);
      Reap(true);
    }
    return status_;
  }
  bool Exited() const { return exited_; }
  int Signal() const { return signal_; }
  bool TimedOut() const { return timedOut_; }
  std::string MatchLog(bool* exists = nullptr) const { return dir_.Read("match.log", exists); }

private:
  static constexpr int InputTimeoutMs = 10000;   // longest wait for the program to take our input
  static constexpr int ExitGraceMs = 1000;       // from the end of its output to the end of the program
  static constexpr int ReapPollUs = 5000;

  static void Close(int& fd) { fd = fd >= 0 ? (close(fd), -1) : -1; }

  // In the child after fork: only async-signal-safe calls until exec.
  [[noreturn]] void ExecChild(char** argv, const int (&pipes)[3][2]) {
    if (chdir(dir_.Path().c_str()) != 0) _exit(126);
    // Lift the pipe ends above 2 first: when the driver runs without standard streams, a pipe end may
    // itself be 0, 1 or 2 and would be overwritten or closed on exec. dup2 clears close-on-exec.
    const int ends[3] = {fcntl(pipes[0][0], F_DUPFD_CLOEXEC, 3), fcntl(pipes[1][1], F_DUPFD_CLOEXEC, 3),
                         fcntl(pipes[2][1], F_DUPFD_CLOEXEC, 3)};
    for (int stream = 0; stream < 3; stream++)
      if (ends[stream] < 0 || dup2(ends[stream], stream) < 0) _exit(125);
    execv(argv[0], argv);
    _exit(127);
  }

  // Moves pending input out and output into the buffers until `done` holds, the output has ended
  // or the time is up. A read of 0 bytes is the end of that output; EAGAIN is "nothing more now".
  template <typename Done>
  bool Pump(long long timeoutMs, Done done) {
    const long long deadline = NowMs() + timeoutMs;
    while (!done() && (out_ >= 0 || err_ >= 0) && NowMs() < deadline) {
      pollfd fds[3] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}, {pending_.empty() ? -1 : in_, POLLOUT, 0}};
      const long long left = deadline - NowMs();   // poll waits for ever on a negative time
      if (poll(fds, 3, static_cast<int>(left > 0 ? left : 0)) < 0 && errno != EINTR) break;
      char buffer[65536];
      for (int i = 0; i < 2; i++) {
        ssize_t n = 1;
        while (fds[i].revents != 0 && (n = read(fds[i].fd, buffer, sizeof buffer)) > 0)
          (i == 0 ? output_ : errors_).append(buffer, static_cast<std::size_t>(n));
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) Close(i == 0 ? out_ : err_);
      }
      ssize_t n = 1;
      while (fds[2].revents != 0 && !pending_.empty() && (n = write(in_, pending_.data(), pending_.size())) > 0)
        pending_.erase(0, static_cast<std::size_t>(n));
      if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {   // the program closed its input
        pending_.clear();
        Close(in_);
      }
    }
    if (out_ < 0 && err_ < 0) ReapWithin(ExitGraceMs);
    return done();
  }

  void Reap(bool block) {
    int status = 0, result = 0;
    if (pid_ <= 0 || exited_) return;
    do result = waitpid(pid_, &status, block ? 0 : WNOHANG);
    while (result < 0 && errno == EINTR);
    if (result != pid_) return;
    exited_ = true;
    if (WIFEXITED(status)) status_ = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) signal_ = WTERMSIG(status);
  }

  void ReapWithin(long long ms) {
    for (const long long deadline = NowMs() + ms; Reap(false), pid_ > 0 && !exited_ && NowMs() < deadline;)
      usleep(ReapPollUs);
  }

  TempDir dir_;
  int pid_ = -1, in_ = -1, out_ = -1, err_ = -1;
  std::string pending_, output_, errors_;
  std::size_t cursor_ = 0;
  bool exited_ = false, timedOut_ = false;
  int status_ = -1, signal_ = 0;
};

struct EngineRun {
  std::string Output, Errors;   // everything written to standard output and standard error
  int ExitStatus = -1;          // -1 when killed by a signal or the time limit
  bool TimedOut = false, MatchLogExists = false;
  std::string MatchLog;         // contents of match.log in the work dir
};

// Runs nelk with `args`, feeds `input` to its standard input and then closes it, and waits at most
// `timeoutMs` for it to end. `files` are written into the work dir first.
inline EngineRun RunEngine(const std::vector<std::string>& args, const std::string& input = "",
                           int timeoutMs = 60000, const FileList& files = {}) {
  EngineProcess process(args, files);
  process.SendRaw(input);
  const int status = process.Wait(timeoutMs);
  EngineRun run{process.Output(), process.Errors(), status, process.TimedOut(), false, ""};
  run.MatchLog = process.MatchLog(&run.MatchLogExists);
  return run;
}

}  // namespace nelktest
