#pragma once
// Start-up of the engine program: everything main does.

// Runs the whole program and returns its exit status.
int EngineMain(int argc, char** argv);
// Reads one blank-delimited word from standard input into `word` (cut to size - 1 characters; the
// rest of a longer word is skipped) and the one character after it. Returns false at end of input.
bool ReadFirstWord(char* word, int size);
// Sets UCIMode or xboard from the first word read on standard input.
void ChooseProtocol(const char* word);
