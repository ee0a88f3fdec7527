#pragma once
// CQVThread: one function on a worker thread of its own, called once or
// periodically until the owner asks it to stop. Stopping is cooperative: the
// owner sets a manual-reset stop event and waits a bounded time; the thread is
// never killed.
//
// Windows-only.

#include "support/ScopedWin.h"

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <memory>

// The thread function: takes the user pointer, returns the thread's result.
using QVTHREADPROC = DWORD(WINAPI*)(void* pUser);
// How StopThread waits for the thread's end (WaitForSingleObject by default).
using QVTHREADWAIT = DWORD(WINAPI*)(HANDLE hThread, DWORD timeoutMs);

constexpr int QVTHREAD_NAME_CHARS = 255;
constexpr DWORD QVTHREAD_STOP_TIMEOUT = 10000;

class CQVThread {
public:
    CQVThread();
    virtual ~CQVThread();
    CQVThread(const CQVThread&) = delete;
    CQVThread& operator=(const CQVThread&) = delete;

    // Starts pfn(pUser) on a new thread, after stopping a thread that may still
    // run. period < 0: one call; otherwise call, wait period ms on the stop event,
    // repeat. comFlag 1: the thread runs in a COM apartment. priority: a
    // THREAD_PRIORITY_* value, 0 leaves it normal. traceFlag 1: the thread
    // attaches to the trace log and writes enter and leave lines.
    // Returns the thread's handle, which this object keeps owning (valid until the
    // next start or the object's end; never close it), or nullptr.
    HANDLE StartThread(const wchar_t* name, QVTHREADPROC pfn, void* pUser, int period, int comFlag, int priority,
                       int traceFlag);
    // 1 when no thread runs or it ended within the time-out, 0 otherwise.
    int StopThread(DWORD timeoutMs);

    bool IsRunning() const;
    // The system's exit code of the last thread (STILL_ACTIVE while it runs).
    BOOL GetExitCode(DWORD* pExitCode) const;
    void SignalStop();
    bool IsStopSignalled() const;
    // Refuses negative periods (0); takes effect at the thread's next wait.
    int SetPeriod(int periodMs);

    // The stop event, for functions that wait on it themselves.
    HANDLE GetStopEvent() const;
    DWORD GetThreadId() const;
    int GetPeriod() const;
    const wchar_t* GetName() const { return m_name; }

    // Replaces the wait of StopThread, so tests can stand in for long time-outs.
    void SetWaitFunction(QVTHREADWAIT pfnWait) { m_pfnWait = pfnWait ? pfnWait : &WaitForSingleObject; }

    // Hands "QV: <name>" to debuggers for the thread (see QVThread.cpp).
    static void SetDebuggerName(DWORD threadId, HANDLE hThread, const wchar_t* name);

private:
    struct tagSHARED;
    struct tagRUN;
    static DWORD WINAPI ThreadProc(void* pParam);
    static DWORD RunBody(tagRUN& run);

    int m_comFlag = 0;
    int m_traceFlag = 0;
    wchar_t m_name[QVTHREAD_NAME_CHARS + 1] = {};
    QVTHREADPROC m_pfn = nullptr;
    void* m_pUser = nullptr;
    // Thread id, period and stop event: shared with the thread, which may outlive
    // this object when a stop timed out.
    std::shared_ptr<tagSHARED> m_shared;
    CQVHandle m_thread;
    QVTHREADWAIT m_pfnWait = &WaitForSingleObject;
};
