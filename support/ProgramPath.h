#pragma once
// The running program's own file and folder, whatever the path's length.
#include <windows.h>

#include <string>

// The full path of the executable; empty when the system cannot tell.
inline std::wstring GetProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::wstring();
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

// The executable's folder, without the closing backslash.
inline std::wstring GetProgramFolder() {
    std::wstring path = GetProgramPath();
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}
