#pragma once
// CSrcRcTavora_EM28xx_BDA: USB sticks on the EM28xx chip, read through the
// driver library's device object: an I2C receiver where the stick has one,
// else the NEC frames the chip decodes itself.
//
// Windows-only.

#include "receivers/SrcPoll.h"
#include "receivers/chips/Bda2800.h"

#include <memory>

class CSrcRcTavora_EM28xx_BDA : public CSrcPoll {
public:
    static constexpr BYTE kI2CAddress = 0x60;

    explicit CSrcRcTavora_EM28xx_BDA(IClock& clock = SystemClock());
    ~CSrcRcTavora_EM28xx_BDA() override;

    int Init(void* owner, PFNIREVENTCALLBACK callback) override;
    std::uint8_t GetCurrentKeyCode() override;
    bool IsI2CMode() const { return m_i2cMode; }

private:
    std::uint8_t ReadI2C();
    std::uint8_t ReadFrame();
    void Close();

    std::unique_ptr<CBDA2800> m_device;
    bool m_open = false;
    bool m_i2cMode = false;
    BYTE m_i2cRegister = 0;
    std::uint64_t m_lastFrame = 0;  // 40-bit frame, or the fallback's 32-bit value
};

// "VEMTRA <product>" and the like, from the stick's ids.
std::wstring Em28xxDeviceName(WORD vendorId, WORD productId);
