#pragma once
// The table of installed executables: lower-case file name to full path,
// gathered from the registry's App Paths and from the system and program
// folders. Entries found later replace earlier ones of the same name.
#include <windows.h>

#include <string>
#include <unordered_map>
#include <vector>

using AppPathTable = std::unordered_map<std::wstring, std::wstring>;

// Where the table is gathered from; System() is what the program uses.
struct CAppPathSources {
    HKEY registryRoot = HKEY_LOCAL_MACHINE;
    std::wstring registryPath;                // sub-keys named after executables
    std::vector<std::wstring> exeFolders;     // every "*.exe" directly inside
    std::wstring programFilesFolder;          // every "*.exe" one folder down

    // App Paths under HKLM, the system folder, the Windows folder, its "ehome"
    // folder and the program-files folder.
    static CAppPathSources System();
};

// Empties table and fills it from sources.
void LoadAppPathsFrom(const CAppPathSources& sources, AppPathTable& table);

std::wstring ToLowerText(const std::wstring& text);
bool IsExistingFile(const wchar_t* path);
