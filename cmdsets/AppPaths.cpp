#include "cmdsets/AppPaths.h"

#include <shlobj.h>

#include "support/QVRegKey.h"
#include "support/ScopedWin.h"

namespace {

constexpr DWORD APP_PATH_CHARS = 260;  // names and values of at most 259 characters

std::wstring WithoutTrailingBackslash(std::wstring folder) {
    while (!folder.empty() && folder.back() == L'\\')
        folder.pop_back();
    return folder;
}

void AddRegistryEntries(const CAppPathSources& sources, AppPathTable& table) {
    if (sources.registryPath.empty())
        return;
    CQVRegKey root;
    if (RegOpenKeyExW(sources.registryRoot, sources.registryPath.c_str(), 0, KEY_READ, root.Put()) != ERROR_SUCCESS)
        return;
    for (DWORD index = 0;; ++index) {
        wchar_t name[APP_PATH_CHARS];
        DWORD nameLength = APP_PATH_CHARS;
        LONG result = RegEnumKeyExW(root.Get(), index, name, &nameLength, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_MORE_DATA)
            continue;  // a name longer than 259 characters is no executable of ours
        if (result != ERROR_SUCCESS)
            break;
        wchar_t value[APP_PATH_CHARS] = {};
        DWORD bytes = sizeof value - sizeof(wchar_t);  // room for a terminator the store may lack
        DWORD type = 0;
        CQVRegKey sub;
        if (RegOpenKeyExW(root.Get(), name, 0, KEY_READ, sub.Put()) != ERROR_SUCCESS)
            continue;
        if (RegQueryValueExW(sub.Get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes) !=
                ERROR_SUCCESS ||
            (type != REG_SZ && type != REG_EXPAND_SZ))
            continue;
        value[bytes / sizeof(wchar_t)] = L'\0';
        std::wstring path = value;
        // Paths are often stored in quotes.
        if (path.size() >= 2 && path.front() == L'"' && path.back() == L'"')
            path = path.substr(1, path.size() - 2);
        if (IsExistingFile(path.c_str()))
            table[ToLowerText(name)] = path;
    }
}

template <class Visit>
void ForEachMatch(const std::wstring& folder, const wchar_t* pattern, Visit visit) {
    WIN32_FIND_DATAW data;
    std::wstring mask = folder + L"\\" + pattern;
    CQVFindHandle find(FindFirstFileW(mask.c_str(), &data));
    if (!find.IsValid())
        return;
    do {
        visit(data);
    } while (FindNextFileW(find.Get(), &data));
}

void AddExecutables(const std::wstring& folder, AppPathTable& table) {
    ForEachMatch(folder, L"*.exe", [&](const WIN32_FIND_DATAW& data) {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            table[ToLowerText(data.cFileName)] = folder + L"\\" + data.cFileName;
    });
}

}  // namespace

CAppPathSources CAppPathSources::System() {
    CAppPathSources sources;
    sources.registryPath = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths";
    wchar_t folder[MAX_PATH] = {};
    if (GetSystemDirectoryW(folder, MAX_PATH))
        sources.exeFolders.push_back(WithoutTrailingBackslash(folder));
    if (GetWindowsDirectoryW(folder, MAX_PATH)) {
        std::wstring windows = WithoutTrailingBackslash(folder);
        sources.exeFolders.push_back(windows);
        sources.exeFolders.push_back(windows + L"\\ehome");
    }
    if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, folder)))
        sources.programFilesFolder = WithoutTrailingBackslash(folder);
    return sources;
}

void LoadAppPathsFrom(const CAppPathSources& sources, AppPathTable& table) {
    table.clear();
    AddRegistryEntries(sources, table);
    for (const std::wstring& folder : sources.exeFolders)
        AddExecutables(folder, table);
    if (sources.programFilesFolder.empty())
        return;
    ForEachMatch(sources.programFilesFolder, L"*.*", [&](const WIN32_FIND_DATAW& data) {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            AddExecutables(sources.programFilesFolder + L"\\" + data.cFileName, table);
    });
}

std::wstring ToLowerText(const std::wstring& text) {
    std::wstring lower = text;
    if (!lower.empty())
        CharLowerBuffW(&lower[0], static_cast<DWORD>(lower.size()));
    return lower;
}

bool IsExistingFile(const wchar_t* path) {
    if (!path || !*path)
        return false;
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
