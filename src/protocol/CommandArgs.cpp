#include "protocol/CommandArgs.h"

#include <cstdio>
#include <cstring>
#include "hash/TranspositionTables.h"
#include "search/Input.h"

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
  if (text == nullptr || ms == nullptr || *text == '-' || *text == '+') return false;
  const char* colon = std::strchr(text, ':');
  long long total = 0;
  if (colon == nullptr) {
    // Minutes, perhaps with a fraction: thousandths of a minute, sixty milliseconds each.
    long long thousandths = 0;
    if (!ParseSecondsAsMs(text, &thousandths)) return false;
    total = Scaled(thousandths, MsPerMinute / MsPerSecond);
  } else {
    long long minutes = 0, seconds = 0;
    int minuteCount = 0;
    if (ReadDigits(text, &minutes, &minuteCount) != colon || minuteCount == 0) return false;
    const char* secondsText = colon + 1;
    if (*secondsText == '-' || *secondsText == '+' || !ParseSecondsAsMs(secondsText, &seconds)) return false;
    total = Scaled(minutes, MsPerMinute) + seconds;
  }
  *ms = total > ArgumentLimit ? ArgumentLimit : total;
  return true;
}

long long ClampArgument(long long value, long long low, long long high) {
  if (value < low) return low;
  return value > high ? high : value;
}

namespace {

bool IsLineBlank(char c) { return c == ' ' || c == '\t'; }

// The words of the current command's line that are not taken yet.
struct HeldLine {
  char Text[ArgumentLineSize] = {};
  int At = 0;
  bool Held = false;        // the line's rest is in Text; otherwise it is still on standard input
  bool FromEntry = false;   // the word being handled came from NextCommandWord
};

HeldLine Line;

void Hold(const char* text) {
  std::snprintf(Line.Text, sizeof Line.Text, "%s", text);
  Line.At = 0;
  Line.Held = true;
}

void DropLine() {
  Line.Held = false;
  Line.Text[0] = '\0';
  Line.At = 0;
}

bool TakeHeldWord(char* word, int size) {
  const char* p = Line.Text + Line.At;
  while (IsLineBlank(*p)) ++p;
  if (*p == '\0') {
    Line.At = static_cast<int>(p - Line.Text);
    return false;
  }
  int length = 0;
  for (; *p != '\0' && !IsLineBlank(*p); ++p)
    if (length < size - 1) word[length++] = *p;
  word[length] = '\0';
  Line.At = static_cast<int>(p - Line.Text);
  return true;
}

// The start-up's first word, until it is read.
struct KeptWord {
  char Text[CommandWordSize] = {};
  bool Kept = false;
  bool LineGoesOn = false;
};

KeptWord FirstWord;

bool TakeFirstWord(char* word, int size) {
  if (!FirstWord.Kept) return false;
  FirstWord.Kept = false;
  std::snprintf(word, static_cast<std::size_t>(size), "%s", FirstWord.Text);
  // Its arguments come from the rest of its line: standard input, or nothing when the line ended.
  if (FirstWord.LineGoesOn) DropLine();
  else Hold("");
  return true;
}

}  // namespace

void KeepFirstWord(const char* word, bool lineGoesOn) {
  if (word == nullptr || *word == '\0') return;
  std::snprintf(FirstWord.Text, sizeof FirstWord.Text, "%s", word);
  FirstWord.Kept = true;
  FirstWord.LineGoesOn = lineGoesOn;
}

bool NextInputWord(char* word, int size) {
  if (word == nullptr || size <= 0) return false;
  if (TakeFirstWord(word, size)) return true;
  if (Line.Held && TakeHeldWord(word, size)) return true;
  DropLine();
  return ReadWord(word, size) >= 0;
}

bool NextCommandWord(char* word, int size) {
  Line.FromEntry = true;
  // While the front end is silent, the table's memory is provided for the next search.
  while (!Line.Held && !FirstWord.Kept && !InputPending() && PositionCache.ProvideNextPages()) {
  }
  return NextInputWord(word, size);
}

bool BeginCommandLine() {
  const bool fromEntry = Line.FromEntry;
  Line.FromEntry = false;
  if (!fromEntry) DropLine();
  return fromEntry;
}

void EndCommandLine(bool fromMoveEntry) {
  if (!fromMoveEntry) DropLine();
}

bool NextArgument(char* word, int size) {
  if (word == nullptr || size <= 0) return false;
  if (!Line.Held) {
    char text[ArgumentLineSize];
    Hold(ReadLine(text, sizeof text) >= 0 ? text : "");
  }
  return TakeHeldWord(word, size);
}

int RestOfCommandLine(char* text, int size) {
  if (text == nullptr || size <= 0) return -1;
  if (!Line.Held) {
    const int length = ReadLine(text, size);
    Hold("");   // the line is used up: no later argument may come from the next one
    if (length < 0) return -1;
  } else {
    std::snprintf(text, static_cast<std::size_t>(size), "%s", Line.Text + Line.At);
    Line.At = static_cast<int>(std::strlen(Line.Text));
  }
  const char* start = text;
  while (IsLineBlank(*start)) ++start;
  if (start != text) std::memmove(text, start, std::strlen(start) + 1);
  return static_cast<int>(std::strlen(text));
}
