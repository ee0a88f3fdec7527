#pragma once
// One command bound to a remote-control key, and the command types.
//
// Pure logic: no Windows header.
#include <cstdint>

constexpr int CMD_NONE = 0;
constexpr int CMD_OSD = 1;  // on-screen display: main menu, application info, time
constexpr int CMD_SYS = 2;  // power, volume, mute, mouse, cursor
constexpr int CMD_KEY = 3;  // keystroke: nSubType = key, nValue = modifier bits
constexpr int CMD_WIN = 4;  // close, maximise, minimise, restore and toggles
constexpr int CMD_CTL = 5;  // menu item, button, combo box, slider of the target

constexpr int CMD_MOD_ALT = 1;
constexpr int CMD_MOD_CTRL = 2;
constexpr int CMD_MOD_SHIFT = 4;

constexpr int WINCMD_TEXT_LEN = 256;

// Plain record, copied by value. The member initialisers are the fresh record
// every reader and built-in set starts from.
struct tagWINCMD {
    wchar_t szText[WINCMD_TEXT_LEN] = {};           // shown in the display
    wchar_t szWindowCaption[WINCMD_TEXT_LEN] = {};  // upper case; empty = the set's window
    std::int32_t nType = CMD_NONE;
    std::int32_t nSubType = 0;
    std::int32_t nValue = 0;
    std::int32_t nParam = 0;
    std::int32_t fNoOsd = 0;  // never stored in a file
    std::int32_t fRepeat = 0;
    std::int32_t nRepeatDelay = 1000;
    std::int32_t nRepeatInterval = 200;
};

// Field-by-field equality: the numbers, both texts (case-sensitive), the flags
// and the repeat timing.
bool IsEqualWinCmd(const tagWINCMD& a, const tagWINCMD& b);

// Copies text into a fixed buffer, truncating and zero-filling the rest so
// records compare and store cleanly.
void CopyFixedText(wchar_t* dest, int destLen, const wchar_t* src);

// "OSD", "SYS", ... (short) or the localized long label; "???" for other types.
const wchar_t* GetCommandTypeName(int nType, bool fShort);
