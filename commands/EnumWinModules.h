#pragma once
// CEnumWinModules: the top-level windows together with the executable path of
// their processes, for the target-window lookup. CWindowWalk: the same
// windows with what the lookup asks of each, asked once and only when needed.

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

// Filter flags of Enumerate.
constexpr DWORD ENUMWIN_SKIP_INVISIBLE = 1;
constexpr DWORD ENUMWIN_SKIP_VISIBLE = 2;       // only without ENUMWIN_SKIP_INVISIBLE
constexpr DWORD ENUMWIN_SKIP_CHILD = 4;         // windows that have a parent
constexpr DWORD ENUMWIN_SKIP_TOPLEVEL = 8;      // windows without a parent; only without ENUMWIN_SKIP_CHILD
constexpr DWORD ENUMWIN_SKIP_EXCLUDED = 16;     // class name equal to an excluded one (case-sensitive)

// A snapshot of the top-level windows in z-order. Every question goes to the
// system at most once per window (a question about another process's window
// costs a round trip to the window server), so a caller asks the question
// that rejects a window most cheaply first.
class CWindowWalk {
public:
    CWindowWalk(DWORD filterFlags, const std::vector<std::wstring>& excludedClasses);
    CWindowWalk(const CWindowWalk&) = delete;
    CWindowWalk& operator=(const CWindowWalk&) = delete;

    int GetCount() const { return static_cast<int>(m_windows.size()); }
    HWND GetWindow(int index) const { return m_windows[index].hwnd; }
    // The window's own text (at most 259 characters; never a message to it).
    const std::wstring& GetText(int index);
    bool HasText(int index) const { return m_windows[index].known & KNOWN_TEXT; }
    // Text, process path and module file name in lower case.
    const std::wstring& GetLowerText(int index);
    const std::wstring& GetClassName(int index);
    DWORD GetProcessId(int index);
    const std::wstring& GetProcessPath(int index);
    const std::wstring& GetLowerProcessPath(int index);
    const std::wstring& GetLowerModuleName(int index);
    bool IsVisible(int index);
    bool IsEnabled(int index);
    // Whether the filter keeps the window.
    bool IsKept(int index);
    // Kept, and no window before it of its process is kept: the window that
    // carries its process's path.
    bool IsFirstKeptOfProcess(int index);

private:
    enum : unsigned {
        KNOWN_TEXT = 1,
        KNOWN_CLASS = 2,
        KNOWN_PROCESS = 4,
        KNOWN_VISIBLE = 8,
        KNOWN_PARENT = 16,
        KNOWN_ENABLED = 32,
        KNOWN_MODULE = 64,
        KNOWN_LOWER_TEXT = 128,
    };
    struct tagWALK_WINDOW {
        HWND hwnd = nullptr;
        unsigned known = 0;
        std::wstring text;
        std::wstring lowerText;
        std::wstring className;
        std::wstring lowerModule;
        DWORD processId = 0;
        bool visible = false;
        bool hasParent = false;
        bool enabled = false;
    };
    struct tagWALK_PROCESS {
        std::wstring path;
        std::wstring lowerPath;
    };
    static BOOL CALLBACK CollectProc(HWND hwnd, LPARAM param);
    tagWALK_PROCESS& Process(int index);

    DWORD m_flags;
    std::vector<std::wstring> m_excluded;
    std::vector<tagWALK_WINDOW> m_windows;
    std::map<DWORD, tagWALK_PROCESS> m_processes;
};

struct tagWindowInfo {
    std::wstring className;
    std::wstring executablePath;  // empty until the process pass fills it
    DWORD dwProcessId = 0;
    HWND hwnd = nullptr;
};

class CEnumWinModules {
public:
    CEnumWinModules() = default;
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

private:
    BOOL FillPathsToolhelp();
    tagWindowInfo* FirstOfProcess(DWORD processId);

    std::vector<std::unique_ptr<tagWindowInfo>> m_windows;
    std::vector<std::wstring> m_excludedClasses;
};
