#pragma once
// Case of wide strings, character by character (the C library's notion: good
// for file names, key names and the editor's labels).
//
// Pure logic: no Windows header.
#include <cwctype>
#include <string>

inline std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

inline std::wstring Upper(std::wstring text) {
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towupper(c));
    return text;
}
