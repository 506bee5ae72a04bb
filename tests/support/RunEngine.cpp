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

void SetNonBlocking(int fd) { fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK); }

// In the child after fork: only async-signal-safe calls until exec.
[[noreturn]] void ExecChild(const std::string& dir, const std::string& program, char** argv, int in, int out,
                            int err) {
  if (chdir(dir.c_str()) != 0) _exit(126);
  // Lift the pipe ends above 2 first: when the test runs without standard streams, a pipe end may
  // itself be 0, 1 or 2 and would be overwritten or closed on exec.
  const int high = STDERR_FILENO + 1;
  in = fcntl(in, F_DUPFD, high);
  out = fcntl(out, F_DUPFD, high);
  err = fcntl(err, F_DUPFD, high);
  if (in < 0 || out < 0 || err < 0) _exit(125);
  dup2(in, STDIN_FILENO);
  dup2(out, STDOUT_FILENO);
  dup2(err, STDERR_FILENO);
  execv(program.c_str(), argv);
  _exit(127);
}

}  // namespace

TempDir::TempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/nelk-test-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (mkdtemp(name.data()) != nullptr) path_ = name.data();
}

TempDir::~TempDir() {
  if (path_.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

bool TempDir::Write(const std::string& name, const std::string& contents) const {
  std::ofstream file(File(name), std::ios::binary);
  file << contents;
  return static_cast<bool>(file);
}

std::string TempDir::Read(const std::string& name, bool* exists) const {
  std::ifstream file(File(name), std::ios::binary);
  if (exists) *exists = static_cast<bool>(file);
  if (!file) return "";
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

EngineProcess::EngineProcess(const std::vector<std::string>& args, const FileList& files,
                             const std::string& program) {
  signal(SIGPIPE, SIG_IGN);   // a program that ended early must not kill the test with our next write
  if (dir_.Path().empty()) return;
  for (const auto& file : files) dir_.Write(file.first, file.second);

  int in[2], out[2], err[2];
  if (pipe2(in, O_CLOEXEC) != 0) return;
  if (pipe2(out, O_CLOEXEC) != 0) { close(in[0]); close(in[1]); return; }
  if (pipe2(err, O_CLOEXEC) != 0) { close(in[0]); close(in[1]); close(out[0]); close(out[1]); return; }

  std::vector<std::string> words{program};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  pid_ = fork();
  if (pid_ == 0) ExecChild(dir_.Path(), program, argv.data(), in[0], out[1], err[1]);
  close(in[0]); close(out[1]); close(err[1]);
  in_ = in[1]; out_ = out[0]; err_ = err[0];
  if (pid_ < 0) { CloseFd(in_); CloseFd(out_); CloseFd(err_); return; }
  SetNonBlocking(in_); SetNonBlocking(out_); SetNonBlocking(err_);
}

EngineProcess::~EngineProcess() {
  CloseFd(in_);
  CloseFd(out_);
  CloseFd(err_);
  if (pid_ > 0 && !exited_) Kill();
}

bool EngineProcess::ReadAvailable(int fd, std::string& into) {
  char buffer[4096];
  for (;;) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n > 0) { into.append(buffer, static_cast<std::size_t>(n)); continue; }
    if (n < 0 && errno == EINTR) continue;
    return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);   // false: end of output
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
    if (count == 0) return done();
    const int left = MsUntil(deadline);
    if (left == 0) return done();
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
    return;
  }
}

bool EngineProcess::SendRaw(const std::string& text) {
  if (in_ < 0) return false;
  pendingInput_ += text;
  WritePending();
  Pump(InputTimeoutMs, [this] { return pendingInput_.empty(); });
  return pendingInput_.empty() && in_ >= 0;
}

bool EngineProcess::Send(const std::string& line) { return SendRaw(line + "\n"); }

bool EngineProcess::WaitFor(const std::string& pattern, int timeoutMs) {
  std::size_t found = std::string::npos;
  const bool ok = Pump(timeoutMs, [&] {
    found = output_.find(pattern, cursor_);
    return found != std::string::npos;
  });
  if (ok) cursor_ = found + pattern.size();
  return ok;
}

void EngineProcess::CloseInput() {
  if (in_ >= 0 && !pendingInput_.empty()) Pump(InputTimeoutMs, [this] { return pendingInput_.empty(); });
  pendingInput_.clear();
  CloseFd(in_);
}

void EngineProcess::Reap(bool block) {
  if (pid_ <= 0 || exited_) return;
  int status = 0;
  pid_t result;
  do {
    result = waitpid(pid_, &status, block ? 0 : WNOHANG);
  } while (result < 0 && errno == EINTR);
  if (result != pid_) return;
  exited_ = true;
  if (WIFEXITED(status)) status_ = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) signal_ = WTERMSIG(status);
}

void EngineProcess::Kill() {
  if (pid_ <= 0 || exited_) return;
  kill(pid_, SIGKILL);
  Reap(true);
}

int EngineProcess::Wait(int timeoutMs) {
  if (pid_ <= 0) return -1;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  CloseInput();
  Pump(timeoutMs, [this] { return out_ < 0 && err_ < 0; });
  for (Reap(false); !exited_ && MsUntil(deadline) > 0; Reap(false)) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ReapPollMs));
  }
  if (!exited_) {
    timedOut_ = true;
    Kill();
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
  if (!process.Started()) return run;
  if (!input.empty()) process.SendRaw(input);
  run.ExitStatus = process.Wait(timeoutMs);
  run.Signal = process.Signal();
  run.TimedOut = process.TimedOut();
  run.Output = process.Output();
  run.Errors = process.Errors();
  run.MatchLog = process.MatchLog(&run.MatchLogExists);
  return run;
}

}  // namespace nelktest
