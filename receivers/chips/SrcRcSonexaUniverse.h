#pragma once
// CSrcRcSonexaUniverse: the remote of the Universe sound card, read through
// the I/O codes of the card's control driver. Each read waits for the
// driver's key event, so the poll loop only pauses briefly between reads.
//
// Windows-only.

#include "receivers/SrcPoll.h"
#include "receivers/chips/ChipPort.h"
#include "support/ScopedWin.h"

#include <memory>

class CSrcRcSonexaUniverse : public CSrcPoll {
public:
    static constexpr const wchar_t* kModelText = L"Sonexa Universe";
    static constexpr const wchar_t* kEventName = L"SONEXA UNIVERSE RC EVENT";
    static constexpr const wchar_t* kDriverName = L"QVP9Cntrl";
    static constexpr DWORD kIoDeviceList = 0x81CD6008;
    static constexpr DWORD kIoDeviceInfo = 0x81CD600C;
    static constexpr DWORD kIoGetKey = 0x81CD6058;
    static constexpr DWORD kIoWaitKey = 0x81CD605C;
    static constexpr std::uint16_t kCardId = 0x1153;
    static constexpr DWORD kRequestBytes = 136;
    static constexpr DWORD kFailedWaitPauseMs = 200;

    explicit CSrcRcSonexaUniverse(IClock& clock = SystemClock());
    ~CSrcRcSonexaUniverse() override;

    int Init(void* owner, PFNIREVENTCALLBACK callback) override;
    std::uint8_t GetCurrentKeyCode() override;
    // The loop, then the wait still queued at the driver is cancelled.
    int PollForIrEvent(unsigned argument) override;

private:
    CQVScoped<CQVHandleTraits> m_event;
    std::unique_ptr<IChipDevice> m_device;
    DWORD m_deviceId = 0;
    // Owned by the driver while a wait is queued: it outlives every request.
    OVERLAPPED m_overlapped = {};
};
