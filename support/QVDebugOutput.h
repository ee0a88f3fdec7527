#pragma once
// Formatting and routing of the trace log's lines on Windows, and the
// facility's own diagnostics; the text of a line is built by QVDebugFormat.h.
// Internal to the trace log (QVDebug*.cpp) and its tests.

#include "support/QVDebugCache.h"
#include "support/QVDebugFormat.h"

#include <cstdarg>
#include <cstddef>

// Windows wide printf (msvcrt: "%s" and "%ls" both take a wide string) into
// buffer, cut silently at units - 1 characters; always terminated.
void QVFormatV(wchar_t* buffer, std::size_t units, const wchar_t* format, va_list args);
void QVFormat(wchar_t* buffer, std::size_t units, const wchar_t* format, ...);

// Facility diagnostics: "QV: " and a blank before the text, to the debugger
// only, whatever the thread's filter.
void QVDiagnostic(const wchar_t* format, ...);

// Assembles the line (QVAssembleLine: prefix of the thread's details, tag,
// the thread's indentation, marker, text) and writes it to the outputs of the
// thread's flags. Updates the memory baseline.
void QVWriteLine(tagQVTHREADINFO* pThread, int level, const wchar_t* marker, const wchar_t* text);
