#include "commands/VirtualKeyNames.h"

#include <iterator>

namespace {

const tagVIRTUALKEYNAME kVirtualKeys[] = {
    {L"VK_BACK", 8},
    {L"VK_TAB", 9},
    {L"VK_CLEAR", 12},
    {L"VK_RETURN", 13},
    {L"VK_PAUSE", 19},
    {L"VK_ESCAPE", 27},
    {L"VK_SPACE", 32},
    {L"VK_PRIOR", 33},
    {L"VK_NEXT", 34},
    {L"VK_END", 35},
    {L"VK_HOME", 36},
    {L"VK_LEFT", 37},
    {L"VK_UP", 38},
    {L"VK_RIGHT", 39},
    {L"VK_DOWN", 40},
    {L"VK_INSERT", 45},
    {L"VK_DELETE", 46},
    {L"VK_NUMPAD_0", 96},
    {L"VK_NUMPAD_1", 97},
    {L"VK_NUMPAD_2", 98},
    {L"VK_NUMPAD_3", 99},
    {L"VK_NUMPAD_4", 100},
    {L"VK_NUMPAD_5", 101},
    {L"VK_NUMPAD_6", 102},
    {L"VK_NUMPAD_7", 103},
    {L"VK_NUMPAD_8", 104},
    {L"VK_NUMPAD_9", 105},
    {L"VK_MULTIPLY", 106},
    {L"VK_ADD", 107},
    {L"VK_SEPARATOR", 108},
    {L"VK_SUBTRACT", 109},
    {L"VK_DECIMAL", 110},
    {L"VK_DIVIDE", 111},
    {L"VK_F1", 112},
    {L"VK_F2", 113},
    {L"VK_F3", 114},
    {L"VK_F4", 115},
    {L"VK_F5", 116},
    {L"VK_F6", 117},
    {L"VK_F7", 118},
    {L"VK_F8", 119},
    {L"VK_F9", 120},
    {L"VK_F10", 121},
    {L"VK_F11", 122},
    {L"VK_F12", 123},
    {L"VK_MEDIA_PLAY_PAUSE", 179},
    {L"VK_MEDIA_STOP      ", 178},
    {L"VK_MEDIA_NEXT_TRACK", 176},
    {L"VK_MEDIA_PREV_TRACK", 177},
    {L"VK_VOLUME_UP       ", 175},
    {L"VK_VOLUME_DOWN     ", 174},
    {L"VK_VOLUME_MUTE     ", 173},
};

constexpr int kCount = static_cast<int>(std::size(kVirtualKeys));

// Upper case (ASCII letters only: the names are ASCII) without any "VK_".
std::wstring Normalise(const wchar_t* text) {
    std::wstring upper;
    for (const wchar_t* p = text; *p; ++p)
        upper += (*p >= L'a' && *p <= L'z') ? static_cast<wchar_t>(*p - L'a' + L'A') : *p;
    std::wstring out;
    for (std::size_t i = 0; i < upper.size();) {
        if (upper.compare(i, 3, L"VK_") == 0) {
            i += 3;
        } else {
            out += upper[i];
            ++i;
        }
    }
    return out;
}

}  // namespace

int GetVirtualKeyCount() {
    return kCount;
}

const tagVIRTUALKEYNAME& GetVirtualKeyEntry(int index) {
    if (index < 0 || index >= kCount)
        index = 0;
    return kVirtualKeys[index];
}

std::wstring GetVirtualKeyName(int code) {
    const int low = code & 0xFF;
    for (const tagVIRTUALKEYNAME& row : kVirtualKeys) {
        if (row.nCode == low)
            return row.pszName;
    }
    // "%c" of a zero byte prints nothing.
    return low ? std::wstring(1, static_cast<wchar_t>(low)) : std::wstring();
}

int ParseVirtualKeyName(const wchar_t* text) {
    if (!text)
        return 0;
    const std::wstring wanted = Normalise(text);
    for (const tagVIRTUALKEYNAME& row : kVirtualKeys) {
        if (Normalise(row.pszName) == wanted)
            return row.nCode;
    }
    return 0;
}

bool IsVirtualKeyInTable(int code) {
    const int low = code & 0xFF;
    for (const tagVIRTUALKEYNAME& row : kVirtualKeys) {
        if (row.nCode == low)
            return true;
    }
    return false;
}
