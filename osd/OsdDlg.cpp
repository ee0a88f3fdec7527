#include "osd/OsdDlg.h"

#include "resources/OsdDlgIds.h"
#include "support/QVDebug.h"

namespace {

const wchar_t kWindowTitle[] = L"Vemtra Remote Control";

// Windows created under this context follow the DPI of the monitor they are
// on; older systems lack the call and keep the process's awareness.
class CDpiAwarenessScope {
public:
    CDpiAwarenessScope() {
        if (s_set)
            m_old = s_set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    }
    ~CDpiAwarenessScope() {
        if (s_set && m_old)
            s_set(m_old);
    }
    CDpiAwarenessScope(const CDpiAwarenessScope&) = delete;
    CDpiAwarenessScope& operator=(const CDpiAwarenessScope&) = delete;

private:
    using SetContextProc = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
    static inline const SetContextProc s_set = reinterpret_cast<SetContextProc>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetThreadDpiAwarenessContext")));
    DPI_AWARENESS_CONTEXT m_old = nullptr;
};

int DpiOf(HWND hwnd) {
    using GetDpiForWindowProc = UINT(WINAPI*)(HWND);
    static const auto getDpi = reinterpret_cast<GetDpiForWindowProc>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpi && hwnd) {
        if (UINT dpi = getDpi(hwnd))
            return static_cast<int>(dpi);
    }
    CQVWindowDc screen(nullptr);
    return GetDeviceCaps(screen.Get(), LOGPIXELSY);
}

bool ValidIndex(int index) {
    return index >= 0 && index < OSD_MENU_ITEMS;
}

}  // namespace

COsdDlg::COsdDlg(const tagOSDSETTINGS* settings, HWND owner, IClock* clock, const wchar_t* gradientLibrary)
    : m_owner(owner), m_clock(clock ? *clock : SystemClock()), m_control(gradientLibrary) {
    if (settings)
        m_settings = *settings;
}

COsdDlg::~COsdDlg() {
    Destroy();
}

BOOL COsdDlg::Create(HWND parent, HINSTANCE instance) {
    CQVTraceScope scope(QVL_IO, QVC_ALL, L"COsdDlg::Create");
    if (m_window)
        return TRUE;
    if (!parent)
        parent = m_owner;
    if (!instance)
        instance = GetModuleHandleW(nullptr);
    HWND hwnd;
    {
        CDpiAwarenessScope dpiAware;
        hwnd = CreateModeless(parent, IDD_OSD, instance);
    }
    return hwnd ? TRUE : FALSE;
}

void COsdDlg::Destroy() {
    m_postTarget = nullptr;
    m_window.Close();
}

// ---------------------------------------------------------------- operations

void COsdDlg::ShowText(const wchar_t* text) {
    {
        CQVLock lock(m_lock);
        if (m_settings.osdTime <= 0 || m_menuShown)
            return;
        m_pendingText = text ? text : L"";
    }
    Run(OP_SHOW_TEXT, 0);
}

void COsdDlg::ShowMenu(BOOL show) {
    CQVTraceScope scope(QVL_IO, QVC_ALL, L"COsdDlg::ShowMenu", show ? L"TRUE" : L"FALSE");
    {
        CQVLock lock(m_lock);
        m_menuShown = show ? TRUE : FALSE;
    }
    Run(OP_SHOW_MENU, show ? 1 : 0);
}

void COsdDlg::SetMenuTitle(const wchar_t* title, const wchar_t* subtitle) {
    CQVLock lock(m_lock);
    m_title = title ? title : L"";
    m_subtitle = subtitle ? subtitle : L"";
}

void COsdDlg::SetMenuItem(int index, const wchar_t* name, const wchar_t* description) {
    if (!ValidIndex(index)) {
        TracePrint(QVL_WRN, QVC_ALL, L"COsdDlg::SetMenuItem: no entry %d\n", index);
        return;
    }
    CQVLock lock(m_lock);
    m_names[index] = name ? name : L"";
    m_descriptions[index] = description ? description : L"";
}

void COsdDlg::SelectMenuItem(int index) {
    if (index != -1 && !ValidIndex(index)) {
        TracePrint(QVL_WRN, QVC_ALL, L"COsdDlg::SelectMenuItem: no entry %d\n", index);
        return;
    }
    {
        CQVLock lock(m_lock);
        m_selected = index;
    }
    Run(OP_SELECT, index);
}

int COsdDlg::GetMenuSelection() const {
    CQVLock lock(m_lock);
    return m_selected;
}

void COsdDlg::SetColours(const tagOSDSETTINGS* settings) {
    if (!settings)
        return;
    {
        CQVLock lock(m_lock);
        m_settings = *settings;
    }
    Run(OP_COLOURS, 0);
}

void COsdDlg::SetLanguage(WORD languageId) {
    {
        CQVLock lock(m_lock);
        m_language = languageId;
    }
    Run(OP_LANGUAGE, languageId);
}

void COsdDlg::ClearMenu() {
    CQVLock lock(m_lock);
    m_title.clear();
    m_subtitle.clear();
    for (std::wstring& name : m_names)
        name.clear();
    m_selected = -1;
}

BOOL COsdDlg::IsMenuShown() const {
    CQVLock lock(m_lock);
    return m_menuShown;
}

tagOSDSETTINGS COsdDlg::GetSettings() const {
    CQVLock lock(m_lock);
    return m_settings;
}

std::wstring COsdDlg::GetMenuItemName(int index) const {
    CQVLock lock(m_lock);
    return ValidIndex(index) ? m_names[index] : std::wstring();
}

std::wstring COsdDlg::GetMenuItemDescription(int index) const {
    CQVLock lock(m_lock);
    return ValidIndex(index) ? m_descriptions[index] : std::wstring();
}

std::wstring COsdDlg::GetMenuTitle() const {
    CQVLock lock(m_lock);
    return m_title;
}

std::wstring COsdDlg::GetMenuSubtitle() const {
    CQVLock lock(m_lock);
    return m_subtitle;
}

void COsdDlg::Run(Operation op, LPARAM arg) {
    HWND target = m_postTarget;
    if (!target)
        return;
    if (GetCurrentThreadId() == m_windowThread)
        Execute(op, arg);
    else if (!PostMessageW(target, WM_OSD_OPERATION, op, arg))
        TracePrint(QVL_WRN, QVC_ALL, L"COsdDlg: operation %u not posted, error %u\n", static_cast<unsigned>(op),
                   GetLastError());
}

void COsdDlg::Execute(Operation op, LPARAM arg) {
    switch (op) {
    case OP_SHOW_TEXT:
        DoShowText();
        break;
    case OP_SHOW_MENU:
        DoShowMenu(arg != 0);
        break;
    case OP_SELECT:
        DoSelect(static_cast<int>(arg));
        break;
    case OP_COLOURS:
        DoColours();
        break;
    case OP_LANGUAGE:
        m_control.SetLanguage(static_cast<WORD>(arg));
        break;
    }
}

// ------------------------------------------------- on the window's thread

int COsdDlg::BarHeight() const {
    return OsdBarHeight(DpiOf(GetHwnd()));
}

void COsdDlg::DoColours() {
    m_control.SetColours(OsdColoursFromSettings(GetSettings()));
}

void COsdDlg::FirstShow() {
    if (!m_firstShow)
        return;
    m_firstShow = false;
    // A text shown within the first half second must not be hidden by the
    // timer that only meant to hide the initial 1 x 1 placement.
    if (m_firstHideTimer) {
        KillTimer(GetHwnd(), m_firstHideTimer);
        m_firstHideTimer = 0;
    }
    DoColours();
    ShowWindow(m_control.GetHwnd(), SW_SHOW);
    m_hideTimer = SetTimer(GetHwnd(), OSD_TIMER_HIDE, OSD_TIMER_HIDE_MS, nullptr);
    SetWindowPos(GetHwnd(), HWND_TOPMOST, 0, 0, GetSystemMetrics(SM_CXSCREEN), BarHeight(),
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void COsdDlg::DoShowText() {
    std::wstring text;
    {
        CQVLock lock(m_lock);
        // The menu may have been opened since the call was posted.
        if (m_menuShown || m_settings.osdTime <= 0)
            return;
        text = m_pendingText;
    }
    HWND hwnd = GetHwnd();
    FirstShow();
    m_control.SetMode(OSD_MODE_TEXT, -1);
    m_control.SetText(text);
    // Back from the full-screen menu to the bar, without taking the focus.
    if (IsZoomed(hwnd))
        ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    if (!IsWindowVisible(hwnd)) {
        ShowWindow(hwnd, SW_SHOWNOACTIVATE);
        InvalidateRect(m_control.GetHwnd(), nullptr, FALSE);
    }
    UpdateWindow(m_control.GetHwnd());
    m_lastShow = m_clock.NowMs();
}

void COsdDlg::DoShowMenu(BOOL show) {
    HWND hwnd = GetHwnd();
    if (!show) {
        Hide();
        return;
    }
    std::wstring text;
    int selected;
    {
        CQVLock lock(m_lock);
        if (!m_menuShown)
            return;  // closed again since the call was posted
        text = OsdComposeMenuText(m_title, m_names);
        selected = m_selected;
    }
    FirstShow();
    m_control.SetText(text);
    m_control.SetMode(OSD_MODE_MENU, selected);
    if (!IsZoomed(hwnd))
        ShowWindow(hwnd, SW_MAXIMIZE);
    if (!IsWindowVisible(hwnd))
        ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(m_control.GetHwnd());
    // The pointer out of the way, in the corner of the screen.
    SetCursorPos(GetSystemMetrics(SM_CXMAXIMIZED), GetSystemMetrics(SM_CYMAXIMIZED));
    SetCursor(nullptr);
}

void COsdDlg::DoSelect(int index) {
    m_control.SetSelection(index);
    if (IsMenuShown())
        UpdateWindow(m_control.GetHwnd());
}

void COsdDlg::Hide() {
    ShowWindow(GetHwnd(), SW_HIDE);
}

void COsdDlg::OnTimer(UINT_PTR id) {
    HWND hwnd = GetHwnd();
    if (id == OSD_TIMER_FIRST_HIDE) {
        KillTimer(hwnd, OSD_TIMER_FIRST_HIDE);
        m_firstHideTimer = 0;
        if (m_firstShow)
            Hide();
        return;
    }
    if (id != OSD_TIMER_HIDE)
        return;
    if (IsMenuShown()) {
        m_control.RefreshDate();
        return;
    }
    if (!IsWindowVisible(hwnd) || !OsdTextExpired(m_clock.NowMs(), m_lastShow, GetSettings().osdTime))
        return;
    if (!AnimateWindow(hwnd, OSD_SLIDE_MS, AW_HIDE | AW_SLIDE | AW_VER_NEGATIVE))
        Hide();
}

void COsdDlg::OnDpiChanged() {
    m_control.ResetFonts();
    HWND hwnd = GetHwnd();
    if (!m_firstShow && !IsZoomed(hwnd))
        SetWindowPos(hwnd, nullptr, 0, 0, GetSystemMetrics(SM_CXSCREEN), BarHeight(),
                     SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE);
    InvalidateRect(m_control.GetHwnd(), nullptr, FALSE);
}

BOOL COsdDlg::OnInitDialog() {
    HWND hwnd = m_hwnd;
    m_window.Reset(hwnd);
    m_windowThread = GetCurrentThreadId();
    SetWindowTextW(hwnd, kWindowTitle);
    LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
    style &= ~static_cast<LONG_PTR>(WS_CHILD | WS_VISIBLE | WS_CAPTION | WS_THICKFRAME);
    style |= WS_POPUP;
    SetWindowLongPtrW(hwnd, GWL_STYLE, style);
    SetWindowLongPtrW(hwnd, GWL_EXSTYLE, WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
    m_control.Subclass(GetDlgItem(hwnd, IDC_OSD_TEXT));
    WORD language;
    {
        CQVLock lock(m_lock);
        language = m_language;
    }
    m_control.SetLanguage(language);
    // Shown once at 1 x 1 so that the first announcement appears at once.
    SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 1, 1, SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_FRAMECHANGED);
    m_firstHideTimer = SetTimer(hwnd, OSD_TIMER_FIRST_HIDE, OSD_TIMER_FIRST_HIDE_MS, nullptr);
    m_postTarget = hwnd;
    return FALSE;  // the display never takes the focus by itself
}

INT_PTR COsdDlg::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND hwnd = GetHwnd();
    switch (msg) {
    case WM_OSD_OPERATION:
        Execute(static_cast<Operation>(wParam), lParam);
        return TRUE;
    case WM_TIMER:
        OnTimer(wParam);
        return TRUE;
    case WM_SIZE:
        MoveWindow(m_control.GetHwnd(), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return TRUE;
    case WM_DPICHANGED:
        OnDpiChanged();
        return TRUE;
    case WM_KEYDOWN:
        if (wParam != VK_ESCAPE)
            return FALSE;
        Hide();
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) != IDCANCEL)
            return FALSE;
        Hide();
        return TRUE;
    case WM_CLOSE:
        // The display lives as long as the application; closing only hides it.
        Hide();
        return TRUE;
    case WM_NCDESTROY:
        if (m_hideTimer)
            KillTimer(hwnd, m_hideTimer);
        m_postTarget = nullptr;
        m_windowThread = 0;
        (void)m_window.Take();
        return FALSE;
    default:
        return FALSE;
    }
}

BOOL COsdDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    result = HandleMessage(msg, wParam, lParam);
    return result != FALSE;
}
