#pragma once
// Line assembly and routing of the trace log, and the facility's own
// diagnostics. Internal to the trace log (QVDebug*.cpp) and its tests.

#include "support/QVDebugCache.h"

#include <cstdarg>
#include <cstddef>
#include <cstdint>

// Units of every text buffer on the output path (511 characters + terminator).
constexpr std::size_t QVLINE_UNITS = 512;

// Windows wide printf (msvcrt: "%s" and "%ls" both take a wide string) into
// buffer, cut silently at units - 1 characters; always terminated.
void QVFormatV(wchar_t* buffer, std::size_t units, const wchar_t* format, va_list args);
void QVFormat(wchar_t* buffer, std::size_t units, const wchar_t* format, ...);
// Appends text to the terminated buffer, cutting silently at units - 1 characters.
void QVAppend(wchar_t* buffer, std::size_t units, const wchar_t* text);

// Facility diagnostics: "QV: " and a blank before the text, to the debugger
// only, whatever the thread's filter.
void QVDiagnostic(const wchar_t* format, ...);

// The four-character tag of a message level ("MSG ", "ERR ", ...).
const wchar_t* QVLevelTag(int level);

// What the line prefix shows besides the style.
struct tagQVLINESTAMP {
    wchar_t szTime[16];          // "%d:%02d:%02d.%03d", local clock
    std::uint32_t dwWorkingSetKB;
    std::int32_t nDifferenceKB;  // to the thread's previous line
    std::uint32_t dwProcessId;
    std::uint32_t dwThreadId;
};

// The prefix for a details style: 1 none, 2 time only, otherwise time, memory
// (or blanks when the difference is 0) and the process and thread ids.
void QVFormatLinePrefix(wchar_t* buffer, std::size_t units, std::uint32_t dwDetails, const tagQVLINESTAMP& stamp);

// Completes body (indentation, marker and text) with prefix and tag and writes
// the line to the outputs of the thread's flags. Updates the memory baseline.
void QVWriteLine(tagQVTHREADINFO* pThread, int level, const wchar_t* body);
