#include "receivers/chips/SrcEvent.h"

#include "support/QVDebug.h"

#include <cwchar>

CSrcEvent::CSrcEvent(unsigned option, IClock& clock) : CSrc(option, clock) {
    m_reported.Reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
}

CSrcEvent::~CSrcEvent() { StopEvents(); }

void CSrcEvent::StopEvents() {
    m_watch.StopThread(QVTHREAD_STOP_TIMEOUT);
    CQVLock lock(m_lock);
    m_initialized = 0;
    m_eventCallback = nullptr;
}

int CSrcEvent::Init(void* owner, PFNIREVENTCALLBACK callback) {
    if (!callback || !m_reported)
        return 0;
    m_watch.StopThread(QVTHREAD_STOP_TIMEOUT);
    {
        CQVLock lock(m_lock);
        if (CSrc::Init(owner, callback) != 1)
            return 0;
    }
    wchar_t name[QVTHREAD_NAME_CHARS + 1];
    std::swprintf(name, QVTHREAD_NAME_CHARS + 1, L"%ls CSrcEvent::Watch()", m_kindName.c_str());
    if (!m_watch.StartThread(name, &WatchThreadProc, this, -1, 0, THREAD_PRIORITY_ABOVE_NORMAL, 0)) {
        StopEvents();
        return 0;
    }
    return 1;
}

int CSrcEvent::Deliver(std::uint8_t code, bool* held) {
    CQVLock lock(m_lock);
    int result = 0;
    // A device read or an owner that throws costs one frame, not the thread.
    try {
        result = HandleIrEvent(code);
    } catch (...) {
        result = 0;
    }
    *held = GetKeyId() != KEYID_NONE;
    return result;
}

int CSrcEvent::ReportCode(std::uint8_t code) {
    bool held = false;
    const int result = Deliver(code, &held);
    if (held)
        SetEvent(m_reported.Get());
    return result;
}

DWORD WINAPI CSrcEvent::WatchThreadProc(void* argument) {
    CQVTraceInit attach;
    CQVTraceScope scope(QVL_IO, QVC_DEVICE, L"CSrcEvent::WatchThreadProc");
    static_cast<CSrcEvent*>(argument)->Watch();
    return 1;
}

void CSrcEvent::Watch() {
    const HANDLE waits[] = {m_watch.GetStopEvent(), m_reported.Get()};
    for (;;) {
        if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0 + 1)
            return;
        // A key is held: every quiet gap asks the device once more, until the
        // scheduler has taken the release.
        bool held = true;
        while (held) {
            const DWORD wait = WaitForMultipleObjects(2, waits, FALSE, kQuietMs);
            if (wait == WAIT_OBJECT_0 + 1)
                continue;
            if (wait != WAIT_TIMEOUT)
                return;
            std::uint8_t code = NEC_CODE_IDLE;
            try {
                code = GetCurrentKeyCode();
            } catch (...) {
                code = NEC_CODE_IDLE;
            }
            Deliver(code, &held);
        }
    }
}
