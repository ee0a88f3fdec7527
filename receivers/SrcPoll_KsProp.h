#pragma once
// CSrcPoll_KsProp: a polling receiver whose capture driver exposes the
// remote-control code as a kernel-streaming property. Init finds the capture
// filter by the model names of the receiver's catalogue rows; the derived
// receiver checks that the filter is its device and reads the property.
//
// Windows-only.

#include "receivers/SrcPoll.h"
#include "support/ScopedWin.h"

#include <strmif.h>

// The filter of the category whose friendly name is exactly the model name
// (FindFilter matches substrings: the first exact one of its matches).
HRESULT FindModelFilter(const wchar_t* modelName, const GUID& category, IBaseFilter** filter);

class CSrcPoll_KsProp : public CSrcPoll {
public:
    explicit CSrcPoll_KsProp(unsigned option = 0, IClock& clock = SystemClock());
    ~CSrcPoll_KsProp() override;

    int Init(void* owner, PFNIREVENTCALLBACK callback) override;
    std::uint8_t GetCurrentKeyCode() override = 0;

    // Virtual operations added to those of CSrcPoll, in this order.
    // 1 when the opened filter is really this receiver's device.
    virtual int TestCustomInterface() = 0;
    virtual void ReleaseInterface();

protected:
    CQVComPtr<IKsPropertySet> m_propertySet;
};
