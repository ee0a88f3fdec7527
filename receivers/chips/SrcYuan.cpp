#include "receivers/chips/SrcYuan.h"

#include "receivers/SrcPoll_KsProp.h"
#include "receivers/chips/ChipPort.h"
#include "support/GraphBase.h"
#include "support/QVDebug.h"
#include "support/QVDebugWin.h"

#include <uuids.h>

const GUID kPropSetYuanRemote = {0xF22C0B47, 0xA41C, 0x4BF6, {0xB0, 0x43, 0x61, 0x72, 0x72, 0x69, 0x65, 0x0D}};

const tagYUANMODEL kYuanModels[YUAN_MODEL_COUNT] = {
    {&CLSID_VideoInputDeviceCategory, RCTYPE_NEC_04EB, FALSE, 80, L"Yuan Capture Card"},
    {&kCategoryBdaNetworkTuner, RCTYPE_NEC_1400, TRUE, 80, L"Yuan Hybrid Tuner"},
    {&kCategoryBdaNetworkTuner, RCTYPE_NEC_04EB_ALT, TRUE, 80, L"Yuan DVB-T Tuner"},
    {&kCategoryBdaNetworkTuner, RCTYPE_NEC_1400, TRUE, 80, L"Yuan DVB-S Tuner"},
    {&kCategoryBdaNetworkTuner, RCTYPE_MORVANE, TRUE, 80, L"Yuan ATSC Tuner"},
    {&kCategoryBdaNetworkTuner, RCTYPE_NEC_1400, FALSE, 80, L"Yuan ISDB-T Tuner"},
};

namespace {

constexpr DWORD kIdFrame = 0;
constexpr DWORD kIdControl = 1;
constexpr int kYuanReceiverIndex = 13;
// What the driver answers to a start while its remote still runs.
constexpr HRESULT kStillRunning = static_cast<HRESULT>(0x80070001);

}  // namespace

CSrcYuan::CSrcYuan(IClock& clock) : CSrcPoll(0, clock) {
    m_kindName = L"Yuan IR";
    m_receiverIndex = kYuanReceiverIndex;
    m_rcType = RCTYPE_NEC_04EB;
    m_blockingRead = 1;
    m_autoRepeatAllowed = 0;
}

CSrcYuan::~CSrcYuan() {
    StopPolling();
    if (!m_propertySet)
        return;
    const HRESULT hr = Control(YUAN_CONTROL_STOP);
    if (FAILED(hr))
        TracePrint(QVL_ERR, QVC_DEVICE, L"%ls()  - SimHidControl(SIMHID_CONTROL_STOP) FAILED with 0x%08x\n",
                   L"CSrcYuan::~CSrcYuan", static_cast<unsigned>(hr));
}

HRESULT CSrcYuan::Control(DWORD request) {
    return SetChipProperty(m_propertySet.Get(), kPropSetYuanRemote, kIdControl, &request, sizeof(request));
}

bool CSrcYuan::Start() {
    static const wchar_t kFunction[] = L"CSrcYuan::Init";
    HRESULT hr = Control(YUAN_CONTROL_START);
    if (hr == kStillRunning) {
        TracePrint(QVL_WRN, QVC_DEVICE, L"%ls() SIMHID_CONTROL_START FAILED with %ls\n", kFunction,
                   TraceFormatError(static_cast<DWORD>(hr)).c_str());
        Control(YUAN_CONTROL_STOP);
        TracePrint(QVL_WRN, QVC_DEVICE, L"%ls() restart SIMHID\n", kFunction);
        hr = Control(YUAN_CONTROL_START);
    }
    if (FAILED(hr)) {
        TracePrint(QVL_ERR, QVC_DEVICE, L"%ls() SIMHID_CONTROL_START FAILED with %ls\n", kFunction,
                   TraceFormatError(static_cast<DWORD>(hr)).c_str());
        return false;
    }
    return true;
}

int CSrcYuan::Init(void* owner, PFNIREVENTCALLBACK callback) {
    CQVTraceScope scope(QVL_IO, QVC_DEVICE, L"CSrcYuan::Init");
    StopPolling();
    m_propertySet.Release();
    for (const tagYUANMODEL& model : kYuanModels) {
        CQVComPtr<IBaseFilter> filter;
        if (FindModelFilter(model.szModel, *model.pCategory, filter.Put()) != S_OK)
            continue;
        m_rcType = model.nRcType;
        m_pollInterval = model.dwPollInterval;
        if (FAILED(filter->QueryInterface(IID_IKsPropertySet, m_propertySet.PutVoid())) || !m_propertySet)
            return 0;
        if (model.fOption)
            Control(YUAN_CONTROL_OPTION);
        if (!Start()) {
            m_propertySet.Release();
            return 0;
        }
        m_deviceName = model.szModel;
        if (CSrcPoll::Init(owner, callback) == 1)
            return 1;
        Control(YUAN_CONTROL_STOP);
        m_propertySet.Release();
        return 0;
    }
    return 0;
}

int CSrcYuan::SetRcTypeFromAddress(unsigned address, unsigned) {
    address &= 0xFFFF;
    if (address == 0)
        return 0;
    CSrc::SetRcTypeFromAddress(address, 0);
    if (m_rcType == RCTYPE_NONE) {
        switch (address >> 8) {
        case 0x04: m_rcType = RCTYPE_NEC_04EB_ALT; break;
        case 0x14: m_rcType = RCTYPE_NEC_1400; break;
        case 0x45: m_rcType = RCTYPE_MORVANE; break;
        default: break;
        }
    }
    return m_rcType != RCTYPE_NONE;
}

std::uint8_t CSrcYuan::GetCurrentKeyCode() {
    std::uint8_t frame[4] = {};
    if (FAILED(GetChipProperty(m_propertySet.Get(), kPropSetYuanRemote, kIdFrame, frame, sizeof(frame))))
        return NEC_CODE_IDLE;
    std::uint8_t code = frame[0];
    if (!SetRcTypeFromAddress((unsigned{frame[1]} << 8) | frame[2], 0))
        code = NEC_CODE_IDLE;
    Control(YUAN_CONTROL_ACKNOWLEDGE);
    return code;
}
