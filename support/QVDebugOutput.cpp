// Formatting and routing of the trace log's lines. Nothing here allocates:
// every text lives in a stack buffer of QVLINE_UNITS units.
#include "support/QVDebugOutput.h"

#include "support/QVDebug.h"
#include "support/QVDebugLogFile.h"

#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cwchar>

void QVFormatV(wchar_t* buffer, std::size_t units, const wchar_t* format, va_list args) {
    if (units == 0)
        return;
    buffer[0] = L'\0';
    if (!format)
        return;
    // The C runtime's own _vsnwprintf: "%s" there is a wide string, as callers
    // of this Windows-only facility write it. It leaves the buffer unterminated
    // when the text is cut.
    _vsnwprintf(buffer, units - 1, format, args);
    buffer[units - 1] = L'\0';
}

void QVFormat(wchar_t* buffer, std::size_t units, const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    QVFormatV(buffer, units, format, args);
    va_end(args);
}

void QVDiagnostic(const wchar_t* format, ...) {
    wchar_t text[QVLINE_UNITS];
    va_list args;
    va_start(args, format);
    QVFormatV(text, QVLINE_UNITS, format, args);
    va_end(args);
    wchar_t line[QVLINE_UNITS] = L"QV:  ";
    QVAppend(line, QVLINE_UNITS, text);
    OutputDebugStringW(line);
}

namespace {

void TakeStamp(tagQVTHREADINFO* pThread, tagQVLINESTAMP& stamp) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    QVFormat(stamp.szTime, sizeof(stamp.szTime) / sizeof(stamp.szTime[0]), L"%d:%02d:%02d.%03d", now.wHour,
             now.wMinute, now.wSecond, now.wMilliseconds);
    stamp.dwWorkingSetKB = 0;
    stamp.nDifferenceKB = 0;
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters))) {
        stamp.dwWorkingSetKB = static_cast<std::uint32_t>(counters.WorkingSetSize / 1024);
        stamp.nDifferenceKB = static_cast<std::int32_t>(stamp.dwWorkingSetKB - pThread->dwMemBaselineKB);
        pThread->dwMemBaselineKB = stamp.dwWorkingSetKB;
    }
    stamp.dwProcessId = GetCurrentProcessId();
    stamp.dwThreadId = GetCurrentThreadId();
}

}  // namespace

void QVWriteLine(tagQVTHREADINFO* pThread, int level, const wchar_t* marker, const wchar_t* text) {
    tagQVLINESTAMP stamp;
    TakeStamp(pThread, stamp);
    wchar_t prefix[QVLINE_UNITS];
    QVFormatLinePrefix(prefix, QVLINE_UNITS, pThread->dwDetails, stamp);
    wchar_t line[QVLINE_UNITS];
    QVAssembleLine(line, QVLINE_UNITS, prefix, level, pThread->szIndent, marker, text);

    const std::uint32_t dwOutputs = pThread->dwOutputFlags;
    if (dwOutputs & QVOUT_DEBUGGER)
        OutputDebugStringW(line);
    if (dwOutputs & QVOUT_CONSOLE) {
        std::fputws(line, stdout);
        std::fflush(stdout);
    }
    if ((dwOutputs & QVOUT_FILE) && pThread->szLogPath[0]) {
        // Copied: the record may be changed by another thread while the file is open.
        wchar_t path[QVCACHE_PATH_UNITS];
        QVFormat(path, QVCACHE_PATH_UNITS, L"%ls", pThread->szLogPath);
        QVAppendToLog(path, line);
    }
}
