#pragma once
// Reading the words of a UCI command line. Words are separated by blanks, tabs, carriage returns
// and newlines; nothing in a line is trusted to be well formed.

// Longest word kept by NextWord (a move, a keyword, a number or one FEN field fits easily).
constexpr int UciWordSize = 128;

// Copies the next word of `text`, starting at *position, into `word` (cut to size - 1 characters)
// and moves *position behind it. False when only blanks are left.
bool NextWord(const char* text, int* position, char* word, int size);
// Position of the first whole word equal to `keyword` at or after `from`, or -1.
int FindWord(const char* text, const char* keyword, int from = 0);
// Reads an integer word: an optional sign and 1 to 18 digits; the value is clamped to the int range.
bool ParseInteger(const char* word, int* value);
// True when both texts are equal ignoring the case of ASCII letters.
bool SameWordIgnoringCase(const char* a, const char* b);
