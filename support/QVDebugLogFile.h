#pragma once
// The trace log's file: default location, rotation and appending of a line.
// Internal to the trace log (QVDebug*.cpp) and its tests.

#include <cstddef>

// "<common application data>\Morvane\<exe file name>.log"; creates the folder.
// False (buffer empty) when the folder or the module name cannot be had.
bool QVDefaultLogPath(wchar_t* buffer, std::size_t units);

// Keeps ten predecessors: deletes "<base>10<ext>", renames 09 to 10 ... 01 to 02
// and the log itself to 01. Missing files and failures are skipped.
void QVRotateLogs(const wchar_t* path);

// Opens the log for appending, writes the line (ANSI, "\n" as CR LF), commits
// it to disk and closes the file, so that the file is complete after a crash.
// A file that cannot be opened loses the line.
void QVAppendToLog(const wchar_t* path, const wchar_t* line);
