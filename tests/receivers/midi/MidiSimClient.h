#pragma once
// The test side of winesim.drv: puts the driver under this process's winmm
// and reaches the driver's own exports.

#include "tests/receivers/midi/MidiSim.h"

#include <string>

class CMidiSimClient {
public:
    // Selects the driver for this process with these initial ports
    // ('|'-separated) and makes winmm's first call, which loads it. True when
    // winmm loaded it from the test's folder; Error() says why not. Once per
    // process: winmm does not look for drivers again.
    bool Load(const wchar_t* ports);
    const std::wstring& Error() const { return m_error; }

    MMRESULT SetPortName(UINT port, const wchar_t* name) const { return m_setPortName(port, name); }
    MMRESULT SetInUse(UINT port, bool inUse) const { return m_setInUse(port, inUse ? TRUE : FALSE); }
    tagMIDISIM_PORTSTATE PortState(UINT port) const;
    MMRESULT Send(UINT port, DWORD message) const { return m_send(port, message); }
    void ResetCounts() const { m_resetCounts(); }

private:
    bool Fail(const std::wstring& error);

    std::wstring m_error;
    PFNSIMMIDISETPORTNAME m_setPortName = nullptr;
    PFNSIMMIDISETINUSE m_setInUse = nullptr;
    PFNSIMMIDIGETPORTSTATE m_getPortState = nullptr;
    PFNSIMMIDISEND m_send = nullptr;
    PFNSIMMIDIRESETCOUNTS m_resetCounts = nullptr;
};
