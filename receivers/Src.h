#pragma once
// Base class of every infrared receiver. A derived receiver turns what its
// hardware delivers into one raw 8-bit code and hands it to HandleIrEvent;
// the base filters it through the key scheduler, resolves double-function
// keys, maps it to a key id and reports the key to its owner.
//
// Pure logic: no Windows header, so it builds natively as well.

#include "receivers/DeviceCatalogue.h"
#include "receivers/NecKeyScheduler.h"
#include "receivers/RcKeys.h"
#include "support/Clock.h"
#include "support/ComApartment.h"

#include <atomic>
#include <cstdint>
#include <string>

// The standard Windows calling convention of callbacks, empty natively.
#ifndef KANZO_STDCALL
#ifdef _WIN32
#define KANZO_STDCALL __stdcall
#else
#define KANZO_STDCALL
#endif
#endif

class CSrc;

// The owner's event callback; runs on the receiver's event thread and must
// return quickly. noAutoRepeat is 1 when the owner must not repeat the command.
typedef int(KANZO_STDCALL* PFNIREVENTCALLBACK)(void* owner, CSrc* source, int keyId, int noAutoRepeat);

class CSrc {
public:
    // Double-function keys: wait this long for the release, then once more.
    static constexpr std::uint32_t kDoubleFunctionWaitMs = 500;
    static constexpr std::uint32_t kDoubleFunctionRetryMs = 300;
    // The hardware is looked at this often during the waits: a key's first
    // frame stays visible until its repeat frame replaces it about 108 ms
    // later, so another key pressed during the wait is never missed.
    static constexpr std::uint32_t kDoubleFunctionPollMs = 100;

    // The clock serves the double-function waits; tests pass a fake one.
    explicit CSrc(unsigned option = 0, IClock& clock = SystemClock());
    virtual ~CSrc();
    CSrc(const CSrc&) = delete;
    CSrc& operator=(const CSrc&) = delete;

    // Virtual operations, in this order.
    virtual int IsInitialized() const;
    virtual int GetRcType() const;
    virtual std::wstring GetDeviceName() const;
    // Key id of the held key, -1 when none. Read by the owner's worker
    // thread while the event thread writes it.
    virtual int GetKeyId() const;
    virtual int Init(void* owner, PFNIREVENTCALLBACK callback);
    // Returns the callback's result, or 0 when nothing was reported.
    virtual int HandleIrEvent(std::uint8_t code);
    virtual std::uint8_t GetCurrentKeyCode();
    virtual int SupportsDoubleFunctionKeys() const;
    // Learns the RC type from the 16-bit NEC device address; returns 0 (drop
    // the frame) when the address is unknown.
    virtual int SetRcTypeFromAddress(unsigned address, unsigned variant);

    // True when the key last reported was already held before it: the key
    // scheduler's re-report of a held key, not a new press. The owner's
    // callback reads it on this receiver's thread.
    bool IsHeldKeyReport() const { return m_heldKeyReport.load(std::memory_order_relaxed); }

    void SetClock(IClock& clock) { m_clock = &clock; }
    const std::wstring& GetKindName() const { return m_kindName; }
    int GetReceiverIndex() const { return m_receiverIndex; }
    void SetReceiverIndex(int index) { m_receiverIndex = index; }
    // Replaces the list's contents with the catalogue rows of this receiver's
    // slot, in catalogue order; returns how many there are.
    int GetRemovableDeviceList(IR_REMOVABLE_DEVICE_LIST& list) const;

protected:
    void* m_owner = nullptr;
    PFNIREVENTCALLBACK m_eventCallback = nullptr;
    int m_initialized = 0;
    std::atomic<int> m_keyId{KEYID_NONE};
    std::atomic<bool> m_heldKeyReport{false};
    std::wstring m_kindName;    // fixed name of the receiver kind, set by the derived constructor
    std::wstring m_deviceName;  // device actually opened; empty until found
    unsigned m_option = 0;
    int m_receiverIndex = -1;
    int m_rcType = RCTYPE_NONE;
    // When set, codes are mapped with this type's table instead of m_rcType's:
    // receivers whose wiring fixes the remote while the card names another type.
    int m_keyMapRcType = RCTYPE_NONE;
    int m_autoRepeatAllowed = 1;  // 0 for hardware that cannot report a release
    CNecKeyScheduler m_scheduler;
    int m_longPress = 0;  // 1 while a double-function key is held (second function)

private:
    // Waits ms in slices, looking at the hardware after each. Returns the
    // code seen last, or at once the code of another key (not first, not a
    // repeat, not idle).
    std::uint8_t WatchDuringWait(std::uint8_t first, std::uint32_t ms);

    IClock* m_clock;
    CQVComApartment m_comApartment;
};
