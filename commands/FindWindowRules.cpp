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

namespace {

template <class Rule>
int FirstHit(const std::vector<tagWINDOW_CANDIDATE>& entries, Rule rule) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (rule(entries[i]))
            return static_cast<int>(i);
    }
    return -1;
}

}  // namespace

bool MayMatchByCaption(const tagFINDWINDOW_SEARCH& search, const std::wstring& text) {
    return search.hasCaption && Contains(text, search.caption);
}

bool MayMatchByExecutable(const tagFINDWINDOW_SEARCH& search, const std::wstring& path) {
    return search.hasExecutable && Contains(path, search.executable);
}

int MatchCaptionRules(const tagFINDWINDOW_SEARCH& search, const std::vector<tagWINDOW_CANDIDATE>& entries) {
    if (!search.hasCaption)
        return -1;
    int hit = -1;
    if (search.hasExecutable) {
        hit = FirstHit(entries, [&](const tagWINDOW_CANDIDATE& e) {
            return MayMatchByCaption(search, e.text) && MayMatchByExecutable(search, e.path);
        });
        if (hit >= 0)
            return hit;
    }
    hit = FirstHit(entries, [&](const tagWINDOW_CANDIDATE& e) { return e.text == search.caption; });
    if (hit >= 0)
        return hit;
    return FirstHit(entries, [&](const tagWINDOW_CANDIDATE& e) { return MayMatchByCaption(search, e.text); });
}

int MatchExecutableRules(const tagFINDWINDOW_SEARCH& search, const std::vector<tagWINDOW_CANDIDATE>& entries) {
    if (!search.hasExecutable)
        return -1;
    const int hit = FirstHit(
        entries, [&](const tagWINDOW_CANDIDATE& e) { return MayMatchByExecutable(search, e.path) && !e.text.empty(); });
    if (hit >= 0)
        return hit;
    return FirstHit(entries, [&](const tagWINDOW_CANDIDATE& e) { return MayMatchByExecutable(search, e.path); });
}

int MatchModuleSearch(const tagFINDWINDOW_SEARCH& search, const std::vector<tagWINDOW_CANDIDATE>& entries) {
    const int hit = MatchCaptionRules(search, entries);
    return hit >= 0 ? hit : MatchExecutableRules(search, entries);
}

bool FallbackTextMatches(const tagFINDWINDOW_SEARCH& search, const std::wstring& text) {
    if (search.hasCaption)
        return !text.empty() && Contains(text, search.caption);
    return !search.requireTitle || !text.empty();
}

bool FallbackModuleMatches(const tagFINDWINDOW_SEARCH& search, const std::wstring& moduleName) {
    if (!search.hasExecutable)
        return true;
    // Only after the first character: a bare match at the start is no path.
    const std::size_t at = moduleName.find(search.executable);
    return at != std::wstring::npos && at != 0;
}

bool MatchFallbackWindow(const tagFINDWINDOW_SEARCH& search, const std::wstring& moduleName, const std::wstring& text) {
    return FallbackTextMatches(search, text) && FallbackModuleMatches(search, moduleName);
}
