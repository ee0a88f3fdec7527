#include "receivers/chips/SrcRcTavora_SAA_WDM.h"

#include "receivers/chips/SrcRcTavora_SAA_BDA.h"
#include "support/QVDebug.h"

#include <atomic>

const CLSID kClsidSaaDeviceEnumerator = {0xB8A9279E, 0xC453, 0x11D4, {0xAD, 0x45, 0x00, 0x60, 0x08, 0x0B, 0xA6, 0x34}};
const IID kIidSaaDeviceEnumerator = {0xB8A9279D, 0xC453, 0x11D4, {0xAD, 0x45, 0x00, 0x60, 0x08, 0x0B, 0xA6, 0x34}};
const IID kIidSaaDevice = {0xB8A9279F, 0xC453, 0x11D4, {0xAD, 0x45, 0x00, 0x60, 0x08, 0x0B, 0xA6, 0x34}};
const IID kIidSaaGpio = {0xB50FC4B0, 0xCD0E, 0x11D4, {0xAD, 0x5D, 0x00, 0x60, 0x08, 0x0B, 0xA6, 0x34}};
const IID kIidSaaGpioSecond = {0xB50FC4B1, 0xCD0E, 0x11D4, {0xAD, 0x5D, 0x00, 0x60, 0x08, 0x0B, 0xA6, 0x34}};
const IID kIidSaaEventSink = {0xC11C9E4D, 0x9778, 0x4213, {0x98, 0x23, 0xF6, 0xDB, 0xDA, 0x49, 0x19, 0xC0}};

namespace {

constexpr int kSaaWdmReceiverIndex = 7;

}  // namespace

int SaaWdmRcType(std::uint16_t subsystemVendor, std::uint16_t subsystemId) {
    if (subsystemVendor != kPciVendorIdPrimary)
        return RCTYPE_NONE;
    switch (subsystemId) {
    case 0x1142:
    case 0x1143:
    case 0x1158: return RCTYPE_NEC_866B;
    case 0x1154:
    case 0x1160:
    case 0x1163:
    case 0x1164: return RCTYPE_NEC_04EB;
    default: return RCTYPE_NONE;  // 0x1152, 0x1162 and unknown cards are refused
    }
}

// The sink the driver calls. It outlives the receiver when the driver keeps a
// reference: Detach cuts it off, and waits for a call under way to return.
class CSrcRcTavora_SAA_WDM::CSink final : public ISaaEventSink {
public:
    explicit CSink(CSrcRcTavora_SAA_WDM* receiver) : m_receiver(receiver) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, kIidSaaEventSink)) {
            *ppv = static_cast<ISaaEventSink*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG refs = --m_refs;
        if (refs == 0)
            delete this;
        return refs;
    }
    HRESULT STDMETHODCALLTYPE OnEvent(ULONG event) override {
        // The driver's thread logs only once attached.
        CQVTraceInit attach;
        CQVLock lock(m_lock);
        if (!m_receiver)
            return S_FALSE;
        m_receiver->OnDriverEvent(event);
        return S_OK;
    }
    void Attach(CSrcRcTavora_SAA_WDM* receiver) {
        CQVLock lock(m_lock);
        m_receiver = receiver;
    }

private:
    ~CSink() = default;

    std::atomic<ULONG> m_refs{1};
    CQVCriticalSection m_lock;
    CSrcRcTavora_SAA_WDM* m_receiver;
};

CSrcRcTavora_SAA_WDM::CSrcRcTavora_SAA_WDM(unsigned option, IClock& clock) : CSrcEvent(option, clock) {
    m_kindName = L"SAA713x WDM";
    m_receiverIndex = kSaaWdmReceiverIndex;
    // The GPIO pins carry the codes of the GPIO-wired remote whatever the card.
    m_keyMapRcType = RCTYPE_NEC_866B;
}

CSrcRcTavora_SAA_WDM::~CSrcRcTavora_SAA_WDM() {
    Close();
    StopEvents();
}

void CSrcRcTavora_SAA_WDM::Close() {
    if (m_sink) {
        m_sink->Attach(nullptr);
        if (m_device && m_cookie)
            m_device->Unadvise(m_cookie);
        m_sink->Release();
        m_sink = nullptr;
        m_cookie = 0;
    }
    if (m_device && m_eventEnabled)
        m_device->EnableEvent(kGpioEvent, FALSE);
    m_eventEnabled = false;
    StopEvents();
    m_gpioSecond.Release();
    m_gpio.Release();
    m_device.Release();
}

int CSrcRcTavora_SAA_WDM::Init(void* owner, PFNIREVENTCALLBACK callback) {
    CQVTraceScope scope(QVL_IO, QVC_DEVICE, L"CSrcRcTavora_SAA_WDM::Init");
    Close();
    CQVComPtr<ISaaDeviceEnumerator> devices;
    HRESULT hr = CoCreateInstance(kClsidSaaDeviceEnumerator, nullptr, CLSCTX_INPROC_SERVER, kIidSaaDeviceEnumerator,
                                  devices.PutVoid());
    if (FAILED(hr) || !devices) {
        TracePrint(QVL_ERR, QVC_DEVICE, L"%ls() FAILED with hr = 0x%08X\n", L"CSrcRcTavora_SAA_WDM::Init",
                   static_cast<unsigned>(hr));
        return 0;
    }
    ULONG count = 0;
    if (FAILED(devices->GetDeviceCount(&count)) || count < 1)
        return 0;
    CQVComPtr<IUnknown> first;
    if (FAILED(devices->GetDevice(0, first.Put())) || !first ||
        FAILED(first->QueryInterface(kIidSaaDevice, m_device.PutVoid())) || !m_device) {
        m_device.Release();
        return 0;
    }
    WORD vendor = 0, id = 0;
    if (FAILED(m_device->GetSubsystem(&vendor, &id))) {
        Close();
        return 0;
    }
    const int rcType = SaaWdmRcType(vendor, id);
    if (rcType == RCTYPE_NONE) {
        TracePrint(QVL_WRN, QVC_DEVICE, L"%ls() - card 0x%04X/0x%04X not supported\n", L"CSrcRcTavora_SAA_WDM::Init",
                   unsigned{vendor}, unsigned{id});
        Close();
        return 0;
    }
    m_subsystemId = id;
    m_rcType = rcType;
    hr = m_device->EnableEvent(kGpioEvent, TRUE);
    m_eventEnabled = SUCCEEDED(hr);
    m_sink = new CSink(nullptr);
    if (FAILED(hr) || FAILED(m_device->Advise(m_sink, &m_cookie)) ||
        FAILED(m_device->QueryInterface(kIidSaaGpio, m_gpio.PutVoid())) || !m_gpio) {
        Close();
        return 0;
    }
    // Kept as the driver hands it out; nothing of it is needed for the remote.
    m_device->QueryInterface(kIidSaaGpioSecond, m_gpioSecond.PutVoid());
    m_deviceName = m_kindName;
    if (CSrcEvent::Init(owner, callback) != 1) {
        Close();
        return 0;
    }
    m_sink->Attach(this);
    return 1;
}

std::uint8_t CSrcRcTavora_SAA_WDM::ReadPins() {
    if (!m_gpio)
        return NEC_CODE_IDLE;
    ULONG level = 0;
    if (FAILED(m_gpio->ReadPin(kPinKeyValid, &level)) || level != 1)
        return NEC_CODE_IDLE;
    std::uint8_t code = 0;
    for (ULONG pin = 0; pin < kCodePins; ++pin) {
        if (FAILED(m_gpio->ReadPin(pin, &level)))
            return NEC_CODE_IDLE;
        if (level)
            code = static_cast<std::uint8_t>(code | (1u << pin));
    }
    return code;
}

bool CSrcRcTavora_SAA_WDM::IsDisabledKey(std::uint8_t code) const { return code == 0 && m_option == 1; }

std::uint8_t CSrcRcTavora_SAA_WDM::GetCurrentKeyCode() {
    const std::uint8_t code = ReadPins();
    return IsDisabledKey(code) ? NEC_CODE_IDLE : code;
}

void CSrcRcTavora_SAA_WDM::OnDriverEvent(ULONG event) {
    if (event != kGpioEvent)
        return;
    const std::uint8_t code = ReadPins();
    // Key 0 switched off: the frame is ignored, the scheduler never sees it.
    if (IsDisabledKey(code))
        return;
    // Pin 18 clear is the release; it goes to the scheduler as idle so the
    // held key ends.
    ReportCode(code);
}
