// dispatch_bench: the time from a key id handed to HandleCommandForKey to the
// keystroke's input injected into the target program (HandleCommandForKey
// returns once SendInput has been called), with the target already known (last
// target) and with a fresh search among 300 other top-level windows. Median and
// 99th percentile over 1,000 keys each. Prints figures only.
#include <windows.h>

#include "bench/BenchUtilWin.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "cmdsets/KnownCmdSets.h"
#include "commands/CmdSetHandler.h"
#include "tests/commands/target/TargetClient.h"

namespace {

constexpr int KEYS = 1000;
constexpr int OTHER_WINDOWS = 300;
constexpr int KEY_DIGIT_0 = 200;  // bound by default to the keypad's 0

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void Report(const char* what, std::vector<double> times) {
    std::sort(times.begin(), times.end());
    std::printf("%-48s median %7.2f ms, 99th percentile %7.2f ms (%zu keys)\n", what, times[times.size() / 2],
                times[times.size() * 99 / 100], times.size());
}

}  // namespace

int main() {
    const CCmdSetPaths paths = BenchCmdSetPaths(L"kanzo_dispatch_bench");
    const wchar_t* preset = paths.presetFile.c_str();
    WritePrivateProfileStringW(L"Settings", L"RC Layout Version", L"4", preset);
    WritePrivateProfileStringW(L"Software", L"0", L"Target", preset);
    WritePrivateProfileStringW(L"Target", L"Executable", KANZO_TARGET_EXE, preset);
    WritePrivateProfileStringW(L"Target", L"WindowCaption", KANZO_TARGET_CAPTION, preset);

    // 300 other visible top-level windows that every fresh search walks past.
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KanzoBenchWindow";
    RegisterClassW(&wc);
    std::vector<HWND> others;
    for (int i = 0; i < OTHER_WINDOWS; ++i) {
        std::wstring caption = L"Bench window " + std::to_wstring(i);
        others.push_back(CreateWindowExW(0, wc.lpszClassName, caption.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                         10 + i % 50, 10 + i % 40, 200, 100, nullptr, nullptr, wc.hInstance, nullptr));
    }
    Pump();

    cmdtest::CTargetRecord record;
    cmdtest::CTargetProcess target(record);
    if (!target.Start()) {
        std::printf("the target program did not start\n");
        return 1;
    }
    {
        CCmdSetHandler handler(paths, CAppPathSources());
        handler.LoadCmdSetByName(L"Target");
        handler.HandleCommandForKey(KEY_DIGIT_0, 1);  // finds the target once

        std::vector<double> times;
        for (int i = 0; i < KEYS; ++i) {
            double start = BenchNowMs();
            handler.HandleCommandForKey(KEY_DIGIT_0, 1);
            times.push_back(BenchNowMs() - start);
            Pump();
        }
        Report("last target", times);

        // A caption that only part of the title matches: the last target is
        // never "the same application", so every key searches the windows.
        tagPRGINFO info;
        handler.GetCurrentPrgInfo(info);
        CopyFixedText(info.szWindowCaption, PRGINFO_TEXT_LEN, L"Kanzo Command");
        CKeymap keys;
        keys.LoadDefaults();
        handler.SetCurrentSet(info, keys);
        times.clear();
        for (int i = 0; i < KEYS; ++i) {
            double start = BenchNowMs();
            handler.HandleCommandForKey(KEY_DIGIT_0, 1);
            times.push_back(BenchNowMs() - start);
            Pump();
        }
        Report("fresh search among 300 windows", times);
    }
    target.Close();
    for (HWND hwnd : others)
        DestroyWindow(hwnd);
    BenchRemoveFiles(paths);
    return 0;
}
