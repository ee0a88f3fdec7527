#include "receivers/SrcPoll.h"

#include "support/QVDebug.h"

#include <cwchar>

CSrcPoll::CSrcPoll(unsigned option, IClock& clock) : CSrc(option, clock) {}

CSrcPoll::~CSrcPoll() { StopPolling(); }

void CSrcPoll::StopPolling() {
    m_pollThread.StopThread(QVTHREAD_STOP_TIMEOUT);
    m_pollThreadHandle = nullptr;
}

int CSrcPoll::Init(void* owner, PFNIREVENTCALLBACK callback) {
    if (!callback)
        return 0;
    const int result = CSrc::Init(owner, callback);
    if (result != 1)
        return result;
    StopPolling();
    wchar_t name[QVTHREAD_NAME_CHARS + 1];
    std::swprintf(name, QVTHREAD_NAME_CHARS + 1, L"%ls CSrcPoll::PollForIrEvent()", m_kindName.c_str());
    m_pollThreadHandle = m_pollThread.StartThread(name, &PollForIrEventThreadProc, this, 0, 1,
                                                  THREAD_PRIORITY_ABOVE_NORMAL, 0);
    return 1;
}

std::uint8_t CSrcPoll::GetCurrentKeyCode() {
    TracePrint(QVL_ERR, QVC_DEVICE, L"CSrcPoll::GetCurrentKeyCode() - base class must not be called\n");
    return 0x00;
}

int CSrcPoll::SupportsDoubleFunctionKeys() const { return 1; }

int CSrcPoll::PollOnce(unsigned /*argument*/) {
    // A device read or an event handler that throws costs one poll, not the thread.
    try {
        HandleIrEvent(GetCurrentKeyCode());
        return 1;
    } catch (...) {
        return 0;
    }
}

int CSrcPoll::PollForIrEvent(unsigned argument) {
    wchar_t text[16];
    std::swprintf(text, 16, L"%u", argument);
    CQVTraceScope scope(QVL_INFO, QVC_DEVICE, L"CSrcPoll::PollForIrEvent", text);
    const DWORD pause = m_blockingRead ? kBlockingReadPauseMs : m_pollInterval;
    while (WaitForSingleObject(m_pollThread.GetStopEvent(), pause) == WAIT_TIMEOUT)
        PollOnce(argument);
    return 1;
}

DWORD WINAPI CSrcPoll::PollForIrEventThreadProc(void* argument) {
    CQVTraceInit attach;
    CQVTraceScope scope(QVL_IO, QVC_DEVICE, L"CSrcPoll::PollForIrEventThreadProc");
    auto* self = static_cast<CSrcPoll*>(argument);
    if (!self)
        return static_cast<DWORD>(-1);
    return static_cast<DWORD>(self->PollForIrEvent(1));
}
