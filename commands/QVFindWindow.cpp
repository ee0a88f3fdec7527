#include "commands/QVFindWindow.h"

#include "commands/EnumWinModules.h"
#include "commands/FindWindowRules.h"
#include "support/QVDebug.h"

#include <string>
#include <vector>

namespace {

std::wstring Lower(const std::wstring& text) {
    std::wstring out = text;
    if (!out.empty())
        CharLowerBuffW(&out[0], static_cast<DWORD>(out.size()));
    return out;
}

struct tagFALLBACK {
    tagFINDWINDOW_SEARCH* search;
    HWND result;
};

BOOL CALLBACK FallbackProc(HWND hwnd, LPARAM param) {
    auto* state = reinterpret_cast<tagFALLBACK*>(param);
    if (!IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd))
        return TRUE;
    wchar_t module[260] = {};
    GetWindowModuleFileNameW(hwnd, module, 260);
    wchar_t text[260] = {};
    GetWindowTextW(hwnd, text, 260);
    if (MatchFallbackWindow(*state->search, Lower(module), Lower(text))) {
        state->result = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND FallbackPass(tagFINDWINDOW_SEARCH& search) {
    tagFALLBACK state = {&search, nullptr};
    EnumWindows(FallbackProc, reinterpret_cast<LPARAM>(&state));
    return state.result;
}

// The fallback search: caption and executable, then the executable alone,
// first with a title, then without.
HWND FallbackSearch(tagFINDWINDOW_SEARCH& search) {
    if (search.hasCaption) {
        if (HWND hwnd = FallbackPass(search))
            return hwnd;
        search.hasCaption = false;
    }
    search.requireTitle = true;
    if (HWND hwnd = FallbackPass(search))
        return hwnd;
    search.requireTitle = false;
    return FallbackPass(search);
}

}  // namespace

HWND CQVFindWindow::FindWindow(const wchar_t* caption, const wchar_t* executable, BOOL includeHidden) {
    return FindWindowWithRoom(caption, executable, includeHidden, 250);
}

HWND CQVFindWindow::FindWindowWithRoom(const wchar_t* caption, const wchar_t* executable, BOOL includeHidden,
                                       DWORD processRoom) {
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
    if (*caption) {
        if (HWND hwnd = ::FindWindowW(nullptr, caption)) {
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

    CEnumWinModules windows(processRoom);
    windows.AddExcludedClass(FINDWINDOW_EXCLUDED_CLASS);
    DWORD flags = ENUMWIN_SKIP_CHILD | ENUMWIN_SKIP_EXCLUDED;
    if (!includeHidden)
        flags |= ENUMWIN_SKIP_INVISIBLE;
    windows.Enumerate(flags);
    std::vector<tagWINDOW_CANDIDATE> entries(windows.GetCount());
    for (int i = 0; i < windows.GetCount(); ++i) {
        entries[i].path = Lower(windows.GetExecutablePath(i));
        entries[i].text = Lower(windows.GetWindowText(i));
    }
    const int hit = MatchModuleSearch(search, entries);
    if (hit >= 0) {
        TracePrint(QVL_DETAIL, QVC_COMMAND, L"CQVFindWindow::FindWindow() - FindWindowNT\n");
        return windows.GetWindow(hit);
    }

    HWND hwnd = FallbackSearch(search);
    TracePrint(QVL_DETAIL, QVC_COMMAND,
               hwnd ? L"CQVFindWindow::FindWindow() - FindWindow98\n" : L"CQVFindWindow::FindWindow() - NULL\n");
    return hwnd;
}
