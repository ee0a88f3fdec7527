#include "receivers/chips/SrcRcTavora_SAA_BDA.h"

#include "receivers/chips/ChipPort.h"
#include "support/ProgramPath.h"
#include "support/QVDebug.h"

tagSAAFRESH CSrcRcTavora_SAA_BDA::s_fresh;

namespace {

constexpr int kSaaBdaReceiverIndex = 6;
constexpr std::uint32_t kGpioMask = 0x4003F;
constexpr std::uint32_t kHeldBit = 0x40000;

bool IsGpioCard(std::uint16_t id) { return id == 0x1142 || id == 0x1143 || id == 0x1158; }

}  // namespace

std::uint8_t DecodeSaaRaw(std::uint16_t subsystemId, std::uint32_t raw, unsigned option, std::uint32_t now,
                          tagSAAFRESH& fresh) {
    if (IsGpioCard(subsystemId)) {
        const std::uint32_t v = raw & kGpioMask;
        if (v & kHeldBit)
            return now - fresh.dwLastTime <= CSrcRcTavora_SAA_BDA::kHeldWindowMs ? fresh.nLastCode : 0xFF;
        if (v == 0 && option == 1)
            return 0xFF;
        fresh.dwLastTime = now;
        const std::uint8_t code = v == fresh.nLastCode ? std::uint8_t{0xFF} : static_cast<std::uint8_t>(v);
        fresh.nLastCode = code;
        return code;
    }
    if (subsystemId == CSrcRcTavora_SAA_BDA::kBridgeSubsystem) {
        const std::uint8_t code = raw & 0x7F;
        return code == 0x7F ? std::uint8_t{0xFF} : code;
    }
    return static_cast<std::uint8_t>(raw);
}

CSrcRcTavora_SAA_BDA::CSrcRcTavora_SAA_BDA(unsigned option, IClock& clock) : CSrcPoll(option, clock), m_clock(clock) {
    m_kindName = L"SAA713x BDA";
    m_receiverIndex = kSaaBdaReceiverIndex;
    m_rcType = RCTYPE_NEC_04EB;
}

CSrcRcTavora_SAA_BDA::~CSrcRcTavora_SAA_BDA() {
    StopPolling();
    Close();
}

void CSrcRcTavora_SAA_BDA::ResetFreshCode() { s_fresh = tagSAAFRESH(); }

void CSrcRcTavora_SAA_BDA::Close() {
    m_getScanCode = nullptr;
    m_bridge.Close();
}

bool CSrcRcTavora_SAA_BDA::LoadBridge() {
    const std::wstring path = GetProgramFolder() + L"\\" + kBridgeLibrary;
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return false;
    m_bridge.Reset(LoadLibraryW(path.c_str()));
    if (!m_bridge)
        return false;
    auto init =
        reinterpret_cast<PFNINIT>(reinterpret_cast<void*>(GetProcAddress(m_bridge.Get(), "PXRmtInitialization")));
    if (!init || init(kPciVendorIdPrimary, kBridgeSubsystem, ToAnsiText(m_hw.FriendlyName()).c_str()) != 1)
        return false;
    m_getScanCode =
        reinterpret_cast<PFNSCAN>(reinterpret_cast<void*>(GetProcAddress(m_bridge.Get(), "PXRmtGetScanCode")));
    return m_getScanCode != nullptr;
}

int CSrcRcTavora_SAA_BDA::Init(void* owner, PFNIREVENTCALLBACK callback) {
    CQVTraceScope scope(QVL_IO, QVC_DEVICE, L"CSrcRcTavora_SAA_BDA::Init");
    StopPolling();
    Close();
    std::uint16_t vendor = 0, id = 0;
    if (!m_hw.Open() || !m_hw.IsKnownDriver() || !m_hw.ReadSubsystem(&vendor, &id))
        return 0;
    if ((vendor == 0x1131 && id == 0) || (vendor == kPciVendorIdBridge && id == 0x7131)) {
        vendor = kPciVendorIdPrimary;
        id = kBridgeSubsystem;
    }
    if (vendor != kPciVendorIdPrimary)
        return 0;
    m_subsystemId = id;
    if (id == kBridgeSubsystem && !LoadBridge()) {
        Close();
        return 0;
    }
    if (IsGpioCard(id))
        m_rcType = RCTYPE_NEC_866B;
    else if (id == kBridgeSubsystem)
        m_rcType = RCTYPE_NEC_04EB;
    else
        return 0;
    m_deviceName = m_hw.FriendlyName();
    if (CSrcPoll::Init(owner, callback) == 1)
        return 1;
    Close();
    return 0;
}

std::uint8_t CSrcRcTavora_SAA_BDA::GetCurrentKeyCode() {
    std::uint32_t raw = 0;
    if (m_getScanCode) {
        const int scan = m_getScanCode();
        if (scan == -1)
            return NEC_CODE_IDLE;
        raw = static_cast<std::uint32_t>(scan);
    } else {
        DWORD code = 0;
        if (!m_hw.ReadIr(&code))
            return NEC_CODE_IDLE;
        raw = code;
    }
    return DecodeSaaRaw(m_subsystemId, raw, m_option, m_clock.NowMs(), s_fresh);
}
