#include "engine/MatchLog.h"
#include <cstdarg>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::FILE* dlog = nullptr;

namespace {
constexpr const char* LogFileName = "match.log";
constexpr int LogLineSize = 2048;
constexpr mode_t LogFileMode = 0666;   // as fopen creates files: the umask decides

// Only a regular file becomes the log. Opening a FIFO for writing waits for a reader, for ever
// when there is none: O_NONBLOCK makes that open fail or return at once, and what is not a
// regular file is closed again, untouched (it is truncated only once it is known to be a file).
int OpenRegularLog() {
  const int fd = open(LogFileName, O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, LogFileMode);
  if (fd < 0) return -1;
  struct stat info;
  const bool usable = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ftruncate(fd, 0) == 0 &&
                      fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0;
  if (usable) return fd;
  close(fd);
  return -1;
}
}  // namespace

void OpenLogFile() {
  CloseLogFile();
  const int fd = OpenRegularLog();
  if (fd < 0) return;
  dlog = fdopen(fd, "w");
  if (dlog == nullptr) close(fd);
}

void WriteLogFile(const char* text) {
  if (dlog == nullptr || text == nullptr) return;
  std::fprintf(dlog, "%s", text);
  std::fprintf(dlog, "\n");
  std::fflush(dlog);
}

void CloseLogFile() {
  if (dlog == nullptr) return;
  std::fclose(dlog);
  dlog = nullptr;
}

void LogPrintf(const char* format, ...) {
  char line[LogLineSize];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  WriteLogFile(line);
}
