#include "support/RunEngine.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace nelktest {
namespace {

using Clock = std::chrono::steady_clock;

int MsUntil(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left < 0 ? 0 : static_cast<int>(left);
}

void CloseFd(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

// Appends what can be read now; false at the end of the output.
bool ReadAvailable(int fd, std::string& into) {
  char buffer[4096];
  for (;;) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n > 0) { into.append(buffer, static_cast<std::size_t>(n)); continue; }
    if (n < 0 && errno == EINTR) continue;
    return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
  }
}

// In the child after fork: only async-signal-safe calls until exec.
[[noreturn]] void ExecChild(const std::string& dir, char** argv, const int (&pipes)[3][2]) {
  if (chdir(dir.c_str()) != 0) _exit(126);
  // Lift the pipe ends above 2 first: when the test runs without standard streams, a pipe end may
  // itself be 0, 1 or 2 and would be overwritten or closed on exec. dup2 clears close-on-exec.
  const int ends[3] = {fcntl(pipes[0][0], F_DUPFD_CLOEXEC, 3), fcntl(pipes[1][1], F_DUPFD_CLOEXEC, 3),
                         fcntl(pipes[2][1], F_DUPFD_CLOEXEC, 3)};
  for (int stream = 0; stream < 3; stream++)
    if (ends[stream] < 0 || dup2(ends[stream], stream) < 0) _exit(125);
  execv(argv[0], argv);
  _exit(127);
}

}  // namespace

TempDir::TempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/nelk-test-XXXXXX";
  if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

bool TempDir::Write(const std::string& name, const std::string& contents) const {
  std::ofstream file(File(name), std::ios::binary);
  file << contents;
  return static_cast<bool>(file);
}

std::string TempDir::Read(const std::string& name, bool* exists) const {
  std::ifstream file(File(name), std::ios::binary);
  if (exists) *exists = static_cast<bool>(file);
  std::ostringstream text;
  if (file) text << file.rdbuf();
  return text.str();
}

EngineProcess::EngineProcess(const std::vector<std::string>& args, const FileList& files) {
  signal(SIGPIPE, SIG_IGN);   // a program that ended early must not kill the test with our next write
  if (dir_.Path().empty()) return;
  for (const auto& file : files) dir_.Write(file.first, file.second);
  int pipes[3][2] = {{-1, -1}, {-1, -1}, {-1, -1}};
  for (auto& p : pipes) {
    if (pipe2(p, O_CLOEXEC) == 0) continue;
    for (auto& q : pipes) { CloseFd(q[0]); CloseFd(q[1]); }
    return;
  }
  std::vector<std::string> words{NELK_BINARY};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  pid_ = fork();
  if (pid_ == 0) ExecChild(dir_.Path(), argv.data(), pipes);
  close(pipes[0][0]); close(pipes[1][1]); close(pipes[2][1]);
  in_ = pipes[0][1]; out_ = pipes[1][0]; err_ = pipes[2][0];
  if (pid_ < 0) { CloseFd(in_); CloseFd(out_); CloseFd(err_); return; }
  for (int fd : {in_, out_, err_}) fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
}

EngineProcess::~EngineProcess() {
  CloseFd(in_);
  CloseFd(out_);
  CloseFd(err_);
  if (pid_ > 0 && !exited_) {
    kill(pid_, SIGKILL);
    Reap(true);
  }
}

template <typename Done>
bool EngineProcess::Pump(int timeoutMs, Done done) {
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    pollfd fds[3];
    int count = 0;
    if (out_ >= 0) fds[count++] = {out_, POLLIN, 0};
    if (err_ >= 0) fds[count++] = {err_, POLLIN, 0};
    if (in_ >= 0 && !pendingInput_.empty()) fds[count++] = {in_, POLLOUT, 0};
    const int left = MsUntil(deadline);
    if (count == 0 || left == 0) return done();
    if (poll(fds, static_cast<nfds_t>(count), left) < 0 && errno != EINTR) return done();
    for (int i = 0; i < count; i++) {
      if (fds[i].revents == 0) continue;
      if (fds[i].fd == in_) { WritePending(); continue; }
      const bool isOut = fds[i].fd == out_;
      if (!ReadAvailable(fds[i].fd, isOut ? output_ : errors_)) CloseFd(isOut ? out_ : err_);
    }
  }
  return true;
}

void EngineProcess::WritePending() {
  while (!pendingInput_.empty()) {
    const ssize_t n = write(in_, pendingInput_.data(), pendingInput_.size());
    if (n > 0) { pendingInput_.erase(0, static_cast<std::size_t>(n)); continue; }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
    pendingInput_.clear();   // the program closed its input
    CloseFd(in_);
  }
}

bool EngineProcess::SendRaw(const std::string& text) {
  if (in_ < 0) return false;
  pendingInput_ += text;
  WritePending();
  Pump(InputTimeoutMs, [this] { return pendingInput_.empty(); });
  return pendingInput_.empty() && in_ >= 0;
}

bool EngineProcess::WaitFor(const std::string& pattern, int timeoutMs) {
  std::size_t found = std::string::npos;
  const bool ok = Pump(timeoutMs, [&] { return (found = output_.find(pattern, cursor_)) != std::string::npos; });
  if (ok) cursor_ = found + pattern.size();
  return ok;
}

void EngineProcess::Reap(bool block) {
  if (pid_ <= 0 || exited_) return;
  int status = 0;
  pid_t result;
  do result = waitpid(pid_, &status, block ? 0 : WNOHANG);
  while (result < 0 && errno == EINTR);
  if (result != pid_) return;
  exited_ = true;
  if (WIFEXITED(status)) status_ = WEXITSTATUS(status);
}

int EngineProcess::Wait(int timeoutMs) {
  if (pid_ <= 0) return -1;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  if (in_ >= 0 && !pendingInput_.empty()) Pump(InputTimeoutMs, [this] { return pendingInput_.empty(); });
  pendingInput_.clear();
  CloseFd(in_);
  Pump(timeoutMs, [this] { return out_ < 0 && err_ < 0; });
  for (Reap(false); !exited_ && MsUntil(deadline) > 0; Reap(false))
    std::this_thread::sleep_for(std::chrono::milliseconds(ReapPollMs));
  if (!exited_) {
    timedOut_ = true;
    kill(pid_, SIGKILL);
    Reap(true);
  }
  // Output written just before the end.
  if (out_ >= 0) ReadAvailable(out_, output_);
  if (err_ >= 0) ReadAvailable(err_, errors_);
  return status_;
}

EngineRun RunEngine(const std::vector<std::string>& args, const std::string& input, int timeoutMs,
                    const FileList& files) {
  EngineRun run;
  EngineProcess process(args, files);
  if (!input.empty()) process.SendRaw(input);
  run.ExitStatus = process.Wait(timeoutMs);
  run.TimedOut = process.TimedOut();
  run.Output = process.Output();
  run.Errors = process.Errors();
  run.MatchLog = process.MatchLog(&run.MatchLogExists);
  return run;
}

}  // namespace nelktest
