#pragma once
// CSrcYuan: capture cards and sticks whose driver simulates a HID remote
// behind a property set: started and stopped by control requests, each frame
// acknowledged after it was read.
//
// Windows-only.

#include "receivers/SrcPoll.h"
#include "support/ScopedWin.h"

#include <strmif.h>

// Set id 1: control request (32 bits); get id 0: frame (command, address).
extern const GUID kPropSetYuanRemote;

struct tagYUANMODEL {
    const GUID* pCategory;
    int nRcType;
    BOOL fOption;  // send the option request before the start
    DWORD dwPollInterval;
    const wchar_t* szModel;
};

constexpr int YUAN_MODEL_COUNT = 6;
extern const tagYUANMODEL kYuanModels[YUAN_MODEL_COUNT];

enum YUAN_CONTROL : DWORD {
    YUAN_CONTROL_START = 1,
    YUAN_CONTROL_STOP = 2,
    YUAN_CONTROL_ACKNOWLEDGE = 3,
    YUAN_CONTROL_OPTION = 16,
};

class CSrcYuan : public CSrcPoll {
public:
    explicit CSrcYuan(IClock& clock = SystemClock());
    ~CSrcYuan() override;

    int Init(void* owner, PFNIREVENTCALLBACK callback) override;
    std::uint8_t GetCurrentKeyCode() override;
    // Address 0 is no remote; unknown addresses fall back to their high byte.
    int SetRcTypeFromAddress(unsigned address, unsigned variant) override;

private:
    HRESULT Control(DWORD request);
    bool Start();

    CQVComPtr<IKsPropertySet> m_propertySet;
};
