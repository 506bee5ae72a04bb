#pragma once
// A nelk process driven through pipes, for the robustness tests, the robustness bench and the soak
// referee. Input is written without blocking while output is read, so that neither side can stall
// the other however much either writes (a 100 000-character line, a flood of search output). Each
// process runs in its own temporary working directory, where it writes its match log.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace robustness {

// The markers of faults in the engine's output: its own internal-error lines on standard output,
// the sanitizers' reports on standard error.
inline const char* InternalErrorIn(const std::string& output) {
  for (const char* marker : {"Major Error", "MAJOR ERROR", "Major problem"})
    if (output.find(marker) != std::string::npos) return marker;
  return nullptr;
}

inline const char* SanitizerReportIn(const std::string& errors) {
  for (const char* marker : {"AddressSanitizer", "LeakSanitizer", "UndefinedBehaviorSanitizer", "runtime error:"})
    if (errors.find(marker) != std::string::npos) return marker;
  return nullptr;
}

inline long long NowMilliseconds() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

class EngineSession {
public:
  EngineSession(const std::string& program, const std::vector<std::string>& args = {}) {
    std::signal(SIGPIPE, SIG_IGN);   // an engine that has gone must not take its driver along
    char pattern[] = "/tmp/nelk-robust-XXXXXX";
    if (mkdtemp(pattern) != nullptr) dir_ = pattern;
    int in[2], out[2], err[2];
    if (dir_.empty() || pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) return;
    // The child changes into the work directory first: a relative path must not depend on it.
    char resolved[PATH_MAX];
    const std::string path = realpath(program.c_str(), resolved) != nullptr ? resolved : program;
    pid_ = fork();
    if (pid_ == 0) RunChild(path, args, in, out, err);
    close(in[0]);
    close(out[1]);
    close(err[1]);
    in_ = in[1];
    out_ = out[0];
    err_ = err[0];
    for (int fd : {in_, out_, err_}) fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
  }

  ~EngineSession() {
    if (pid_ > 0 && !exited_) {
      kill(pid_, SIGKILL);
      Reap(true);
    }
    for (int fd : {in_, out_, err_})
      if (fd >= 0) close(fd);
    if (!dir_.empty()) {
      std::string log = dir_ + "/match.log";
      unlink(log.c_str());
      rmdir(dir_.c_str());
    }
  }

  EngineSession(const EngineSession&) = delete;
  EngineSession& operator=(const EngineSession&) = delete;

  bool Started() const { return pid_ > 0; }
  int Pid() const { return pid_; }
  const std::string& Output() const { return output_; }
  const std::string& Errors() const { return errors_; }
  bool Exited() const { return exited_; }
  int ExitStatus() const { return exitStatus_; }   // -1 unless it exited normally
  int Signal() const { return signal_; }

  // Queues text for the engine's input; it is written while output is pumped.
  void Send(const std::string& text) {
    pending_ += text;
    Pump(0);
  }

  void CloseInput() {
    pending_.clear();
    if (in_ >= 0) close(in_);
    in_ = -1;
  }

  // Pumps input and output until `done(output)` holds, the process ends or the time is up.
  template <typename Done>
  bool WaitUntil(Done done, int timeoutMs) {
    const long long end = NowMilliseconds() + timeoutMs;
    for (;;) {
      if (done(output_)) return true;
      const long long left = end - NowMilliseconds();
      if (left <= 0 || exited_) return done(output_);
      Pump(static_cast<int>(left < PollSliceMs ? left : PollSliceMs));
    }
  }

  // Waits for `text` to appear at or after output position `from`; returns its position or npos.
  std::size_t WaitFor(const std::string& text, std::size_t from, int timeoutMs) {
    std::size_t at = std::string::npos;
    WaitUntil([&](const std::string& out) { return (at = out.find(text, from)) != std::string::npos; }, timeoutMs);
    return at;
  }

  // Waits for the end of the process; false (and the process killed) when it does not end in time.
  bool WaitForExit(int timeoutMs) {
    WaitUntil([this](const std::string&) { return exited_; }, timeoutMs);
    if (exited_) {
      Drain();
      return true;
    }
    kill(pid_, SIGKILL);
    Reap(true);
    return false;
  }

  // The peak resident memory of the running process in KiB (VmHWM), 0 when it cannot be read.
  long PeakMemoryKb() const {
    const std::string path = "/proc/" + std::to_string(pid_) + "/status";
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr) return 0;
    char line[256];
    long kb = 0;
    while (std::fgets(line, sizeof line, file) != nullptr)
      if (std::strncmp(line, "VmHWM:", 6) == 0) kb = std::strtol(line + 6, nullptr, 10);
    std::fclose(file);
    return kb;
  }

private:
  static constexpr int PollSliceMs = 20;
  static constexpr int ChunkSize = 65536;

  [[noreturn]] void RunChild(const std::string& program, const std::vector<std::string>& args, int* in, int* out,
                             int* err) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    dup2(err[1], 2);
    for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) close(fd);
    if (chdir(dir_.c_str()) != 0) _exit(126);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }

  void Pump(int timeoutMs) {
    pollfd fds[3];
    int n = 0;
    fds[n++] = {out_, POLLIN, 0};
    fds[n++] = {err_, POLLIN, 0};
    if (in_ >= 0 && !pending_.empty()) fds[n++] = {in_, POLLOUT, 0};
    poll(fds, static_cast<nfds_t>(n), timeoutMs);
    Read(out_, output_);
    Read(err_, errors_);
    Write();
    Reap(false);
  }

  void Read(int fd, std::string& into) {
    char buffer[ChunkSize];
    for (;;) {
      const ssize_t got = read(fd, buffer, sizeof buffer);
      if (got <= 0) return;
      into.append(buffer, static_cast<std::size_t>(got));
    }
  }

  void Write() {
    while (in_ >= 0 && !pending_.empty()) {
      const ssize_t put = write(in_, pending_.data(), pending_.size());
      if (put <= 0) {
        if (put < 0 && errno == EPIPE) pending_.clear();   // the engine has gone; its exit tells the rest
        return;
      }
      pending_.erase(0, static_cast<std::size_t>(put));
    }
  }

  void Drain() {
    Read(out_, output_);
    Read(err_, errors_);
  }

  void Reap(bool block) {
    if (exited_ || pid_ <= 0) return;
    int status = 0;
    if (waitpid(pid_, &status, block ? 0 : WNOHANG) != pid_) return;
    exited_ = true;
    if (WIFEXITED(status)) exitStatus_ = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) signal_ = WTERMSIG(status);
    Drain();
  }

  std::string dir_;
  int pid_ = -1;
  int in_ = -1, out_ = -1, err_ = -1;
  std::string pending_, output_, errors_;
  bool exited_ = false;
  int exitStatus_ = -1;
  int signal_ = 0;
};

}  // namespace robustness
