// Runs the key path a fixed number of frames so that callgrind can count
// instructions: the difference of two runs divided by the difference of
// their frame counts is the cost of one frame.
//
//   key_path_callgrind FRAMES [held|changes|held-map|changes-map]
//
// held/changes go through CSrc::HandleIrEvent; the -map modes run the
// scheduler and the map alone.
#include "bench/KeyPath.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    using namespace keypath;
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FRAMES [held|changes|held-map|changes-map]\n", argv[0]);
        return 2;
    }
    const unsigned long long frames = std::strtoull(argv[1], nullptr, 10);
    const char* mode = argc > 2 ? argv[2] : "held";
    const bool changes = std::strncmp(mode, "changes", 7) == 0;
    const bool mapOnly = std::strstr(mode, "-map") != nullptr;

    long long checksum = 0;
    if (mapOnly) {
        CSchedulerMap path;
        for (unsigned long long frame = 0; frame < frames; ++frame)
            checksum += path.Frame(CodeOfFrame(frame, changes));
    } else {
        CFrameClock clock;
        CBenchSrc src(clock);
        for (unsigned long long frame = 0; frame < frames; ++frame)
            checksum += src.HandleIrEvent(CodeOfFrame(frame, changes));
    }
    std::printf("%llu frames, checksum %lld\n", frames, checksum);
    return 0;
}
