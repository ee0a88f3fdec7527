#include "tests/receivers/chips/SimEventChips.h"

#include <chrono>
#include <cstring>

namespace simevent {

// --- the remote and the driver thread ---

CSimFrameSource::CSimFrameSource(DWORD framePeriodMs) : m_periodMs(framePeriodMs), m_thread([this] { Run(); }) {}

CSimFrameSource::~CSimFrameSource() { StopFrames(); }

void CSimFrameSource::StopFrames() {
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_stop = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void CSimFrameSource::Press(std::uint8_t code) {
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_held = code;
        m_pressed = true;
        m_released = false;
    }
    m_changed.notify_all();
}

void CSimFrameSource::Release() {
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_held == 0xFF)
            return;
        m_held = 0xFF;
        m_pressed = false;
        m_released = true;
        m_releasesWanted = m_releasesSent + 1;
    }
    m_changed.notify_all();
}

bool CSimFrameSource::WaitUntilReleased() {
    std::unique_lock<std::mutex> lock(m_lock);
    return m_changed.wait_for(lock, std::chrono::seconds(5), [&] { return m_releasesSent >= m_releasesWanted; });
}

int CSimFrameSource::Frames() {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_frames;
}

bool CSimFrameSource::WaitForMoreFrames(int more) {
    std::unique_lock<std::mutex> lock(m_lock);
    const int target = m_frames + more;
    return m_changed.wait_for(lock, std::chrono::seconds(5), [&] { return m_frames >= target; });
}

void CSimFrameSource::Run() {
    std::unique_lock<std::mutex> lock(m_lock);
    const auto pending = [this] { return m_stop || m_pressed || m_released; };
    while (!m_stop) {
        if (m_released) {
            m_released = false;
            lock.unlock();
            OnRelease();
            lock.lock();
            ++m_releasesSent;
        } else if (m_held != 0xFF && (m_pressed || !fEdgesOnly)) {
            const std::uint8_t code = m_held;
            m_pressed = false;
            lock.unlock();
            OnFrame(code);
            lock.lock();
            ++m_frames;
            m_changed.notify_all();
            m_changed.wait_for(lock, std::chrono::milliseconds(m_periodMs), pending);
            continue;
        } else {
            m_changed.wait(lock, pending);
            continue;
        }
        ++m_frames;
        m_changed.notify_all();
    }
}

// --- the vendor's COM objects of the WDM card ---

namespace {

// Reference counting and QueryInterface of one interface besides IUnknown.
template <class Iface>
class CSimObject : public Iface {
public:
    explicit CSimObject(const IID& iid) : m_iid(iid) {}
    virtual ~CSimObject() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, m_iid)) {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        *ppv = static_cast<Iface*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG refs = --m_refs;
        if (refs == 0)
            delete this;
        return refs;
    }

private:
    const IID& m_iid;
    std::atomic<ULONG> m_refs{1};
};

// The device, with its GPIO pins under both of their identifiers.
class CSimDevice final : public CSimObject<ISaaDevice>, public ISaaGpio {
public:
    explicit CSimDevice(CSimSaaWdm& card) : CSimObject(kIidSaaDevice), m_card(card) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!IsEqualIID(riid, kIidSaaGpio) && !IsEqualIID(riid, kIidSaaGpioSecond))
            return CSimObject::QueryInterface(riid, ppv);
        *ppv = static_cast<ISaaGpio*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return CSimObject::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return CSimObject::Release(); }
    HRESULT STDMETHODCALLTYPE GetSubsystem(WORD* vendor, WORD* id) override { return m_card.GetSubsystem(vendor, id); }
    HRESULT STDMETHODCALLTYPE EnableEvent(ULONG event, BOOL enable) override { return m_card.EnableEvent(event, enable); }
    HRESULT STDMETHODCALLTYPE Advise(ISaaEventSink* sink, DWORD* cookie) override { return m_card.Advise(sink, cookie); }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override { return m_card.Unadvise(cookie); }
    HRESULT STDMETHODCALLTYPE ReadPin(ULONG pin, ULONG* level) override { return m_card.ReadPin(pin, level); }

private:
    CSimSaaWdm& m_card;
};

class CSimEnumerator final : public CSimObject<ISaaDeviceEnumerator> {
public:
    explicit CSimEnumerator(CSimSaaWdm& card) : CSimObject(kIidSaaDeviceEnumerator), m_card(card) {}
    HRESULT STDMETHODCALLTYPE GetDeviceCount(ULONG* count) override {
        *count = m_card.nDevices;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDevice(ULONG index, IUnknown** device) override {
        if (index >= m_card.nDevices) {
            *device = nullptr;
            return E_INVALIDARG;
        }
        *device = static_cast<ISaaDevice*>(new CSimDevice(m_card));
        return S_OK;
    }

private:
    CSimSaaWdm& m_card;
};

class CSimEnumeratorFactory final : public CSimObject<IClassFactory> {
public:
    explicit CSimEnumeratorFactory(CSimSaaWdm& card) : CSimObject(IID_IClassFactory), m_card(card) {}
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
        if (outer)
            return CLASS_E_NOAGGREGATION;
        auto* enumerator = new CSimEnumerator(m_card);
        const HRESULT hr = enumerator->QueryInterface(riid, ppv);
        enumerator->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    CSimSaaWdm& m_card;
};

constexpr ULONG kGpioEvent = 5;
constexpr std::uint32_t kKeyValid = 1u << 18;

}  // namespace

CSimSaaWdm::CSimSaaWdm(DWORD framePeriodMs) : CSimFrameSource(framePeriodMs) {
    m_factory = new CSimEnumeratorFactory(*this);
    if (FAILED(CoRegisterClassObject(kClsidSaaDeviceEnumerator, m_factory, CLSCTX_INPROC_SERVER,
                                     REGCLS_MULTIPLEUSE, &m_cookie)))
        m_cookie = 0;
}

CSimSaaWdm::~CSimSaaWdm() {
    StopFrames();
    if (m_cookie)
        CoRevokeClassObject(m_cookie);
    m_factory->Release();
    std::lock_guard<std::mutex> lock(m_sinkLock);
    for (auto& sink : m_sinks)
        sink.second->Release();
}

int CSimSaaWdm::Sinks() {
    std::lock_guard<std::mutex> lock(m_sinkLock);
    return static_cast<int>(m_sinks.size());
}

HRESULT CSimSaaWdm::GetSubsystem(WORD* vendor, WORD* id) {
    *vendor = wVendor;
    *id = wSubsystem;
    return S_OK;
}

HRESULT CSimSaaWdm::EnableEvent(ULONG event, BOOL enable) {
    if (event != kGpioEvent || fRefuseEvent)
        return E_FAIL;
    m_enabled = enable != FALSE;
    return S_OK;
}

HRESULT CSimSaaWdm::Advise(ISaaEventSink* sink, DWORD* cookie) {
    if (!sink || !cookie)
        return E_POINTER;
    std::lock_guard<std::mutex> lock(m_sinkLock);
    sink->AddRef();
    *cookie = m_nextCookie++;
    m_sinks.emplace_back(*cookie, sink);
    return S_OK;
}

HRESULT CSimSaaWdm::Unadvise(DWORD cookie) {
    ISaaEventSink* gone = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_sinkLock);
        for (auto it = m_sinks.begin(); it != m_sinks.end(); ++it) {
            if (it->first == cookie) {
                gone = it->second;
                m_sinks.erase(it);
                break;
            }
        }
    }
    if (!gone)
        return E_INVALIDARG;
    gone->Release();
    return S_OK;
}

HRESULT CSimSaaWdm::ReadPin(ULONG pin, ULONG* level) {
    if (pin > 31 || !level)
        return E_INVALIDARG;
    *level = (m_pins.load() >> pin) & 1u;
    return S_OK;
}

void CSimSaaWdm::Raise() {
    if (!m_enabled)
        return;
    // Called outside the lock, each sink kept alive for its call.
    std::vector<ISaaEventSink*> sinks;
    {
        std::lock_guard<std::mutex> lock(m_sinkLock);
        for (auto& sink : m_sinks) {
            sink.second->AddRef();
            sinks.push_back(sink.second);
        }
    }
    for (ISaaEventSink* sink : sinks) {
        sink->OnEvent(kGpioEvent);
        sink->Release();
    }
}

void CSimSaaWdm::OnFrame(std::uint8_t code) {
    m_pins = kKeyValid | (code & 0x3Fu);
    Raise();
}

void CSimSaaWdm::OnRelease() {
    m_pins = 0;
    Raise();
}

// --- the HT PCI card's interrupt properties ---

namespace {

constexpr ULONG kIrInterrupt = 16;
constexpr DWORD kRegisterIr = 7;
constexpr DWORD kUnregisterIr = 6;
constexpr ULONG kRecordFrame = 2;
constexpr ULONG kRecordRepeat = 3;

}  // namespace

CSimHtPci::CSimHtPci(DWORD framePeriodMs) : CSimFrameSource(framePeriodMs) {}

CSimHtPci::~CSimHtPci() {
    StopFrames();
    std::lock_guard<std::mutex> lock(m_lock);
    Unregister();
}

void CSimHtPci::Unregister() {
    if (m_interrupt)
        CloseHandle(m_interrupt);
    if (m_removed)
        CloseHandle(m_removed);
    m_interrupt = m_removed = nullptr;
    m_type = 0;
    m_queue.clear();
}

std::vector<DWORD> CSimHtPci::Sets() {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_sets;
}

bool CSimHtPci::IsRegistered() {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_interrupt != nullptr;
}

HRESULT CSimHtPci::Property(bool set, const GUID& propertySet, DWORD id, void*, DWORD, void* data, DWORD dataBytes,
                            DWORD* returned) {
    if (!IsEqualGUID(propertySet, kPropSetSaaInterrupt))
        return HRESULT_FROM_WIN32(ERROR_SET_NOT_FOUND);
    std::lock_guard<std::mutex> lock(m_lock);
    if (set) {
        m_sets.push_back(id);
        if (id == kUnregisterIr) {
            Unregister();
            return S_OK;
        }
        if (id != kRegisterIr || dataBytes < sizeof(tagIRQREGISTRATION))
            return E_INVALIDARG;
        tagIRQREGISTRATION block;
        std::memcpy(&block, data, sizeof(block));
        if (block.nInterrupt != kIrInterrupt)
            return E_INVALIDARG;
        if (fRefuse)
            return E_FAIL;
        Unregister();
        const HANDLE self = GetCurrentProcess();
        if (!DuplicateHandle(self, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(block.hInterrupt)), self,
                             &m_interrupt, EVENT_MODIFY_STATE, FALSE, 0) ||
            !DuplicateHandle(self, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(block.hRemoved)), self,
                             &m_removed, EVENT_MODIFY_STATE, FALSE, 0)) {
            Unregister();
            return E_HANDLE;
        }
        m_type = block.nInterrupt;
        return S_OK;
    }
    if (id != kRegisterIr || !m_interrupt || dataBytes < sizeof(tagIRQEVENT))
        return E_INVALIDARG;
    if (m_queue.empty()) {
        *returned = 0;
        return S_FALSE;
    }
    std::memcpy(data, &m_queue.front(), sizeof(tagIRQEVENT));
    m_queue.pop_front();
    *returned = sizeof(tagIRQEVENT);
    return S_OK;
}

void CSimHtPci::Queue(const tagIRQEVENT& record) {
    std::lock_guard<std::mutex> lock(m_lock);
    if (!m_interrupt)
        return;
    m_queue.push_back(record);
    SetEvent(m_interrupt);
}

void CSimHtPci::OnFrame(std::uint8_t code) {
    const std::uint16_t address = wAddress;
    tagIRQEVENT record = {kIrInterrupt, kRecordFrame, {BYTE(address >> 8), BYTE(address), code, BYTE(~code)}};
    Queue(record);
    if (fRepeatRecords) {
        // A repeat carries no frame: a decoder that took it would see address 0.
        Queue(tagIRQEVENT{kIrInterrupt, kRecordRepeat, {}});
    }
}

void CSimHtPci::Remove() {
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_removed)
        SetEvent(m_removed);
    Unregister();
}

}  // namespace simevent
