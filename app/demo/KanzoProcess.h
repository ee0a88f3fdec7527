#pragma once
// Kanzo.exe as another program sees it: its windows, the tray, its exit code.
// For the demonstration tool and the tests that drive the program from outside.
#include <windows.h>

#include <functional>
#include <string>

#include "support/ScopedWin.h"

namespace kanzoctl {

extern const wchar_t kMainWindowTitle[];

// Polls done() every 20 ms until it holds or timeoutMs pass (other processes
// give no event to wait on); returns done().
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs);

class CKanzoProcess {
public:
    // folder: where Kanzo.exe is; empty: this executable's folder.
    explicit CKanzoProcess(std::wstring folder = std::wstring());
    ~CKanzoProcess();
    CKanzoProcess(const CKanzoProcess&) = delete;
    CKanzoProcess& operator=(const CKanzoProcess&) = delete;

    // Starts Kanzo.exe of the folder with these options and waits until it
    // waits for input. FALSE when it did not start.
    bool Start(const std::wstring& options = std::wstring());
    // Waits for the end; the exit code, or -1 when it still runs.
    int WaitExit(DWORD timeoutMs);
    bool IsRunning() const;
    DWORD GetId() const { return m_id; }
    HANDLE GetHandle() const { return m_process.Get(); }
    // The options sheet (its main window), null when there is none (yet).
    HWND FindMainWindow() const;
    // A message box of the process (the quit question), null when none is shown.
    HWND FindMessageBox() const;
    // Ends the run without questions (the quit hot key's message) and waits.
    int QuitNow(DWORD timeoutMs = 10000);
    // Exit from the tray menu, the question answered Yes, and waits: the exit code or -1.
    int ExitFromTray(DWORD timeoutMs = 15000);

    const std::wstring& GetFolder() const { return m_folder; }
    static std::wstring ExecutableFolder();

private:
    std::wstring m_folder;
    CQVHandle m_process;
    DWORD m_id = 0;
};

// The icons in Wine's notification area (the windows of its stand-alone tray,
// which Wine may keep hidden while no tray of the X desktop takes them).
int CountTrayIcons();

// A window of the process is where a user sees it: visible and on the screen.
bool IsOnScreen(HWND window);

// A window's text, from any process (empty when it does not answer).
std::wstring WindowText(HWND window);

// The text of the first edit control of the visible top-level window whose
// caption contains captionPart; empty when there is none.
std::wstring ReadEditText(const std::wstring& captionPart);

}  // namespace kanzoctl
