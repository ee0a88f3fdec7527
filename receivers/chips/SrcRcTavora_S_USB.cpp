#include "receivers/chips/SrcRcTavora_S_USB.h"

#include "receivers/SrcPoll_KsProp.h"
#include "support/GraphBase.h"
#include "support/QVDebug.h"

const GUID kPropSetTavoraSUsbRemote = {0xDC0A8DCA, 0x2C9C, 0x45D5, {0x81, 0xF9, 0xDD, 0xB3, 0xF2, 0xBA, 0x7E, 0xA6}};

namespace {

constexpr int kSUsbReceiverIndex = 12;
constexpr DWORD kIoctlKsProperty = 0x002F0003;  // IOCTL_KS_PROPERTY

}  // namespace

CSrcRcTavora_S_USB::CSrcRcTavora_S_USB(IClock& clock) : CSrcPoll(0, clock) {
    m_kindName = kModelText;
    m_receiverIndex = kSUsbReceiverIndex;
    m_rcType = RCTYPE_NEC_1400;
}

CSrcRcTavora_S_USB::~CSrcRcTavora_S_USB() {
    StopPolling();
    m_handle.reset();
    m_filter.Release();
}

int CSrcRcTavora_S_USB::Init(void* owner, PFNIREVENTCALLBACK callback) {
    CQVTraceScope scope(QVL_IO, QVC_DEVICE, L"CSrcRcTavora_S_USB::Init");
    StopPolling();
    m_handle.reset();
    m_filter.Release();
    if (FindModelFilter(kModelText, kCategoryBdaReceiverComponent, m_filter.Put()) != S_OK)
        return 0;
    m_handle = ChipDriverPort().OpenFilterHandle(m_filter.Get());
    // One read proves the driver answers; "no key yet" is an answer.
    DWORD value = 0;
    const DWORD status = m_handle ? Read(&value) : ERROR_INVALID_HANDLE;
    if (status == 0 || status == kNoKey) {
        m_deviceName = kModelText;
        if (CSrcPoll::Init(owner, callback) == 1)
            return 1;
    }
    m_handle.reset();
    m_filter.Release();
    return 0;
}

DWORD CSrcRcTavora_S_USB::Read(DWORD* value) {
    // The driver takes the set alone, 16 bytes, and answers 32 bits.
    GUID property = kPropSetTavoraSUsbRemote;
    DWORD returned = 0;
    return m_handle->Control(kIoctlKsProperty, &property, sizeof(property), value, sizeof(*value), &returned,
                             nullptr);
}

std::uint8_t CSrcRcTavora_S_USB::GetCurrentKeyCode() {
    DWORD value = 0;
    // A failed request reports no key, never the unfilled value.
    if (!m_handle || Read(&value) != 0)
        return NEC_CODE_IDLE;
    return static_cast<std::uint8_t>(value);
}
