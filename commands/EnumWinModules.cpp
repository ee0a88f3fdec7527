#include "commands/EnumWinModules.h"

#include "commands/ProcessNames.h"
#include "support/QVSystemInfo.h"
#include "support/ScopedWin.h"

#include <tlhelp32.h>

namespace {

using CreateSnapshotFn = HANDLE(WINAPI*)(DWORD, DWORD);
using Process32Fn = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32W*);

template <class Fn>
Fn Proc(const CQVModule& module, const char* name) {
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module.Get(), name))) : nullptr;
}

std::wstring Lower(const std::wstring& text) {
    std::wstring out = text;
    if (!out.empty())
        CharLowerBuffW(&out[0], static_cast<DWORD>(out.size()));
    return out;
}

}  // namespace

CWindowWalk::CWindowWalk(DWORD filterFlags, const std::vector<std::wstring>& excludedClasses)
    : m_flags(filterFlags), m_excluded(excludedClasses) {
    m_windows.reserve(256);
    EnumWindows(&CWindowWalk::CollectProc, reinterpret_cast<LPARAM>(this));
}

BOOL CALLBACK CWindowWalk::CollectProc(HWND hwnd, LPARAM param) {
    tagWALK_WINDOW window;
    window.hwnd = hwnd;
    reinterpret_cast<CWindowWalk*>(param)->m_windows.push_back(std::move(window));
    return TRUE;
}

const std::wstring& CWindowWalk::GetText(int index) {
    tagWALK_WINDOW& w = m_windows[index];
    if (!(w.known & KNOWN_TEXT)) {
        // The text the system keeps for the window, as an exact-title search
        // compares it: no WM_GETTEXT, so a hung window cannot stall the key.
        wchar_t text[260] = {};
        InternalGetWindowText(w.hwnd, text, 260);
        w.text = text;
        w.known |= KNOWN_TEXT;
    }
    return w.text;
}

const std::wstring& CWindowWalk::GetLowerText(int index) {
    tagWALK_WINDOW& w = m_windows[index];
    if (!(w.known & KNOWN_LOWER_TEXT)) {
        w.lowerText = Lower(GetText(index));
        w.known |= KNOWN_LOWER_TEXT;
    }
    return w.lowerText;
}

const std::wstring& CWindowWalk::GetClassName(int index) {
    tagWALK_WINDOW& w = m_windows[index];
    if (!(w.known & KNOWN_CLASS)) {
        wchar_t name[256] = {};
        ::GetClassNameW(w.hwnd, name, 256);
        w.className = name;
        w.known |= KNOWN_CLASS;
    }
    return w.className;
}

DWORD CWindowWalk::GetProcessId(int index) {
    tagWALK_WINDOW& w = m_windows[index];
    if (!(w.known & KNOWN_PROCESS)) {
        GetWindowThreadProcessId(w.hwnd, &w.processId);
        w.known |= KNOWN_PROCESS;
    }
    return w.processId;
}

CWindowWalk::tagWALK_PROCESS& CWindowWalk::Process(int index) {
    const DWORD processId = GetProcessId(index);
    auto found = m_processes.find(processId);
    if (found != m_processes.end())
        return found->second;
    tagWALK_PROCESS& process = m_processes[processId];
    process.path = GetProcessExecutablePath(processId);
    process.lowerPath = Lower(process.path);
    return process;
}

const std::wstring& CWindowWalk::GetProcessPath(int index) { return Process(index).path; }

const std::wstring& CWindowWalk::GetLowerProcessPath(int index) { return Process(index).lowerPath; }

const std::wstring& CWindowWalk::GetLowerModuleName(int index) {
    tagWALK_WINDOW& w = m_windows[index];
    if (!(w.known & KNOWN_MODULE)) {
        wchar_t module[260] = {};
        GetWindowModuleFileNameW(w.hwnd, module, 260);
        w.lowerModule = Lower(module);
        w.known |= KNOWN_MODULE;
    }
    return w.lowerModule;
}

bool CWindowWalk::IsVisible(int index) {
    tagWALK_WINDOW& w = m_windows[index];
    if (!(w.known & KNOWN_VISIBLE)) {
        w.visible = IsWindowVisible(w.hwnd) != FALSE;
        w.known |= KNOWN_VISIBLE;
    }
    return w.visible;
}

bool CWindowWalk::IsEnabled(int index) {
    tagWALK_WINDOW& w = m_windows[index];
    if (!(w.known & KNOWN_ENABLED)) {
        w.enabled = IsWindowEnabled(w.hwnd) != FALSE;
        w.known |= KNOWN_ENABLED;
    }
    return w.enabled;
}

bool CWindowWalk::IsKept(int index) {
    if (m_flags & (ENUMWIN_SKIP_INVISIBLE | ENUMWIN_SKIP_VISIBLE)) {
        const bool visible = IsVisible(index);
        if (m_flags & ENUMWIN_SKIP_INVISIBLE) {
            if (!visible)
                return false;
        } else if (visible) {
            return false;
        }
    }
    if (m_flags & (ENUMWIN_SKIP_CHILD | ENUMWIN_SKIP_TOPLEVEL)) {
        tagWALK_WINDOW& w = m_windows[index];
        if (!(w.known & KNOWN_PARENT)) {
            w.hasParent = GetParent(w.hwnd) != nullptr;
            w.known |= KNOWN_PARENT;
        }
        if (m_flags & ENUMWIN_SKIP_CHILD) {
            if (w.hasParent)
                return false;
        } else if (!w.hasParent) {
            return false;
        }
    }
    if (m_flags & ENUMWIN_SKIP_EXCLUDED) {
        const std::wstring& className = GetClassName(index);
        for (const std::wstring& excluded : m_excluded) {
            if (excluded == className)
                return false;
        }
    }
    return true;
}

bool CWindowWalk::IsFirstKeptOfProcess(int index) {
    if (!IsKept(index))
        return false;
    const DWORD processId = GetProcessId(index);
    for (int i = 0; i < index; ++i) {
        if (GetProcessId(i) == processId && IsKept(i))
            return false;
    }
    return true;
}

void CEnumWinModules::AddExcludedClass(const wchar_t* className) {
    if (className)
        m_excludedClasses.emplace_back(className);
}

tagWindowInfo* CEnumWinModules::FirstOfProcess(DWORD processId) {
    for (auto& info : m_windows) {
        if (info->dwProcessId == processId)
            return info.get();
    }
    return nullptr;
}

BOOL CEnumWinModules::FillPathsToolhelp() {
    CQVModule kernel(LoadLibraryW(L"Kernel32.DLL"));
    auto snapshot = Proc<CreateSnapshotFn>(kernel, "CreateToolhelp32Snapshot");
    auto first = Proc<Process32Fn>(kernel, "Process32FirstW");
    auto next = Proc<Process32Fn>(kernel, "Process32NextW");
    if (!snapshot || !first || !next)
        return FALSE;
    CQVHandle snap(snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snap)
        return FALSE;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = first(snap.Get(), &entry); more; more = next(snap.Get(), &entry)) {
        if (tagWindowInfo* info = FirstOfProcess(entry.th32ProcessID))
            info->executablePath = entry.szExeFile;
    }
    return TRUE;
}

BOOL CEnumWinModules::Enumerate(DWORD filterFlags) {
    m_windows.clear();
    CWindowWalk walk(filterFlags, m_excludedClasses);
    const bool nt = CQVSystemInfo::IsWindowsNT() != FALSE;
    for (int i = 0; i < walk.GetCount(); ++i) {
        if (!walk.IsKept(i))
            continue;
        auto info = std::make_unique<tagWindowInfo>();
        info->className = walk.GetClassName(i);
        info->hwnd = walk.GetWindow(i);
        info->dwProcessId = walk.GetProcessId(i);
        // Each process's path once, from the process-wide cache.
        if (nt && !FirstOfProcess(info->dwProcessId))
            info->executablePath = walk.GetProcessPath(i);
        m_windows.push_back(std::move(info));
    }
    return nt ? TRUE : FillPathsToolhelp();
}

const wchar_t* CEnumWinModules::GetExecutablePath(int index) const {
    const tagWindowInfo* info = GetInfo(index);
    return info ? info->executablePath.c_str() : L"";
}

std::wstring CEnumWinModules::GetWindowText(int index) const {
    const tagWindowInfo* info = GetInfo(index);
    if (!info)
        return std::wstring();
    wchar_t text[260] = {};
    ::GetWindowTextW(info->hwnd, text, 260);
    return text;
}

HWND CEnumWinModules::GetWindow(int index) const {
    const tagWindowInfo* info = GetInfo(index);
    return info ? info->hwnd : nullptr;
}

const tagWindowInfo* CEnumWinModules::GetInfo(int index) const {
    if (index < 0 || index >= GetCount())
        return nullptr;
    return m_windows[index].get();
}
