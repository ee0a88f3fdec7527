#include "commands/FindWindowRules.h"

#include <cwchar>

namespace {

bool Contains(const std::wstring& text, const std::wstring& part) {
    return text.find(part) != std::wstring::npos;
}

}  // namespace

std::wstring LowerSearchText(const wchar_t* text) {
    std::wstring out;
    if (!text)
        return out;
    for (const wchar_t* p = text; *p; ++p) {
        wchar_t c = *p;
        if ((c >= L'A' && c <= L'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
            c = static_cast<wchar_t>(c + 32);
        out += c;
    }
    return out;
}

FindWindowCheck PrepareWindowSearch(const wchar_t* caption, const wchar_t* executable, tagFINDWINDOW_SEARCH* search) {
    const bool hasCaption = caption && *caption;
    const bool hasExecutable = executable && *executable;
    if (!hasCaption && !hasExecutable)
        return FindWindowCheck::InvalidParameters;
    search->caption = LowerSearchText(caption);
    search->hasCaption = hasCaption;
    search->executable = LowerSearchText(executable);
    search->hasExecutable = hasExecutable;
    search->requireTitle = false;
    if (hasCaption && (!hasExecutable || std::wcslen(executable) <= 4))
        return FindWindowCheck::NotValidFileName;
    return FindWindowCheck::Search;
}

int MatchModuleSearch(const tagFINDWINDOW_SEARCH& search, const std::vector<tagWINDOW_CANDIDATE>& entries) {
    const int count = static_cast<int>(entries.size());
    auto first = [&](auto rule) {
        for (int i = 0; i < count; ++i) {
            if (rule(entries[i]))
                return i;
        }
        return -1;
    };
    int hit = -1;
    if (search.hasCaption && search.hasExecutable) {
        hit = first([&](const tagWINDOW_CANDIDATE& e) {
            return Contains(e.text, search.caption) && Contains(e.path, search.executable);
        });
        if (hit >= 0)
            return hit;
    }
    if (search.hasCaption) {
        hit = first([&](const tagWINDOW_CANDIDATE& e) { return e.text == search.caption; });
        if (hit >= 0)
            return hit;
        hit = first([&](const tagWINDOW_CANDIDATE& e) { return Contains(e.text, search.caption); });
        if (hit >= 0)
            return hit;
    }
    if (search.hasExecutable) {
        hit = first([&](const tagWINDOW_CANDIDATE& e) { return Contains(e.path, search.executable) && !e.text.empty(); });
        if (hit >= 0)
            return hit;
        hit = first([&](const tagWINDOW_CANDIDATE& e) { return Contains(e.path, search.executable); });
    }
    return hit;
}

bool MatchFallbackWindow(const tagFINDWINDOW_SEARCH& search, const std::wstring& moduleName, const std::wstring& text) {
    if (search.hasCaption && text.empty())
        return false;
    if (search.hasExecutable) {
        if (moduleName.empty())
            return false;
        // Only after the first character: a bare match at the start is no path.
        const std::size_t at = moduleName.find(search.executable);
        if (at == std::wstring::npos || at == 0)
            return false;
    }
    if (search.hasCaption)
        return Contains(text, search.caption);
    if (search.requireTitle)
        return !text.empty();
    return true;
}
