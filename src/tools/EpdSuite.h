#pragma once
// The EPD test-suite runner of "-ts", "-pev" and "-mimicstudent".

constexpr int EpdLineSize = 1024;   // longest EPD line handled, newline excluded
constexpr int EpdOpenErrorStatus = 1;

// Sets up each line of the file in turn and searches, evaluates or only shows it as the mode flags
// of MainStatus ask. Returns 0; a file that cannot be opened ends the program with status 1.
int ParseEPDSuite(const char* path);
