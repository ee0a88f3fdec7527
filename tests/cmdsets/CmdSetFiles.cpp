#include "CmdSetFiles.h"

#include <cstdio>

#include "cmdsets/KnownCmdSets.h"


void RemoveTree(const std::wstring& dir) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((dir + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring path = dir + L"\\" + name;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(dir.c_str());
}

void CmdSetFilesTest::SetUp() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::wstring name;
    for (const char* p = info->name(); *p; ++p)
        name += (*p == '/') ? L'_' : static_cast<wchar_t>(*p);
    m_dir = std::wstring(temp) + L"kanzo-cmdsets-" + std::to_wstring(GetCurrentProcessId()) + L"-" + name;
    RemoveTree(m_dir);
    ASSERT_TRUE(CreateDirectoryW(m_dir.c_str(), nullptr));
    m_exeDir = m_dir + L"\\bin";
    ASSERT_TRUE(CreateDirectoryW(m_exeDir.c_str(), nullptr));
    // Sets of an earlier test must not be taken for this test's.
    CKnownCmdSets::Instance().SetStale();
}

void CmdSetFilesTest::TearDown() {
    RemoveTree(m_dir);
    CKnownCmdSets::Instance().SetStale();
}

void CmdSetFilesTest::WriteText(const std::wstring& path, const std::string& text) {
    std::string crlf;
    for (char c : text) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    FILE* out = _wfopen(path.c_str(), L"wb");
    ASSERT_NE(nullptr, out);
    fwrite(crlf.data(), 1, crlf.size(), out);
    fclose(out);
}

std::string CmdSetFilesTest::ReadText(const std::wstring& path) {
    std::string text;
    FILE* in = _wfopen(path.c_str(), L"rb");
    if (!in)
        return text;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, in)) > 0;)
        text.append(buffer, n);
    fclose(in);
    return text;
}

std::wstring CmdSetFilesTest::MakeExe(const std::wstring& name) const {
    std::wstring path = m_exeDir + L"\\" + name;
    WriteText(path, "MZ");
    return path;
}

CCmdSetPaths CmdSetFilesTest::Paths() const {
    CCmdSetPaths paths;
    paths.presetFile = m_dir + L"\\Kanzo.ini";
    paths.userFile = m_dir + L"\\Kanzo.usr";
    paths.legacyUserFile = m_dir + L"\\legacy.usr";
    return paths;
}

CAppPathSources CmdSetFilesTest::Sources() const {
    CAppPathSources sources;
    sources.exeFolders.push_back(m_exeDir);
    return sources;
}

std::wstring CmdSetFilesTest::UserValue(const wchar_t* section, const wchar_t* key) const {
    wchar_t value[1024] = {};
    GetPrivateProfileStringW(section, key, L"", value, 1024, Paths().userFile.c_str());
    return value;
}
