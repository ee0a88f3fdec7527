#pragma once
// One profile (INI) file, read and written only through the platform's
// profile-string functions, which do the encoding and the locking.
#include <windows.h>

#include <string>
#include <vector>

class CProfileFile {
public:
    CProfileFile() = default;
    explicit CProfileFile(std::wstring path) : m_path(std::move(path)) {}

    const std::wstring& GetPath() const { return m_path; }
    bool Exists() const;

    // At most maxChars - 1 characters; "" when the key or the file is missing.
    std::wstring ReadString(const wchar_t* section, const wchar_t* key, DWORD maxChars) const;
    int ReadInt(const wchar_t* section, const wchar_t* key, int defaultValue) const;
    // The section as "name=value\0...\0\0"; empty when missing. Starts with
    // a buffer of initialChars and grows it while the platform reports a cut
    // section, so whatever this program wrote is read back whole.
    std::vector<wchar_t> ReadSection(const wchar_t* section, DWORD initialChars) const;
    bool HasSection(const wchar_t* section) const;
    // Every section name. Starts with a buffer of initialChars and grows it
    // while the platform reports a cut list, so no section is lost.
    std::vector<std::wstring> ReadSectionNames(DWORD initialChars) const;

    // Writes return false on failure and record it (CQVLastWriteFailure).
    bool WriteString(const wchar_t* section, const wchar_t* key, const wchar_t* value) const;
    // The key name may carry blanks around it, as a read or write allows.
    bool DeleteKey(const wchar_t* section, const wchar_t* key) const;
    bool DeleteSection(const wchar_t* section) const;
    // section text as ReadSection returns it; replaces the whole section.
    bool WriteSection(const wchar_t* section, const wchar_t* text) const;

    // Opens the file for appending, creating it when missing. A new file gets
    // a UTF-16 byte-order mark, so that the profile functions keep names and
    // texts of every language. False when the file cannot be written.
    bool OpenForAppend() const;

    // A file kept as it is (one that could not be read): every write and
    // OpenForAppend fails without touching it.
    void SetWriteBlocked(bool blocked) { m_writeBlocked = blocked; }
    bool IsWriteBlocked() const { return m_writeBlocked; }

private:
    // Records a failed write (the profile functions fail silently otherwise).
    bool Checked(BOOL result, const wchar_t* operation) const;

    std::wstring m_path;
    bool m_writeBlocked = false;
};
