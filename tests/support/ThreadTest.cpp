// Worker threads under Wine: single and periodic calls, the three outcomes of a
// stop with their trace lines, names, COM, priority and a start that replaces
// a thread that would not stop.
#include "support/QVThread.h"
#include "support/ScopedWin.h"
#include "tests/support/TraceTestUtil.h"

#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>

using namespace tracetest;

namespace {

constexpr DWORD kGuardMs = 10000;  // only against a hang; events end every wait

// What a test's thread function sees and does.
struct tagPROBE {
    std::atomic<int> calls{0};
    int signalAfter = 1;       // set "reached" after this many calls
    DWORD blockMs = 0;         // then wait this long for "release"
    DWORD result = 0;
    CQVHandle reached{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    CQVHandle release{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
};

DWORD WINAPI ProbeProc(void* pUser) {
    auto& probe = *static_cast<tagPROBE*>(pUser);
    if (++probe.calls == probe.signalAfter)
        SetEvent(probe.reached.Get());
    if (probe.blockMs)
        WaitForSingleObject(probe.release.Get(), probe.blockMs);
    return probe.result;
}

DWORD WINAPI ComStateProc(void*) {
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED(hr))
        CoUninitialize();
    return static_cast<DWORD>(hr);
}

DWORD WINAPI PriorityProc(void*) { return static_cast<DWORD>(GetThreadPriority(GetCurrentThread())); }

// Stands in for the long waits of a stop: a hundredth of the time-out.
DWORD WINAPI HundredthWait(HANDLE hThread, DWORD timeoutMs) { return WaitForSingleObject(hThread, timeoutMs / 100); }
DWORD WINAPI FailingWait(HANDLE, DWORD) { return WAIT_FAILED; }

// A handle of the test's own on a thread the CQVThread owns.
CQVHandle Duplicate(HANDLE h) {
    CQVHandle copy;
    DuplicateHandle(GetCurrentProcess(), h, GetCurrentProcess(), copy.Put(), SYNCHRONIZE | THREAD_QUERY_INFORMATION,
                    FALSE, 0);
    return copy;
}

std::wstring ThreadDescription(HANDLE hThread) {
    using GETTHREADDESCRIPTION = HRESULT(WINAPI*)(HANDLE, PWSTR*);
    auto pfn = reinterpret_cast<GETTHREADDESCRIPTION>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetThreadDescription")));
    PWSTR text = nullptr;
    if (!pfn || FAILED(pfn(hThread, &text)) || !text)
        return L"";
    std::wstring result(text);
    LocalFree(text);
    return result;
}

// Lets a blocked function return and stops its thread with the real wait.
void ReleaseAndStop(CQVThread& thread, tagPROBE& probe) {
    SetEvent(probe.release.Get());
    thread.SetWaitFunction(nullptr);
    EXPECT_EQ(1, thread.StopThread(5000));
}

class Thread : public ::testing::Test {
protected:
    void SetUp() override {
        m_path = CurrentTestLogPath();
        ASSERT_EQ(1, TraceInitEx(QVOUT_FILE, m_path.c_str(), 0, QVL_INFO, QVC_ALL));
    }
    void TearDown() override {
        DetachCurrentThread();
        DeleteFileW(m_path.c_str());
    }
    // Index of the first line after the prefix that contains text, or -1.
    int FindLine(const std::wstring& text) const {
        const std::vector<std::wstring> lines = ReadLines(m_path);
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (AfterPrefix(lines[i]).find(text) != std::wstring::npos)
                return static_cast<int>(i);
        return -1;
    }
    static std::wstring IdText(DWORD id) {
        wchar_t text[64];
        swprintf(text, 64, L"Thread 0x%04lx(%lu) ", id, id);
        return text;
    }
    std::wstring m_path;
};

TEST_F(Thread, PeriodZeroCallsBackToBackUntilStopped) {
    tagPROBE probe;
    probe.signalAfter = 200;
    CQVThread thread;
    ASSERT_NE(nullptr, thread.StartThread(L"Busy", &ProbeProc, &probe, 0, 0, 0, 0));
    const DWORD id = thread.GetThreadId();
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(probe.reached.Get(), kGuardMs));
    EXPECT_TRUE(thread.IsRunning());

    EXPECT_EQ(1, thread.StopThread(5000));
    const int calls = probe.calls;
    EXPECT_GE(calls, 200);
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_EQ(0u, thread.GetThreadId());
    EXPECT_TRUE(thread.IsStopSignalled());
    EXPECT_EQ(calls, probe.calls.load());

    wchar_t scope[128];
    swprintf(scope, 128, L"\\ CQVThread::StopThread(Thread ID %lu = 0x%lX Busy)", id, id);
    EXPECT_GE(FindLine(scope), 0);
    EXPECT_GE(FindLine(IdText(id) + L"Thread terminated"), 0);
}

TEST_F(Thread, NegativePeriodCallsOnceAndStopReturnsAtOnce) {
    tagPROBE probe;
    probe.result = 42;
    CQVThread thread;
    HANDLE h = thread.StartThread(L"Once", &ProbeProc, &probe, -1, 0, 0, 0);
    ASSERT_NE(nullptr, h);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(h, kGuardMs));
    EXPECT_EQ(1, probe.calls.load());
    EXPECT_FALSE(thread.IsRunning());

    EXPECT_EQ(1, thread.StopThread(QVTHREAD_STOP_TIMEOUT));
    EXPECT_EQ(-1, FindLine(L"CQVThread::StopThread"));  // nothing to stop: no scope
    DWORD code = 0;
    ASSERT_TRUE(thread.GetExitCode(&code));
    EXPECT_EQ(42u, code);
}

TEST_F(Thread, PeriodicThreadWaitsOnTheStopEventBetweenCalls) {
    tagPROBE probe;
    CQVThread thread;
    EXPECT_EQ(0, thread.SetPeriod(-5));
    EXPECT_EQ(-1, thread.GetPeriod());
    HANDLE h = thread.StartThread(L"Slow", &ProbeProc, &probe, 60000, 0, 0, 0);
    ASSERT_NE(nullptr, h);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(probe.reached.Get(), kGuardMs));
    EXPECT_FALSE(thread.IsStopSignalled());
    EXPECT_EQ(0, thread.SetPeriod(-1));
    EXPECT_EQ(60000, thread.GetPeriod());

    // Only the stop event can end a 60 s wait within the guard.
    thread.SignalStop();
    EXPECT_TRUE(thread.IsStopSignalled());
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(h, kGuardMs));
    EXPECT_EQ(1, probe.calls.load());
}

TEST_F(Thread, BlockingFunctionOutlastsATenSecondStop) {
    tagPROBE probe;
    probe.blockMs = 15000;
    probe.result = 7;
    CQVThread thread;
    thread.SetWaitFunction(&HundredthWait);
    ASSERT_NE(nullptr, thread.StartThread(L"Blocked", &ProbeProc, &probe, -1, 0, 0, 0));
    const DWORD id = thread.GetThreadId();
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(probe.reached.Get(), kGuardMs));

    EXPECT_EQ(0, thread.StopThread(QVTHREAD_STOP_TIMEOUT));
    EXPECT_TRUE(thread.IsRunning());
    const int timeoutLine = FindLine(IdText(id) + L"TIMEOUT (10000 msec)");
    ASSERT_GE(timeoutLine, 0);
    EXPECT_NE(std::wstring::npos, ReadLines(m_path)[timeoutLine].find(L"ERR "));
    DWORD code = 0;
    ASSERT_TRUE(thread.GetExitCode(&code));
    EXPECT_EQ(STILL_ACTIVE, code);

    ReleaseAndStop(thread, probe);
    ASSERT_TRUE(thread.GetExitCode(&code));
    EXPECT_EQ(7u, code);
}

TEST_F(Thread, WaitFailureIsReportedAndTheThreadKept) {
    tagPROBE probe;
    probe.blockMs = kGuardMs;
    CQVThread thread;
    ASSERT_NE(nullptr, thread.StartThread(L"Fail", &ProbeProc, &probe, -1, 0, 0, 0));
    const DWORD id = thread.GetThreadId();
    thread.SetWaitFunction(&FailingWait);
    EXPECT_EQ(0, thread.StopThread(1000));
    EXPECT_GE(FindLine(IdText(id) + L"FAILURE 0xFFFFFFFF"), 0);
    EXPECT_TRUE(thread.IsRunning());

    ReleaseAndStop(thread, probe);
}

TEST_F(Thread, TraceFlagWritesEnterAndLeaveLines) {
    tagPROBE probe;
    CQVThread thread;
    HANDLE h = thread.StartThread(L"Traced worker", &ProbeProc, &probe, -1, 0, 0, 1);
    ASSERT_NE(nullptr, h);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(h, kGuardMs));
    EXPECT_GE(FindLine(L"\\ CQVThread::StartThread(Traced worker)"), 0);
    const int enter = FindLine(L">>> Traced worker: Enter thread proc");
    const int leave = FindLine(L"<<< Traced worker: Leave thread proc");
    ASSERT_GE(enter, 0);
    EXPECT_GT(leave, enter);
}

TEST_F(Thread, WithoutTraceFlagTheThreadWritesNothing) {
    tagPROBE probe;
    CQVThread thread;
    HANDLE h = thread.StartThread(L"Quiet", &ProbeProc, &probe, -1, 0, 0, 0);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(h, kGuardMs));
    EXPECT_EQ(-1, FindLine(L"Enter thread proc"));
}

TEST_F(Thread, NamesAreCutTo255CharactersAndGivenToTheSystem) {
    tagPROBE probe;
    probe.blockMs = kGuardMs;
    CQVThread thread;
    const std::wstring name(300, L'n');
    ASSERT_NE(nullptr, thread.StartThread(name.c_str(), &ProbeProc, &probe, -1, 0, 0, 0));
    EXPECT_EQ(name.substr(0, 255), thread.GetName());
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(probe.reached.Get(), kGuardMs));
    CQVHandle opened(OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, thread.GetThreadId()));
    ASSERT_TRUE(opened.IsValid());
    EXPECT_EQ(L"QV: " + name.substr(0, 255), ThreadDescription(opened.Get()));
    SetEvent(probe.release.Get());
    EXPECT_EQ(1, thread.StopThread(5000));

    // No name: a default; a surrogate pair at the cut is not split.
    const std::wstring paired = std::wstring(254, L'p') + L"\xD83D\xDE00";
    ASSERT_NE(nullptr, thread.StartThread(paired.c_str(), &ProbeProc, &probe, -1, 0, 0, 0));
    EXPECT_EQ(std::wstring(254, L'p'), thread.GetName());
    ASSERT_NE(nullptr, thread.StartThread(nullptr, &ProbeProc, &probe, -1, 0, 0, 0));
    EXPECT_STREQ(L"CQVThread", thread.GetName());
    EXPECT_EQ(1, thread.StopThread(5000));
}

TEST_F(Thread, ComFlagAndPriorityApplyToTheThread) {
    CQVThread thread;
    DWORD code = 0;
    HANDLE h = thread.StartThread(L"Com", &ComStateProc, nullptr, -1, 1, 0, 0);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(h, kGuardMs));
    ASSERT_TRUE(thread.GetExitCode(&code));
    EXPECT_EQ(static_cast<DWORD>(S_FALSE), code);  // already initialised by the thread

    h = thread.StartThread(L"NoCom", &ComStateProc, nullptr, -1, 0, 0, 0);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(h, kGuardMs));
    ASSERT_TRUE(thread.GetExitCode(&code));
    EXPECT_EQ(static_cast<DWORD>(S_OK), code);

    h = thread.StartThread(L"Above", &PriorityProc, nullptr, -1, 0, THREAD_PRIORITY_ABOVE_NORMAL, 0);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(h, kGuardMs));
    ASSERT_TRUE(thread.GetExitCode(&code));
    EXPECT_EQ(static_cast<DWORD>(THREAD_PRIORITY_ABOVE_NORMAL), code);
}

TEST_F(Thread, StartWithoutFunctionFailsAndKeepsTheRunningThread) {
    tagPROBE probe;
    probe.blockMs = kGuardMs;
    CQVThread thread;
    ASSERT_NE(nullptr, thread.StartThread(L"Keep", &ProbeProc, &probe, -1, 0, 0, 0));
    EXPECT_EQ(nullptr, thread.StartThread(L"None", nullptr, nullptr, -1, 0, 0, 0));
    EXPECT_TRUE(thread.IsRunning());
    EXPECT_STREQ(L"Keep", thread.GetName());
    SetEvent(probe.release.Get());
    EXPECT_EQ(1, thread.StopThread(5000));
}

TEST_F(Thread, NewStartStopsThePreviousThread) {
    tagPROBE first;
    CQVThread thread;
    CQVHandle old(Duplicate(thread.StartThread(L"First", &ProbeProc, &first, 0, 0, 0, 0)));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(first.reached.Get(), kGuardMs));
    tagPROBE second;
    ASSERT_NE(nullptr, thread.StartThread(L"Second", &ProbeProc, &second, 0, 0, 0, 0));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(old.Get(), 0));
    EXPECT_GE(FindLine(L"CQVThread::StopThread(Thread ID"), 0);
    EXPECT_EQ(1, thread.StopThread(5000));
}

TEST_F(Thread, ThreadLeftRunningByATimedOutStopDoesNotDisturbItsSuccessor) {
    tagPROBE first;
    first.blockMs = kGuardMs;
    CQVThread thread;
    thread.SetWaitFunction(&HundredthWait);
    CQVHandle old(Duplicate(thread.StartThread(L"Stuck", &ProbeProc, &first, 0, 0, 0, 0)));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(first.reached.Get(), kGuardMs));

    tagPROBE second;
    second.blockMs = kGuardMs;
    ASSERT_NE(nullptr, thread.StartThread(L"Next", &ProbeProc, &second, -1, 0, 0, 0));
    const DWORD nextId = thread.GetThreadId();
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(second.reached.Get(), kGuardMs));

    // The stuck thread comes back: it must neither loop on (period 0) nor clear
    // the id of the running successor.
    SetEvent(first.release.Get());
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(old.Get(), kGuardMs));
    EXPECT_EQ(1, first.calls.load());
    EXPECT_EQ(1, second.calls.load());
    EXPECT_EQ(nextId, thread.GetThreadId());
    EXPECT_TRUE(thread.IsRunning());

    ReleaseAndStop(thread, second);
}

TEST_F(Thread, DestructionStopsTheThread) {
    tagPROBE probe;
    CQVHandle handle;
    {
        CQVThread thread;
        handle = Duplicate(thread.StartThread(L"Scoped", &ProbeProc, &probe, 0, 0, 0, 0));
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(probe.reached.Get(), kGuardMs));
    }
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(handle.Get(), 0));
}

TEST_F(Thread, ThreadOutlivingItsObjectEndsCleanly) {
    tagPROBE probe;
    probe.blockMs = kGuardMs;
    CQVHandle handle;
    {
        CQVThread thread;
        thread.SetWaitFunction(&HundredthWait);
        handle = Duplicate(thread.StartThread(L"Orphan", &ProbeProc, &probe, 0, 0, 0, 0));
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(probe.reached.Get(), kGuardMs));
    }  // the stop times out: the thread is left running
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(handle.Get(), 0));
    // Back from its function it still sees the stop it was given and ends.
    SetEvent(probe.release.Get());
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(handle.Get(), kGuardMs));
    EXPECT_EQ(1, probe.calls.load());
}

}  // namespace
