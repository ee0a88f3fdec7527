// The LIRC line reader with whatever a peer may send: byte 0 chooses the
// slice size the stream arrives in, the rest is the stream. The events and
// refusals must be the same whatever the slices, every event must parse again
// from its own fields, and every refusal is short and printable.
#include "receivers/LircLine.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Sink : CLircLineReader::ISink {
    void OnLircEvent(const tagLIRCEVENT& event) override {
        char numbers[48];
        std::snprintf(numbers, sizeof(numbers), "%llx %x ", static_cast<unsigned long long>(event.nCode),
                      event.nRepeat);
        const std::string line = numbers + event.szButton + " " + event.szRemote;
        tagLIRCEVENT again;
        if (!ParseLircLine(line, again) || again.nCode != event.nCode || again.nRepeat != event.nRepeat ||
            again.szButton != event.szButton || again.szRemote != event.szRemote)
            std::abort();
        seen.push_back("E" + line);
    }
    void OnLircRefused(const std::string& text) override {
        if (text.size() > 40)
            std::abort();
        for (char c : text)
            if (c < 0x20 || c > 0x7E)
                std::abort();
        seen.push_back("R" + text);
    }
    std::vector<std::string> seen;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const std::size_t slice = 1 + data[0] % 32;
    const char* stream = reinterpret_cast<const char*>(data + 1);
    --size;
    Sink whole;
    Sink sliced;
    CLircLineReader a;
    CLircLineReader b;
    a.Feed(stream, size, whole);
    for (std::size_t at = 0; at < size; at += slice)
        b.Feed(stream + at, size - at < slice ? size - at : slice, sliced);
    if (whole.seen != sliced.seen)
        std::abort();
    return 0;
}
