#pragma once
// Header of a command set: the application it drives and how to find it.
//
// Pure logic: no Windows header.
#include <cstdint>

constexpr int PRGINFO_TEXT_LEN = 260;

// Plain record, copied by value; all zero stands for "no set".
struct tagPRGINFO {
    wchar_t szExecutable[PRGINFO_TEXT_LEN] = {};  // compared without regard to case
    wchar_t szAppPath[PRGINFO_TEXT_LEN] = {};
    wchar_t szWindowCaption[PRGINFO_TEXT_LEN] = {};  // empty = by executable only
    wchar_t szCommandLine[PRGINFO_TEXT_LEN] = {};
    wchar_t szName[PRGINFO_TEXT_LEN] = {};  // section name in the files
    wchar_t szDescription[PRGINFO_TEXT_LEN] = {};
    std::int32_t fPreset = 0;          // read from the preset file
    std::int32_t fModifiedPreset = 0;  // read from the user file, preset has the same set
    std::int32_t fHideOsd = 0;
    std::int32_t fSmsInput = 0;
    std::int32_t fAlwaysActive = 0;
};

bool IsSamePrgInfo(const tagPRGINFO& a, const tagPRGINFO& b);
