#include "search/Input.h"

#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace {

constexpr int InputBufferSize = 4096;

struct RawInput {
  char Bytes[InputBufferSize];
  int Head = 0;        // next unread byte
  int Tail = 0;        // end of the buffered bytes
  bool Closed = false; // read() reported the end of input or an error
  int LastTaken = '\n'; // the byte consumed last: a line is complete when it is a newline
  bool LineCut = false;  // the last line read was longer than the room it was read into
};

RawInput In;

bool IsBlank(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Blocks until at least one byte is buffered; false at the end of input.
bool Fill() {
  if (In.Head < In.Tail) return true;
  if (In.Closed) return false;
  In.Head = In.Tail = 0;
  for (;;) {
    const ssize_t n = read(0, In.Bytes, sizeof In.Bytes);
    if (n > 0) {
      In.Tail = static_cast<int>(n);
      return true;
    }
    if (n < 0 && errno == EINTR) continue;
    In.Closed = true;
    return false;
  }
}

int Peek() { return Fill() ? static_cast<unsigned char>(In.Bytes[In.Head]) : -1; }
int Next() {
  if (!Fill()) return -1;
  In.LastTaken = static_cast<unsigned char>(In.Bytes[In.Head++]);
  return In.LastTaken;
}

bool DescriptorReadable() {
  pollfd fd{0, POLLIN, 0};
  int r;
  do {
    r = poll(&fd, 1, 0);
  } while (r < 0 && errno == EINTR);
  if (r < 0) return true;  // let the caller's read meet the error itself
  return r > 0 && (fd.revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)) != 0;
}

}  // namespace

// Blanks left behind a word (the newline after "go") are no command: they alone must not make the
// search stop to read, or it would block until the next command arrives.
bool InputPending() {
  if (In.Closed) return true;
  for (int i = In.Head; i < In.Tail; i++)
    if (!IsBlank(static_cast<unsigned char>(In.Bytes[i]))) return true;
  return DescriptorReadable();
}

int ReadWord(char* buf, int size) {
  if (buf == nullptr || size <= 0) return -1;
  buf[0] = '\0';
  int c = Peek();
  while (c >= 0 && IsBlank(c)) {
    Next();
    c = Peek();
  }
  if (c < 0) return -1;
  int length = 0;
  while (c >= 0 && !IsBlank(c)) {
    Next();
    if (length < size - 1) buf[length++] = static_cast<char>(c);
    c = Peek();
  }
  buf[length] = '\0';
  return length;
}

int ReadLine(char* buf, int size) {
  if (buf == nullptr || size <= 0) return -1;
  buf[0] = '\0';
  int c = Next();
  if (c < 0) return -1;
  int length = 0;
  In.LineCut = false;
  while (c >= 0 && c != '\n') {
    if (c != '\r') {
      if (length < size - 1) buf[length++] = static_cast<char>(c);
      else In.LineCut = true;
    }
    c = Next();
  }
  buf[length] = '\0';
  return length;
}

bool LastLineWasCut() { return In.LineCut; }

// A handler that read its arguments up to the newline has finished its line: the next line is a
// command of its own and must survive.
void DiscardPendingLine() {
  if (In.LastTaken == '\n') return;
  while (In.Head < In.Tail || (!In.Closed && DescriptorReadable())) {
    const int c = Next();
    if (c < 0 || c == '\n') return;
  }
}

bool InputClosed() { return In.Closed; }
