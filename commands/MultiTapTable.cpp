#include "commands/MultiTapTable.h"

#include <cwchar>

namespace {

// Upper-case letters: the keystroke switches Caps Lock on for them.
const wchar_t* const kCharacters[MULTITAP_LAST_KEY - MULTITAP_FIRST_KEY + 1] = {
    L"0 ",
    L"1.,?!'-()*+<=>",
    L"2ABC",
    L"3DEF",
    L"4GHI",
    L"5JKL",
    L"6MNO",
    L"7PQRS",
    L"8TUV",
    L"9WXYZ",
};

}  // namespace

const wchar_t* GetMultiTapCharacters(int keyId) {
    if (keyId < MULTITAP_FIRST_KEY || keyId > MULTITAP_LAST_KEY)
        return nullptr;
    return kCharacters[keyId - MULTITAP_FIRST_KEY];
}

int GetMultiTapLength(int keyId) {
    const wchar_t* chars = GetMultiTapCharacters(keyId);
    return chars ? static_cast<int>(std::wcslen(chars)) : 0;
}

std::wstring FormatMultiTapDisplay(int keyId, int index) {
    const wchar_t* chars = GetMultiTapCharacters(keyId);
    if (!chars)
        return std::wstring();
    const int length = GetMultiTapLength(keyId);
    const wchar_t current = index >= 0 && index < length ? chars[index] : L'\0';
    std::wstring text;
    for (const wchar_t* p = chars; *p; ++p) {
        // The blank is shown as "_" and marked like any other character, so the
        // user sees which one is selected.
        const wchar_t shown = *p == L' ' ? L'_' : *p;
        if (*p == current) {
            text += L" \u00AB";
            text += shown;
            text += L"\u00BB ";
        } else {
            text += shown;
        }
    }
    return text;
}
