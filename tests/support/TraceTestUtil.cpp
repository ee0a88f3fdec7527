#include "tests/support/TraceTestUtil.h"

#include "support/ScopedWin.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <thread>

namespace tracetest {

std::wstring TempLogPath(const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + L"qvtrace_" + std::to_wstring(GetCurrentProcessId()) + L"_" + name + L".log";
}

std::wstring CurrentTestLogPath() {
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    return TempLogPath(std::wstring(name.begin(), name.end()).c_str());
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void WriteTextFile(const std::wstring& path, const std::string& text) {
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file)
        return;
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
}

std::string ReadTextFile(const std::wstring& path) {
    std::string text;
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file)
        return text;
    char buffer[4096];
    std::size_t cb;
    while ((cb = std::fread(buffer, 1, sizeof(buffer), file)) > 0)
        text.append(buffer, cb);
    std::fclose(file);
    return text;
}

std::vector<std::wstring> ReadLines(const std::wstring& path) {
    const std::string text = ReadTextFile(path);
    std::wstring wide(text.size(), L'\0');
    const int cch = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                                        static_cast<int>(wide.size()));
    wide.resize(cch > 0 ? cch : 0);
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = wide.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
        lines.push_back(wide.substr(start, end - start));
    if (start < wide.size())
        lines.push_back(wide.substr(start));  // an unterminated last line
    return lines;
}

std::wstring AfterPrefix(const std::wstring& line) {
    const std::wstring ids = Hex(GetCurrentProcessId(), 4) + L"-";
    const std::size_t at = line.find(ids);
    if (at == std::wstring::npos)
        return line;
    const std::size_t colon = line.find(L": ", at);
    return colon == std::wstring::npos ? line : line.substr(colon + 2);
}

void DetachCurrentThread() {
    for (int i = 0; i < 300 && TraceTerminateThread(TraceCurrentThreadId(), 1); ++i) {
    }
}

std::wstring HelperPath() {
    wchar_t module[MAX_PATH];
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring path(module);
    return path.substr(0, path.find_last_of(L"\\/") + 1) + L"trace_helper.exe";
}

namespace {

std::wstring ReadDebugString(HANDLE hProcess, const OUTPUT_DEBUG_STRING_INFO& info) {
    const SIZE_T units = info.nDebugStringLength;
    if (info.fUnicode) {
        std::wstring text(units, L'\0');
        SIZE_T cb = 0;
        ReadProcessMemory(hProcess, info.lpDebugStringData, &text[0], units * sizeof(wchar_t), &cb);
        text.resize(cb / sizeof(wchar_t));
        return text.substr(0, text.find(L'\0'));
    }
    std::string text(units, '\0');
    SIZE_T cb = 0;
    ReadProcessMemory(hProcess, info.lpDebugStringData, &text[0], units, &cb);
    text.resize(cb);
    text = text.substr(0, text.find('\0'));
    std::wstring wide(text.size(), L'\0');
    const int cch = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                                        static_cast<int>(wide.size()));
    wide.resize(cch > 0 ? cch : 0);
    return wide;
}

// Runs the debug loop of the child until it exits; false when it hangs.
bool DebugUntilExit(const PROCESS_INFORMATION& pi, tagRUNRESULT& result) {
    for (;;) {
        DEBUG_EVENT event = {};
        // Only a guard against a hung child; a normal run takes well under a second.
        if (!WaitForDebugEvent(&event, 60000))
            return false;
        DWORD dwContinue = DBG_CONTINUE;
        bool exited = false;
        switch (event.dwDebugEventCode) {
        case CREATE_PROCESS_DEBUG_EVENT:
            if (event.u.CreateProcessInfo.hFile)
                CloseHandle(event.u.CreateProcessInfo.hFile);
            break;
        case LOAD_DLL_DEBUG_EVENT:
            if (event.u.LoadDll.hFile)
                CloseHandle(event.u.LoadDll.hFile);
            break;
        case OUTPUT_DEBUG_STRING_EVENT:
            result.debugStrings.push_back(ReadDebugString(pi.hProcess, event.u.DebugString));
            break;
        case EXCEPTION_DEBUG_EVENT:
            if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT)
                dwContinue = DBG_EXCEPTION_NOT_HANDLED;
            break;
        case EXIT_PROCESS_DEBUG_EVENT:
            result.dwExitCode = event.u.ExitProcess.dwExitCode;
            exited = true;
            break;
        default:
            break;
        }
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, dwContinue);
        if (exited)
            return true;
    }
}

}  // namespace

tagRUNRESULT RunHelper(const std::wstring& arguments, bool debug) {
    tagRUNRESULT result;
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    CQVHandle readEnd;
    CQVHandle writeEnd;
    if (!CreatePipe(readEnd.Put(), writeEnd.Put(), &inherit, 0))
        return result;
    SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = writeEnd.Get();
    si.hStdError = writeEnd.Get();
    std::wstring commandLine = L"\"" + HelperPath() + L"\" " + arguments;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, debug ? DEBUG_ONLY_THIS_PROCESS : 0, nullptr,
                        nullptr, &si, &pi))
        return result;
    const CQVHandle process(pi.hProcess);
    const CQVHandle thread(pi.hThread);
    writeEnd.Close();  // so that the read ends when the child exits

    std::thread reader([&] {
        char buffer[1024];
        DWORD cb = 0;
        while (ReadFile(readEnd.Get(), buffer, sizeof(buffer), &cb, nullptr) && cb > 0)
            result.stdoutText.append(buffer, cb);
    });
    if (debug) {
        if (!DebugUntilExit(pi, result))
            TerminateProcess(process.Get(), 0xDEAD);
    } else {
        WaitForSingleObject(process.Get(), INFINITE);
        GetExitCodeProcess(process.Get(), &result.dwExitCode);
    }
    reader.join();
    return result;
}

std::wstring Hex(unsigned value, int digits) {
    wchar_t text[16];
    std::swprintf(text, 16, L"%0*X", digits, value);
    return text;
}

}  // namespace tracetest
