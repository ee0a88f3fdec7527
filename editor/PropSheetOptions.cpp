#include "editor/PropSheetOptions.h"

#include <initguid.h>
#include <ks.h>
#include <ksmedia.h>
#include <usbiodef.h>

#include "app/ReceiverEnvironment.h"
#include "app/ReceiverManager.h"
#include "app/Settings.h"
#include "cmdsets/CmdSetAdmin.h"
#include "commands/CmdSetHandler.h"
#include "resources/EditorIds.h"
#include "resources/StringIds.h"
#include "support/QVDebug.h"
#include "support/QVLocalize.h"

namespace {

constexpr UINT PBT_SUSPEND = 4;              // PBT_APMSUSPEND
constexpr UINT PBT_RESUME_AUTOMATIC = 18;    // PBT_APMRESUMEAUTOMATIC

// {006902CB-E626-45B4-8A62-2EAAD63F8D12}: the tuner cards' remote-control interface.
const GUID kRemoteInterface = {0x006902CB, 0xE626, 0x45B4, {0x8A, 0x62, 0x2E, 0xAA, 0xD6, 0x3F, 0x8D, 0x12}};
const GUID kAudioInterface = {0x6994AD04, 0x93EF, 0x11D0, {0xA3, 0xCC, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}};
const GUID kUsbDeviceInterface = {0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};

HICON LoadProgramIcon(int size) {
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, size,
                                         size, LR_SHARED));
}

}  // namespace

CPropSheetOptions::CPropSheetOptions(const tagEDITORCONTEXT& context, BOOL startHidden)
    : m_context(context),
      m_startHidden(startHidden),
      m_pageMenu(context),
      m_pageCmdSets(context),
      m_pageOptions(context),
      m_pageAbout(context),
      m_pages{&m_pageMenu, &m_pageCmdSets, &m_pageOptions, &m_pageAbout},
      m_titleIds{IDS_MENU, IDS_COMMAND_SETS, IDS_OPTIONS, IDS_ABOUT} {
    // The tab texts come from UpdateTabTitles, not from the templates.
    for (CPageBase* page : m_pages)
        AddPage(*page);
}

CPropSheetOptions::~CPropSheetOptions() = default;

int CPropSheetOptions::Run() {
    CQVTraceScope scope(QVL_IO, QVC_DEVICE, L"CPropSheetOptions::Run");
    const INT_PTR result = DoModal(nullptr, PSH_NOAPPLYNOW | PSH_NOCONTEXTHELP, LoadProgramIcon(32));
    if (result < 0)
        return 1;
    return GetQuitCode() > 0 ? GetQuitCode() : 0;
}

std::wstring CPropSheetOptions::Text(UINT id) const {
    return m_context.pLocalize ? m_context.pLocalize->GetString(id) : std::wstring();
}

bool CPropSheetOptions::HiddenSetting() const {
    return m_context.pSettings && m_context.pSettings->Block().hidden != 0;
}

// ---------------------------------------------------------------- start

void CPropSheetOptions::OnInitSheet() {
    HWND hwnd = GetHwnd();
    UpdateTabTitles();
    SetWindowTextW(hwnd, SHEET_WINDOW_TITLE);
    SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(LoadProgramIcon(GetSystemMetrics(SM_CXICON))));
    SendMessageW(hwnd, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(LoadProgramIcon(GetSystemMetrics(SM_CXSMICON))));
    for (int id : {IDOK, IDCANCEL}) {
        HWND button = GetDlgItem(hwnd, id);
        EnableWindow(button, FALSE);
        ShowWindow(button, SW_HIDE);
    }
    if (m_startHidden)
        SetWindowPos(hwnd, nullptr, TRAY_UNPLACED_LEFT, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetupSystemMenu();
    if (m_context.pAdmin)
        m_mainPopup = CreateMainMenuPopup(*m_context.pAdmin);
    m_taskbarCreated = CQVTaskbar::GetTaskbarCreatedMessage();
    CQVTaskbar::SetMainWindow(hwnd);
    if (m_startHidden)
        ShowSheet(false);
    else
        UpdateTrayIcon(true);
    RegisterHotKeys();
    RegisterDeviceNotifications();
}

void CPropSheetOptions::SetupSystemMenu() {
    HWND hwnd = GetHwnd();
    HMENU menu = GetSystemMenu(hwnd, FALSE);
    if (!menu)
        return;
    // After the first item: "Minimise" and a separator.
    InsertMenuW(menu, 1, MF_BYPOSITION | MF_STRING, SC_MINIMIZE, Text(IDS_MINIMISE).c_str());
    InsertMenuW(menu, 2, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    SetWindowLongPtrW(hwnd, GWL_STYLE, GetWindowLongPtrW(hwnd, GWL_STYLE) | WS_MINIMIZEBOX);
    // At the top: the language menu and a separator.
    if (m_context.pLocalize) {
        HMENU languages = m_context.pLocalize->GetLanguageMenu();
        InsertMenuW(menu, 0, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
        InsertMenuW(menu, 0, MF_BYPOSITION | MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(languages), L"");
        SetLanguageMenuText();
    }
}

void CPropSheetOptions::SetLanguageMenuText() {
    HMENU menu = GetSystemMenu(GetHwnd(), FALSE);
    std::wstring language = Text(IDS_LANGUAGE);
    if (language.empty())
        language = L"Language";
    std::wstring text = language + L"/Language";
    MENUITEMINFOW item = {};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_STRING;
    item.dwTypeData = const_cast<wchar_t*>(text.c_str());
    SetMenuItemInfoW(menu, 0, TRUE, &item);
}

void CPropSheetOptions::RegisterHotKeys() {
    HWND hwnd = GetHwnd();
    struct { int id; UINT modifiers; UINT key; } const keys[] = {
        {HOTKEY_QUIT_NOW, MOD_CONTROL | MOD_ALT | MOD_SHIFT, 'X'},
        {HOTKEY_QUIT_ASK, MOD_CONTROL | MOD_ALT, 'X'},
        {HOTKEY_TOGGLE_C, MOD_CONTROL | MOD_ALT, 'C'},
        {HOTKEY_TOGGLE_R, MOD_CONTROL | MOD_ALT, 'R'},
    };
    for (const auto& key : keys) {
        if (!RegisterHotKey(hwnd, key.id, key.modifiers, key.key))
            TracePrint(QVL_WRN, QVC_DEVICE, L"%ls(): hot key %d not registered (error %lu)\n",
                       L"CPropSheetOptions::OnInitDialog", key.id, GetLastError());
    }
}

void CPropSheetOptions::RegisterDeviceNotifications() {
    const GUID* classes[] = {&kRemoteInterface, &kAudioInterface, &kUsbDeviceInterface};
    for (size_t i = 0; i < m_deviceNotifications.size(); ++i) {
        DEV_BROADCAST_DEVICEINTERFACE_W filter = {};
        filter.dbcc_size = sizeof(filter);
        filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
        filter.dbcc_classguid = *classes[i];
        m_deviceNotifications[i].Reset(RegisterDeviceNotificationW(GetHwnd(), &filter, DEVICE_NOTIFY_WINDOW_HANDLE));
        if (!m_deviceNotifications[i])
            TracePrint(QVL_ERR, QVC_DEVICE, L"%ls() FAILED with error %lu\n", L"RegisterDeviceNotification",
                       GetLastError());
    }
}

// ---------------------------------------------------------------- operations

void CPropSheetOptions::ShowSheet(bool show) {
    HWND hwnd = GetHwnd();
    if (!hwnd)
        return;
    if (!HiddenSetting()) {
        // The tray's Show/Hide toggle does it; every caller asks for the opposite of now.
        UpdateTrayIcon(true);
        PostMessageW(hwnd, WM_COMMAND, TRAY_CMD_SHOWHIDE, 0);
        return;
    }
    const LONG_PTR exStyle = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    if (show) {
        SetWindowLongPtrW(hwnd, GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(WS_EX_TOOLWINDOW));
        UpdateTrayIcon(true);
        ShowWindow(hwnd, SW_SHOW);
        RECT window, work;
        GetWindowRect(hwnd, &window);
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        const int x = work.left + ((work.right - work.left) - (window.right - window.left)) / 2;
        const int y = work.top + ((work.bottom - work.top) - (window.bottom - window.top)) / 2;
        SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        RaiseToTop();
    } else {
        ShowWindow(hwnd, SW_HIDE);
        UpdateTrayIcon(false);
        SetWindowLongPtrW(hwnd, GWL_EXSTYLE, exStyle | WS_EX_TOOLWINDOW);
    }
}

void CPropSheetOptions::RaiseToTop() {
    HWND hwnd = GetHwnd();
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    const bool topmost = (GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, flags);
    if (!topmost)
        SetWindowPos(hwnd, HWND_NOTOPMOST, 0, 0, 0, 0, flags);
}

void CPropSheetOptions::UpdateTrayIcon(bool add) {
    if (!m_mainPopup)
        return;
    if (!add) {
        m_tray.Remove();
        m_trayMenu.Destroy();
        return;
    }
    if (m_tray.IsIconPresent())
        return;
    m_tray.Create(GetHwnd(), IDI_PROGRAM, SHEET_WINDOW_TITLE);
    if (m_context.pLocalize)
        m_trayMenu.Create(*m_context.pLocalize, m_mainPopup.Get());
    m_tray.SetMenu(m_trayMenu.Get(), TRUE);
}

BOOL CPropSheetOptions::SavePages() {
    BOOL all = TRUE;
    for (CPageBase* page : m_pages) {
        if (page->GetHwnd() && !page->SaveData())
            all = FALSE;
    }
    return all;
}

void CPropSheetOptions::UpdateTabTitles() {
    HWND tabs = PropSheet_GetTabControl(GetHwnd());
    for (size_t i = 0; i < m_pages.size(); ++i) {
        std::wstring title = Text(m_titleIds[i]);
        if (tabs && !title.empty()) {
            TCITEMW item = {};
            item.mask = TCIF_TEXT;
            item.pszText = const_cast<wchar_t*>(title.c_str());
            TabCtrl_SetItem(tabs, static_cast<int>(i), &item);
        }
        m_pages[i]->Relocalize();
    }
}

void CPropSheetOptions::ToggleVisibility() {
    HWND hwnd = GetHwnd();
    bool show = !IsWindowVisible(hwnd);
    // In background mode the sheet may be "visible" off-screen as a tool window.
    if (HiddenSetting() && (GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW))
        show = true;
    ShowSheet(show);
}

void CPropSheetOptions::SwitchLanguage(LANGID language) {
    if (!m_context.pLocalize)
        return;
    m_context.pLocalize->SetLanguage(language);
    if (m_context.pSettings)
        m_context.pSettings->SetLanguage(language);
    m_context.pLocalize->LocalizeDialog(GetHwnd(), 0);
    SetWindowTextW(GetHwnd(), SHEET_WINDOW_TITLE);
    SetLanguageMenuText();
    UpdateTabTitles();
}

// ---------------------------------------------------------------- messages

BOOL CPropSheetOptions::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_TRAY_NOTIFY:
        result = m_tray.OnTrayNotify(static_cast<UINT>(LOWORD(lp)));
        return TRUE;
    case WM_SYSCOMMAND:
        return OnSysCommand(wp, lp, result);
    case WM_INITMENUPOPUP:
        result = Default(msg, wp, lp);
        if (reinterpret_cast<HMENU>(wp) == m_mainPopup.Get() && m_context.pAdmin) {
            tagPRGINFO current;
            if (m_context.pHandler)
                m_context.pHandler->GetCurrentPrgInfo(current);
            RefreshMainMenuPopup(m_mainPopup.Get(), *m_context.pAdmin, current.szName);
        }
        return TRUE;
    case WM_ENDSESSION:
        result = Default(msg, wp, lp);
        if (m_context.pReceivers)
            m_context.pReceivers->FreeReceivers();
        return TRUE;
    case WM_POWERBROADCAST:
        if (m_context.pReceivers && wp == PBT_SUSPEND)
            m_context.pReceivers->HandlePowerSuspend();
        else if (m_context.pReceivers && wp == PBT_RESUME_AUTOMATIC)
            m_context.pReceivers->HandlePowerResume();
        result = Default(msg, wp, lp);
        return TRUE;
    case WM_DEVICECHANGE:
        if (m_context.pReceivers)
            HandleDeviceChangeMessage(*m_context.pReceivers, wp, lp);
        result = TRUE;
        return TRUE;
    case WM_HOTKEY:
        OnHotKey(static_cast<int>(wp));
        result = Default(msg, wp, lp);
        return TRUE;
    case WM_COMMAND:
        return OnCommand(LOWORD(wp), wp, lp, result);
    default:
        if (m_taskbarCreated && msg == m_taskbarCreated) {
            m_tray.OnTaskbarCreated();
            result = 0;
            return TRUE;
        }
        return FALSE;
    }
}

BOOL CPropSheetOptions::OnCommand(UINT id, WPARAM wp, LPARAM lp, LRESULT& result) {
    result = 0;
    if (id >= TRAY_CMD_MAINMENU_FIRST && id < TRAY_CMD_MAINMENU_FIRST + CMDSET_MENU_SLOTS) {
        if (m_context.pHandler)
            m_context.pHandler->ActivateMenuEntry(static_cast<int>(id - TRAY_CMD_MAINMENU_FIRST));
        return TRUE;
    }
    if ((id == IDOK || id == IDCANCEL) && !m_quitting) {
        // Enter and Escape keep the program running: save and hide.
        SavePages();
        ShowSheet(false);
        return TRUE;
    }
    if (id == SHEET_CMD_SHOW) {
        ShowSheet(true);
        return TRUE;
    }
    m_tray.OnCommand(id);
    result = Default(WM_COMMAND, wp, lp);
    return TRUE;
}

BOOL CPropSheetOptions::OnSysCommand(WPARAM wp, LPARAM lp, LRESULT& result) {
    result = 0;
    if (m_context.pLocalize && wp < 0xF000 && m_context.pLocalize->IsLanguageCommand(static_cast<UINT>(wp))) {
        SwitchLanguage(static_cast<LANGID>(wp));
        return TRUE;
    }
    switch (wp & 0xFFF0) {
    case SC_MINIMIZE:
        SavePages();
        ShowSheet(false);
        return TRUE;
    case SC_MAXIMIZE:
        return TRUE;
    case SC_CLOSE:
        OnClose(wp, lp);
        return TRUE;
    default:
        return FALSE;
    }
}

void CPropSheetOptions::OnClose(WPARAM wp, LPARAM lp) {
    SavePages();
    RaiseToTop();
    const int answer = m_context.pLocalize
                           ? m_context.pLocalize->ShowMessage(GetHwnd(), IDS_MSG_QUIT_QUESTION, QVMSG_WARNING_YESNO)
                           : IDYES;
    if (answer != IDYES) {
        ShowSheet(false);
        return;
    }
    // The sheet's own close ends the modal run; its Cancel must not be taken for Escape.
    m_quitting = true;
    Default(WM_SYSCOMMAND, wp, lp);
}

void CPropSheetOptions::OnHotKey(int id) {
    switch (id) {
    case HOTKEY_QUIT_NOW:
        PostQuitMessage(SHEET_QUIT_NOW_CODE);
        break;
    case HOTKEY_QUIT_ASK:
        PostMessageW(GetHwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    case HOTKEY_TOGGLE_C:
    case HOTKEY_TOGGLE_R:
        ToggleVisibility();
        break;
    default:
        break;
    }
}

void CPropSheetOptions::OnDestroy() {
    HWND hwnd = GetHwnd();
    for (int id : {HOTKEY_QUIT_NOW, HOTKEY_QUIT_ASK, HOTKEY_TOGGLE_C, HOTKEY_TOGGLE_R})
        UnregisterHotKey(hwnd, id);
    for (auto& notification : m_deviceNotifications)
        notification.Close();
    m_tray.Remove();
    m_trayMenu.Destroy();
    m_mainPopup.Close();
    CQVTaskbar::SetMainWindow(nullptr);
}
