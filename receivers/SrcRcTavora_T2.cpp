#include "receivers/SrcRcTavora_T2.h"

#include "receivers/SrcPoll_KsProp.h"
#include "support/GraphBase.h"
#include "support/QVDebug.h"

const GUID kPropSetTavoraT2Remote = {0x6227A367, 0x6E4E, 0x43FA, {0xBF, 0x19, 0x61, 0x29, 0x63, 0x0E, 0xF9, 0x11}};

namespace {

// What some drivers answer while no frame is ready: the device is there.
constexpr HRESULT kNoFrameYet = static_cast<HRESULT>(0x8007001F);
constexpr int kT2ReceiverIndex = 3;

}  // namespace

CSrcRcTavora_T2::CSrcRcTavora_T2(IClock& clock) : CSrcPoll(0, clock) {
    m_kindName = L"Lumivo/Tavora T\u00B2";
    m_receiverIndex = kT2ReceiverIndex;
    m_rcType = RCTYPE_MORVANE;
    m_pollInterval = kDefaultPollIntervalMs;
}

CSrcRcTavora_T2::~CSrcRcTavora_T2() {
    StopPolling();
    m_propertySet.Release();
}

HRESULT CSrcRcTavora_T2::ReadFrame(std::uint8_t (&frame)[4]) {
    DWORD returned = 0;
    return m_propertySet->Get(kPropSetTavoraT2Remote, 0, nullptr, 0, frame, sizeof(frame), &returned);
}

int CSrcRcTavora_T2::Init(void* owner, PFNIREVENTCALLBACK callback) {
    CQVTraceScope scope(QVL_IO, QVC_DEVICE, L"CSrcRcTavora_T2::Init");
    StopPolling();
    m_propertySet.Release();
    IR_REMOVABLE_DEVICE_LIST rows;
    GetRemovableDeviceList(rows);
    for (const _IR_REMOVABLE_DEVICE& row : rows) {
        TracePrint(QVL_DETAIL, QVC_DEVICE, L"VID 0x%04X, PID 0x%04X : %ls\n", unsigned{row.wVendorId},
                   unsigned{row.wProductId}, row.szModelName ? row.szModelName : L"");
        CQVComPtr<IBaseFilter> filter;
        if (FindModelFilter(row.szModelName, kCategoryBdaNetworkTuner, filter.Put()) != S_OK)
            continue;
        if (SUCCEEDED(filter->QueryInterface(IID_IKsPropertySet, m_propertySet.PutVoid())) && m_propertySet) {
            std::uint8_t frame[4] = {};
            const HRESULT hr = ReadFrame(frame);
            if (SUCCEEDED(hr) || hr == kNoFrameYet) {
                m_deviceName = row.szModelName;
                return CSrcPoll::Init(owner, callback);
            }
        }
        m_propertySet.Release();
    }
    m_propertySet.Release();
    return 0;
}

std::uint8_t CSrcRcTavora_T2::GetCurrentKeyCode() {
    if (!m_propertySet)
        return NEC_CODE_IDLE;
    std::uint8_t frame[4] = {};
    HRESULT hr = ReadFrame(frame);
    for (int retry = 0; FAILED(hr) && retry < kReadRetries; ++retry) {
        Sleep(kRetryPauseMs);
        hr = ReadFrame(frame);
    }
    if (FAILED(hr))
        return NEC_CODE_IDLE;
    const bool allSet = frame[0] == 0xFF && frame[1] == 0xFF && frame[2] == 0xFF;
    if (allSet && frame[3] == 0x00) {
        // This frame comes in a pair: the second is read and dropped.
        std::uint8_t scratch[4] = {};
        ReadFrame(scratch);
        return NEC_CODE_REPEAT;
    }
    if (allSet && frame[3] == 0xFF)
        return NEC_CODE_REPEAT;
    if (frame[0] == 0 && frame[1] == 0 && frame[2] == 0 && frame[3] == 0xFF)
        return NEC_CODE_IDLE;
    if (!SetRcTypeFromAddress((unsigned{frame[0]} << 8) | frame[1], 0))
        return NEC_CODE_IDLE;
    return frame[2];
}

int CSrcRcTavora_T2::PollForIrEvent(unsigned argument) {
    if (!m_propertySet)
        return 0;
    return CSrcPoll::PollForIrEvent(argument);
}
