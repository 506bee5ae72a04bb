#pragma once
// Command-line options.

// Outcome of ParseCommandLine.
enum CommandLineResult : int {
  CommandLineContinue = 0,   // go on to play or to the selected test mode
  CommandLineHelp = 1,       // the help text was printed: end with status 0
  CommandLineError = 2       // an error was printed: end with status 2
};

constexpr int CommandLineErrorStatus = 2;   // exit status after a bad option

// The EPD file of "-ts", "-pev" or "-mimicstudent" (null when none was given).
extern const char* TestFileName;
// The PGN file of "-texel" (null when none was given).
extern const char* TexelFileName;

// Examines argv[1] .. argv[argc - 1] and sets MainStatus, MainBoard and TestFileName.
// "-lpf" loads its position at once.
int ParseCommandLine(int argc, char** argv);
// The value of a numeric option: leading blanks, a sign and digits as atoi reads them, anything else
// 0; values beyond the range of int are clamped instead of overflowing.
int ParseOptionValue(const char* text);
void PrintHelp();
