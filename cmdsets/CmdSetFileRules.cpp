#include "cmdsets/CmdSetFileRules.h"

#include <functional>

#include "cmdsets/KeyLine.h"

namespace {

std::wstring TrimBlanks(const std::wstring& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && (text[first] == L' ' || text[first] == L'\t'))
        ++first;
    while (last > first && (text[last - 1] == L' ' || text[last - 1] == L'\t'))
        --last;
    return text.substr(first, last - first);
}

bool IsDecimal(const std::wstring& text, int maxValue) {
    if (text.empty() || text.size() > 4)
        return false;
    int value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9')
            return false;
        value = value * 10 + (c - L'0');
    }
    return value <= maxValue;
}

// Calls visit(name, value) for every "name=value" line, both trimmed of blanks.
void ForEachEntry(const wchar_t* text, std::size_t length,
                  const std::function<bool(const std::wstring&, const std::wstring&)>& visit) {
    if (!text)
        return;
    std::size_t pos = 0;
    while (pos < length && text[pos] != L'\0') {
        std::size_t end = pos;
        while (end < length && text[end] != L'\0')
            ++end;
        const std::wstring line(text + pos, end - pos);
        pos = end + 1;
        const std::size_t equals = line.find(L'=');
        if (equals == std::wstring::npos)
            continue;
        if (!visit(TrimBlanks(line.substr(0, equals)), TrimBlanks(line.substr(equals + 1))))
            return;
    }
}

// Key ids of every layout, the parked ids of a renumbering included.
constexpr int kHighestKeyName = 1232;

}  // namespace

bool ParseLayoutStamp(const std::wstring& text, int& version) {
    std::int32_t value = 0;
    if (!ReadProfileInt(text, value))
        return false;
    version = value;
    return true;
}

void CountKeyLines(const wchar_t* sectionText, std::size_t length, tagKEYLINECOUNT& count) {
    ForEachEntry(sectionText, length, [&count](const std::wstring& name, const std::wstring& value) {
        if (IsDecimal(name, kHighestKeyName)) {
            if (IsWellFormedKeyLine(value))
                ++count.nCurrent;
            else
                ++count.nOther;
        }
        return true;
    });
}

bool IsKnownEntryName(const std::wstring& name) {
    static const wchar_t* const kNames[] = {L"RC Layout Version", L"Executable", L"AppPath",  L"WindowCaption",
                                            L"Description",       L"CommandLine", L"HideOsd", L"SmsInput",
                                            L"AlwaysActive"};
    if (IsDecimal(name, kHighestKeyName))
        return true;
    for (const wchar_t* known : kNames)
        if (name == known)
            return true;
    return false;
}

bool HasKnownEntry(const wchar_t* sectionText, std::size_t length) {
    bool found = false;
    ForEachEntry(sectionText, length, [&found](const std::wstring& name, const std::wstring&) {
        found = IsKnownEntryName(name);
        return !found;
    });
    return found;
}
