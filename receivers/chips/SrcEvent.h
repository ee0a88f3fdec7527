#pragma once
// CSrcEvent: the base of the receivers whose driver calls them when a frame
// arrives. The driver's event thread hands each code to ReportCode. Drivers
// tell no release, so while a key is held a watch thread looks again after
// every quiet gap and feeds what it sees (idle, or the still-held key) to the
// scheduler; with no key held it waits without a time-out.
//
// Windows-only.

#include "receivers/Src.h"
#include "support/QVThread.h"
#include "support/ScopedWin.h"

#include <windows.h>

class CSrcEvent : public CSrc {
public:
    // Longer than the 108 ms between an NEC remote's frames of a held key.
    static constexpr DWORD kQuietMs = 120;

    explicit CSrcEvent(unsigned option = 0, IClock& clock = SystemClock());
    ~CSrcEvent() override;

    // Base Init, then (re)starts the watch thread. 0 without a callback.
    int Init(void* owner, PFNIREVENTCALLBACK callback) override;

protected:
    // One code from the driver's event thread, through HandleIrEvent.
    // Serialised with the watch; returns HandleIrEvent's result.
    int ReportCode(std::uint8_t code);
    // Ends the watch and forgets the owner. Derived destructors call it
    // before they release what GetCurrentKeyCode reads.
    void StopEvents();
    // Held while a code goes through the scheduler; derived receivers take
    // it around other state the event path reads.
    CQVCriticalSection& EventLock() { return m_lock; }

private:
    static DWORD WINAPI WatchThreadProc(void* argument);
    void Watch();
    // HandleIrEvent under the lock; *held is whether a key is still held.
    int Deliver(std::uint8_t code, bool* held);

    CQVCriticalSection m_lock;
    CQVHandle m_reported;  // auto-reset: a code of a held key came from the driver
    CQVThread m_watch;
};
