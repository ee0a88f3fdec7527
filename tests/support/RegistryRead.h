#pragma once
// Registry values as the tests read them back.
#include <windows.h>

#include <string>

namespace kanzotest {

// Empty when missing; "<missing>" tells the two apart.
inline std::wstring ReadString(HKEY root, const wchar_t* path, const wchar_t* name) {
    wchar_t text[1024] = {};
    DWORD size = sizeof(text);
    if (RegGetValueW(root, path, name, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return L"<missing>";
    return text;
}

}  // namespace kanzotest
