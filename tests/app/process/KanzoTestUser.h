#pragma once
// What the process tests share: the test's own installation of Kanzo.exe and
// a new user's state (no settings, no Run entry, no user command-set file).
#include <windows.h>

#include <string>

#include "app/demo/KanzoProcess.h"

namespace kanzotest {

inline const wchar_t kSettingsKey[] = L"Software\\Vemtra Electronic GmbH\\Remote Control";
inline const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline const wchar_t kRunValue[] = L"Remote Control Editor";

// The program, its files and the test MIDI driver in a folder beside the test.
inline std::wstring Installation() { return kanzoctl::CKanzoProcess::ExecutableFolder() + L"\\kanzo"; }

inline void ForgetUser() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, kRunValue);
    wchar_t appData[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH))
        DeleteFileW((std::wstring(appData) + L"\\Vemtra\\Remote\\Kanzo.usr").c_str());
}

}  // namespace kanzotest
