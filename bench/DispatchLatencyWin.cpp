// dispatch_bench: the time from a key id handed to HandleCommandForKey until
// the target program has received the keystroke (its KEYDOWN line), median and
// 99th percentile over 1,000 keys each:
//   - the last target is still valid (300 windows of this process around it);
//   - a fresh search on every key among 300 windows of this process;
//   - a fresh search on every key among 300 windows of another process
//     (bench_windows.exe, beside this program).
// Prints figures only.
#include <windows.h>

#include "bench/BenchUtilWin.h"
#include "bench/BenchWindowsWin.h"

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

void Report(const char* what, std::vector<double> times) {
    if (times.empty()) {
        std::printf("%-44s no keystroke arrived\n", what);
        return;
    }
    std::sort(times.begin(), times.end());
    std::printf("%-44s median %7.2f ms, 99th percentile %7.2f ms (%zu keys)\n", what, times[times.size() / 2],
                times[times.size() * 99 / 100], times.size());
}

// Key to KEYDOWN line, KEYS times; a key whose line never comes counts as lost.
std::vector<double> TimeKeys(CCmdSetHandler& handler, cmdtest::CTargetRecord& record) {
    std::vector<double> times;
    int lost = 0;
    for (int i = 0; i < KEYS; ++i) {
        record.Clear();
        const double start = BenchNowMs();
        handler.HandleCommandForKey(KEY_DIGIT_0, 1);
        const int down = record.WaitFor(L"KEYDOWN ", 0, 2000);
        const double end = BenchNowMs();
        if (down < 0) {
            // A lost key: the run stops rather than wait for each of them.
            if (++lost == 5)
                break;
            continue;
        }
        times.push_back(end - start);
        record.WaitFor(L"KEYUP ", static_cast<std::size_t>(down), 2000);
    }
    if (lost)
        std::printf("(%d keys lost)\n", lost);
    return times;
}

// A caption that only part of the title matches: the last target is never
// "the same application", so every key searches the windows.
void SearchOnEveryKey(CCmdSetHandler& handler) {
    tagPRGINFO info;
    handler.GetCurrentPrgInfo(info);
    CopyFixedText(info.szWindowCaption, PRGINFO_TEXT_LEN, L"Kanzo Command");
    CKeymap keys;
    keys.LoadDefaults();
    handler.SetCurrentSet(info, keys);
}

class COtherProcessWindows {
public:
    bool Start(int count) {
        const std::wstring name = L"KanzoBenchWindows." + std::to_wstring(GetCurrentProcessId());
        m_ready = CreateEventW(nullptr, TRUE, FALSE, (name + L".Ready").c_str());
        m_quit = CreateEventW(nullptr, TRUE, FALSE, (name + L".Quit").c_str());
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring dir = self;
        dir = dir.substr(0, dir.rfind(L'\\'));
        std::wstring line = L"\"" + dir + L"\\bench_windows.exe\" " + std::to_wstring(count) + L" " + name;
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info = {};
        if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
            return false;
        CloseHandle(info.hThread);
        m_process = info.hProcess;
        HANDLE both[2] = {m_ready, m_process};
        return WaitForMultipleObjects(2, both, FALSE, 60000) == WAIT_OBJECT_0;
    }
    ~COtherProcessWindows() {
        if (m_process) {
            SetEvent(m_quit);
            if (WaitForSingleObject(m_process, 10000) != WAIT_OBJECT_0)
                TerminateProcess(m_process, 1);
            CloseHandle(m_process);
        }
        if (m_ready)
            CloseHandle(m_ready);
        if (m_quit)
            CloseHandle(m_quit);
    }

private:
    HANDLE m_ready = nullptr;
    HANDLE m_quit = nullptr;
    HANDLE m_process = nullptr;
};

}  // namespace

int main() {
    // Figures as they come, also through a pipe.
    setvbuf(stdout, nullptr, _IONBF, 0);
    const CCmdSetPaths paths = BenchCmdSetPaths(L"kanzo_dispatch_bench");
    const wchar_t* preset = paths.presetFile.c_str();
    WritePrivateProfileStringW(L"Settings", L"RC Layout Version", L"4", preset);
    WritePrivateProfileStringW(L"Software", L"0", L"Target", preset);
    WritePrivateProfileStringW(L"Target", L"Executable", KANZO_TARGET_EXE, preset);
    WritePrivateProfileStringW(L"Target", L"WindowCaption", KANZO_TARGET_CAPTION, preset);

    // 300 visible top-level windows of this process.
    std::vector<HWND> own = BenchCreateWindows(L"KanzoBenchWindow", L"Bench window ", OTHER_WINDOWS);

    cmdtest::CTargetRecord record;
    cmdtest::CTargetProcess target(record);
    if (!target.Start()) {
        std::printf("the target program did not start: %s\n", target.Failure().c_str());
        return 1;
    }
    {
        CCmdSetHandler handler(paths, CAppPathSources());
        handler.LoadCmdSetByName(L"Target");
        handler.HandleCommandForKey(KEY_DIGIT_0, 1);  // finds the target once
        Report("last target", TimeKeys(handler, record));

        SearchOnEveryKey(handler);
        Report("fresh search among 300 own windows", TimeKeys(handler, record));

        for (HWND hwnd : own)
            DestroyWindow(hwnd);
        COtherProcessWindows others;
        // A fresh target above the other windows: the old one lost its
        // input focus to them and would not get it back by activation.
        if (!others.Start(OTHER_WINDOWS) || !target.Start()) {
            std::printf("bench_windows.exe or the target did not start\n");
        } else {
            handler.LoadCmdSetByName(L"Target");
            SearchOnEveryKey(handler);
            Report("fresh search among 300 other-process windows", TimeKeys(handler, record));
        }
    }
    target.Close();
    BenchRemoveFiles(paths);
    return 0;
}
