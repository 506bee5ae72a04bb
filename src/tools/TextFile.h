#pragma once
// Text files named on the command line (a position, a test suite). Only a regular file is read: a
// directory reads as an empty file, a device such as /dev/zero never ends, and a FIFO nobody writes
// to would block the program for ever.
#include <cstdio>

// Opens `path` for reading. On failure writes an "ERROR: " line naming the file (the same line as
// ever for a file that cannot be opened) and returns null.
std::FILE* OpenTextFile(const char* path);

enum class TextLine {
  Read,        // a whole line
  TooLong,     // its first size - 1 characters; the rest of the line was skipped
  NotText,     // it holds a NUL byte: the file is no text, whatever else it holds
  ReadError,   // reading failed (errno tells why)
  EndOfFile
};

// Reads one line into `line` (`size` characters, terminating zero included) without its line end;
// a carriage return ends the kept text as well.
TextLine ReadTextLine(std::FILE* file, char* line, int size);
