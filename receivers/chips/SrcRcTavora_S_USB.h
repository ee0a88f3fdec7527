#pragma once
// CSrcRcTavora_S_USB: USB boxes whose receiver-component filter answers the
// remote's code as a property of its kernel object.
//
// Windows-only.

#include "receivers/SrcPoll.h"
#include "receivers/chips/ChipPort.h"
#include "support/ScopedWin.h"

#include <memory>

extern const GUID kPropSetTavoraSUsbRemote;

class CSrcRcTavora_S_USB : public CSrcPoll {
public:
    static constexpr const wchar_t* kModelText = L"Tavora S USB Receiver";
    // What the driver answers while no key was received.
    static constexpr DWORD kNoKey = static_cast<DWORD>(-18);

    explicit CSrcRcTavora_S_USB(IClock& clock = SystemClock());
    ~CSrcRcTavora_S_USB() override;

    int Init(void* owner, PFNIREVENTCALLBACK callback) override;
    std::uint8_t GetCurrentKeyCode() override;

private:
    DWORD Read(DWORD* value);

    CQVComPtr<IBaseFilter> m_filter;
    std::unique_ptr<IChipDevice> m_handle;
};
