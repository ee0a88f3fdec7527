// make bench: Kanzo's side of "irsend SIMULATE to a keystroke in the target".
// Runs the program's key path over temporary command-set files: the LIRC
// receiver that the receiver manager makes from the settings (the lircd on
// the port given), the key-event worker and the dispatcher, with KEY_1 and
// KEY_2 bound to the keystrokes F5 and F6 for KanzoTarget.exe. Prints
// "connected" once the receiver is connected, then for each keystroke the
// target records the wall-clock time in nanoseconds since 1970 (the clock
// that `date +%s%N` of the driving script reads), until count keystrokes came
// or a minute passed without one. The target's record holds some hundreds of
// keystrokes: count up to 500.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "bench/BenchUtilWin.h"
#include "receivers/RcKeys.h"
#include "tests/app/KeyPathRig.h"

namespace {

constexpr int kVkF5 = 116;
constexpr int kVkF6 = 117;
constexpr DWORD kWaitMs = 60000;

int Run(const CCmdSetPaths& paths, unsigned port, int count) {
    SetEnvironmentVariableW(KANZO_TARGET_STAMP_ENV, L"1");
    keypath::CKeyPathRig rig(paths, KANZO_TARGET_DIR);
    tagSETTINGS settings;
    settings.receiverSelection = RECEIVER_SELECTION_LIRC;
    CopyFixedText(settings.lircHost, static_cast<int>(SETTINGS_LIRC_HOST_CHARS), L"127.0.0.1");
    settings.lircPort = port;
    const std::string failure =
        rig.Start({{KEYID_PROG_1, keypath::Keystroke(kVkF5)}, {KEYID_PROG_2, keypath::Keystroke(kVkF6)}}, settings);
    if (!failure.empty()) {
        std::fprintf(stderr, "lirc_bench: %s\n", failure.c_str());
        return 1;
    }
    if (!rig.WaitLircConnected(kWaitMs)) {
        std::fprintf(stderr, "lirc_bench: the receiver did not connect\n");
        return 1;
    }
    std::printf("connected\n");
    // Keys the target had before the first frame (its own start) are not the bench's.
    std::size_t from = rig.Record().Count();
    for (int i = 0; i < count; ++i) {
        const int at = rig.Record().WaitFor(L"KEYDOWN ", from, kWaitMs);
        if (at < 0) {
            std::fprintf(stderr, "lirc_bench: keystroke %d did not come\n", i + 1);
            return 1;
        }
        // The target's own stamp of the key, without the wake of this thread.
        const std::wstring line = rig.Record().Lines()[static_cast<std::size_t>(at)];
        const std::size_t stamp = line.find(KANZO_TARGET_STAMP_FIELD);
        std::printf("%llu\n", stamp == std::wstring::npos
                                   ? TargetClockNs()
                                   : std::wcstoull(line.c_str() + stamp + wcslen(KANZO_TARGET_STAMP_FIELD), nullptr, 10));
        from = static_cast<std::size_t>(at) + 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: lirc_bench <port> <count>\n");
        return 2;
    }
    // Each line as it comes: the script reads the file while this runs.
    setvbuf(stdout, nullptr, _IONBF, 0);
    const CCmdSetPaths paths = BenchCmdSetPaths(L"kanzo_lirc_bench");
    const int code = Run(paths, static_cast<unsigned>(std::atoi(argv[1])), std::atoi(argv[2]));
    BenchRemoveFiles(paths);
    return code;
}
