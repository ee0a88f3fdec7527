#pragma once
// CSrcAbilis: USB sticks on the Abilis chip. The remote's frame is a property
// of the tuner filter; the same property set switches the antenna amplifier
// (eLNA), which the machine-wide setting chooses.
//
// Windows-only.

#include "receivers/SrcPoll_KsProp.h"

// Id 0 the frame (code in bits 24-31, NEC address in bits 0-15), id 1 the eLNA.
extern const GUID kPropSetAbilisRemote;

enum ABILIS_ELNA_MODE { ELNA_ON = 0, ELNA_OFF = 1, ELNA_AUTO = 2, ELNA_DEFAULT = 3, ELNA_UNTOUCHED = 4 };

// The mode a stored setting stands for: 0 to 2 and 4 as they are, anything else AUTO.
DWORD AbilisElnaMode(DWORD setting);

class CSrcAbilis : public CSrcPoll_KsProp {
public:
    static constexpr int kElnaReportPolls = 20;

    explicit CSrcAbilis(IClock& clock = SystemClock());
    ~CSrcAbilis() override;

    std::uint8_t GetCurrentKeyCode() override;
    int TestCustomInterface() override;

private:
    // The setting from the registry, written there first when missing.
    static DWORD ReadElnaSetting();

    unsigned m_polls = 0;
};
