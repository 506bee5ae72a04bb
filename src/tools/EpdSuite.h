#pragma once
// The EPD test-suite runner of "-ts", "-pev" and "-mimicstudent".

constexpr int EpdLineSize = 1024;   // longest EPD line handled, newline excluded
constexpr int EpdOpenErrorStatus = 1;   // missing, unreadable, or no regular file
constexpr int EpdReadErrorStatus = 1;   // no text (a NUL byte), or reading failed part of the way

// Sets up each line of the file in turn and searches, evaluates or only shows it as the mode flags
// of MainStatus ask. Returns the program's exit status: 0, or one of the two above after an
// "ERROR: " line.
int ParseEPDSuite(const char* path);
