#pragma once
// Searching the output of the program and of the functions under test.
#include <string>

namespace nelktest {

inline bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

inline int Count(const std::string& text, const std::string& part) {
  int n = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) n++;
  return n;
}

inline bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace nelktest
