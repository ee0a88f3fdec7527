#pragma once
// CSrcRcTavora_SAA_WDM: PCI cards on the SAA713x chip with the WDM driver.
// The chip vendor's device object raises the GPIO interrupt event of each
// remote frame; the receiver's sink reads the code from the GPIO pins on the
// driver's thread.
//
// Windows-only.

#include "receivers/chips/SaaWdmInterfaces.h"
#include "receivers/chips/SrcEvent.h"
#include "support/ScopedWin.h"

// The RC type a card of the WDM driver serves; RCTYPE_NONE when refused.
int SaaWdmRcType(std::uint16_t subsystemVendor, std::uint16_t subsystemId);

class CSrcRcTavora_SAA_WDM : public CSrcEvent {
public:
    static constexpr ULONG kGpioEvent = 5;
    static constexpr ULONG kPinKeyValid = 18;
    static constexpr ULONG kCodePins = 6;  // pins 0 to 5 are bits 0 to 5 of the code

    explicit CSrcRcTavora_SAA_WDM(unsigned option = 0, IClock& clock = SystemClock());
    ~CSrcRcTavora_SAA_WDM() override;

    int Init(void* owner, PFNIREVENTCALLBACK callback) override;
    // The pins now: the code while pin 18 is set, else idle (also for a
    // disabled key 0).
    std::uint8_t GetCurrentKeyCode() override;

    std::uint16_t GetSubsystemId() const { return m_subsystemId; }

protected:
    // Ends the driver's calls and the watch, and lets go of the device.
    void Close();

private:
    class CSink;
    friend class CSink;
    // One driver event, on the driver's thread.
    void OnDriverEvent(ULONG event);
    // The code on pins 0 to 5 while pin 18 is set, else idle.
    std::uint8_t ReadPins();
    bool IsDisabledKey(std::uint8_t code) const;

    CQVComPtr<ISaaDevice> m_device;
    CQVComPtr<ISaaGpio> m_gpio;
    CQVComPtr<IUnknown> m_gpioSecond;
    CSink* m_sink = nullptr;  // one reference of ours while advised
    DWORD m_cookie = 0;
    bool m_eventEnabled = false;
    std::uint16_t m_subsystemId = 0;
};
