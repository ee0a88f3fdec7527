#pragma once
// CSrcAF9135: USB sticks on the AF9135 chip. A request block written to the
// property makes the driver latch the remote's last frame, read back from
// the same property: command in bits 8-15, NEC address in bits 16-31.
//
// Windows-only.

#include "receivers/SrcPoll_KsProp.h"

extern const GUID kPropSetAF9135Remote;

class CSrcAF9135 : public CSrcPoll_KsProp {
public:
    explicit CSrcAF9135(IClock& clock = SystemClock());
    ~CSrcAF9135() override;

    std::uint8_t GetCurrentKeyCode() override;
    int TestCustomInterface() override;

private:
    HRESULT RequestFrame();
};
