#pragma once
// CInterrupt_Interface: the interrupts of an SAA713x capture driver, through
// kernel-streaming properties of its filter. A handler is registered for one
// interrupt type; the driver queues an event record per interrupt and sets
// the interface's interrupt event, and a worker thread of the interface
// fetches the records and hands them to the handlers.
// CIR_Decoder is the handler of the IR receiver's interrupt: it passes the
// NEC frames the driver decoded to its callback.
//
// Windows-only.

#include "support/QVThread.h"
#include "support/ScopedWin.h"

#include <windows.h>
#include <strmif.h>

#include <atomic>
#include <cstdint>
#include <map>

extern const GUID kPropSetSaaInterrupt;

// One record of the driver's queue.
struct tagIRQEVENT {
    ULONG nInterrupt;  // the interrupt type it was registered for
    ULONG nEventType;  // what happened: 2 = an NEC frame was decoded
    BYTE abData[8];    // NEC frame: address (big-endian) at 0, command at 2
};

// What a registration hands to the driver. Handles travel as 64 bits in
// both builds.
struct tagIRQREGISTRATION {
    ULONG nInterrupt;
    ULONG nReserved;
    ULONGLONG hInterrupt;  // set by the driver when a record is queued
    ULONGLONG hRemoved;    // set by the driver when it drops the registration
};

class CInterrupt_Handler {
public:
    virtual ~CInterrupt_Handler() = default;
    // On the interface's worker thread.
    virtual void OnInterrupt(const tagIRQEVENT& event) = 0;
};

class CInterrupt_Interface {
public:
    // The property of a type: registering (flag set) or unregistering (flag
    // clear); -1 for the types the driver does not raise.
    static int PropertyId(ULONG interruptType, bool registration);

    // The set stays referenced while the interface lives.
    explicit CInterrupt_Interface(IKsPropertySet* set);
    ~CInterrupt_Interface();
    CInterrupt_Interface(const CInterrupt_Interface&) = delete;
    CInterrupt_Interface& operator=(const CInterrupt_Interface&) = delete;

    // Events and worker thread; false when either cannot be made.
    bool Start();
    // Registration flag set: the handler gets the type's records from now on;
    // clear: it is taken off. E_INVALIDARG for refused types; the driver's
    // result otherwise.
    HRESULT RegisterHandler(ULONG interruptType, CInterrupt_Handler* handler, bool registration);
    // Unregisters every handler and ends the worker.
    void Stop();
    // Whether the driver dropped the registrations (the device went away).
    bool IsRemoved() const { return m_removed; }

private:
    enum { kEventInterrupt, kEventRemoved, kEventStop, kEventCount };
    static DWORD WINAPI WorkerThreadProc(void* argument);
    void Work();
    void Dispatch();

    CQVComPtr<IKsPropertySet> m_set;
    CQVHandle m_events[kEventCount];  // auto-reset, one waiter
    CQVThread m_worker;
    CQVCriticalSection m_lock;  // the handler table, held while handlers run
    std::map<ULONG, CInterrupt_Handler*> m_handlers;
    std::atomic<bool> m_removed{false};
};

class CIR_DecoderCallback {
public:
    virtual ~CIR_DecoderCallback() = default;
    virtual void OnNecFrame(std::uint16_t address, std::uint8_t command) = 0;
};

class CIR_Decoder : public CInterrupt_Handler {
public:
    static constexpr ULONG kEventNecFrame = 2;
    explicit CIR_Decoder(CIR_DecoderCallback& callback) : m_callback(callback) {}
    void OnInterrupt(const tagIRQEVENT& event) override;

private:
    CIR_DecoderCallback& m_callback;
};
