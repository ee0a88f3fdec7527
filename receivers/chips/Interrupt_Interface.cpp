#include "receivers/chips/Interrupt_Interface.h"

#include "support/QVDebug.h"

#include <vector>

const GUID kPropSetSaaInterrupt = {0x5B1FA1FB, 0x4023, 0x4950, {0x81, 0x8E, 0x7B, 0x4B, 0xC8, 0x83, 0x42, 0x58}};

int CInterrupt_Interface::PropertyId(ULONG interruptType, bool registration) {
    int unregister = -1;
    switch (interruptType) {
    case 16: unregister = 6; break;
    case 18: unregister = 4; break;
    case 22: unregister = 2; break;
    case 23: unregister = 0; break;
    default: return -1;
    }
    return registration ? unregister + 1 : unregister;
}

CInterrupt_Interface::CInterrupt_Interface(IKsPropertySet* set) {
    if (set) {
        set->AddRef();
        *m_set.Put() = set;
    }
}

CInterrupt_Interface::~CInterrupt_Interface() { Stop(); }

bool CInterrupt_Interface::Start() {
    if (!m_set)
        return false;
    for (CQVHandle& event : m_events) {
        event.Reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
        if (!event)
            return false;
    }
    m_removed = false;
    return m_worker.StartThread(L"CInterrupt_Interface::Work()", &WorkerThreadProc, this, -1, 0,
                                THREAD_PRIORITY_ABOVE_NORMAL, 0) != nullptr;
}

HRESULT CInterrupt_Interface::RegisterHandler(ULONG interruptType, CInterrupt_Handler* handler, bool registration) {
    const int id = PropertyId(interruptType, registration);
    if (id < 0 || (registration && !handler) || !m_set || !m_events[kEventInterrupt])
        return E_INVALIDARG;
    tagIRQREGISTRATION block = {};
    block.nInterrupt = interruptType;
    block.hInterrupt = reinterpret_cast<ULONG_PTR>(m_events[kEventInterrupt].Get());
    block.hRemoved = reinterpret_cast<ULONG_PTR>(m_events[kEventRemoved].Get());
    CQVLock lock(m_lock);
    if (registration)
        m_handlers[interruptType] = handler;
    const HRESULT hr =
        m_set->Set(kPropSetSaaInterrupt, static_cast<DWORD>(id), &block, sizeof(block), &block, sizeof(block));
    // A refused registration leaves no handler; an unregistration always
    // takes it off: the receiver is going.
    if (!registration || FAILED(hr))
        m_handlers.erase(interruptType);
    if (FAILED(hr))
        TracePrint(QVL_ERR, QVC_DEVICE, L"%ls() FAILED with hr = 0x%08X\n", L"CInterrupt_Interface::RegisterHandler",
                   static_cast<unsigned>(hr));
    return hr;
}

void CInterrupt_Interface::Stop() {
    if (m_events[kEventStop])
        SetEvent(m_events[kEventStop].Get());
    m_worker.StopThread(QVTHREAD_STOP_TIMEOUT);
    std::vector<ULONG> types;
    {
        CQVLock lock(m_lock);
        for (const auto& entry : m_handlers)
            types.push_back(entry.first);
    }
    for (ULONG type : types)
        RegisterHandler(type, nullptr, false);
}

DWORD WINAPI CInterrupt_Interface::WorkerThreadProc(void* argument) {
    CQVTraceInit attach;
    CQVTraceScope scope(QVL_IO, QVC_DEVICE, L"CInterrupt_Interface::WorkerThreadProc");
    static_cast<CInterrupt_Interface*>(argument)->Work();
    return 1;
}

void CInterrupt_Interface::Work() {
    const HANDLE waits[] = {m_events[kEventInterrupt].Get(), m_events[kEventRemoved].Get(),
                            m_events[kEventStop].Get(), m_worker.GetStopEvent()};
    for (;;) {
        const DWORD wait = WaitForMultipleObjects(4, waits, FALSE, INFINITE);
        if (wait == WAIT_OBJECT_0 + kEventInterrupt) {
            Dispatch();
            continue;
        }
        if (wait == WAIT_OBJECT_0 + kEventRemoved) {
            m_removed = true;
            TracePrint(QVL_WRN, QVC_DEVICE, L"%ls() - the driver dropped the interrupt registrations\n",
                       L"CInterrupt_Interface::Work");
        }
        return;
    }
}

void CInterrupt_Interface::Dispatch() {
    CQVLock lock(m_lock);
    // Every queued record of every registered type: one event may stand for
    // several interrupts.
    for (const auto& entry : m_handlers) {
        const DWORD id = static_cast<DWORD>(PropertyId(entry.first, true));
        for (;;) {
            tagIRQEVENT record = {};
            DWORD returned = 0;
            const HRESULT hr = m_set->Get(kPropSetSaaInterrupt, id, &record, sizeof(record), &record,
                                          sizeof(record), &returned);
            if (hr != S_OK || returned != sizeof(record))
                break;
            try {
                entry.second->OnInterrupt(record);
            } catch (...) {
                TracePrint(QVL_ERR, QVC_DEVICE, L"EXCEPTION in the interrupt handler\n");
            }
        }
    }
}

void CIR_Decoder::OnInterrupt(const tagIRQEVENT& event) {
    if (event.nEventType != kEventNecFrame)
        return;
    const auto address = static_cast<std::uint16_t>((event.abData[0] << 8) | event.abData[1]);
    m_callback.OnNecFrame(address, event.abData[2]);
}
