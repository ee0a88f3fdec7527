#include "receivers/chips/SrcRcTavora_SAA_HT_PCI.h"

#include "support/GraphBase.h"
#include "support/GraphDriverInfo.h"
#include "support/QVDebug.h"

#include <uuids.h>

namespace {

constexpr int kSaaHtPciReceiverIndex = 11;

}  // namespace

CSrcRcTavora_SAA_HT_PCI::CSrcRcTavora_SAA_HT_PCI(IClock& clock) : CSrcEvent(0, clock) {
    m_kindName = L"SAA713x HT PCI";
    m_receiverIndex = kSaaHtPciReceiverIndex;
}

CSrcRcTavora_SAA_HT_PCI::~CSrcRcTavora_SAA_HT_PCI() { Close(); }

void CSrcRcTavora_SAA_HT_PCI::Close() {
    // The worker first: it is the thread that calls into this receiver.
    m_interrupts.reset();
    m_decoder.reset();
    StopEvents();
    m_filter.Release();
}

int CSrcRcTavora_SAA_HT_PCI::Init(void* owner, PFNIREVENTCALLBACK callback) {
    CQVTraceScope scope(QVL_IO, QVC_DEVICE, L"CSrcRcTavora_SAA_HT_PCI::Init");
    Close();
    std::wstring friendlyName;
    for (int index = 0;; ++index) {
        CQVComPtr<IBaseFilter> filter;
        std::wstring devicePath;
        if (CGraphBase::FindFilter(kModelName, CLSID_VideoInputDeviceCategory, index, filter.Put(), &friendlyName,
                                   &devicePath) != S_OK)
            return 0;
        tagDRIVERINFO info;
        if (SUCCEEDED(CGraphDriverInfo::QueryDriverInfo(devicePath.c_str(), &info)) &&
            info.nBusKind == BUSKIND_PCI && info.wVendorId == kChipVendorId) {
            m_filter = std::move(filter);
            break;
        }
    }
    m_deviceName = friendlyName;
    if (CSrcEvent::Init(owner, callback) != 1) {
        Close();
        return 0;
    }
    CQVComPtr<IKsPropertySet> set;
    if (FAILED(m_filter->QueryInterface(IID_IKsPropertySet, set.PutVoid())) || !set) {
        Close();
        return 0;
    }
    m_interrupts = std::make_unique<CInterrupt_Interface>(set.Get());
    CIR_DecoderCallback& decoded = *this;
    m_decoder = std::make_unique<CIR_Decoder>(decoded);
    if (!m_interrupts->Start() || FAILED(m_interrupts->RegisterHandler(kIrInterrupt, m_decoder.get(), true))) {
        Close();
        return 0;
    }
    return 1;
}

void CSrcRcTavora_SAA_HT_PCI::OnNecFrame(std::uint16_t address, std::uint8_t command) {
    bool known = false;
    {
        CQVLock lock(EventLock());
        known = SetRcTypeFromAddress(address, 0) != 0;
    }
    ReportCode(known ? command : NEC_CODE_IDLE);
}
