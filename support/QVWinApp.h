#pragma once
// CQVWinApp: the little of an application framework this program needs. One
// object per process; Run gives it the command line, calls InitInstance (which
// runs the program's modal main window) and returns the exit code it set.
#include <windows.h>

#include <string>

class CQVWinApp {
public:
    CQVWinApp() = default;
    virtual ~CQVWinApp() = default;
    CQVWinApp(const CQVWinApp&) = delete;
    CQVWinApp& operator=(const CQVWinApp&) = delete;

    int Run(HINSTANCE instance, const wchar_t* commandLine) {
        m_hInstance = instance;
        m_commandLine = commandLine ? commandLine : L"";
        InitInstance();
        return m_exitCode;
    }

    HINSTANCE GetInstance() const { return m_hInstance; }
    const std::wstring& GetCommandLineText() const { return m_commandLine; }
    HWND GetMainWindow() const { return m_mainWindow; }
    void SetMainWindow(HWND hwnd) { m_mainWindow = hwnd; }

protected:
    // Returns FALSE when the process should end (it always does here: the
    // program's life happens inside).
    virtual BOOL InitInstance() = 0;
    void SetExitCode(int code) { m_exitCode = code; }

private:
    HINSTANCE m_hInstance = nullptr;
    std::wstring m_commandLine;
    HWND m_mainWindow = nullptr;
    int m_exitCode = 0;
};
