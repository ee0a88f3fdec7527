#include "app/demo/KanzoProcess.h"

#include "support/ProgramPath.h"

#include <vector>

namespace kanzoctl {

const wchar_t kMainWindowTitle[] = L"Vemtra Remote Control Editor";

namespace {

constexpr DWORD POLL_MS = 20;
constexpr UINT HOTKEY_QUIT_NOW = 43819;
constexpr UINT CMD_TRAY_EXIT = 34112;

struct tagEDITSEARCH {
    const std::wstring* part;
    HWND found;
};

BOOL CALLBACK MatchCaption(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<tagEDITSEARCH*>(param);
    wchar_t title[256] = {};
    GetWindowTextW(hwnd, title, 256);
    if (IsWindowVisible(hwnd) && wcsstr(title, search->part->c_str())) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

struct tagFIND {
    DWORD processId;
    const wchar_t* title;   // null: any
    HWND exclude;
    HWND found;
};

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM param) {
    auto* find = reinterpret_cast<tagFIND*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    wchar_t cls[32] = {};
    GetClassNameW(hwnd, cls, 32);
    if (pid != find->processId || wcscmp(cls, L"#32770") != 0 || hwnd == find->exclude)
        return TRUE;
    wchar_t text[128] = {};
    GetWindowTextW(hwnd, text, 128);
    if (find->title ? wcscmp(text, find->title) == 0 : (IsWindowVisible(hwnd) && GetDlgItem(hwnd, IDYES))) {
        find->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindTray(HWND hwnd, LPARAM param) {
    wchar_t cls[64] = {};
    GetClassNameW(hwnd, cls, 64);
    if (wcscmp(cls, L"__winex11_standalone_tray") == 0) {
        *reinterpret_cast<HWND*>(param) = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CountIcons(HWND hwnd, LPARAM param) {
    wchar_t cls[64] = {};
    GetClassNameW(hwnd, cls, 64);
    if (wcscmp(cls, L"__winex11_tray_icon") == 0)
        ++*reinterpret_cast<int*>(param);
    return TRUE;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!done()) {
        if (GetTickCount64() >= end)
            return done();
        Sleep(POLL_MS);
    }
    return true;
}

CKanzoProcess::~CKanzoProcess() {
    if (IsRunning() && QuitNow() < 0)
        TerminateProcess(m_process.Get(), 99);
}

CKanzoProcess::CKanzoProcess(std::wstring folder)
    : m_folder(folder.empty() ? ExecutableFolder() : std::move(folder)) {}

std::wstring CKanzoProcess::ExecutableFolder() { return GetProgramFolder(); }

bool CKanzoProcess::Start(const std::wstring& options) {
    const std::wstring& folder = m_folder;
    std::wstring line = L"\"" + folder + L"\\Kanzo.exe\"";
    if (!options.empty())
        line += L" " + options;
    std::vector<wchar_t> buffer(line.begin(), line.end());
    buffer.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup, &info))
        return false;
    CloseHandle(info.hThread);
    m_process.Reset(info.hProcess);
    m_id = info.dwProcessId;
    WaitForInputIdle(info.hProcess, 30000);
    return true;
}

int CKanzoProcess::WaitExit(DWORD timeoutMs) {
    if (!m_process || WaitForSingleObject(m_process.Get(), timeoutMs) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(m_process.Get(), &code);
    return static_cast<int>(code);
}

bool CKanzoProcess::IsRunning() const {
    return m_process && WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT;
}

HWND CKanzoProcess::FindMainWindow() const {
    tagFIND find{m_id, kMainWindowTitle, nullptr, nullptr};
    EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

HWND CKanzoProcess::FindMessageBox() const {
    tagFIND find{m_id, nullptr, FindMainWindow(), nullptr};
    EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

int CKanzoProcess::QuitNow(DWORD timeoutMs) {
    HWND main = FindMainWindow();
    if (main)
        PostMessageW(main, WM_HOTKEY, HOTKEY_QUIT_NOW, MAKELPARAM(MOD_CONTROL | MOD_ALT | MOD_SHIFT, 'X'));
    return WaitExit(timeoutMs);
}

int CKanzoProcess::ExitFromTray(DWORD timeoutMs) {
    HWND main = FindMainWindow();
    if (!main)
        return WaitExit(0);
    PostMessageW(main, WM_COMMAND, CMD_TRAY_EXIT, 0);
    HWND box = nullptr;
    if (!WaitUntil([&] { return (box = FindMessageBox()) != nullptr || !IsRunning(); }, timeoutMs) || !box)
        return WaitExit(0);
    PostMessageW(box, WM_COMMAND, IDYES, 0);
    return WaitExit(timeoutMs);
}

int CountTrayIcons() {
    HWND tray = nullptr;
    EnumWindows(FindTray, reinterpret_cast<LPARAM>(&tray));
    int icons = 0;
    if (tray)
        EnumChildWindows(tray, CountIcons, reinterpret_cast<LPARAM>(&icons));
    return icons;
}

bool IsOnScreen(HWND window) {
    if (!window || !IsWindowVisible(window))
        return false;
    RECT rect;
    GetWindowRect(window, &rect);
    return rect.left < GetSystemMetrics(SM_CXSCREEN) && rect.top < GetSystemMetrics(SM_CYSCREEN);
}

}  // namespace kanzoctl

namespace kanzoctl {

std::wstring WindowText(HWND window) {
    wchar_t text[256] = {};
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &ignored);
    return text;
}

std::wstring ReadEditText(const std::wstring& captionPart) {
    tagEDITSEARCH search{&captionPart, nullptr};
    EnumWindows(MatchCaption, reinterpret_cast<LPARAM>(&search));
    HWND edit = search.found ? FindWindowExW(search.found, nullptr, L"Edit", nullptr) : nullptr;
    if (!edit)
        return std::wstring();
    wchar_t text[4096] = {};
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(edit, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &ignored);
    return text;
}

}  // namespace kanzoctl
