#pragma once
// The text form of one key binding in a command-set file, and the reading of
// a whole section's text.
//
// Pure logic: no Windows header, so the parsers build natively and can be fuzzed.
#include <map>
#include <string>

#include "cmdsets/WinCmd.h"

// Layout-4 value: "%3d,%3d,%5d,%3d,%3d,%3d,%3d," then the quoted text, caption
// and English key name. Blanks in the text and caption become "_"; the key
// name keeps its blanks, as the shipped preset writes it, so a restored key
// compares equal to its preset line. Commas,
// double quotes and control characters cannot survive a reload (the reader cuts
// at a comma and drops quotes), so they are removed here rather than left to
// shift the fields of the line. fRepeat is written as 0 for KEYID_POWER and KEYID_MENU.
std::wstring FormatKeyLine(int keyId, const tagWINCMD& cmd, const wchar_t* englishKeyName);

// Reads a layout-4 value into a fresh record. Missing integers keep their fresh
// values; field 9 (caption, upper-cased) counts only when a comma follows it.
tagWINCMD ParseKeyLine(const std::wstring& value);

// Reads a layout-3 value ("%d,%d,%d,%d", text, caption) into a fresh record.
tagWINCMD ParseLayout3KeyLine(const std::wstring& value);

// The text as the writer puts it between the quotes.
std::wstring EncodeLineText(const wchar_t* text);

// Like "%d" of scanf: leading white space, a sign, digits; clamps instead of
// overflowing. False when no digit follows.
bool ReadProfileInt(const std::wstring& field, std::int32_t& out);

// Removes blanks, tabs and double quotes from both ends.
std::wstring TrimProfileValue(const std::wstring& text);

// Entries of one section, key name (trimmed) to value (trimmed). The first
// occurrence of a name wins, as with the profile functions.
class CSectionEntries {
public:
    static constexpr int MAX_ENTRIES = 512;
    // The first buffer for a section's text; readers grow it, since a set
    // that binds every key with long texts is longer than this.
    static constexpr int MAX_SECTION_CHARS = 32768;
    static constexpr int MAX_NAME_CHARS = 127;

    // text: "name=value\0name=value\0\0" as the profile functions return a
    // section; at most length units are looked at, however many that is.
    void Parse(const wchar_t* text, std::size_t length);
    // Entry of the key id in decimal; false when the section has none.
    bool Find(int keyId, std::wstring& value) const;
    bool IsEmpty() const { return m_entries.empty(); }
    int GetCount() const { return static_cast<int>(m_entries.size()); }

private:
    std::map<std::wstring, std::wstring> m_entries;
};

// New key id of an id of layouts 0 to 2; -1 when the old id has no successor.
int RenumberLegacyKey(int oldKeyId);

// Removes every blank and tab (compares a preset line with a new line).
std::wstring RemoveBlanks(const std::wstring& text);

// True for a value exactly in the layout-4 form: seven integers, each with a
// comma, then three quoted fields separated by commas (blanks allowed around
// the integers). Used to check shipped and imported files line by line.
bool IsWellFormedKeyLine(const std::wstring& value);
