#include "tests/support/LocalizeTestUtil.h"

#include <cstdio>

namespace loctest {

CTempFolder::CTempFolder(const wchar_t* name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    wchar_t path[MAX_PATH];
    std::swprintf(path, MAX_PATH, L"%lskanzo_loc_%lu_%ls", temp, GetCurrentProcessId(), name);
    m_path = path;
    Remove();
    CreateDirectoryW(m_path.c_str(), nullptr);
}

CTempFolder::~CTempFolder() { Remove(); }

void CTempFolder::Remove() {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((m_path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW((m_path + L"\\" + found.cFileName).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(m_path.c_str());
}

void WriteLngFile(const std::wstring& path, const Entries& entries) {
    std::wstring text = L"; test language file\r\n[Strings]\r\n";
    for (const auto& entry : entries)
        text += std::to_wstring(entry.first) + L"=" + entry.second + L"\r\n";
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file)
        return;
    std::fwrite("\xFF\xFE", 1, 2, file);
    std::fwrite(text.data(), sizeof(wchar_t), text.size(), file);
    std::fclose(file);
}

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.rfind(L'\\'));
}

std::wstring SourceLanguageFolder() {
    std::string narrow = KANZO_LANG_SOURCE_DIR;
    std::wstring folder(narrow.begin(), narrow.end());
    for (wchar_t& c : folder)
        if (c == L'/')
            c = L'\\';
    return folder;
}

bool CopyLanguageFile(const wchar_t* name, const std::wstring& folder) {
    return CopyFileW((SourceLanguageFolder() + L"\\" + name).c_str(), (folder + L"\\" + name).c_str(), FALSE) != 0;
}

}  // namespace loctest
