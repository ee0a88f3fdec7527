#include "cmdsets/ProfileFile.h"

#include "support/QVLastWriteFailure.h"
#include "support/ScopedWin.h"

namespace {

// The profile functions say "did not fit" by returning the buffer size - 2.
constexpr DWORD MAX_PROFILE_BUFFER = 1u << 24;

// Calls read(buffer, size) with a buffer that doubles while the platform
// reports a cut result; the buffer and (in length) what was read.
template <class Read>
std::vector<wchar_t> ReadWhole(DWORD initialChars, DWORD& length, Read read) {
    DWORD size = initialChars < 16 ? 16 : initialChars;
    std::vector<wchar_t> buffer;
    for (;;) {
        buffer.assign(size + 2, L'\0');
        length = read(buffer.data(), size);
        if (length < size - 2 || size >= MAX_PROFILE_BUFFER)
            return buffer;
        size *= 2;
    }
}

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
    DWORD length = 0;
    std::vector<wchar_t> buffer = ReadWhole(initialChars, length, [&](wchar_t* data, DWORD size) {
        return GetPrivateProfileSectionW(section, data, size, m_path.c_str());
    });
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
    DWORD length = 0;
    const std::vector<wchar_t> buffer = ReadWhole(initialChars, length, [&](wchar_t* data, DWORD size) {
        return GetPrivateProfileSectionNamesW(data, size, m_path.c_str());
    });
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
    // The profile functions trim key names when they read and write but not
    // when they delete: " 60" would never match the stored "60".
    std::wstring name = key ? key : L"";
    name.erase(0, name.find_first_not_of(L" \t"));
    name.erase(name.find_last_not_of(L" \t") + 1);
    return Checked(WritePrivateProfileStringW(section, name.c_str(), nullptr, m_path.c_str()),
                   L"WritePrivateProfileString");
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
