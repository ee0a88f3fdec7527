// KanzoDemo: runs Kanzo.exe (beside this tool) with a capture file as its
// receiver, so the whole program works without remote-control hardware, and
// ends it from the tray as a user would.
//   KanzoDemo [--stay] [--check <caption>] <capture file> [Kanzo options...]
// --check prints the text of that window's edit field once the capture has
// been played; --stay leaves Kanzo running until it is quit from its tray.
#include <windows.h>

#include <cstdio>
#include <string>

#include "app/demo/KanzoProcess.h"

using namespace kanzoctl;

namespace {

constexpr DWORD START_MS = 30000;

int Usage() {
    std::fwprintf(stderr, L"usage: KanzoDemo [--stay] [--check <caption>] <capture file> [Kanzo options...]\n");
    return 2;
}

std::wstring FullPath(const wchar_t* path) {
    wchar_t full[MAX_PATH] = {};
    return GetFullPathNameW(path, MAX_PATH, full, nullptr) ? full : path;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    bool stay = false;
    std::wstring check;
    std::wstring capture;
    std::wstring options;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (capture.empty() && arg == L"--stay") {
            stay = true;
        } else if (capture.empty() && arg == L"--check" && i + 1 < argc) {
            check = argv[++i];
        } else if (capture.empty()) {
            capture = FullPath(argv[i]);
        } else {
            options += L" " + arg;
        }
    }
    if (capture.empty())
        return Usage();

    CKanzoProcess kanzo;
    std::wprintf(L"Starting %ls\\Kanzo.exe with the capture %ls\n", kanzo.GetFolder().c_str(), capture.c_str());
    std::fflush(stdout);
    if (!kanzo.Start(L"-replay:\"" + capture + L"\"" + options)) {
        std::fwprintf(stderr, L"KanzoDemo: Kanzo.exe did not start (error %lu)\n", GetLastError());
        return 1;
    }
    const std::wstring name = L"Kanzo Replay Finished " + std::to_wstring(kanzo.GetId());
    HANDLE finished = nullptr;
    WaitUntil([&] { return (finished = OpenEventW(SYNCHRONIZE, FALSE, name.c_str())) != nullptr || !kanzo.IsRunning(); },
              START_MS);
    if (!finished) {
        std::fwprintf(stderr, L"KanzoDemo: Kanzo.exe is not playing the capture (see its trace)\n");
        kanzo.QuitNow();
        return 1;
    }
    HANDLE waits[] = {finished, kanzo.GetHandle()};
    WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    CloseHandle(finished);
    std::wprintf(L"The capture has been played.\n");
    if (!check.empty())
        std::wprintf(L"%ls holds: \"%ls\"\n", check.c_str(), ReadEditText(check).c_str());
    std::fflush(stdout);

    int code;
    if (stay) {
        std::wprintf(L"Kanzo keeps running; quit it from its tray icon (Exit).\n");
        std::fflush(stdout);
        code = kanzo.WaitExit(INFINITE);
    } else {
        code = kanzo.ExitFromTray();
    }
    std::wprintf(L"Kanzo.exe ended with exit code %d\n", code);
    return code;
}
