// trace_bench: what a trace line costs the caller. Measures a TracePrint that
// the filter suppresses (level above the thread's) and one written to a log
// file (opened, appended, committed and closed per line), in ns per call.
// Prints figures only; asserts nothing.
#include "support/QVDebug.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

double NsPerCall(LARGE_INTEGER start, LARGE_INTEGER stop, LARGE_INTEGER frequency, int calls) {
    const double seconds = static_cast<double>(stop.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    return seconds * 1e9 / calls;
}

template <typename Fn>
double Measure(int calls, Fn fn) {
    LARGE_INTEGER frequency;
    LARGE_INTEGER start;
    LARGE_INTEGER stop;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int i = 0; i < calls; ++i)
        fn(i);
    QueryPerformanceCounter(&stop);
    return NsPerCall(start, stop, frequency, calls);
}

}  // namespace

int main() {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    wchar_t path[MAX_PATH];
    std::swprintf(path, MAX_PATH, L"%lstrace_bench_%lu.log", folder, GetCurrentProcessId());
    DeleteFileW(path);

    if (!TraceInitEx(QVOUT_FILE, path, 0, QVL_WRN, QVC_ALL)) {
        std::printf("trace_bench: could not attach to the trace log\n");
        return 1;
    }

    const int suppressedCalls = 1000000;
    const double suppressed = Measure(suppressedCalls, [](int i) {
        TracePrint(QVL_DETAIL, QVC_DEVICE, L"suppressed line %d %s\n", i, L"text");
    });

    const int writtenCalls = 2000;
    const double written = Measure(writtenCalls, [](int i) {
        TracePrint(QVL_ERR, QVC_DEVICE, L"written line %d %s\n", i, L"text");
    });

    TraceTerminateThread(TraceCurrentThreadId(), 1);
    DeleteFileW(path);

    std::printf("TracePrint suppressed by the filter: %.1f ns per call (%d calls)\n", suppressed, suppressedCalls);
    std::printf("TracePrint written to a log file:   %.1f ns per call (%d calls)\n", written, writtenCalls);
    return 0;
}
