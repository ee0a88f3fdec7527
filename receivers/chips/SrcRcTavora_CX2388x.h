#pragma once
// CSrcRcTavora_CX2388x: PCI cards on the CX2388x chip, whose capture driver
// records IR frames once capture is switched on through a property set.
//
// Windows-only.

#include "receivers/SrcPoll.h"
#include "support/ScopedWin.h"

#include <strmif.h>

// PROPSETID_VIDCAP_CUSTOM_IRCAPTURE: id 0 the frame (8 bytes), id 1 the switch.
extern const GUID kPropSetCx2388xIrCapture;

class CSrcRcTavora_CX2388x : public CSrcPoll {
public:
    static constexpr const wchar_t* kModelName = L"Tavora Hybrid 2388x Capture";
    static constexpr const wchar_t* kGenericName = L"Conexant 2388x Video Capture";

    explicit CSrcRcTavora_CX2388x(IClock& clock = SystemClock());
    ~CSrcRcTavora_CX2388x() override;

    int Init(void* owner, PFNIREVENTCALLBACK callback) override;
    std::uint8_t GetCurrentKeyCode() override;

private:
    HRESULT SwitchCapture(std::uint8_t state);

    CQVComPtr<IKsPropertySet> m_propertySet;
};
