#pragma once
// Helpers of the benchmarks under Wine: a millisecond timer and a temporary
// pair of command-set files.
#include <windows.h>

#include <string>

#include "cmdsets/CmdSetAdmin.h"

inline double BenchNowMs() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Files in a fresh folder of the temporary folder; BenchRemoveFiles takes them away.
inline CCmdSetPaths BenchCmdSetPaths(const wchar_t* name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring dir = std::wstring(temp) + name + L"_" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(dir.c_str(), nullptr);
    CCmdSetPaths paths;
    paths.presetFile = dir + L"\\Kanzo.ini";
    paths.userFile = dir + L"\\Kanzo.usr";
    paths.legacyUserFile = dir + L"\\none.usr";
    return paths;
}

inline void BenchRemoveFiles(const CCmdSetPaths& paths) {
    DeleteFileW(paths.presetFile.c_str());
    DeleteFileW(paths.userFile.c_str());
    const std::wstring& file = paths.presetFile;
    RemoveDirectoryW(file.substr(0, file.rfind(L'\\')).c_str());
}
