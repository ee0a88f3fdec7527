#pragma once
// The matching rules of the target-window lookup, on texts the Windows side
// has already collected and lower-cased.
//
// Pure logic: no Windows header.
#include <string>
#include <vector>

// Reserved window class of the program's own windows; the module search never
// returns one of them.
constexpr const wchar_t* FINDWINDOW_EXCLUDED_CLASS = L"AFX:400000:8:10011:0:2ed014d";

struct tagFINDWINDOW_SEARCH {
    std::wstring executable;  // lower case
    bool hasExecutable = false;
    std::wstring caption;  // lower case
    bool hasCaption = false;
    bool requireTitle = false;  // fallback search only
};

enum class FindWindowCheck {
    Search,            // go on with the module and fallback searches
    InvalidParameters, // neither caption nor executable
    NotValidFileName,  // a caption with an executable of 4 characters or fewer
};

// Builds the search record from caption and executable (either may be null)
// and says whether the searches run. Only the exact-title step comes before
// this check, so a caption alone finds only an exact title.
FindWindowCheck PrepareWindowSearch(const wchar_t* caption, const wchar_t* executable, tagFINDWINDOW_SEARCH* search);

// One entry of the module search: the process's executable path (empty when
// unknown) and the window's text, both lower case.
struct tagWINDOW_CANDIDATE {
    std::wstring path;
    std::wstring text;
};

// The five rules of the module search in order, each over all entries in
// order; the index of the first hit, -1 when none.
int MatchModuleSearch(const tagFINDWINDOW_SEARCH& search, const std::vector<tagWINDOW_CANDIDATE>& entries);
// Its two halves: rules 1 to 3 (by caption), then rules 4 and 5 (by
// executable). Only an entry whose text may match by caption can hit the
// first half, only one whose path may match by executable the second, so a
// caller may leave every other entry out.
int MatchCaptionRules(const tagFINDWINDOW_SEARCH& search, const std::vector<tagWINDOW_CANDIDATE>& entries);
int MatchExecutableRules(const tagFINDWINDOW_SEARCH& search, const std::vector<tagWINDOW_CANDIDATE>& entries);
bool MayMatchByCaption(const tagFINDWINDOW_SEARCH& search, const std::wstring& text);
bool MayMatchByExecutable(const tagFINDWINDOW_SEARCH& search, const std::wstring& path);

// One window of the fallback search (module file name and text in lower case):
// whether it ends the search under the search record's current flags.
bool MatchFallbackWindow(const tagFINDWINDOW_SEARCH& search, const std::wstring& moduleName,
                         const std::wstring& text);
// Its two halves, so a caller can ask the window for one text only when the
// other half holds.
bool FallbackTextMatches(const tagFINDWINDOW_SEARCH& search, const std::wstring& text);
bool FallbackModuleMatches(const tagFINDWINDOW_SEARCH& search, const std::wstring& moduleName);

// Lower case for the search texts (ASCII and Latin-1 letters; the Windows side
// lower-cases with the system before calling in).
std::wstring LowerSearchText(const wchar_t* text);
