#pragma once
// Helpers of the localization tests under Wine: a temporary language folder
// that goes away with the test, language files written in the shipped encoding.

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace loctest {

using Entries = std::vector<std::pair<unsigned, std::wstring>>;

// "<temp>\kanzo_loc_<pid>_<name>", created empty; removed with its files when the object goes.
class CTempFolder {
public:
    explicit CTempFolder(const wchar_t* name);
    ~CTempFolder();
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;
    const std::wstring& Path() const { return m_path; }
    std::wstring File(const wchar_t* name) const { return m_path + L"\\" + name; }

private:
    void Remove();
    std::wstring m_path;
};

// A language file as the translators write it: UTF-16LE with byte-order mark,
// CRLF, section [Strings], texts taken as they stand (escapes included).
void WriteLngFile(const std::wstring& path, const Entries& entries);
// The folder of the running test program.
std::wstring ProgramFolder();
// resources/lang of the sources, seen from Wine.
std::wstring SourceLanguageFolder();
bool CopyLanguageFile(const wchar_t* name, const std::wstring& folder);

}  // namespace loctest
