#pragma once
// Reading the arguments of xboard and console commands. A command's arguments are the words after
// it on its own line: one that is missing is never taken from the next line, whose first word is a
// command of its own ("level" alone on a line, then "new"). The parsers accept exactly the form
// they name (no trailing characters) and never overflow: magnitudes beyond ArgumentLimit are cut to
// it, so callers only have to clamp the result into the field's own range.

constexpr long long ArgumentLimit = 1000000000000LL;
// Room for one word of a command or a move (longer words are cut).
constexpr int CommandWordSize = 256;
// Room for the rest of a command's line; a longer line is cut.
constexpr int ArgumentLineSize = 512;

// The first word of the input when it chose no protocol (the start-up reads it to choose one): it
// is the user's first command or move, and the next word read is this one. `lineGoesOn`: the rest
// of its line, its arguments, is still on standard input (false when the word ended its line).
void KeepFirstWord(const char* word, bool lineGoesOn);

// The next word for move entry: first the words a command left on its line behind its arguments,
// then standard input. False at the end of input.
bool NextCommandWord(char* word, int size);
// The same for a reader of its own (the board editor), whose words DoCommand does not see.
bool NextInputWord(char* word, int size);
// DoCommand brackets every word with these. A word that did not come from NextCommandWord (the
// search's poll reads its own) has its line on standard input; what its command leaves of that
// line is dropped, as the poll drops the rest of the line.
bool BeginCommandLine();   // true when the word came from NextCommandWord
void EndCommandLine(bool fromMoveEntry);
// The command's next argument: the next word on its line; false when the line has no more.
bool NextArgument(char* word, int size);
// What is left of the command's line, without leading blanks; -1 at the end of input.
int RestOfCommandLine(char* text, int size);

// "[+|-]digits". False for anything else (empty text, "12x", "1.5", a null pointer).
bool ParseInteger(const char* text, long long* value);

// Seconds as "[+|-]digits[.digits]" ("2", "0.5", ".25", "1.") into milliseconds, truncating beyond
// the third decimal.
bool ParseSecondsAsMs(const char* text, long long* ms);

// A clock base as front ends send it: minutes ("5", "1.5") or minutes and seconds ("0:30", "1:05",
// "0:0.5"), into milliseconds. Negative values are not accepted.
bool ParseClockAsMs(const char* text, long long* ms);

// Clamps into [low, high].
long long ClampArgument(long long value, long long low, long long high);
