// trace_helper: a second process for the trace log tests.
//   [--cache NAME] record PID          print the used thread records of process PID
//   [--cache NAME] attach OUT LEVEL CONTEXTS [PATH]
//                                      attach, print own settings, write one line, detach
//   unattached                         trace without attaching
//   threads                            attach 64 threads, then try a 65th
//   [--cache NAME] release             TraceReleaseGlobalMemory
// Exit code 0 when the operation did what the test expects, else a small number.
#include "support/QVDebug.h"
#include "support/QVDebugCache.h"
#include "support/ScopedWin.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <thread>
#include <vector>

namespace {

unsigned ParseNumber(const wchar_t* text) { return static_cast<unsigned>(std::wcstoul(text, nullptr, 0)); }

int PrintRecord(unsigned processId) {
    tagQVPROCINFO* pProc = QVCacheFindProcess(QVCacheGet(), processId);
    if (!pProc)
        return 3;
    std::printf("process refs=%d signature=0x%08X\n", pProc->cRefCount, static_cast<unsigned>(pProc->lock.dwSignature));
    for (const tagQVTHREADINFO& thread : pProc->aThreads) {
        if (thread.dwThreadId == 0)
            continue;
        std::printf("thread=%u marker=0x%08X refs=%d outputs=%u details=%u contexts=0x%08X level=%d path=%ls\n",
                    static_cast<unsigned>(thread.dwThreadId), static_cast<unsigned>(thread.dwMarker), thread.cRefCount,
                    static_cast<unsigned>(thread.dwOutputFlags), static_cast<unsigned>(thread.dwDetails),
                    static_cast<unsigned>(thread.dwContextFlags), static_cast<int>(thread.nVerboseLevel),
                    thread.szLogPath);
    }
    return 0;
}

int AttachAndWrite(unsigned outputs, int level, unsigned contexts, const wchar_t* path) {
    if (!TraceInitEx(outputs, path, 0, level, contexts))
        return 2;
    std::printf("level=%d details=%d\n", TraceGetVerboseLevel(), TraceGetDetails());
    std::fflush(stdout);
    TracePrint(QVL_MSG, QVC_ALL, L"helper line %s\n", L"wide");
    TraceTerminateThread(TraceCurrentThreadId(), 1);
    return 0;
}

// 64 attached threads fill the process's table; the 65th must be refused.
int FillThreads() {
    CQVHandle release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!TraceInitEx(QVOUT_DEBUGGER, nullptr, 0, 0, QVC_ALL))
        return 2;
    std::vector<std::thread> threads;
    std::vector<int> results(QVCACHE_MAX_THREADS, -1);
    std::vector<CQVHandle> attached;
    const HANDLE hRelease = release.Get();
    for (int i = 1; i < QVCACHE_MAX_THREADS + 1; ++i) {
        attached.emplace_back(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        const HANDLE hDone = attached.back().Get();
        threads.emplace_back([&results, i, hDone, hRelease] {
            results[i - 1] = TraceInitEx(QVOUT_DEBUGGER, nullptr, 0, 0, QVC_ALL);
            SetEvent(hDone);
            WaitForSingleObject(hRelease, INFINITE);
            if (results[i - 1])
                TraceTerminateThread(TraceCurrentThreadId(), 1);
        });
        // One at a time, so that the last thread started is the one refused.
        WaitForSingleObject(hDone, INFINITE);
    }
    SetEvent(hRelease);
    for (std::thread& thread : threads)
        thread.join();
    TraceTerminateThread(TraceCurrentThreadId(), 1);
    for (int i = 0; i < QVCACHE_MAX_THREADS - 1; ++i) {
        if (results[i] != 1)
            return 4;
    }
    return results[QVCACHE_MAX_THREADS - 1] == 0 ? 0 : 5;
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::wstring> args(argv + 1, argv + argc);
    LocalFree(argv);
    std::wstring cacheName;
    if (args.size() >= 2 && args[0] == L"--cache") {
        cacheName = args[1];
        QVCacheSetNameForTesting(cacheName.c_str());
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.empty())
        return 9;
    const std::wstring& command = args[0];
    if (command == L"record" && args.size() == 2)
        return PrintRecord(ParseNumber(args[1].c_str()));
    if (command == L"attach" && args.size() >= 4)
        return AttachAndWrite(ParseNumber(args[1].c_str()), static_cast<int>(ParseNumber(args[2].c_str())),
                              ParseNumber(args[3].c_str()), args.size() >= 5 ? args[4].c_str() : nullptr);
    if (command == L"unattached") {
        TracePrint(QVL_MSG, QVC_ALL, L"never written\n");
        return TracePasses(QVL_MSG, QVC_ALL) ? 6 : 0;
    }
    if (command == L"threads")
        return FillThreads();
    if (command == L"release")
        return TraceReleaseGlobalMemory() == 1 ? 0 : 1;
    return 9;
}
