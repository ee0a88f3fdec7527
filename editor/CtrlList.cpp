#include "editor/CtrlList.h"

#include <commctrl.h>

#include "resources/EditorIds.h"
#include "support/QVLocalize.h"

CCtrlList::CCtrlList(HINSTANCE resources)
    : m_menu(LoadMenuW(resources ? resources : GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_SETS_MENU))) {}

CCtrlList::~CCtrlList() {
    if (m_hwnd)
        RemoveWindowSubclass(m_hwnd, SubclassProc, 0);
}

BOOL CCtrlList::SubclassDlgItem(int id, HWND page, OriginQuery origin, CQVLocalize* localize) {
    HWND list = GetDlgItem(page, id);
    if (!list || !SetWindowSubclass(list, SubclassProc, 0, reinterpret_cast<DWORD_PTR>(this)))
        return FALSE;
    m_hwnd = list;
    m_page = page;
    m_origin = std::move(origin);
    m_localize = localize;
    return TRUE;
}

LRESULT CALLBACK CCtrlList::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self) {
    auto* list = reinterpret_cast<CCtrlList*>(self);
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, SubclassProc, 0);
        list->m_hwnd = nullptr;
        return DefSubclassProc(hwnd, msg, wp, lp);
    }
    LRESULT result = 0;
    if (list->OnMessage(msg, wp, lp, result))
        return result;
    return DefSubclassProc(hwnd, msg, wp, lp);
}

bool CCtrlList::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    // Asked only where needed: the question itself is a message to this list.
    auto origin = [this] { return m_origin ? m_origin() : SET_ORIGIN_NONE; };
    switch (msg) {
    case WM_GETDLGCODE: {
        // Enter edits the set: the sheet must not take it for its OK button.
        const MSG* pending = reinterpret_cast<const MSG*>(lp);
        result = DefSubclassProc(m_hwnd, msg, wp, lp);
        if (pending && pending->message == WM_KEYDOWN && pending->wParam == VK_RETURN)
            result |= DLGC_WANTALLKEYS;
        return true;
    }
    case WM_RBUTTONDOWN: {
        LVHITTESTINFO hit = {};
        hit.pt = {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        const int row = ListView_HitTest(m_hwnd, &hit);
        if (row >= 0)
            ListView_SetItemState(m_hwnd, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        ShowContextMenu();
        return true;
    }
    case WM_CONTEXTMENU:
        ShowContextMenu();
        return false;  // the list sees it too
    case WM_LBUTTONDBLCLK:
        Post(IDM_SET_EDIT);
        return true;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        switch (wp) {
        case VK_RETURN:
            Post(IDM_SET_EDIT);
            return true;
        case VK_DELETE:
            // A preset cannot be deleted: the key does nothing for it.
            if (origin() != SET_ORIGIN_NONE && origin() != SET_ORIGIN_PRESET)
                Post(IDM_SET_DELETE);
            return true;
        case 'C':
            if (GetKeyState(VK_CONTROL) < 0)
                Post(IDM_SET_COPY);
            return true;
        default:
            return false;
        }
    default:
        return false;
    }
}

HMENU CCtrlList::PrepareContextMenu() {
    const int origin = m_origin ? m_origin() : SET_ORIGIN_NONE;
    HMENU popup = m_menu ? GetSubMenu(m_menu.Get(), 0) : nullptr;
    if (origin == SET_ORIGIN_NONE || !popup)
        return nullptr;
    if (m_localize)
        m_localize->LocalizeMenu(popup);
    EnableMenuItem(popup, IDM_SET_DELETE, MF_BYCOMMAND | (origin == SET_ORIGIN_USER ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(popup, IDM_SET_RESET, MF_BYCOMMAND | (origin == SET_ORIGIN_COPY ? MF_ENABLED : MF_GRAYED));
    return popup;
}

void CCtrlList::ShowContextMenu() {
    HMENU popup = PrepareContextMenu();
    if (!popup || !m_trackMenu)
        return;
    POINT at = {0, 0};
    GetCursorPos(&at);
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, m_page, nullptr);
}

void CCtrlList::Post(UINT command) const {
    if (m_page)
        PostMessageW(m_page, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}
