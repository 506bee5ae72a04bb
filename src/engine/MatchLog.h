#pragma once
// The match log "match.log": every engine move, received UCI command and notable reply.
#include <cstdio>

// The open log, or null when "match.log" could not be opened or is no regular file (a FIFO, a
// device, a directory); logging then does nothing.
extern std::FILE* dlog;

void OpenLogFile();
void WriteLogFile(const char* text);   // writes text and a newline, then flushes
void CloseLogFile();
// Formats like printf into a bounded line and hands it to WriteLogFile (longer lines are cut).
void LogPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
