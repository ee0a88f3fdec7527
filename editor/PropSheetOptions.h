#pragma once
// CPropSheetOptions: the program's one main window, in both modes. Shown in
// editor mode; in background mode it starts off-screen and hidden and is
// reached through the tray icon and the hot keys. It owns the tray icon, the
// tray menu, the main-menu popup, four hot keys and three device-change
// registrations, and hands power, device-change and end-of-session messages
// to the receiver manager. User-interface thread only.
#include <windows.h>
#include <dbt.h>

#include <array>
#include <memory>
#include <string>

#include "editor/EditorContext.h"
#include "editor/PageAbout.h"
#include "editor/PageCmdSets.h"
#include "editor/PageMenu.h"
#include "editor/PageOptions.h"
#include "osd/QVTaskbar.h"
#include "osd/TrayLoadMenu.h"
#include "support/QVDialog.h"

constexpr int HOTKEY_QUIT_NOW = 43819;      // Ctrl+Alt+Shift+X
constexpr int HOTKEY_QUIT_ASK = 43820;      // Ctrl+Alt+X
constexpr int HOTKEY_TOGGLE_C = 43822;      // Ctrl+Alt+C
constexpr int HOTKEY_TOGGLE_R = 43823;      // Ctrl+Alt+R
constexpr int SHEET_QUIT_NOW_CODE = 4369;   // 0x1111: the exit code of the quit hot key
constexpr UINT SHEET_CMD_SHOW = 33026;       // 0x8102: a second start asks to be shown
// The title by which a second start finds the running instance.
constexpr wchar_t SHEET_WINDOW_TITLE[] = L"Vemtra Remote Control Editor";
constexpr int SHEET_PAGES = 4;

class CPropSheetOptions : public CQVPropertySheet {
public:
    CPropSheetOptions(const tagEDITORCONTEXT& context, BOOL startHidden);
    ~CPropSheetOptions() override;

    // Runs the sheet modally; the exit code of the program (0, or the code of
    // the quit message that ended the run).
    int Run();

    void ShowSheet(bool show);
    void UpdateTrayIcon(bool add);
    BOOL SavePages();
    void UpdateTabTitles();

    CQVTaskbar& GetTray() { return m_tray; }
    HMENU GetMainMenuPopup() const { return m_mainPopup.Get(); }

protected:
    void OnInitSheet() override;
    BOOL OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    void OnDestroy() override;

private:
    BOOL OnCommand(UINT id, WPARAM wp, LPARAM lp, LRESULT& result);
    BOOL OnSysCommand(WPARAM wp, LPARAM lp, LRESULT& result);
    void OnHotKey(int id);
    void OnClose(WPARAM wp, LPARAM lp);
    void SwitchLanguage(LANGID language);
    void SetupSystemMenu();
    void SetLanguageMenuText();
    void RegisterHotKeys();
    void RegisterDeviceNotifications();
    void ToggleVisibility();
    void RaiseToTop();
    bool HiddenSetting() const;
    std::wstring Text(UINT id) const;

    tagEDITORCONTEXT m_context;
    BOOL m_startHidden;
    CQVTaskbar m_tray;
    CPageMenu m_pageMenu;
    CPageCmdSets m_pageCmdSets;
    CPageOptions m_pageOptions;
    CPageAbout m_pageAbout;
    std::array<CPageBase*, SHEET_PAGES> m_pages;
    std::array<UINT, SHEET_PAGES> m_titleIds;
    CTrayLoadMenu m_trayMenu;
    CQVMenu m_mainPopup;
    std::array<CQVDeviceNotify, 3> m_deviceNotifications;
    bool m_quitting = false;
    UINT m_taskbarCreated = 0;
};
