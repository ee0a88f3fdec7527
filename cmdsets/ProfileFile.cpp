#include "cmdsets/ProfileFile.h"

#include "support/QVLastWriteFailure.h"
#include "support/ScopedWin.h"

namespace {

// The profile functions say "did not fit" by returning the buffer size - 2.
constexpr DWORD MAX_PROFILE_BUFFER = 1u << 24;

}  // namespace

bool CProfileFile::Exists() const {
    DWORD attributes = GetFileAttributesW(m_path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring CProfileFile::ReadString(const wchar_t* section, const wchar_t* key, DWORD maxChars) const {
    std::vector<wchar_t> buffer(maxChars + 1, L'\0');
    DWORD length = GetPrivateProfileStringW(section, key, L"", buffer.data(), maxChars, m_path.c_str());
    return std::wstring(buffer.data(), length);
}

int CProfileFile::ReadInt(const wchar_t* section, const wchar_t* key, int defaultValue) const {
    return static_cast<int>(GetPrivateProfileIntW(section, key, defaultValue, m_path.c_str()));
}

std::vector<wchar_t> CProfileFile::ReadSection(const wchar_t* section, DWORD initialChars) const {
    DWORD size = initialChars < 16 ? 16 : initialChars;
    std::vector<wchar_t> buffer;
    DWORD length = 0;
    for (;;) {
        buffer.assign(size + 2, L'\0');
        length = GetPrivateProfileSectionW(section, buffer.data(), size, m_path.c_str());
        if (length < size - 2 || size >= MAX_PROFILE_BUFFER)
            break;
        size *= 2;
    }
    buffer.resize(length + 2, L'\0');
    buffer[length] = L'\0';
    buffer[length + 1] = L'\0';
    return buffer;
}

bool CProfileFile::HasSection(const wchar_t* section) const {
    wchar_t buffer[8];
    return GetPrivateProfileSectionW(section, buffer, 8, m_path.c_str()) > 0;
}

std::vector<std::wstring> CProfileFile::ReadSectionNames(DWORD initialChars) const {
    std::vector<std::wstring> names;
    if (!Exists())
        return names;
    DWORD size = initialChars < 16 ? 16 : initialChars;
    std::vector<wchar_t> buffer;
    DWORD length = 0;
    for (;;) {
        buffer.assign(size, L'\0');
        length = GetPrivateProfileSectionNamesW(buffer.data(), size, m_path.c_str());
        // size - 2 is how the platform says the list did not fit.
        if (length < size - 2 || size >= MAX_PROFILE_BUFFER)
            break;
        size *= 2;
    }
    for (DWORD i = 0; i < length && buffer[i];) {
        std::wstring name(&buffer[i]);
        i += static_cast<DWORD>(name.size()) + 1;
        names.push_back(std::move(name));
    }
    return names;
}

bool CProfileFile::Checked(BOOL result, const wchar_t* operation) const {
    if (!result)
        CQVLastWriteFailure::Record(operation, m_path, GetLastError());
    return result != FALSE;
}

bool CProfileFile::WriteString(const wchar_t* section, const wchar_t* key, const wchar_t* value) const {
    if (m_writeBlocked)
        return false;
    return Checked(WritePrivateProfileStringW(section, key, value, m_path.c_str()), L"WritePrivateProfileString");
}

bool CProfileFile::DeleteKey(const wchar_t* section, const wchar_t* key) const {
    if (m_writeBlocked)
        return false;
    return Checked(WritePrivateProfileStringW(section, key, nullptr, m_path.c_str()), L"WritePrivateProfileString");
}

bool CProfileFile::DeleteSection(const wchar_t* section) const {
    if (m_writeBlocked)
        return false;
    return Checked(WritePrivateProfileStringW(section, nullptr, nullptr, m_path.c_str()), L"WritePrivateProfileString");
}

bool CProfileFile::WriteSection(const wchar_t* section, const wchar_t* text) const {
    if (m_writeBlocked)
        return false;
    return Checked(WritePrivateProfileSectionW(section, text, m_path.c_str()), L"WritePrivateProfileSection");
}

bool CProfileFile::OpenForAppend() const {
    if (m_writeBlocked)
        return false;
    CQVHandle file(CreateFileW(m_path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
        return false;
    if (GetLastError() != ERROR_ALREADY_EXISTS) {
        static const BYTE bom[2] = {0xFF, 0xFE};
        DWORD written = 0;
        // Without the mark the file is read as ANSI and non-Latin texts turn to "?".
        if (!WriteFile(file.Get(), bom, sizeof bom, &written, nullptr) || written != sizeof bom)
            CQVLastWriteFailure::Record(L"WriteFile", m_path, GetLastError());
    }
    return true;
}
