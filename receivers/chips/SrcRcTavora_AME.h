#pragma once
// CSrcRcTavora_AME: USB sticks with the AME custom driver, whose filter
// offers a vendor interface that answers the remote's last code.
//
// Windows-only.

#include "receivers/SrcPoll.h"
#include "support/ScopedWin.h"

#include <strmif.h>

// The driver's interface, under either of two identifiers; one method after
// those of IUnknown.
extern const IID kIidAmeRemote;
extern const IID kIidAmeRemoteAlt;
struct IAmeRemote : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Command(ULONG command, ULONG* value, ULONG reserved) = 0;
};

constexpr int AME_MODEL_COUNT = 7;
extern const wchar_t* const kAmeModels[AME_MODEL_COUNT];

class CSrcRcTavora_AME : public CSrcPoll {
public:
    static constexpr ULONG kCommandReadIr = 4;

    explicit CSrcRcTavora_AME(IClock& clock = SystemClock());
    ~CSrcRcTavora_AME() override;

    int Init(void* owner, PFNIREVENTCALLBACK callback) override;
    std::uint8_t GetCurrentKeyCode() override;

private:
    CQVComPtr<IAmeRemote> m_remote;
};
