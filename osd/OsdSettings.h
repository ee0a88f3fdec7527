#pragma once
// The six display settings as one block: handed to the display window when it
// is created and again whenever the user changes them. The window keeps its
// own copy. No Windows header: the layout rules that read it are pure.

#include <cstdint>

struct tagOSDSETTINGS {
    std::int32_t osdOn = 1;                     // used by the callers, not by the window
    std::int32_t osdTime = 2;                   // seconds; 0 or less: no text announcements
    std::uint32_t osdTextColor = 0x00F0CAA6;    // COLORREF 0x00BBGGRR
    std::uint32_t osdBackColor = 0x00A56E3A;    // background 1
    std::uint32_t osdGradientColor = 0;         // background 2
    std::int32_t osdUseGradient = 1;            // 1: background 2 is used
};
