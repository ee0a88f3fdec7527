#include "support/QVThread.h"

#include "support/ComApartment.h"
#include "support/QVDebug.h"

#include <cwchar>
#include <optional>

// What the object and its thread share. A thread whose stop timed out keeps its
// reference, so it never touches a destroyed object, and it leaves the id of a
// newer thread alone.
struct CQVThread::tagSHARED {
    std::atomic<DWORD> threadId{0};
    std::atomic<int> period{-1};
    CQVHandle stopEvent{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
};

// One start's parameters, owned by the thread it starts: a thread left running
// by a timed-out stop goes on with its own function and user pointer, not with
// those of the next start.
struct CQVThread::tagRUN {
    std::shared_ptr<tagSHARED> shared;
    QVTHREADPROC pfn = nullptr;
    void* pUser = nullptr;
    int comFlag = 0;
    int traceFlag = 0;
    wchar_t name[QVTHREAD_NAME_CHARS + 1] = {};
};

namespace {

constexpr const wchar_t* kDefaultName = L"CQVThread";
constexpr DWORD kNamingException = 0x406D1388;

// The record debuggers expect with the naming exception.
#pragma pack(push, 8)
struct tagTHREADNAME_INFO {
    DWORD dwType = 0x1000;
    LPCSTR szName = nullptr;
    DWORD dwThreadID = 0;
    DWORD dwFlags = 0;
};
#pragma pack(pop)

LONG CALLBACK SwallowNamingException(EXCEPTION_POINTERS* pInfo) {
    return pInfo->ExceptionRecord->ExceptionCode == kNamingException ? EXCEPTION_CONTINUE_EXECUTION
                                                                      : EXCEPTION_CONTINUE_SEARCH;
}

// A vectored handler for the lifetime of the object.
class CVectoredHandler {
public:
    explicit CVectoredHandler(PVECTORED_EXCEPTION_HANDLER pfn) : m_h(AddVectoredExceptionHandler(1, pfn)) {}
    ~CVectoredHandler() {
        if (m_h)
            RemoveVectoredExceptionHandler(m_h);
    }
    CVectoredHandler(const CVectoredHandler&) = delete;
    CVectoredHandler& operator=(const CVectoredHandler&) = delete;
    bool IsValid() const { return m_h != nullptr; }

private:
    void* m_h;
};

using SETTHREADDESCRIPTION = HRESULT(WINAPI*)(HANDLE, PCWSTR);

SETTHREADDESCRIPTION FindSetThreadDescription() {
    // Looked up by name: older systems do not have it.
    HMODULE hKernel = GetModuleHandleW(L"kernel32.dll");
    FARPROC pfn = hKernel ? GetProcAddress(hKernel, "SetThreadDescription") : nullptr;
    return reinterpret_cast<SETTHREADDESCRIPTION>(reinterpret_cast<void*>(pfn));
}

// Copies at most QVTHREAD_NAME_CHARS units, without splitting a surrogate pair.
void CopyName(wchar_t (&target)[QVTHREAD_NAME_CHARS + 1], const wchar_t* source) {
    if (!source || !*source)
        source = kDefaultName;
    std::size_t length = wcsnlen(source, QVTHREAD_NAME_CHARS + 1);
    if (length > QVTHREAD_NAME_CHARS) {
        length = QVTHREAD_NAME_CHARS;
        if (source[length - 1] >= 0xD800 && source[length - 1] <= 0xDBFF)
            --length;
    }
    wmemcpy(target, source, length);
    target[length] = L'\0';
}

}  // namespace

// The system's description where it exists (debuggers and tools read it
// without any help), and the naming exception for debuggers that only know
// that. MinGW has no __try, so the exception is raised only while a debugger
// is attached, with a vectored handler in place that swallows it once the
// debugger has passed it on.
void CQVThread::SetDebuggerName(DWORD threadId, HANDLE hThread, const wchar_t* name) {
    wchar_t text[QVTHREAD_NAME_CHARS + 8];
    std::swprintf(text, sizeof(text) / sizeof(text[0]), L"%ls %ls", L"QV:", name ? name : L"");

    static const SETTHREADDESCRIPTION pfnSetDescription = FindSetThreadDescription();
    if (pfnSetDescription && hThread)
        pfnSetDescription(hThread, text);

    if (!IsDebuggerPresent())
        return;
    char ansi[2 * (QVTHREAD_NAME_CHARS + 8)] = {};
    WideCharToMultiByte(CP_ACP, 0, text, -1, ansi, sizeof(ansi) - 1, nullptr, nullptr);
    tagTHREADNAME_INFO info;
    info.szName = ansi;
    info.dwThreadID = threadId;
    CVectoredHandler handler(&SwallowNamingException);
    if (!handler.IsValid())
        return;
    RaiseException(kNamingException, 0, sizeof(info) / sizeof(ULONG_PTR), reinterpret_cast<const ULONG_PTR*>(&info));
}

CQVThread::CQVThread() : m_shared(std::make_shared<tagSHARED>()) {}

CQVThread::~CQVThread() { StopThread(QVTHREAD_STOP_TIMEOUT); }

HANDLE CQVThread::StartThread(const wchar_t* name, QVTHREADPROC pfn, void* pUser, int period, int comFlag,
                              int priority, int traceFlag) {
    CQVTraceScope scope(QVL_INFO, QVC_ALL, L"CQVThread::StartThread", name ? name : L"");
    if (!pfn)
        return nullptr;
    StopThread(QVTHREAD_STOP_TIMEOUT);

    m_pUser = pUser;
    m_pfn = pfn;
    CopyName(m_name, name);
    m_shared->period = period;
    m_comFlag = comFlag;
    m_traceFlag = traceFlag;

    auto run = std::make_unique<tagRUN>();
    run->shared = m_shared;
    run->pfn = pfn;
    run->pUser = pUser;
    run->comFlag = comFlag;
    run->traceFlag = traceFlag;
    wmemcpy(run->name, m_name, QVTHREAD_NAME_CHARS + 1);

    DWORD threadId = 0;
    CQVHandle thread(CreateThread(nullptr, 0, &CQVThread::ThreadProc, run.get(), CREATE_SUSPENDED, &threadId));
    if (!thread) {
        TracePrint(QVL_ERR, QVC_ALL, L"%ls() FAILED with error %lu\n", L"CQVThread::StartThread", GetLastError());
        return nullptr;
    }
    // The suspended thread owns its parameters from here on.
    run.release();
    m_shared->threadId = threadId;
    ResetEvent(m_shared->stopEvent.Get());
    SetDebuggerName(threadId, thread.Get(), m_name);
    if (priority != 0)
        SetThreadPriority(thread.Get(), priority);
    m_thread = std::move(thread);
    ResumeThread(m_thread.Get());
    return m_thread.Get();
}

DWORD WINAPI CQVThread::ThreadProc(void* pParam) {
    std::unique_ptr<tagRUN> run(static_cast<tagRUN*>(pParam));
    DWORD result = 0;
    {
        std::optional<CQVComApartment> com;
        if (run->comFlag == 1)
            com.emplace();
        result = RunBody(*run);
    }
    // A newer start may already have replaced the id: only clear our own.
    DWORD self = GetCurrentThreadId();
    run->shared->threadId.compare_exchange_strong(self, 0);
    return result;
}

DWORD CQVThread::RunBody(tagRUN& run) {
    tagSHARED& shared = *run.shared;
    const DWORD self = GetCurrentThreadId();
    if (run.traceFlag == 1) {
        TraceInitEx(QVOUT_DEBUGGER, nullptr, 1, QVL_ERR, QVC_ALL);
        TracePrint(QVL_INFO, QVC_ALL, L">>> %ls: Enter thread proc\n", run.name);
    }
    SetDebuggerName(self, GetCurrentThread(), run.name);

    DWORD result = 0;
    if (shared.period < 0) {
        result = run.pfn(run.pUser);
    } else {
        for (;;) {
            result = run.pfn(run.pUser);
            // Replaced by a newer start after a stop that timed out: end quietly.
            if (shared.threadId != self)
                break;
            const int period = shared.period;
            if (WaitForSingleObject(shared.stopEvent.Get(), period < 0 ? 0 : static_cast<DWORD>(period)) !=
                WAIT_TIMEOUT)
                break;
        }
    }

    if (run.traceFlag == 1) {
        TracePrint(QVL_INFO, QVC_ALL, L"<<< %ls: Leave thread proc\n", run.name);
        TraceTerminateThread(self, 1);
    }
    return result;
}

int CQVThread::StopThread(DWORD timeoutMs) {
    const DWORD threadId = m_shared->threadId;
    if (!m_thread)
        return 1;
    if (threadId == 0 || WaitForSingleObject(m_thread.Get(), 0) == WAIT_OBJECT_0) {
        // The body has ended and cleared the id; let the thread's last
        // instructions finish too, so its exit code is final.
        WaitForSingleObject(m_thread.Get(), timeoutMs);
        return 1;
    }

    wchar_t text[QVTHREAD_NAME_CHARS + 64];
    std::swprintf(text, sizeof(text) / sizeof(text[0]), L"Thread ID %lu = 0x%lX %ls", threadId, threadId, m_name);
    CQVTraceScope scope(QVL_INFO, QVC_ALL, L"CQVThread::StopThread", text);

    SetEvent(m_shared->stopEvent.Get());
    const DWORD wait = m_pfnWait(m_thread.Get(), timeoutMs);
    if (wait == WAIT_OBJECT_0) {
        TracePrint(QVL_INFO, QVC_ALL, L"Thread 0x%04lx(%lu) Thread terminated\n", threadId, threadId);
        return 1;
    }
    if (wait == WAIT_TIMEOUT)
        TracePrint(QVL_ERR, QVC_ALL, L"Thread 0x%04lx(%lu) TIMEOUT (%lu msec)\n", threadId, threadId, timeoutMs);
    else
        TracePrint(QVL_ERR, QVC_ALL, L"Thread 0x%04lx(%lu) FAILURE 0x%08lX\n", threadId, threadId, wait);
    return 0;
}

bool CQVThread::IsRunning() const {
    return m_shared->threadId != 0 && m_thread && WaitForSingleObject(m_thread.Get(), 0) == WAIT_TIMEOUT;
}

BOOL CQVThread::GetExitCode(DWORD* pExitCode) const {
    if (!pExitCode || !m_thread)
        return FALSE;
    return GetExitCodeThread(m_thread.Get(), pExitCode);
}

void CQVThread::SignalStop() { SetEvent(m_shared->stopEvent.Get()); }

bool CQVThread::IsStopSignalled() const { return WaitForSingleObject(m_shared->stopEvent.Get(), 0) == WAIT_OBJECT_0; }

int CQVThread::SetPeriod(int periodMs) {
    if (periodMs < 0)
        return 0;
    m_shared->period = periodMs;
    return 1;
}

HANDLE CQVThread::GetStopEvent() const { return m_shared->stopEvent.Get(); }

DWORD CQVThread::GetThreadId() const { return m_shared->threadId; }

int CQVThread::GetPeriod() const { return m_shared->period; }
