#include "tests/commands/target/TargetClient.h"

#include <atomic>
#include <cwchar>

namespace cmdtest {

namespace {

std::atomic<int> g_recordCount{0};

BOOL CALLBACK CloseProc(HWND hwnd, LPARAM param) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == static_cast<DWORD>(param) && !GetParent(hwnd))
        PostMessageW(hwnd, WM_CLOSE, 0, 0);
    return TRUE;
}

}  // namespace

std::wstring TargetPath(const std::wstring& folder) {
    std::wstring dir = folder;
    if (dir.empty()) {
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        dir = self;
        dir = dir.substr(0, dir.rfind(L'\\'));
    }
    return dir + L"\\" + KANZO_TARGET_EXE;
}

CTargetRecord::CTargetRecord() {
    wchar_t name[96];
    std::swprintf(name, 96, L"KanzoTargetRecord.%lu.%d", GetCurrentProcessId(), ++g_recordCount);
    m_name = name;
    m_mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(tagTARGET_RECORD),
                                   m_name.c_str());
    if (m_mapping)
        m_record = static_cast<tagTARGET_RECORD*>(
            MapViewOfFile(m_mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(tagTARGET_RECORD)));
    m_event = CreateEventW(nullptr, FALSE, FALSE, (m_name + TARGET_EVENT_SUFFIX).c_str());
    SetEnvironmentVariableW(KANZO_TARGET_ENV, m_name.c_str());
}

CTargetRecord::~CTargetRecord() {
    if (m_record)
        UnmapViewOfFile(m_record);
    if (m_mapping)
        CloseHandle(m_mapping);
    if (m_event)
        CloseHandle(m_event);
}

std::vector<std::wstring> CTargetRecord::Lines() const {
    std::vector<std::wstring> lines;
    if (!m_record)
        return lines;
    const LONG used = InterlockedCompareExchange(const_cast<LONG*>(&m_record->cchUsed), 0, 0);
    std::wstring current;
    for (LONG i = 0; i < used; ++i) {
        if (m_record->text[i] == L'\n') {
            lines.push_back(current);
            current.clear();
        } else {
            current += m_record->text[i];
        }
    }
    return lines;
}

std::vector<std::wstring> CTargetRecord::Matching(const std::wstring& prefix, std::size_t from) const {
    std::vector<std::wstring> out;
    const std::vector<std::wstring> lines = Lines();
    for (std::size_t i = from; i < lines.size(); ++i) {
        if (lines[i].compare(0, prefix.size(), prefix) == 0)
            out.push_back(lines[i]);
    }
    return out;
}

int CTargetRecord::WaitFor(const std::wstring& prefix, std::size_t from, DWORD timeoutMs) const {
    int found = -1;
    PumpUntil(
        [&] {
            const std::vector<std::wstring> lines = Lines();
            for (std::size_t i = from; i < lines.size(); ++i) {
                if (lines[i].compare(0, prefix.size(), prefix) == 0) {
                    found = static_cast<int>(i);
                    return true;
                }
            }
            return false;
        },
        timeoutMs, m_event);
    return found;
}

void CTargetRecord::Clear() {
    if (!m_record)
        return;
    // The targets' own lock: no line is half written while the length drops.
    HANDLE lock = CreateMutexW(nullptr, FALSE, (m_name + TARGET_LOCK_SUFFIX).c_str());
    if (lock)
        WaitForSingleObject(lock, INFINITE);
    InterlockedExchange(&m_record->cchUsed, 0);
    if (lock) {
        ReleaseMutex(lock);
        CloseHandle(lock);
    }
}

bool CTargetProcess::Start(const std::wstring& options) {
    Close();
    // The session's desktop first: a child that would have to start it itself
    // can stall for seconds under Wine.
    GetDesktopWindow();
    const std::size_t from = m_record.Count();
    std::wstring commandLine = L"\"" + TargetPath(m_folder) + L"\" " + options;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    // On a loaded machine Wine now and then refuses a process at once; a
    // second try a moment later starts it.
    for (int attempt = 1;; ++attempt) {
        if (CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
            break;
        m_failure = L"CreateProcess failed with error " + std::to_wstring(GetLastError());
        if (attempt == 3)
            return false;
        Sleep(200);
    }
    CloseHandle(info.hThread);
    m_process = info.hProcess;
    m_processId = info.dwProcessId;
    const int ready = m_record.WaitFor(L"READY ", from, 30000);
    if (ready < 0) {
        m_failure = L"no READY line within 30 s";
        return false;
    }
    const std::wstring line = m_record.Lines()[ready];
    m_window = reinterpret_cast<HWND>(static_cast<INT_PTR>(std::wcstoull(line.c_str() + 6, nullptr, 16)));
    if (!IsWindow(m_window))
        m_failure = L"its READY line names no window";
    return IsWindow(m_window) != FALSE;
}

void CTargetProcess::Close(DWORD waitMs) {
    if (!m_process)
        return;
    EnumWindows(CloseProc, static_cast<LPARAM>(m_processId));
    if (WaitForSingleObject(m_process, waitMs) != WAIT_OBJECT_0)
        TerminateProcess(m_process, 1);
    CloseHandle(m_process);
    m_process = nullptr;
    m_processId = 0;
    m_window = nullptr;
}

void CloseProcessWindows(DWORD processId, DWORD timeoutMs) {
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, processId);
    EnumWindows(CloseProc, static_cast<LPARAM>(processId));
    if (!process)
        return;
    if (WaitForSingleObject(process, timeoutMs) != WAIT_OBJECT_0)
        TerminateProcess(process, 1);
    CloseHandle(process);
}

}  // namespace cmdtest
