#include "protocol/CommandArgs.h"

namespace {

constexpr long long MsPerSecond = 1000;
constexpr long long MsPerMinute = 60000;
constexpr int MsDigits = 3;   // decimals of a second that are kept

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

long long AppendDigit(long long value, char digit) {
  if (value >= ArgumentLimit / 10) return ArgumentLimit;
  const long long next = value * 10 + (digit - '0');
  return next > ArgumentLimit ? ArgumentLimit : next;
}

// Optional sign; returns the text after it and sets *negative.
const char* SkipSign(const char* text, bool* negative) {
  *negative = *text == '-';
  return (*text == '-' || *text == '+') ? text + 1 : text;
}

// Reads digits into *value; returns the text after them and how many there were.
const char* ReadDigits(const char* text, long long* value, int* count) {
  *value = 0;
  *count = 0;
  for (; IsDigit(*text); ++text, ++*count) *value = AppendDigit(*value, *text);
  return text;
}

long long Scaled(long long value, long long factor) {
  return value >= ArgumentLimit / factor ? ArgumentLimit : value * factor;
}

}  // namespace

bool ParseInteger(const char* text, long long* value) {
  if (text == nullptr || value == nullptr) return false;
  bool negative = false;
  long long digits = 0;
  int count = 0;
  const char* end = ReadDigits(SkipSign(text, &negative), &digits, &count);
  if (count == 0 || *end != '\0') return false;
  *value = negative ? -digits : digits;
  return true;
}

bool ParseSecondsAsMs(const char* text, long long* ms) {
  if (text == nullptr || ms == nullptr) return false;
  bool negative = false;
  long long whole = 0;
  int wholeCount = 0;
  const char* p = ReadDigits(SkipSign(text, &negative), &whole, &wholeCount);
  long long fraction = 0;
  int fractionCount = 0;
  if (*p == '.') {
    for (++p; IsDigit(*p); ++p, ++fractionCount) {
      if (fractionCount < MsDigits) fraction = fraction * 10 + (*p - '0');
    }
  }
  if (wholeCount + fractionCount == 0 || *p != '\0') return false;
  for (int i = fractionCount; i < MsDigits; i++) fraction *= 10;
  const long long total = Scaled(whole, MsPerSecond) + fraction;
  *ms = negative ? -total : total;
  return true;
}

bool ParseClockAsMs(const char* text, long long* ms) {
  if (text == nullptr || ms == nullptr) return false;
  long long minutes = 0, seconds = 0;
  int minuteCount = 0, secondCount = 0;
  const char* p = ReadDigits(text, &minutes, &minuteCount);
  if (minuteCount == 0) return false;
  if (*p == ':') {
    p = ReadDigits(p + 1, &seconds, &secondCount);
    if (secondCount == 0) return false;
  }
  if (*p != '\0') return false;
  const long long total = Scaled(minutes, MsPerMinute) + Scaled(seconds, MsPerSecond);
  *ms = total > ArgumentLimit ? ArgumentLimit : total;
  return true;
}

long long ClampArgument(long long value, long long low, long long high) {
  if (value < low) return low;
  return value > high ? high : value;
}
