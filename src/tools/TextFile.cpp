#include "tools/TextFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum class Opened { Regular, Failed, NotRegular };

// Opened without blocking (a FIFO nobody writes to would wait for a writer), then checked: only a
// regular file is kept, and read from then on as usual.
Opened OpenRegularFile(const char* path, int* fd) {
  *fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (*fd < 0) return Opened::Failed;
  struct stat info;
  const bool regular = fstat(*fd, &info) == 0 && S_ISREG(info.st_mode);
  if (regular && fcntl(*fd, F_SETFL, fcntl(*fd, F_GETFL) & ~O_NONBLOCK) == 0) return Opened::Regular;
  close(*fd);
  *fd = -1;
  return regular ? Opened::Failed : Opened::NotRegular;
}

}  // namespace

std::FILE* OpenTextFile(const char* path) {
  int fd = -1;
  const Opened opened = path != nullptr ? OpenRegularFile(path, &fd) : Opened::Failed;
  std::FILE* file = opened == Opened::Regular ? fdopen(fd, "r") : nullptr;
  if (file != nullptr) return file;
  if (fd >= 0) close(fd);
  if (opened == Opened::NotRegular) std::printf("ERROR: %s is not a regular file\n", path);
  else std::printf("ERROR: opening file %s\n", path != nullptr ? path : "(none)");
  return nullptr;
}

TextLine ReadTextLine(std::FILE* file, char* line, int size) {
  if (file == nullptr || line == nullptr || size <= 0) return TextLine::ReadError;
  int c = std::getc(file);
  if (c == EOF) return std::ferror(file) ? TextLine::ReadError : TextLine::EndOfFile;
  int length = 0;
  bool carriageReturn = false, tooLong = false, nul = false;
  for (; c != EOF && c != '\n'; c = std::getc(file)) {
    nul = nul || c == '\0';
    carriageReturn = carriageReturn || c == '\r';
    if (carriageReturn) continue;
    if (length < size - 1) line[length++] = static_cast<char>(c);
    else tooLong = true;
  }
  line[length] = '\0';
  if (std::ferror(file)) return TextLine::ReadError;
  if (nul) return TextLine::NotText;
  return tooLong ? TextLine::TooLong : TextLine::Read;
}
