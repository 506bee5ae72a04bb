#pragma once
// The match loop: test modes selected on the command line, then console, xboard or UCI play.

// Runs matches until the last one ends; returns the program's exit status.
int MatchLoop();

// The parts of one pass of the match loop, in the order they run.
void StartMatchLog();            // the separator lines in the match log
void ClearTablesForMatch();      // pawn hash, transposition table and history of a new match
bool RunTestMode(int* status);   // true when a test mode ran; *status is then the exit status
int RunPerftMode();              // perft from MainBoard to depth FD
int RunEpdSuiteMode(const char* file);   // "-ts", "-pev", "-mimicstudent"
int RunBenchmarkMode(int bench);         // "-bench", "-bench2", "-satrain"
void GreetConsole();             // the greeting and board of console play
void RunGameLoop();              // console and xboard play
bool RunUciSession();            // the UCI dialogue; true when the GUI asks for another match
