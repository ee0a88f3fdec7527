#include "commands/EnumWinModules.h"

#include "support/QVDebug.h"
#include "support/QVSystemInfo.h"
#include "support/ScopedWin.h"

#include <tlhelp32.h>

namespace {

using EnumProcessesFn = BOOL(WINAPI*)(DWORD*, DWORD, DWORD*);
using EnumProcessModulesFn = BOOL(WINAPI*)(HANDLE, HMODULE*, DWORD, DWORD*);
using GetModuleFileNameExFn = DWORD(WINAPI*)(HANDLE, HMODULE, LPWSTR, DWORD);
using CreateSnapshotFn = HANDLE(WINAPI*)(DWORD, DWORD);
using Process32Fn = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32W*);

template <class Fn>
Fn Proc(const CQVModule& module, const char* name) {
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module.Get(), name))) : nullptr;
}

}  // namespace

void CEnumWinModules::AddExcludedClass(const wchar_t* className) {
    if (className)
        m_excludedClasses.emplace_back(className);
}

bool CEnumWinModules::IsSkipped(HWND hwnd, const std::wstring& className) const {
    const bool visible = IsWindowVisible(hwnd) != FALSE;
    if (m_flags & ENUMWIN_SKIP_INVISIBLE) {
        if (!visible)
            return true;
    } else if ((m_flags & ENUMWIN_SKIP_VISIBLE) && visible) {
        return true;
    }
    const bool hasParent = GetParent(hwnd) != nullptr;
    if (m_flags & ENUMWIN_SKIP_CHILD) {
        if (hasParent)
            return true;
    } else if ((m_flags & ENUMWIN_SKIP_TOPLEVEL) && !hasParent) {
        return true;
    }
    if (m_flags & ENUMWIN_SKIP_EXCLUDED) {
        for (const std::wstring& excluded : m_excludedClasses) {
            if (excluded == className)
                return true;
        }
    }
    return false;
}

BOOL CALLBACK CEnumWinModules::EnumProc(HWND hwnd, LPARAM param) {
    auto* self = reinterpret_cast<CEnumWinModules*>(param);
    wchar_t className[256] = {};
    GetClassNameW(hwnd, className, 256);
    if (self->IsSkipped(hwnd, className))
        return TRUE;
    auto info = std::make_unique<tagWindowInfo>();
    info->className = className;
    info->hwnd = hwnd;
    GetWindowThreadProcessId(hwnd, &info->dwProcessId);
    self->m_windows.push_back(std::move(info));
    return TRUE;
}

tagWindowInfo* CEnumWinModules::FirstOfProcess(DWORD processId) {
    for (auto& info : m_windows) {
        if (info->dwProcessId == processId)
            return info.get();
    }
    return nullptr;
}

BOOL CEnumWinModules::FillPathsNT() {
    CQVModule psapi(LoadLibraryW(L"PSAPI.DLL"));
    CQVModule vdmdbg(LoadLibraryW(L"VDMDBG.DLL"));
    auto enumProcesses = Proc<EnumProcessesFn>(psapi, "EnumProcesses");
    auto enumModules = Proc<EnumProcessModulesFn>(psapi, "EnumProcessModules");
    auto moduleFileName = Proc<GetModuleFileNameExFn>(psapi, "GetModuleFileNameExW");
    void* enumWow = reinterpret_cast<void*>(vdmdbg ? GetProcAddress(vdmdbg.Get(), "VDMEnumTaskWOWEx") : nullptr);
    if (!enumProcesses || !enumModules || !moduleFileName || !enumWow)
        return FALSE;

    // A full list may have cut processes off: grow it until the system's
    // answer leaves room, so no window loses its path on a busy machine.
    std::vector<DWORD> ids(m_firstRoom);
    DWORD bytes = 0;
    for (;;) {
        const DWORD room = static_cast<DWORD>(ids.size() * sizeof(DWORD));
        if (!enumProcesses(ids.data(), room, &bytes))
            return FALSE;
        if (bytes < room || ids.size() >= 65536)
            break;
        ids.resize(ids.size() * 2);
    }
    const DWORD count = bytes / sizeof(DWORD);
    m_processCount = static_cast<int>(count);
    for (DWORD i = 0; i < count; ++i) {
        tagWindowInfo* info = FirstOfProcess(ids[i]);
        if (!info)
            continue;
        CQVHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, ids[i]));
        if (!process)
            continue;
        HMODULE first = nullptr;
        DWORD needed = 0;
        if (!enumModules(process.Get(), &first, sizeof(first), &needed))
            continue;
        wchar_t path[MAX_PATH] = {};
        if (moduleFileName(process.Get(), first, path, MAX_PATH))
            info->executablePath = path;
    }
    return TRUE;
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
    int count = 0;
    for (BOOL more = first(snap.Get(), &entry); more; more = next(snap.Get(), &entry)) {
        ++count;
        if (tagWindowInfo* info = FirstOfProcess(entry.th32ProcessID))
            info->executablePath = entry.szExeFile;
    }
    m_processCount = count;
    return TRUE;
}

BOOL CEnumWinModules::Enumerate(DWORD filterFlags) {
    m_windows.clear();
    m_processCount = 0;
    m_flags = filterFlags;
    EnumWindows(&CEnumWinModules::EnumProc, reinterpret_cast<LPARAM>(this));
    if (CQVSystemInfo::IsWindowsNT())
        return FillPathsNT();
    return FillPathsToolhelp();
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
