// bench_windows.exe <count> <name>: <count> visible top-level windows of a
// process of their own, for the dispatch bench's search among another
// process's windows. Sets the event <name>.Ready once they exist and exits
// when <name>.Quit is set.
#include <windows.h>

#include "bench/BenchWindowsWin.h"

#include <cwchar>
#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc < 3)
        return 2;
    const int count = static_cast<int>(std::wcstol(argv[1], nullptr, 10));
    const std::wstring name = argv[2];
    HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, (name + L".Ready").c_str());
    HANDLE quit = OpenEventW(SYNCHRONIZE, FALSE, (name + L".Quit").c_str());
    if (!ready || !quit)
        return 3;

    const std::vector<HWND> windows = BenchCreateWindows(L"KanzoBenchOtherWindow", L"Other bench window ", count);
    SetEvent(ready);
    for (;;) {
        const DWORD woke = MsgWaitForMultipleObjects(1, &quit, FALSE, INFINITE, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0)
            break;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    for (HWND hwnd : windows)
        DestroyWindow(hwnd);
    CloseHandle(ready);
    CloseHandle(quit);
    return 0;
}
