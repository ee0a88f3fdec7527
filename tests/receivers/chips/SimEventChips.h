#pragma once
// Simulated chips of the event-driven receivers. A driver thread sends the
// remote's frames while a key is held (one every framePeriodMs) and raises
// the chip's interrupt for each; with no key held it waits without a time-out.
// - CSimSaaWdm: the chip vendor's device enumerator with one card, registered
//   as the vendor's COM class for the life of the object. Its GPIO pins hold
//   the code (pins 0-5) and the key-valid pin 18; event 5 goes to every
//   advised sink on the driver thread.
// - CSimHtPci: the capture driver behind a registered filter, answering the
//   interrupt registration properties; it queues an NEC frame record per
//   frame and sets the registered event.

#include "receivers/chips/Interrupt_Interface.h"
#include "receivers/chips/SaaWdmInterfaces.h"
#include "tests/support/sim/SimCaptureFilter.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace simevent {

// The remote's key and the driver thread that turns it into frames.
class CSimFrameSource {
public:
    explicit CSimFrameSource(DWORD framePeriodMs);
    virtual ~CSimFrameSource();

    void Press(std::uint8_t code);
    void Release();
    // Waits until `more` frames (the release included) beyond the current
    // count were handed to the receiver and came back.
    bool WaitForMoreFrames(int more);
    // Waits until the last Release was sent to the receiver and came back.
    bool WaitUntilReleased();
    int Frames();

    // Only the press and the release raise an interrupt, as a level-wired
    // receiver does; else every frame of a held key does.
    std::atomic<bool> fEdgesOnly{false};

protected:
    // Ends the driver thread; derived destructors call it first.
    void StopFrames();
    // On the driver thread.
    virtual void OnFrame(std::uint8_t code) = 0;
    virtual void OnRelease() = 0;

private:
    void Run();

    const DWORD m_periodMs;
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::uint8_t m_held = 0xFF;
    bool m_released = false;  // a release not yet sent
    bool m_pressed = false;   // a press not yet sent
    bool m_stop = false;
    int m_frames = 0;
    int m_releasesSent = 0;
    int m_releasesWanted = 0;
    std::thread m_thread;
};

class CSimSaaWdm : public CSimFrameSource {
public:
    explicit CSimSaaWdm(DWORD framePeriodMs = 5);
    ~CSimSaaWdm() override;

    bool IsRegistered() const { return m_cookie != 0; }
    int Sinks();
    bool IsEventEnabled() const { return m_enabled; }

    std::atomic<ULONG> nDevices{1};
    std::atomic<WORD> wVendor{0x1E4A};
    std::atomic<WORD> wSubsystem{0x1142};
    std::atomic<bool> fRefuseEvent{false};  // EnableEvent fails, as a driver without the interrupt
    // The interfaces of the device, used by its COM objects.
    HRESULT GetSubsystem(WORD* vendor, WORD* id);
    HRESULT EnableEvent(ULONG event, BOOL enable);
    HRESULT Advise(ISaaEventSink* sink, DWORD* cookie);
    HRESULT Unadvise(DWORD cookie);
    HRESULT ReadPin(ULONG pin, ULONG* level);

protected:
    void OnFrame(std::uint8_t code) override;
    void OnRelease() override;

private:
    void Raise();

    std::atomic<std::uint32_t> m_pins{0};
    std::atomic<bool> m_enabled{false};
    std::mutex m_sinkLock;
    std::vector<std::pair<DWORD, ISaaEventSink*>> m_sinks;
    DWORD m_nextCookie = 1;
    IClassFactory* m_factory = nullptr;
    DWORD m_cookie = 0;
};

class CSimHtPci : public CSimFrameSource, public simfilter::ISimChip {
public:
    explicit CSimHtPci(DWORD framePeriodMs = 5);
    ~CSimHtPci() override;

    HRESULT Property(bool set, const GUID& propertySet, DWORD id, void* instance, DWORD instanceBytes, void* data,
                     DWORD dataBytes, DWORD* returned) override;
    // The driver drops its registrations, as when the card goes away.
    void Remove();
    // Ids of the set requests, in order.
    std::vector<DWORD> Sets();
    bool IsRegistered();

    std::atomic<std::uint16_t> wAddress{0x866B};
    std::atomic<bool> fRefuse{false};       // every registration fails
    std::atomic<bool> fRepeatRecords{true};  // a repeat record (type 3) follows each frame

protected:
    void OnFrame(std::uint8_t code) override;
    void OnRelease() override {}

private:
    void Queue(const tagIRQEVENT& record);
    void Unregister();

    std::mutex m_lock;
    std::vector<DWORD> m_sets;
    std::deque<tagIRQEVENT> m_queue;
    ULONG m_type = 0;
    HANDLE m_interrupt = nullptr;  // duplicates of the receiver's events, as a driver references them
    HANDLE m_removed = nullptr;
};

}  // namespace simevent
