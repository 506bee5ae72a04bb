#include "protocol/BookOptions.h"

#include <cstdio>
#include <cstring>
#include "engine/MatchLog.h"
#include "tools/PolyglotBook.h"

BookOptions BookSettings;

namespace {
// What GUIs send for a string option left empty.
constexpr const char* EmptyValue = "<empty>";
}  // namespace

bool BookOptions::SetFile(const char* path, char* message, int size) {
  const std::size_t room = size > 0 ? static_cast<std::size_t>(size) : 0;
  if (path == nullptr || path[0] == '\0' || std::strcmp(path, EmptyValue) == 0) {
    PolyglotOpeningBook.Close();
    std::snprintf(message, room, "no book file: the built-in book is used");
    return true;
  }
  const char* error = nullptr;
  if (!PolyglotOpeningBook.Open(path, &error)) {
    std::snprintf(message, room, "%s: %s; no book file is used", path, error != nullptr ? error : "cannot be read");
    LogPrintf("Book file refused: %s\n", message);
    return false;
  }
  std::snprintf(message, room, "%s: %zu book entries", path, PolyglotOpeningBook.EntryCount());
  LogPrintf("Book file opened: %s\n", message);
  return true;
}
