#pragma once
// CCmdSetHandler: turns a key id into an action. It holds the active command
// set, decides which application a key is meant for (the active set's window,
// else the first main-menu set whose window exists, else "Windows (Standard)"),
// runs the application menu on the display and hands every other command to
// the window-system commands.
//
// Keys arrive from the key-event thread; the editor's Test button and the
// tray menu call in from the user-interface thread at the same time. Every
// public entry holds the lock for its lookups and state changes, and lets go
// of it while a command runs in the window system (the shutdown warning waits
// for the user) and while it calls the display, so neither waits on the other.
#include <windows.h>

#include "cmdsets/CmdSetAdmin.h"
#include "commands/WinMouseMove.h"
#include "support/ScopedWin.h"

class COsdDlg;

constexpr int MENU_CODE_NONE = -1;
constexpr int MENU_CODE_PREVIOUS = 10;
constexpr int MENU_CODE_NEXT = 11;
constexpr int MENU_CODE_UP = 12;
constexpr int MENU_CODE_DOWN = 13;
constexpr int MENU_CODE_CHOOSE = 14;
constexpr int MENU_CODE_CLOSE = 15;

// The menu code of a key while the menu is shown; MENU_CODE_NONE for others.
int GetMenuCode(int keyId);

class CCmdSetHandler : public CCmdSetAdmin {
public:
    // The program's own files.
    CCmdSetHandler();
    CCmdSetHandler(const CCmdSetPaths& paths, const CAppPathSources& sources);
    ~CCmdSetHandler() override;

    virtual BOOL ActivateMenuEntry(int slot);
    // TRUE when the key's command ran or the menu consumed the key.
    virtual BOOL HandleCommandForKey(int keyId, BYTE allowFallback);
    virtual BOOL ExecuteCommand(const tagWINCMD& cmd, const tagPRGINFO* set);
    // Multi-tap text: the CMD_KEY command's character is typed as itself
    // into the window ExecuteCommand would choose, never as a table key
    // ("." is not Delete).
    BOOL TypeText(const tagWINCMD& cmd);

    BOOL LoadCmdSetByName(const wchar_t* name);
    BOOL SetCurrentSet(const tagPRGINFO& info, const CKeymap& keymap);
    BOOL ReloadCurrentSet();
    void GetCurrentPrgInfo(tagPRGINFO& info) const;
    BOOL LookupCommand(int keyId, tagWINCMD& cmd) const;
    BOOL IsMenuShown() const { return m_fMenuShown; }

    // The display (null: none; display commands then fail) and the
    // administrator whose main menu the menu shows (null: this object).
    void SetDisplay(COsdDlg* display) { m_display = display; }
    void SetMenuAdmin(CCmdSetAdmin* admin) { m_menuAdmin = admin; }
    HWND GetLastTarget() const { return m_lastTarget; }
    CWinMouseMove& GetMouseMover() { return m_mouseMove; }
    // How long ActivateMenuEntry waits for a closed window to go (2,000 ms).
    void SetCloseWait(DWORD ms) { m_closeWaitMs = ms; }

    // The slot of the set last found running or chosen in the menu (process-wide).
    static int GetRememberedSlot();
    static void SetRememberedSlot(int slot);

protected:
    virtual BOOL HandleCommandForKey_Intern(int keyId, BYTE allowFallback);
    virtual BOOL ExecuteCommand_Intern(const tagWINCMD& cmd, const tagPRGINFO* set);

private:
    BOOL NavigateMenu(int code);
    BOOL DisplayCommand(const tagWINCMD& cmd);
    BOOL ToggleMenu();
    void HideMenu();
    HWND FindSetWindow(const tagPRGINFO& info) const;
    // The entries' work with the lock already held.
    BOOL ActivateMenuEntryLocked(int slot);
    BOOL LoadCmdSetByNameLocked(const wchar_t* name);
    // IsSameAppWindow for the last target, its program remembered per window.
    bool LastTargetServes(const tagPRGINFO& info);

    tagPRGINFO m_current;
    CKeymap m_keymap;
    HWND m_lastTarget = nullptr;
    HWND m_lastTargetNamed = nullptr;  // the window m_lastTargetExe is of
    std::wstring m_lastTargetExe;      // its program's file name
    // The current set's window while its key's command runs (found once per
    // key, handed to the command); null otherwise.
    HWND m_keyWindow = nullptr;
    BOOL m_fMenuShown = FALSE;
    CWinMouseMove m_mouseMove;
    mutable CQVCriticalSection m_lock;
    COsdDlg* m_display = nullptr;
    CCmdSetAdmin* m_menuAdmin = nullptr;
    DWORD m_closeWaitMs = 2000;
};

// Found: the Windows "Media\Start.wav"; not found: the program's wave
// resource "WAV_CMDERROR". Asynchronous, never over a sound still playing.
void PlayCommandSound(BOOL found, BOOL silent);
// Whether the display announces the command.
BOOL IsAnnouncedCommand(const tagWINCMD* cmd);
// The window's process runs the set's executable and, when the set names a
// caption, the window's text is that caption (both without regard to case).
BOOL IsSameAppWindow(HWND window, const tagPRGINFO& info);
BOOL IsTvControlChecked();
BOOL IsTvTeletextOpen();
