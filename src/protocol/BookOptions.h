#pragma once
// The Polyglot book as the front end sets it up: the file (UCI "BookFile", xboard's option of that
// name, "-book FILE" on the command line) and whether the heaviest move is always played ("Best
// Book Move"); otherwise a move is drawn at random by the entries' weights.
#include <cstdint>
#include <random>

constexpr int BookMessageSize = 512;

class BookOptions {
public:
  std::uint8_t BestMove = 0;
  std::mt19937_64 Random{std::random_device{}()};

  // Opens the book at `path` ("" or "<empty>": no book). `message` receives what to tell the user:
  // the entries read, or why the file is refused (then no book is used).
  bool SetFile(const char* path, char* message, int size);
};

extern BookOptions BookSettings;
