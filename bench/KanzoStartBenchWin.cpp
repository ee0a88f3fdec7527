// Kanzo.exe under Wine, after Wine is up: the time from the start of the
// process to its tray icon (median of 10), its working set once started, and
// its CPU use over 60 s while it idles in the background with the replay
// receiver (a capture of one empty frame). Figures only.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/demo/KanzoProcess.h"
#include "bench/BenchUtilWin.h"

using namespace kanzoctl;

namespace {

constexpr int STARTS = 10;
constexpr DWORD IDLE_MS = 60000;

double FileTimeMs(const FILETIME& time) {
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return static_cast<double>(value.QuadPart) / 10000.0;
}

double CpuMs(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user))
        return 0;
    return FileTimeMs(kernel) + FileTimeMs(user);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // The folder of Kanzo.exe: the first argument, else beside this program.
    const std::wstring folder = argc > 1 ? argv[1] : CKanzoProcess::ExecutableFolder();
    std::vector<double> starts;
    SIZE_T workingSet = 0;
    for (int i = 0; i < STARTS; ++i) {
        const int before = CountTrayIcons();
        CKanzoProcess kanzo(folder);
        const double t0 = BenchNowMs();
        if (!kanzo.Start()) {
            std::fwprintf(stderr, L"Kanzo.exe did not start from %ls\n", folder.c_str());
            return 1;
        }
        WaitUntil([&] { return CountTrayIcons() > before; }, 30000);
        starts.push_back(BenchNowMs() - t0);
        PROCESS_MEMORY_COUNTERS memory = {};
        memory.cb = sizeof(memory);
        if (GetProcessMemoryInfo(kanzo.GetHandle(), &memory, sizeof(memory)))
            workingSet = std::max(workingSet, memory.WorkingSetSize);
        kanzo.QuitNow();
    }
    std::sort(starts.begin(), starts.end());
    std::wprintf(L"start to tray icon: median %.0f ms (min %.0f, max %.0f, %d starts)\n",
                 (starts[STARTS / 2 - 1] + starts[STARTS / 2]) / 2, starts.front(), starts.back(), STARTS);
    std::wprintf(L"working set after start: %.1f MB (largest of %d)\n", workingSet / (1024.0 * 1024.0), STARTS);

    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring capture = std::wstring(temp) + L"kanzo_idle_capture.txt";
    if (FILE* out = _wfopen(capture.c_str(), L"w")) {
        std::fputs("0 FF\n", out);
        std::fclose(out);
    }
    CKanzoProcess idle(folder);
    if (!idle.Start(L"-replay:\"" + capture + L"\""))
        return 1;
    WaitUntil([&] { return idle.FindMainWindow() != nullptr; }, 30000);
    Sleep(2000);  // let start-up settle before the idle window
    const double cpu0 = CpuMs(idle.GetHandle());
    const double wall0 = BenchNowMs();
    Sleep(IDLE_MS);
    const double cpu = CpuMs(idle.GetHandle()) - cpu0;
    const double wall = BenchNowMs() - wall0;
    std::wprintf(L"idle in the background for %.0f s: %.0f ms of CPU, %.3f %% of one core\n", wall / 1000, cpu,
                 100.0 * cpu / wall);
    idle.QuitNow();
    DeleteFileW(capture.c_str());
    return 0;
}
