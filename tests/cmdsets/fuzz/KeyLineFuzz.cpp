// libFuzzer target for the key-line and section readers.
#include <cstddef>
#include <cstdint>
#include <string>

#include "cmdsets/KeyLine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::wstring text;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
    tagWINCMD cmd = ParseKeyLine(text);
    ParseLayout3KeyLine(text);
    // A written line must read back to the same texts and numbers.
    tagWINCMD back = ParseKeyLine(FormatKeyLine(141, cmd, cmd.szText));
    if (back.nType != cmd.nType || back.nRepeatInterval != cmd.nRepeatInterval)
        __builtin_trap();
    CSectionEntries entries;
    entries.Parse(text.c_str(), text.size());
    return 0;
}
