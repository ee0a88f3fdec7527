#pragma once
// The keystroke vocabulary: names of the virtual keys a command can send, as
// the editor and the HTML overview show and parse them.
//
// Pure logic: no Windows header.
#include <string>

struct tagVIRTUALKEYNAME {
    const wchar_t* pszName;  // four names carry trailing blanks (padded to 19 characters)
    int nCode;
};

// The 52 rows in display order.
int GetVirtualKeyCount();
const tagVIRTUALKEYNAME& GetVirtualKeyEntry(int index);

// The name of the first row whose code equals the low byte of code, else the
// low byte as a character ("%c").
std::wstring GetVirtualKeyName(int code);
// Case-insensitive, every "VK_" ignored on both sides, blanks significant;
// the code of the first equal row, 0 when none matches.
int ParseVirtualKeyName(const wchar_t* text);
// Whether a row has the low byte of code as its code.
bool IsVirtualKeyInTable(int code);
