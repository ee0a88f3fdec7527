#pragma once
// CCtrlList: the list of command sets on the Command sets page. A list view
// that knows the page's keys and context menu: a right click selects the row
// under the mouse and opens the menu (Delete and Reset only where they apply),
// a double click and Enter edit, the Delete key deletes (never a preset), Ctrl+C
// copies. The commands reach the page as WM_COMMAND. User-interface thread only.
#include <windows.h>

#include <functional>

#include "support/ScopedWin.h"

class CQVLocalize;

// What kind of set is selected, as the list's menu and keys need to know.
enum : int {
    SET_ORIGIN_NONE = -1,    // no selection
    SET_ORIGIN_PRESET = 0,   // from the preset file
    SET_ORIGIN_USER = 1,     // the user's own set
    SET_ORIGIN_COPY = 2,     // the user's copy of a preset
};

class CCtrlList {
public:
    using OriginQuery = std::function<int()>;
    // resources: the module with menu 221; null = the program.
    explicit CCtrlList(HINSTANCE resources = nullptr);
    ~CCtrlList();
    CCtrlList(const CCtrlList&) = delete;
    CCtrlList& operator=(const CCtrlList&) = delete;

    // Takes over the page's list view; origin tells the kind of the selected set.
    BOOL SubclassDlgItem(int id, HWND page, OriginQuery origin, CQVLocalize* localize);
    HWND GetHwnd() const { return m_hwnd; }
    HMENU GetContextMenu() const { return m_menu.Get(); }
    // The popup as the next context menu shows it (localized, Delete and Reset
    // greyed where they do not apply); null without a selected set.
    HMENU PrepareContextMenu();
    // Tests: the popup is not tracked, only prepared.
    void SetTrackMenu(bool track) { m_trackMenu = track; }

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self);
    // True when the message is taken (its result in result).
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    void ShowContextMenu();
    void Post(UINT command) const;

    HWND m_hwnd = nullptr;
    HWND m_page = nullptr;
    CQVMenu m_menu;
    OriginQuery m_origin;
    CQVLocalize* m_localize = nullptr;
    bool m_trackMenu = true;
};
