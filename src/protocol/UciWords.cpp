#include "protocol/UciWords.h"

#include <climits>
#include <cstring>

namespace {

constexpr int MaxDigits = 18;   // still fits a 64-bit value before clamping

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool NextWord(const char* text, int* position, char* word, int size) {
  if (text == nullptr || position == nullptr || word == nullptr || size <= 0) return false;
  int p = *position;
  while (text[p] != '\0' && IsBlank(text[p])) p++;
  int length = 0;
  while (text[p] != '\0' && !IsBlank(text[p])) {
    if (length < size - 1) word[length++] = text[p];
    p++;
  }
  word[length] = '\0';
  *position = p;
  return length > 0;
}

int FindWord(const char* text, const char* keyword, int from) {
  char word[UciWordSize];
  int position = from;
  for (;;) {
    int start = position;
    while (text[start] != '\0' && IsBlank(text[start])) start++;
    if (!NextWord(text, &position, word, sizeof word)) return -1;
    if (std::strcmp(word, keyword) == 0) return start;
  }
}

bool ParseInteger(const char* word, int* value) {
  if (word == nullptr || value == nullptr) return false;
  const bool negative = word[0] == '-';
  const char* digits = (word[0] == '-' || word[0] == '+') ? word + 1 : word;
  long long n = 0;
  int count = 0;
  for (; digits[count] != '\0'; count++) {
    if (digits[count] < '0' || digits[count] > '9' || count >= MaxDigits) return false;
    n = n * 10 + (digits[count] - '0');
  }
  if (count == 0) return false;
  if (negative) n = -n;
  *value = n > INT_MAX ? INT_MAX : n < INT_MIN ? INT_MIN : static_cast<int>(n);
  return true;
}

bool SameWordIgnoringCase(const char* a, const char* b) {
  for (; *a != '\0' && *b != '\0'; a++, b++)
    if (Lower(*a) != Lower(*b)) return false;
  return *a == *b;
}
