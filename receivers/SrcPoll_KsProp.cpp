#include "receivers/SrcPoll_KsProp.h"

#include "support/GraphBase.h"
#include "support/QVDebug.h"

HRESULT FindModelFilter(const wchar_t* modelName, const GUID& category, IBaseFilter** filter) {
    if (!filter)
        return E_POINTER;
    *filter = nullptr;
    if (!modelName)
        return GRAPH_E_NOT_FOUND;
    for (int index = 0;; ++index) {
        CQVComPtr<IBaseFilter> found;
        std::wstring friendlyName;
        const HRESULT hr = CGraphBase::FindFilter(modelName, category, index, found.Put(), &friendlyName, nullptr);
        if (hr != S_OK)
            return hr;
        if (friendlyName == modelName) {
            *filter = found.Get();
            (*filter)->AddRef();
            return S_OK;
        }
    }
}

CSrcPoll_KsProp::CSrcPoll_KsProp(unsigned option, IClock& clock) : CSrcPoll(option, clock) {}

CSrcPoll_KsProp::~CSrcPoll_KsProp() {
    StopPolling();
    ReleaseInterface();
}

void CSrcPoll_KsProp::ReleaseInterface() { m_propertySet.Release(); }

int CSrcPoll_KsProp::Init(void* owner, PFNIREVENTCALLBACK callback) {
    CQVTraceScope scope(QVL_IO, QVC_DEVICE, L"CSrcPoll_KsProp::Init");
    StopPolling();
    ReleaseInterface();
    IR_REMOVABLE_DEVICE_LIST rows;
    GetRemovableDeviceList(rows);
    const GUID* const categories[] = {&kCategoryBdaReceiverComponent, &kCategoryBdaNetworkTuner};
    bool accepted = false;
    for (const _IR_REMOVABLE_DEVICE& row : rows) {
        if (accepted)
            break;
        for (const GUID* category : categories) {
            CQVComPtr<IBaseFilter> filter;
            if (FindModelFilter(row.szModelName, *category, filter.Put()) != S_OK)
                continue;
            TracePrint(QVL_DETAIL, QVC_DEVICE, L"Found DirectShow device VID 0x%04X, PID 0x%04X : %ls\n",
                       unsigned{row.wVendorId}, unsigned{row.wProductId}, row.szModelName);
            if (SUCCEEDED(filter->QueryInterface(IID_IKsPropertySet, m_propertySet.PutVoid())) && m_propertySet &&
                TestCustomInterface() == 1) {
                m_deviceName = row.szModelName;
                accepted = true;
                break;
            }
            ReleaseInterface();
        }
    }
    if (accepted && CSrcPoll::Init(owner, callback) == 1)
        return 1;
    ReleaseInterface();
    return 0;
}
