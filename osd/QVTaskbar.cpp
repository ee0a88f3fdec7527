#include "osd/QVTaskbar.h"

#include "osd/TrayText.h"
#include "support/QVDebug.h"

#include <string>
#include <vector>

namespace {

HWND g_mainWindow = nullptr;

// The owner's icon as a copy of our own, so that the owner may change or
// destroy its icon while the tray still shows this one.
HICON CopyOwnerIcon(HWND owner) {
    HICON icon = nullptr;
    const WPARAM kinds[] = {ICON_SMALL, ICON_SMALL2, ICON_BIG};
    for (WPARAM kind : kinds) {
        DWORD_PTR result = 0;
        if (SendMessageTimeoutW(owner, WM_GETICON, kind, 0, SMTO_ABORTIFHUNG, 1000, &result) && result) {
            icon = reinterpret_cast<HICON>(result);
            break;
        }
    }
    if (!icon)
        icon = reinterpret_cast<HICON>(GetClassLongPtrW(owner, GCLP_HICONSM));
    if (!icon)
        icon = reinterpret_cast<HICON>(GetClassLongPtrW(owner, GCLP_HICON));
    // Without any icon the entry would be invisible and a hidden owner unreachable.
    if (!icon)
        icon = LoadIconW(nullptr, IDI_APPLICATION);
    return icon ? CopyIcon(icon) : nullptr;
}

std::wstring WindowText(HWND hwnd) {
    int length = GetWindowTextLengthW(hwnd);
    if (length <= 0)
        return std::wstring();
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1);
    int copied = GetWindowTextW(hwnd, text.data(), length + 1);
    return std::wstring(text.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

std::wstring MenuItemText(HMENU menu, int position) {
    int length = GetMenuStringW(menu, static_cast<UINT>(position), nullptr, 0, MF_BYPOSITION);
    if (length <= 0)
        return std::wstring();
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1);
    int copied = GetMenuStringW(menu, static_cast<UINT>(position), text.data(), length + 1, MF_BYPOSITION);
    return std::wstring(text.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

void SetItemBitmap(HMENU menu, UINT id, HBITMAP bitmap) {
    MENUITEMINFOW item = {};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_BITMAP;
    item.hbmpItem = bitmap;
    SetMenuItemInfoW(menu, id, FALSE, &item);
}

void SetMenuStyle(HMENU menu, DWORD style) {
    MENUINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIM_STYLE;
    info.dwStyle = style;
    SetMenuInfo(menu, &info);
}

}  // namespace

CQVTaskbar::CQVTaskbar() = default;

CQVTaskbar::~CQVTaskbar() {
    // As Remove: the owner's submenus must outlive our popup.
    Remove();
}

void CQVTaskbar::SetMainWindow(HWND hwnd) {
    g_mainWindow = hwnd;
}

UINT CQVTaskbar::GetTaskbarCreatedMessage() {
    return RegisterWindowMessageW(L"TaskbarCreated");
}

BOOL CQVTaskbar::Create(HWND owner, UINT iconId, const wchar_t* tip) {
    CQVTraceScope scope(QVL_IO, QVC_ALL, L"CQVTaskbar::Create");
    if (!owner)
        owner = g_mainWindow;
    if (!owner || !IsWindow(owner)) {
        TracePrint(QVL_ERR, QVC_ALL, L"%s() FAILED: no owner window\n", L"CQVTaskbar::Create");
        return FALSE;
    }
    if (m_iconPresent)
        Remove();
    m_owner = owner;

    if (iconId) {
        m_icon.Reset(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconId), IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));
        if (!m_icon)
            TracePrint(QVL_WRN, QVC_ALL, L"%s(): icon %u not found, the owner's is used\n", L"CQVTaskbar::Create",
                       iconId);
    }
    if (!m_icon)
        m_icon.Reset(CopyOwnerIcon(owner));

    std::wstring tipText = (tip && *tip) ? CutTrayText(tip, TRAY_TIP_CHARS - 1)
                                         : CutTrayText(WindowText(owner), TRAY_TIP_OWNER_CHARS);

    m_data = NOTIFYICONDATAW{};
    m_data.cbSize = NOTIFYICONDATAW_V3_SIZE;
    m_data.hWnd = owner;
    m_data.uID = TRAY_ICON_ID;
    m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_data.uCallbackMessage = WM_TRAY_NOTIFY;
    m_data.hIcon = m_icon.Get();
    tipText.copy(m_data.szTip, TRAY_TIP_CHARS - 1);

    m_popup.Reset(CreatePopupMenu());
    AddIcon();
    return m_lastAddSucceeded;
}

void CQVTaskbar::AddIcon() {
    m_lastAddSucceeded = Shell_NotifyIconW(NIM_ADD, &m_data);
    if (!m_lastAddSucceeded)
        TracePrint(QVL_ERR, QVC_ALL, L"%s() FAILED: NIM_ADD refused\n", L"CQVTaskbar::AddIcon");
    m_iconPresent = TRUE;
}

void CQVTaskbar::Remove() {
    CQVTraceScope scope(QVL_IO, QVC_ALL, L"CQVTaskbar::Remove");
    DestroyMenuKeepingSubmenus(m_popup);
    if (m_iconPresent)
        Shell_NotifyIconW(NIM_DELETE, &m_data);
    m_iconPresent = FALSE;
    m_data.hIcon = nullptr;
    m_icon.Close();
}

BOOL CQVTaskbar::OnTaskbarCreated() {
    CQVTraceScope scope(QVL_IO, QVC_ALL, L"CQVTaskbar::OnTaskbarCreated");
    if (!m_iconPresent)
        return FALSE;
    AddIcon();
    if (m_lastAddSucceeded)
        return TRUE;
    // The message also comes while the shell still holds the icon (another
    // program may broadcast it); NIM_ADD then fails, but the icon is there.
    return Shell_NotifyIconW(NIM_MODIFY, &m_data);
}

void CQVTaskbar::SetMenu(HMENU menu, BOOL standardItems) {
    m_userMenu = menu;
    m_standardItems = standardItems;
}

void CQVTaskbar::ShowOwner(bool raise) {
    RECT window = {};
    if (GetWindowRect(m_owner, &window) && window.left == TRAY_UNPLACED_LEFT) {
        RECT desktop = {};
        GetWindowRect(GetDesktopWindow(), &desktop);
        int width = window.right - window.left;
        int height = window.bottom - window.top;
        int x = desktop.left + (desktop.right - desktop.left - width) / 2;
        int y = desktop.top + (desktop.bottom - desktop.top - height) / 2;
        SetWindowPos(m_owner, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ShowWindow(m_owner, SW_RESTORE);
    SetForegroundWindow(m_owner);
    if (!raise)
        return;
    // Topmost and back lifts the window above the others; a window that is
    // topmost by itself is only raised and keeps its own setting.
    const bool wasTopmost = (GetWindowLongPtrW(m_owner, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE;
    SetWindowPos(m_owner, HWND_TOPMOST, 0, 0, 0, 0, flags);
    if (!wasTopmost)
        SetWindowPos(m_owner, HWND_NOTOPMOST, 0, 0, 0, 0, flags);
}

void CQVTaskbar::ToggleOwner(bool raise) {
    if (IsWindowVisible(m_owner))
        ShowWindow(m_owner, SW_HIDE);
    else
        ShowOwner(raise);
}

void CQVTaskbar::CopyUserMenu(HMENU popup) {
    const int count = GetMenuItemCount(m_userMenu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW item = {};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_FTYPE;
        if (!GetMenuItemInfoW(m_userMenu, static_cast<UINT>(i), TRUE, &item))
            continue;
        if (item.fType & MFT_SEPARATOR) {
            AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        // Only text items are copied; bitmaps and owner-drawn items need their owner.
        if (item.fType & (MFT_BITMAP | MFT_OWNERDRAW))
            continue;
        // The low byte: for a popup item the high byte is its submenu's item count.
        const UINT state = GetMenuState(m_userMenu, static_cast<UINT>(i), MF_BYPOSITION) & 0xFF;
        UINT flags = MF_STRING | (state & (MF_GRAYED | MF_DISABLED | MF_CHECKED));
        UINT_PTR idOrMenu = GetMenuItemID(m_userMenu, i);
        if (HMENU sub = GetSubMenu(m_userMenu, i)) {
            flags |= MF_POPUP;
            idOrMenu = reinterpret_cast<UINT_PTR>(sub);
        }
        std::wstring text = MenuItemText(m_userMenu, i);
        AppendMenuW(popup, flags, idOrMenu, text.c_str());
    }
}

HMENU CQVTaskbar::BuildPopup() {
    HMENU popup = m_popup.Get();
    if (!popup)
        return nullptr;
    const tagTRAYTEXTS& texts = TrayTextsForLanguage(PRIMARYLANGID(LANGIDFROMLCID(GetThreadLocale())));
    DetachAndEmptyMenu(popup);
    const bool visible = m_owner && IsWindowVisible(m_owner);

    if (m_standardItems) {
        AppendMenuW(popup, MF_STRING, TRAY_CMD_SHOWHIDE, visible ? texts.pszHide : texts.pszShow);
        SetMenuDefaultItem(popup, TRAY_CMD_SHOWHIDE, FALSE);
    }
    // An empty user menu adds nothing, not even its separator.
    if (m_userMenu && IsMenu(m_userMenu) && GetMenuItemCount(m_userMenu) > 0) {
        if (m_standardItems)
            AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
        CopyUserMenu(popup);
    }
    if (m_standardItems) {
        AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(popup, MF_STRING, TRAY_CMD_EXIT, texts.pszExit);
        SetMenuStyle(popup, MNS_CHECKORBMP);
        SetItemBitmap(popup, TRAY_CMD_SHOWHIDE, visible ? HBMMENU_POPUP_MINIMIZE : HBMMENU_POPUP_RESTORE);
        SetItemBitmap(popup, TRAY_CMD_EXIT, HBMMENU_POPUP_CLOSE);
    } else {
        SetMenuStyle(popup, 0);
    }
    return popup;
}

BOOL CQVTaskbar::OnTrayNotify(UINT mouseMessage) {
    if (!m_owner || !IsWindow(m_owner))
        return TRUE;
    switch (mouseMessage) {
    case WM_LBUTTONDOWN:
        ToggleOwner(false);
        break;
    case WM_RBUTTONDOWN: {
        HMENU popup = BuildPopup();
        if (!popup || GetMenuItemCount(popup) <= 0)
            break;
        POINT cursor = {};
        GetCursorPos(&cursor);
        SetForegroundWindow(m_owner);
        TrackPopupMenu(popup, TPM_RIGHTALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, m_owner, nullptr);
        // Without it the menu may not close when the user clicks elsewhere.
        PostMessageW(m_owner, WM_NULL, 0, 0);
        break;
    }
    default:
        break;
    }
    return TRUE;
}

BOOL CQVTaskbar::OnCommand(UINT id) {
    if (!m_iconPresent)
        return FALSE;
    switch (id) {
    case TRAY_CMD_SHOWHIDE:
        ToggleOwner(true);
        break;
    case TRAY_CMD_EXIT:
        PostMessageW(m_owner, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    default:
        break;
    }
    return TRUE;
}
