#pragma once
// The texts of the tray icon and its menu that need no window: the standard
// items in the user's Windows language, the tip's length rule and the item
// text of a main-menu entry. Includes no Windows header.

#include <cstddef>
#include <string>

// The standard items' texts of one language.
struct tagTRAYTEXTS {
    const wchar_t* pszShow;
    const wchar_t* pszHide;
    const wchar_t* pszExit;
};

// The row of a primary language id (the low ten bits of a language id);
// any language without a row of its own gets the English one.
const tagTRAYTEXTS& TrayTextsForLanguage(unsigned primaryLanguage);

constexpr std::size_t TRAY_TIP_CHARS = 128;        // the tip buffer, terminator included
constexpr std::size_t TRAY_TIP_OWNER_CHARS = 63;   // the owner's window text as a tip

// text cut to at most maxChars characters. A surrogate pair is never split:
// its first half would be left alone at the end, which is no character.
std::wstring CutTrayText(const std::wstring& text, std::size_t maxChars);

// "%2d. %s": the item of main-menu slot index.
std::wstring MainMenuItemText(int index, const std::wstring& name);
