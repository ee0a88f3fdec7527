#include "commands/QVFindWindow.h"

#include "commands/EnumWinModules.h"
#include "commands/FindWindowRules.h"
#include "support/QVDebug.h"

#include <cwchar>
#include <string>
#include <vector>

// One walk over the top-level windows serves all three steps. A question
// about another process's window is a round trip to the window server, so
// each step asks first what rejects most windows and asks only the windows
// that can still matter.

namespace {

std::wstring Lower(const wchar_t* text) {
    std::wstring out = text;
    if (!out.empty())
        CharLowerBuffW(&out[0], static_cast<DWORD>(out.size()));
    return out;
}

// The first window whose title equals the caption, as the system's own
// search by title compares it (any class, hidden or not).
HWND ExactTitle(CWindowWalk& walk, const wchar_t* caption) {
    // Longer than a window text the walk reads: only the system can tell.
    if (std::wcslen(caption) >= 259)
        return ::FindWindowW(nullptr, caption);
    for (int i = 0; i < walk.GetCount(); ++i) {
        if (CompareStringOrdinal(walk.GetText(i).c_str(), -1, caption, -1, TRUE) == CSTR_EQUAL)
            return walk.GetWindow(i);
    }
    return nullptr;
}

// The module search. Only windows that may match by caption can hit rules 1
// to 3, and only the windows that carry a matching process path rules 4 and
// 5; the others are left out of the rules' lists.
HWND ModuleSearch(CWindowWalk& walk, const tagFINDWINDOW_SEARCH& search) {
    std::vector<tagWINDOW_CANDIDATE> entries;
    std::vector<int> at;
    if (search.hasCaption) {
        for (int i = 0; i < walk.GetCount(); ++i) {
            if (!MayMatchByCaption(search, walk.GetLowerText(i)) || !walk.IsKept(i))
                continue;
            // A path that cannot match counts as none, so only a matching one
            // needs the question whether an earlier window of its process carries it.
            const std::wstring& path = walk.GetLowerProcessPath(i);
            const bool carries = MayMatchByExecutable(search, path) && walk.IsFirstKeptOfProcess(i);
            entries.push_back({carries ? path : std::wstring(), walk.GetLowerText(i)});
            at.push_back(i);
        }
        const int hit = MatchCaptionRules(search, entries);
        if (hit >= 0)
            return walk.GetWindow(at[hit]);
    }
    if (!search.hasExecutable)
        return nullptr;
    entries.clear();
    at.clear();
    for (int i = 0; i < walk.GetCount(); ++i) {
        if (!MayMatchByExecutable(search, walk.GetLowerProcessPath(i)) || !walk.IsFirstKeptOfProcess(i))
            continue;
        entries.push_back({walk.GetLowerProcessPath(i), walk.GetLowerText(i)});
        at.push_back(i);
    }
    const int hit = MatchExecutableRules(search, entries);
    return hit >= 0 ? walk.GetWindow(at[hit]) : nullptr;
}

// One pass of the fallback: visible, enabled windows by module file name and text.
HWND FallbackPass(CWindowWalk& walk, const tagFINDWINDOW_SEARCH& search) {
    for (int i = 0; i < walk.GetCount(); ++i) {
        // A text already read rejects without a question to the window.
        if (walk.HasText(i) && !FallbackTextMatches(search, walk.GetLowerText(i)))
            continue;
        if (!walk.IsVisible(i) || !walk.IsEnabled(i))
            continue;
        if (FallbackModuleMatches(search, walk.GetLowerModuleName(i)) &&
            FallbackTextMatches(search, walk.GetLowerText(i)))
            return walk.GetWindow(i);
    }
    return nullptr;
}

// The fallback search: caption and executable, then the executable alone,
// first with a title, then without.
HWND FallbackSearch(CWindowWalk& walk, tagFINDWINDOW_SEARCH& search) {
    if (search.hasCaption) {
        if (HWND hwnd = FallbackPass(walk, search))
            return hwnd;
        search.hasCaption = false;
    }
    search.requireTitle = true;
    if (HWND hwnd = FallbackPass(walk, search))
        return hwnd;
    search.requireTitle = false;
    return FallbackPass(walk, search);
}

}  // namespace

HWND CQVFindWindow::FindWindow(const wchar_t* caption, const wchar_t* executable, BOOL includeHidden) {
    const wchar_t* name = L"CQVFindWindow::FindWindowW";
    CQVTraceScope scope(QVL_DETAIL, QVC_COMMAND, name);
    if (!caption)
        caption = L"";
    if (!executable)
        executable = L"";
    TracePrint(QVL_DETAIL, QVC_COMMAND, L"%ls(%ls,%ls,%ls)\n", name, caption, executable,
               includeHidden ? L"TRUE" : L"FALSE");

    if (!*caption && !*executable) {
        TracePrint(QVL_ERR, QVC_COMMAND, L"%ls() - Invalid parameters\n", name);
        return nullptr;
    }
    DWORD flags = ENUMWIN_SKIP_CHILD | ENUMWIN_SKIP_EXCLUDED;
    if (!includeHidden)
        flags |= ENUMWIN_SKIP_INVISIBLE;
    CWindowWalk walk(flags, {FINDWINDOW_EXCLUDED_CLASS});
    if (*caption) {
        if (HWND hwnd = ExactTitle(walk, caption)) {
            TracePrint(QVL_DETAIL, QVC_COMMAND, L"%ls() - found by caption\n", name);
            return hwnd;
        }
    }
    tagFINDWINDOW_SEARCH search;
    if (PrepareWindowSearch(Lower(caption).c_str(), Lower(executable).c_str(), &search) ==
        FindWindowCheck::NotValidFileName) {
        TracePrint(QVL_WRN, QVC_COMMAND, L"CQVFindWindow::FindWindow() - Not a valid file name\n");
        return nullptr;
    }

    if (HWND hwnd = ModuleSearch(walk, search)) {
        TracePrint(QVL_DETAIL, QVC_COMMAND, L"CQVFindWindow::FindWindow() - FindWindowNT\n");
        return hwnd;
    }
    HWND hwnd = FallbackSearch(walk, search);
    TracePrint(QVL_DETAIL, QVC_COMMAND,
               hwnd ? L"CQVFindWindow::FindWindow() - FindWindow98\n" : L"CQVFindWindow::FindWindow() - NULL\n");
    return hwnd;
}
