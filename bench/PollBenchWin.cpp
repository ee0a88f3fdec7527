// CPU cost of an idle polling receiver: one CSrcPoll at its 80 ms interval
// whose device never has a key, measured as the polling thread's CPU time
// (GetThreadTimes) over a fixed wall period. Prints the share of one core.
#include "receivers/SrcPoll.h"

#include <cstdio>
#include <cstdlib>

namespace {

class CIdleReceiver : public CSrcPoll {
public:
    CIdleReceiver() {
        m_kindName = L"Idle bench";
        m_rcType = RCTYPE_MORVANE;
    }
    ~CIdleReceiver() override { StopPolling(); }
    std::uint8_t GetCurrentKeyCode() override { return NEC_CODE_IDLE; }
};

int KANZO_STDCALL Ignore(void*, CSrc*, int, int) { return 1; }

std::uint64_t CpuTime100ns(HANDLE thread) {
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(thread, &created, &exited, &kernel, &user))
        return 0;
    const auto value = [](const FILETIME& t) { return (std::uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime; };
    return value(kernel) + value(user);
}

// A thread that spins for the given time: shows that the thread times of
// this system count at all (a zero figure alone would prove nothing).
DWORD WINAPI Spin(void* ms) {
    const DWORD until = GetTickCount() + static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(ms));
    volatile unsigned sink = 0;
    while (GetTickCount() < until)
        sink = sink + 1;
    return 0;
}

std::uint64_t ProcessCpu100ns() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto value = [](const FILETIME& t) { return (std::uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime; };
    return value(kernel) + value(user);
}

}  // namespace

int main(int argc, char** argv) {
    const DWORD seconds = argc > 1 ? static_cast<DWORD>(std::atoi(argv[1])) : 60;
    HANDLE spinner = CreateThread(nullptr, 0, &Spin, reinterpret_cast<void*>(std::uintptr_t{200}), 0, nullptr);
    WaitForSingleObject(spinner, INFINITE);
    std::printf("calibration: a thread spinning 200 ms shows %.1f ms CPU\n", CpuTime100ns(spinner) / 10000.0);
    CloseHandle(spinner);

    CIdleReceiver receiver;
    if (receiver.Init(nullptr, &Ignore) != 1 || !receiver.GetPollThreadHandle()) {
        std::printf("polling receiver did not start\n");
        return 1;
    }
    const HANDLE thread = receiver.GetPollThreadHandle();
    const std::uint64_t cpuBefore = CpuTime100ns(thread);
    const std::uint64_t processBefore = ProcessCpu100ns();
    const DWORD wallBefore = GetTickCount();
    Sleep(seconds * 1000);  // the measured wall period, nothing waited for
    const std::uint64_t cpu = CpuTime100ns(thread) - cpuBefore;
    const std::uint64_t process = ProcessCpu100ns() - processBefore;
    const DWORD wall = GetTickCount() - wallBefore;
    std::printf("idle polling receiver (%lu ms interval): %.4f %% of one core (%.1f ms CPU in %lu ms, %lu polls)\n",
                receiver.GetPollInterval(), 100.0 * (cpu / 10000.0) / wall, cpu / 10000.0, wall,
                wall / receiver.GetPollInterval());
    // The thread clock counts in scheduler ticks: 0.0 means below one tick.
    std::printf("whole process in the same period (polling thread and an idle main thread): %.4f %% of one core\n",
                100.0 * (process / 10000.0) / wall);
    return 0;
}
