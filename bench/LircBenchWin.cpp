// make bench: the LIRC receiver's side of "irsend SIMULATE to key event".
// Connects to the lircd on the port given, prints "connected" once, then for
// each key event the wall-clock time in nanoseconds since 1970 (the clock
// that `date +%s%N` of the driving script reads), until count events came or
// a minute passed without one.
#include "receivers/SrcLirc.h"

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace {

std::mutex g_lock;
std::condition_variable g_changed;
int g_events = 0;

unsigned long long UnixNowNs() {
    FILETIME now;
    GetSystemTimePreciseAsFileTime(&now);
    const unsigned long long ticks = (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return (ticks - 116444736000000000ull) * 100ull;  // from 1601 in 100 ns to 1970 in ns
}

int KANZO_STDCALL OnKey(void*, CSrc*, int, int) {
    const unsigned long long at = UnixNowNs();
    std::lock_guard<std::mutex> lock(g_lock);
    std::printf("%llu\n", at);
    std::fflush(stdout);
    ++g_events;
    g_changed.notify_all();
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: lirc_bench <port> <count>\n");
        return 2;
    }
    const unsigned port = static_cast<unsigned>(std::atoi(argv[1]));
    const int count = std::atoi(argv[2]);
    CSrcLirc receiver(L"127.0.0.1", port);
    receiver.SetStateObserver([](LircState state) {
        if (state != LircState::Connected)
            return;
        std::lock_guard<std::mutex> lock(g_lock);
        std::printf("connected\n");
        std::fflush(stdout);
    });
    if (!receiver.Init(nullptr, &OnKey))
        return 1;
    std::unique_lock<std::mutex> lock(g_lock);
    for (int seen = 0; g_events < count;) {
        if (!g_changed.wait_for(lock, std::chrono::minutes(1), [&] { return g_events > seen; }))
            return 1;
        seen = g_events;
    }
    return 0;
}
