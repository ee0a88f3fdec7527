#pragma once
// CSrcPoll: the base of every receiver that must ask its hardware for the
// current key code again and again. A polling thread of its own calls
// GetCurrentKeyCode at a fixed interval and feeds each answer to
// HandleIrEvent, whose scheduler turns the stream into key events.
//
// Windows-only.

#include "receivers/Src.h"
#include "support/QVThread.h"

#include <windows.h>

class CSrcPoll : public CSrc {
public:
    static constexpr DWORD kDefaultPollIntervalMs = 80;
    // The pause of receivers whose read itself waits for the device.
    static constexpr DWORD kBlockingReadPauseMs = 10;

    explicit CSrcPoll(unsigned option = 0, IClock& clock = SystemClock());
    ~CSrcPoll() override;

    // Base Init, then (re)starts the polling thread. 0 without a callback.
    int Init(void* owner, PFNIREVENTCALLBACK callback) override;
    // Must be overridden: the base traces the mistake and returns 0x00.
    std::uint8_t GetCurrentKeyCode() override;
    int SupportsDoubleFunctionKeys() const override;

    // Virtual operations added to those of CSrc, in this order.
    // One poll: the current code into HandleIrEvent. 0 when either threw.
    virtual int PollOnce(unsigned argument);
    // The polling loop; returns 1 once the thread's stop event is set.
    virtual int PollForIrEvent(unsigned argument);

    DWORD GetPollInterval() const { return m_pollInterval; }
    // The running polling thread's handle (owned by the thread object), or null.
    HANDLE GetPollThreadHandle() const { return m_pollThreadHandle; }

protected:
    // Stops the polling thread, waiting up to 10,000 ms. Derived destructors
    // call it before they release what the thread reads.
    void StopPolling();

    DWORD m_pollInterval = kDefaultPollIntervalMs;
    int m_blockingRead = 0;
    CQVThread m_pollThread;

private:
    static DWORD WINAPI PollForIrEventThreadProc(void* argument);

    HANDLE m_pollThreadHandle = nullptr;
};
