#pragma once
// The match log "match.log": every engine move, received UCI command and notable reply.
#include <cstdio>

extern std::FILE* dlog;   // the open log, or null when it could not be opened (logging then does nothing)

void OpenLogFile();
void WriteLogFile(const char* text);   // writes text and a newline, then flushes
void CloseLogFile();
// Formats like printf into a bounded line and hands it to WriteLogFile (longer lines are cut).
void LogPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
