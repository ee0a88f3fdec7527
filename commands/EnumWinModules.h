#pragma once
// CEnumWinModules: the top-level windows together with the executable path of
// their processes, for the target-window lookup.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

// Filter flags of Enumerate.
constexpr DWORD ENUMWIN_SKIP_INVISIBLE = 1;
constexpr DWORD ENUMWIN_SKIP_VISIBLE = 2;       // only without ENUMWIN_SKIP_INVISIBLE
constexpr DWORD ENUMWIN_SKIP_CHILD = 4;         // windows that have a parent
constexpr DWORD ENUMWIN_SKIP_TOPLEVEL = 8;      // windows without a parent; only without ENUMWIN_SKIP_CHILD
constexpr DWORD ENUMWIN_SKIP_EXCLUDED = 16;     // class name equal to an excluded one (case-sensitive)

struct tagWindowInfo {
    std::wstring className;
    std::wstring executablePath;  // empty until the process pass fills it
    DWORD dwProcessId = 0;
    HWND hwnd = nullptr;
};

class CEnumWinModules {
public:
    // firstRoom: how many process ids the first try of the process list takes.
    explicit CEnumWinModules(DWORD firstRoom = 250) : m_firstRoom(firstRoom ? firstRoom : 1) {}
    virtual ~CEnumWinModules() = default;
    CEnumWinModules(const CEnumWinModules&) = delete;
    CEnumWinModules& operator=(const CEnumWinModules&) = delete;

    void AddExcludedClass(const wchar_t* className);
    // Lists the windows the filter keeps (in z-order) and gives the first
    // window of each process its process's executable path. FALSE when the
    // process information is not available; the windows are listed anyway.
    BOOL Enumerate(DWORD filterFlags);

    int GetCount() const { return static_cast<int>(m_windows.size()); }
    const wchar_t* GetExecutablePath(int index) const;
    // Read live from the window (at most 259 characters).
    std::wstring GetWindowText(int index) const;
    HWND GetWindow(int index) const;
    const tagWindowInfo* GetInfo(int index) const;

    // How many process ids the last Enumerate listed (the list grows past its
    // first 250 entries when the system has more processes).
    int GetProcessCount() const { return m_processCount; }

private:
    static BOOL CALLBACK EnumProc(HWND hwnd, LPARAM param);
    bool IsSkipped(HWND hwnd, const std::wstring& className) const;
    BOOL FillPathsNT();
    BOOL FillPathsToolhelp();
    tagWindowInfo* FirstOfProcess(DWORD processId);

    DWORD m_firstRoom;
    DWORD m_flags = 0;
    std::vector<std::unique_ptr<tagWindowInfo>> m_windows;
    std::vector<std::wstring> m_excludedClasses;
    int m_processCount = 0;
};
