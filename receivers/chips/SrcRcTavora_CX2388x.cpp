#include "receivers/chips/SrcRcTavora_CX2388x.h"

#include "receivers/chips/ChipPort.h"
#include "support/QVDebug.h"

#include <uuids.h>

const GUID kPropSetCx2388xIrCapture = {0xCA9BCF47, 0xC5DF, 0x4FB0, {0x95, 0xC6, 0x68, 0x1D, 0x52, 0xAF, 0xC2, 0x49}};

namespace {

constexpr DWORD kIdFrame = 0;
constexpr DWORD kIdCapture = 1;
constexpr std::uint8_t kCaptureOn = 1;
constexpr std::uint8_t kCaptureOff = 2;
constexpr std::uint32_t kFrameTag = 0xEB04;
constexpr std::uint32_t kRepeatWord = 0x10000;
constexpr int kCx2388xReceiverIndex = 8;

}  // namespace

CSrcRcTavora_CX2388x::CSrcRcTavora_CX2388x(IClock& clock) : CSrcPoll(0, clock) {
    m_kindName = L"CX2388x";
    m_receiverIndex = kCx2388xReceiverIndex;
    m_rcType = RCTYPE_NEC_04EB;
}

CSrcRcTavora_CX2388x::~CSrcRcTavora_CX2388x() {
    StopPolling();
    if (m_propertySet)
        SwitchCapture(kCaptureOff);
}

HRESULT CSrcRcTavora_CX2388x::SwitchCapture(std::uint8_t state) {
    return SetChipProperty(m_propertySet.Get(), kPropSetCx2388xIrCapture, kIdCapture, &state, sizeof(state));
}

int CSrcRcTavora_CX2388x::Init(void* owner, PFNIREVENTCALLBACK callback) {
    CQVTraceScope scope(QVL_IO, QVC_DEVICE, L"CSrcRcTavora_CX2388x::Init");
    StopPolling();
    m_propertySet.Release();
    const GUID* const categories[] = {&CLSID_VideoInputDeviceCategory};
    CQVComPtr<IBaseFilter> filter;
    const wchar_t* name = kModelName;
    if (FindChipFilter(name, categories, 1, filter.Put()) != S_OK) {
        name = kGenericName;
        if (FindChipFilter(name, categories, 1, filter.Put()) != S_OK)
            return 0;
    }
    if (FAILED(filter->QueryInterface(IID_IKsPropertySet, m_propertySet.PutVoid())) || !m_propertySet)
        return 0;
    if (FAILED(SwitchCapture(kCaptureOn))) {
        TracePrint(QVL_ERR, QVC_DEVICE,
                   L"CSrcRcTavora_CX2388x::CSrcRcTavora_CX2388x(): PROPSETID_VIDCAP_CUSTOM_IRCAPTURE FAILED\n");
        m_propertySet.Release();
        return 0;
    }
    m_deviceName = name;
    if (CSrcPoll::Init(owner, callback) == 1)
        return 1;
    SwitchCapture(kCaptureOff);
    m_propertySet.Release();
    return 0;
}

std::uint8_t CSrcRcTavora_CX2388x::GetCurrentKeyCode() {
    std::uint32_t frame[2] = {};
    if (FAILED(GetChipProperty(m_propertySet.Get(), kPropSetCx2388xIrCapture, kIdFrame, frame, sizeof(frame))))
        return NEC_CODE_IDLE;
    if (frame[0] != kFrameTag)
        return NEC_CODE_IDLE;
    if (frame[1] == kRepeatWord)
        return NEC_CODE_REPEAT;
    return static_cast<std::uint8_t>(frame[1]);
}
