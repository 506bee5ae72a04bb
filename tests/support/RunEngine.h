#pragma once
// Runs the nelk program (NELK_BINARY) for process tests: each run gets a fresh temporary working
// directory (the program writes "match.log" there), a time limit and captured output.
#include <string>
#include <utility>
#include <vector>

namespace nelktest {

using FileList = std::vector<std::pair<std::string, std::string>>;   // name in the work dir, contents

struct EngineRun {
  std::string Output;        // everything written to standard output
  std::string Errors;        // everything written to standard error
  int ExitStatus = -1;       // exit status; -1 when killed by a signal or the time limit
  bool TimedOut = false;     // the time limit was reached and the program was killed
  bool MatchLogExists = false;
  std::string MatchLog;      // contents of match.log in the work dir
};

// Runs nelk with `args`, feeds `input` to its standard input and then closes it, and waits at most
// `timeoutMs` for it to end. `files` are written into the work dir first.
EngineRun RunEngine(const std::vector<std::string>& args, const std::string& input = "",
                    int timeoutMs = 60000, const FileList& files = {});

// Temporary directory removed with all its contents on destruction.
class TempDir {
public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  bool Write(const std::string& name, const std::string& contents) const;
  std::string Read(const std::string& name, bool* exists = nullptr) const;

private:
  std::string path_;
};

// A running nelk for dialogues: send lines, wait for text to appear, then end it.
class EngineProcess {
public:
  // Starts the program at once in a fresh work dir, after writing `files` there.
  explicit EngineProcess(const std::vector<std::string>& args, const FileList& files = {});
  ~EngineProcess();   // kills the program if it still runs
  EngineProcess(const EngineProcess&) = delete;
  EngineProcess& operator=(const EngineProcess&) = delete;

  // Writes `line` and a newline to the program's standard input.
  bool Send(const std::string& line) { return SendRaw(line + "\n"); }
  // Writes `text` exactly as given.
  bool SendRaw(const std::string& text);
  // Reads output until `pattern` appears after the previous match (or the start), or until the
  // time limit. On success the search position moves past the match.
  bool WaitFor(const std::string& pattern, int timeoutMs = 10000);
  // Output since the previous match (what the next WaitFor searches).
  std::string Pending() const { return output_.substr(cursor_); }
  const std::string& Output() const { return output_; }
  const std::string& Errors() const { return errors_; }
  // Closes the input and waits for the end, reading output meanwhile. Returns the exit status, or -1
  // when the program was killed (by a signal or after `timeoutMs`; TimedOut() tells which).
  int Wait(int timeoutMs = 10000);
  bool TimedOut() const { return timedOut_; }
  std::string MatchLog(bool* exists = nullptr) const { return dir_.Read("match.log", exists); }

private:
  // Moves output into the buffers (and pending input out) for up to timeoutMs, stopping early once
  // `done` holds.
  template <typename Done> bool Pump(int timeoutMs, Done done);
  void WritePending();
  void Reap(bool block);

  TempDir dir_;
  int pid_ = -1;
  int in_ = -1, out_ = -1, err_ = -1;
  static constexpr int InputTimeoutMs = 10000;   // longest wait for the program to take our input
  static constexpr int ReapPollMs = 5;
  std::string pendingInput_;
  std::string output_, errors_;
  std::size_t cursor_ = 0;
  bool exited_ = false;
  bool timedOut_ = false;
  int status_ = -1;
};

}  // namespace nelktest
