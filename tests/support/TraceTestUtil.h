#pragma once
// Helpers of the trace log tests: temporary log files read back line by line,
// full detachment between tests, and the helper process next to the test.

#include "support/QVDebug.h"

#include <windows.h>

#include <string>
#include <vector>

namespace tracetest {

// A log path of its own in the temporary folder: "<temp>\qvtrace_<pid>_<name>.log".
std::wstring TempLogPath(const wchar_t* name);
// TempLogPath named after the running test.
std::wstring CurrentTestLogPath();
bool FileExists(const std::wstring& path);
void WriteTextFile(const std::wstring& path, const std::string& text);
std::string ReadTextFile(const std::wstring& path);
// The log's lines without their CR LF (the file is ANSI text).
std::vector<std::wstring> ReadLines(const std::wstring& path);
// Text of a line after its "pid-tid: " prefix (details 3), or the line itself.
std::wstring AfterPrefix(const std::wstring& line);

// Drops every reference of the calling thread.
void DetachCurrentThread();

// "<folder of the test>\trace_helper.exe".
std::wstring HelperPath();

struct tagRUNRESULT {
    DWORD dwExitCode = 0xFFFFFFFF;
    std::string stdoutText;
    std::vector<std::wstring> debugStrings;  // with DEBUG_ONLY_THIS_PROCESS
};
// Runs the helper with the arguments and collects its standard output; with
// debug, as its debugger, also every OutputDebugString it makes.
tagRUNRESULT RunHelper(const std::wstring& arguments, bool debug = false);

std::wstring Hex(unsigned value, int digits);

}  // namespace tracetest
