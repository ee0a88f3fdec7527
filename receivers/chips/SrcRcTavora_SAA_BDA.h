#pragma once
// CSrcRcTavora_SAA_BDA: PCI cards on the SAA713x chip with the BDA driver.
// GPIO-wired receivers are read through the driver's IR registers; cards in
// bridge mode through the IR bridge library beside the program.
//
// Windows-only.

#include "receivers/SrcPoll.h"
#include "receivers/chips/Hw_SAA713x_KS.h"
#include "support/ScopedWin.h"

// PCI subsystem vendors of the two card makers.
constexpr std::uint16_t kPciVendorIdPrimary = 0x1E4A;
constexpr std::uint16_t kPciVendorIdBridge = 0x1E4B;

// The decoding of a raw value by subsystem id. The last fresh code of the
// GPIO-wired receivers is the state (one card per machine).
struct tagSAAFRESH {
    std::uint8_t nLastCode = 0xFF;
    std::uint32_t dwLastTime = 0;
};
std::uint8_t DecodeSaaRaw(std::uint16_t subsystemId, std::uint32_t raw, unsigned option, std::uint32_t now,
                          tagSAAFRESH& fresh);

class CSrcRcTavora_SAA_BDA : public CSrcPoll {
public:
    static constexpr std::uint16_t kBridgeSubsystem = 0x1160;
    static constexpr std::uint32_t kHeldWindowMs = 162;
    static constexpr const wchar_t* kBridgeLibrary = L"Irbrix.DLL";

    explicit CSrcRcTavora_SAA_BDA(unsigned option = 0, IClock& clock = SystemClock());
    ~CSrcRcTavora_SAA_BDA() override;

    int Init(void* owner, PFNIREVENTCALLBACK callback) override;
    std::uint8_t GetCurrentKeyCode() override;

    std::uint16_t GetSubsystemId() const { return m_subsystemId; }
    // Forgets the last fresh code shared by all instances.
    static void ResetFreshCode();

private:
    bool LoadBridge();
    void Close();

    using PFNINIT = int(WINAPI*)(DWORD, DWORD, const char*);
    using PFNSCAN = int(WINAPI*)();

    IClock& m_clock;
    CHw_SAA713x_KS m_hw;
    std::uint16_t m_subsystemId = 0;
    CQVScoped<CQVModuleTraits> m_bridge;
    PFNSCAN m_getScanCode = nullptr;
    static tagSAAFRESH s_fresh;
};
