#pragma once
// CSrcRcTavora_T2: the USB tuners of the T² family, which report NEC frames
// through a kernel-streaming property of their tuner filter: bytes 0 and 1
// the device address (high byte first), byte 2 the command.
//
// Windows-only.

#include "receivers/SrcPoll.h"
#include "support/ScopedWin.h"

#include <strmif.h>

// The property set of the frame; property 0, no instance data, 4 bytes.
extern const GUID kPropSetTavoraT2Remote;

class CSrcRcTavora_T2 : public CSrcPoll {
public:
    // The frame read is retried this often, after this pause each time.
    static constexpr int kReadRetries = 3;
    static constexpr DWORD kRetryPauseMs = 15;

    explicit CSrcRcTavora_T2(IClock& clock = SystemClock());
    ~CSrcRcTavora_T2() override;

    int Init(void* owner, PFNIREVENTCALLBACK callback) override;
    std::uint8_t GetCurrentKeyCode() override;
    int PollForIrEvent(unsigned argument) override;

private:
    HRESULT ReadFrame(std::uint8_t (&frame)[4]);

    CQVComPtr<IKsPropertySet> m_propertySet;
};
