#pragma once
// COsdDlg: the on-screen display. A borderless topmost tool window across the
// top of the screen that announces commands as one line of large text and
// shows the application menu full-screen.
//
// Threads: the window belongs to the thread that calls Create (the user
// interface thread), but every operation may be called from any thread (the
// key-event worker announces commands). What an operation stores (menu texts,
// the selection, the settings, the menu flag) is updated at once under a lock,
// so a caller reads back what it set; what it does to the window runs on the
// window's thread: directly when called there, otherwise as a posted message
// that the window's thread handles in call order. Posting, not sending: the
// worker never waits for the user-interface thread, which may itself be
// waiting for the worker to stop. Every operation is safe while the window is
// hidden or not created (then only the stored values change).

#include "osd/OsdControl.h"
#include "osd/OsdSettings.h"
#include "support/Clock.h"
#include "support/QVDialog.h"
#include "support/ScopedWin.h"

#include <windows.h>

#include <atomic>
#include <string>

constexpr UINT_PTR OSD_TIMER_HIDE = 123;         // every 300 ms: hide a text after the display time
constexpr UINT_PTR OSD_TIMER_FIRST_HIDE = 124;   // once, 500 ms after creation
constexpr UINT OSD_TIMER_HIDE_MS = 300;
constexpr UINT OSD_TIMER_FIRST_HIDE_MS = 500;
constexpr UINT OSD_SLIDE_MS = 150;
// Window message that carries an operation from another thread.
constexpr UINT WM_OSD_OPERATION = WM_APP + 0x0D1;

class COsdDlg : private CQVDialog {
public:
    // settings: the six display values (copied; null: the defaults). clock:
    // the time source of the display time (null: the multimedia clock).
    // gradientLibrary: the module with "GradientFill".
    explicit COsdDlg(const tagOSDSETTINGS* settings, HWND owner = nullptr, IClock* clock = nullptr,
                     const wchar_t* gradientLibrary = L"msimg32.dll");
    ~COsdDlg();
    COsdDlg(const COsdDlg&) = delete;
    COsdDlg& operator=(const COsdDlg&) = delete;

    // Creates the modeless window from dialog template 100 of instance (null:
    // the executable) on the calling thread. FALSE when it could not be created.
    BOOL Create(HWND parent = nullptr, HINSTANCE instance = nullptr);
    // Destroys the window; on the window's thread only.
    void Destroy();
    HWND GetHwnd() const { return m_window.Get(); }

    void ShowText(const wchar_t* text);
    void ShowMenu(BOOL show);
    void SetMenuTitle(const wchar_t* title, const wchar_t* subtitle);
    void SetMenuItem(int index, const wchar_t* name, const wchar_t* description);
    void SelectMenuItem(int index);
    int GetMenuSelection() const;
    void SetColours(const tagOSDSETTINGS* settings);
    void SetLanguage(WORD languageId);
    void ClearMenu();

    BOOL IsMenuShown() const;
    tagOSDSETTINGS GetSettings() const;
    std::wstring GetMenuItemName(int index) const;
    std::wstring GetMenuItemDescription(int index) const;
    std::wstring GetMenuTitle() const;
    std::wstring GetMenuSubtitle() const;
    // The painted control, for the window's own thread (tests look at what it holds).
    const COsdControl& GetControl() const { return m_control; }

private:
    enum Operation : WPARAM {
        OP_SHOW_TEXT = 1,
        OP_SHOW_MENU,
        OP_SELECT,
        OP_COLOURS,
        OP_LANGUAGE,
    };

    BOOL OnInitDialog() override;
    BOOL OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void OnTimer(UINT_PTR id);
    void OnDpiChanged();
    // Runs an operation on the window's thread: at once there, posted from elsewhere.
    void Run(Operation op, LPARAM arg);
    void Execute(Operation op, LPARAM arg);
    void DoShowText();
    void DoShowMenu(BOOL show);
    void DoSelect(int index);
    void DoColours();
    void FirstShow();
    void Hide();
    int BarHeight() const;

    mutable CQVCriticalSection m_lock;
    // Guarded by m_lock: what the operations store.
    tagOSDSETTINGS m_settings;
    std::wstring m_title;
    std::wstring m_subtitle;
    std::wstring m_names[OSD_MENU_ITEMS];
    std::wstring m_descriptions[OSD_MENU_ITEMS];
    std::wstring m_pendingText;
    int m_selected = -1;
    BOOL m_menuShown = FALSE;
    WORD m_language = OSD_DEFAULT_LANGUAGE;

    // The window's thread only.
    HWND m_owner = nullptr;
    IClock& m_clock;
    COsdControl m_control;
    CQVWindow m_window;
    std::atomic<HWND> m_postTarget{nullptr};
    std::atomic<DWORD> m_windowThread{0};
    std::uint32_t m_lastShow = 0;
    bool m_firstShow = true;
    UINT_PTR m_hideTimer = 0;
    UINT_PTR m_firstHideTimer = 0;
};
