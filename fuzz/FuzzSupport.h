#pragma once
// What the fuzz targets share: engine start-up without a protocol, standard input fed from the
// fuzz input, standard output captured and scanned for the engine's internal-error lines, and a
// crash (abort) with a message for every broken invariant, which libFuzzer then reports.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "board/ChessBoard.h"
#include "engine/Status.h"
#include "hash/MoveHistory.h"
#include "hash/Zobrist.h"
#include "search/Input.h"
#include "testkit/robustness_driver.h"

namespace fuzz {

// Larger inputs are skipped: they would only slow the fuzzer down, and the pipe that carries them
// to the engine's input must hold them whole.
constexpr std::size_t MaxInputSize = 1 << 16;
constexpr int PipeCapacity = 1 << 20;

[[noreturn]] inline void Fail(const char* what, const std::string& detail = "") {
  std::fprintf(stderr, "\nNELK INVARIANT BROKEN: %s %s\n", what, detail.c_str());
  std::fflush(stderr);
  std::abort();
}

// Where an internal-error marker counts. The engine prints its own internal errors at the start of
// a line, and the board display in the middle of one; but UCI notices quote what the front end sent
// ("info string Search Aborted due to receiveing following string: <the whole line>"), so behind the
// UCI handler a marker inside a line may be the fuzzed input's own text, and is no fault.
enum class MarkerPlace { Anywhere, LineStart };

inline std::size_t FindMarker(const std::string& text, const char* marker, MarkerPlace place) {
  std::size_t at = text.find(marker);
  if (place == MarkerPlace::Anywhere) return at;
  while (at != std::string::npos && at > 0 && text[at - 1] != '\n') at = text.find(marker, at + 1);
  return at;
}

// Standard output goes to a scratch file that is emptied before and scanned after every input.
class OutputCapture {
public:
  void Start() {
    char path[] = "/tmp/nelk-fuzz-out-XXXXXX";
    fd_ = mkstemp(path);
    if (fd_ < 0) Fail("cannot create the output scratch file");
    unlink(path);
    std::fflush(stdout);
    dup2(fd_, 1);
  }
  void Clear() {
    std::fflush(stdout);
    if (ftruncate(1, 0) != 0 || lseek(1, 0, SEEK_SET) < 0) Fail("cannot reset the output scratch file");
  }
  // Fails on a line the engine prints only when its own state is broken (see MarkerPlace).
  void Scan(MarkerPlace place) {
    std::fflush(stdout);
    const off_t size = lseek(1, 0, SEEK_END);
    if (size <= 0) return;
    std::string text(static_cast<std::size_t>(size), '\0');
    if (pread(1, &text[0], text.size(), 0) != size) return;
    for (const char* marker : {"Major Error", "MAJOR ERROR", "Major problem"}) {
      const std::size_t at = FindMarker(text, marker, place);
      if (at != std::string::npos) Fail("engine reported an internal error:", text.substr(at, 200));
    }
  }

private:
  int fd_ = -1;
};

// Standard input is a pipe whose writing end stays open, so the engine never sees the end of input
// and never blocks as long as the fed text is complete.
class InputFeed {
public:
  void Start() {
    int fds[2];
    if (pipe(fds) != 0) Fail("cannot create the input pipe");
    fcntl(fds[1], F_SETPIPE_SZ, PipeCapacity);
    dup2(fds[0], 0);
    close(fds[0]);
    write_ = fds[1];
  }
  void Feed(const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
      const ssize_t n = write(write_, text.data() + done, text.size() - done);
      if (n <= 0) Fail("cannot feed the input pipe");
      done += static_cast<std::size_t>(n);
    }
  }

private:
  int write_ = -1;
};

inline OutputCapture Output;
inline InputFeed Input;

// The start-up of the program without its banner, log file and protocol choice.
inline void StartEngineOnce() {
  static bool started = false;
  if (started) return;
  started = true;
  robustness::StartEngineState();
  Output.Start();
  Input.Start();
}

}  // namespace fuzz
