#pragma once
// Kanzo.exe as a process, for tests that see only what a user or another
// program sees: its windows, the tray, the registry, its exit code.
#include <windows.h>

#include <functional>
#include <string>

#include "support/ScopedWin.h"

namespace kanzotest {

extern const wchar_t kMainWindowTitle[];

// Polls done() every 20 ms until it holds or timeoutMs pass (other processes
// give no event to wait on); returns done().
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs);

class CKanzoProcess {
public:
    CKanzoProcess() = default;
    ~CKanzoProcess();
    CKanzoProcess(const CKanzoProcess&) = delete;
    CKanzoProcess& operator=(const CKanzoProcess&) = delete;

    // Starts the program of the test's own installation folder with these
    // options and waits until it waits for input. FALSE when it did not start.
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

    static std::wstring ProgramFolder();

private:
    CQVHandle m_process;
    DWORD m_id = 0;
};

// The icons in Wine's notification area (its stand-alone tray window).
int CountTrayIcons();

// A window of the process is where a user sees it: visible and on the screen.
bool IsOnScreen(HWND window);

}  // namespace kanzotest
