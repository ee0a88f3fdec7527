#include "receivers/chips/SrcRcTavora_AME.h"

#include "receivers/chips/ChipPort.h"
#include "support/GraphBase.h"
#include "support/QVDebug.h"

const IID kIidAmeRemote = {0xD1E5209F, 0x68FD, 0x4529, {0xBE, 0xE0, 0x5E, 0x7A, 0x1F, 0x47, 0x92, 0x04}};
const IID kIidAmeRemoteAlt = {0xD1E5209F, 0x68FD, 0x4529, {0xBE, 0xE0, 0x5E, 0x7A, 0x1F, 0x47, 0x92, 0x0B}};

const wchar_t* const kAmeModels[AME_MODEL_COUNT] = {
    L"Tavora USB 2.0 Stick", L"Tavora USB Hybrid Stick", L"Tavora USB DVB-T Stick", L"Tavora USB Analog Stick",
    L"Tavora USB Mini Stick", L"Tavora USB Dual Stick", L"Tavora USB Box",
};

namespace {

constexpr int kAmeReceiverIndex = 4;

}  // namespace

CSrcRcTavora_AME::CSrcRcTavora_AME(IClock& clock) : CSrcPoll(0, clock) {
    m_kindName = L"AME custom driver";
    m_receiverIndex = kAmeReceiverIndex;
    m_rcType = RCTYPE_NEC_04EB;
}

CSrcRcTavora_AME::~CSrcRcTavora_AME() {
    StopPolling();
    m_remote.Release();
}

int CSrcRcTavora_AME::Init(void* owner, PFNIREVENTCALLBACK callback) {
    CQVTraceScope scope(QVL_IO, QVC_DEVICE, L"CSrcRcTavora_AME::Init");
    StopPolling();
    m_remote.Release();
    const GUID* const categories[] = {&kCategoryBdaReceiverComponent, &kCategoryBdaNetworkTuner};
    for (const wchar_t* model : kAmeModels) {
        CQVComPtr<IBaseFilter> filter;
        if (FindChipFilter(model, categories, 2, filter.Put()) != S_OK)
            continue;
        if (FAILED(filter->QueryInterface(kIidAmeRemote, m_remote.PutVoid())) || !m_remote)
            filter->QueryInterface(kIidAmeRemoteAlt, m_remote.PutVoid());
        ULONG value = 0;
        if (!m_remote || FAILED(m_remote->Command(kCommandReadIr, &value, 0))) {
            m_remote.Release();
            return 0;
        }
        m_deviceName = model;
        if (CSrcPoll::Init(owner, callback) == 1)
            return 1;
        m_remote.Release();
        return 0;
    }
    return 0;
}

std::uint8_t CSrcRcTavora_AME::GetCurrentKeyCode() {
    ULONG value = 0;
    if (!m_remote || FAILED(m_remote->Command(kCommandReadIr, &value, 0)))
        return NEC_CODE_IDLE;
    return static_cast<std::uint8_t>(value);
}
