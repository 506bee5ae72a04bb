#include "engine/MatchLog.h"
#include <cstdarg>

std::FILE* dlog = nullptr;

namespace {
constexpr const char* LogFileName = "match.log";
constexpr int LogLineSize = 2048;
}  // namespace

void OpenLogFile() {
  CloseLogFile();
  dlog = std::fopen(LogFileName, "w");
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
