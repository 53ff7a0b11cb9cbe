// The debug log "err\debug.txt" and the message boxes.
#pragma once
#include <cstdarg>

// printf-style line into a 1024-byte buffer, sent to the debugger output and
// appended to "err\debug.txt" (the first write of the run replaces the file
// atomically, so a failed write keeps the previous run's log).
// Returns the bytes written to the file.
int LOG_Write(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
int LOG_WriteV(const char* fmt, va_list ap);
// The last lines written this run, oldest first (for the replay summary).
int LOG_RecentCount();
const char* LOG_Recent(int i);
void LOG_Reset();
