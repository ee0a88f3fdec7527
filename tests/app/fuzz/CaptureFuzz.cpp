// libFuzzer target for the capture reader of the replay tool.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/replay/CaptureReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<tagCAPTUREFRAME> frames;
    std::vector<tagCAPTUREERROR> errors;
    CCaptureReader::Parse(std::string(reinterpret_cast<const char*>(data), size), frames, errors);
    // Times never run backwards: each frame is after the one before.
    for (std::size_t i = 1; i < frames.size(); ++i)
        if (frames[i].nTimeMs < frames[i - 1].nTimeMs)
            __builtin_trap();
    return 0;
}
