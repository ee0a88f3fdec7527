#include "receivers/Src.h"

#include "support/QVDebug.h"

namespace {

constexpr const wchar_t* kHandleIrEventName = L"CSrc::HandleIrEvent";
constexpr const wchar_t* kSeparator = L"---------------------------------------------------------\n";

// RC type of the remotes that send with a given 16-bit NEC device address.
int RcTypeFromNecAddress(unsigned address, unsigned variant) {
    switch (address & 0xFFFFu) {
    case 0x02BD:
    case 0xFFFF: return RCTYPE_NEC_02BD;
    case 0x04EB: return (variant & 0xFFu) != 0 ? RCTYPE_NEC_04EB_ALT : RCTYPE_NEC_04EB;
    case 0x04FB: return RCTYPE_NEC_04FB;
    case 0x1400:
    case 0x14EB: return RCTYPE_NEC_1400;
    case 0x4545: return RCTYPE_MORVANE;
    case 0x866B: return RCTYPE_NEC_866B;
    default: return RCTYPE_NONE;
    }
}

}  // namespace

CSrc::CSrc(unsigned option, IClock& clock) : m_option(option), m_clock(&clock) {}

CSrc::~CSrc() {
    // The owner's worker may still poll GetKeyId while the receiver goes.
    m_keyId = KEYID_NONE;
    m_eventCallback = nullptr;
}

int CSrc::IsInitialized() const { return m_initialized; }

int CSrc::GetRcType() const { return m_rcType; }

std::wstring CSrc::GetDeviceName() const { return m_deviceName; }

int CSrc::GetKeyId() const { return m_keyId.load(std::memory_order_relaxed); }

int CSrc::Init(void* owner, PFNIREVENTCALLBACK callback) {
    if (!callback)
        return 0;
    m_owner = owner;
    m_eventCallback = callback;
    m_initialized = 1;
    return 1;
}

std::uint8_t CSrc::GetCurrentKeyCode() { return NEC_CODE_IDLE; }

int CSrc::SupportsDoubleFunctionKeys() const { return 0; }

int CSrc::SetRcTypeFromAddress(unsigned address, unsigned variant) {
    const int rcType = RcTypeFromNecAddress(address, variant);
    if (rcType != m_rcType)
        TracePrint(QVL_INFO, QVC_DEVICE, L"Remote Control changed from RCTYPE 0x%04X to 0x%04X\n",
                   static_cast<unsigned>(m_rcType), static_cast<unsigned>(rcType));
    m_rcType = rcType;
    return rcType != RCTYPE_NONE;
}

int CSrc::HandleIrEvent(std::uint8_t code) {
    if (m_rcType == RCTYPE_NONE)
        return 0;
    if (!m_scheduler.ProcessNecKeyCode(code, m_clock->NowMs()))
        return 0;
    const int mapType = m_keyMapRcType != RCTYPE_NONE ? m_keyMapRcType : m_rcType;

    // A double-function key is decided by whether it is still held after the
    // wait: held means its second function, released its first.
    const std::uint8_t first = code;
    std::uint8_t second = first;
    int doubleFunctionKey = KEYID_NONE;
    int keyId = KEYID_NONE;
    std::uint8_t otherKey = NEC_CODE_IDLE;
    if (code != NEC_CODE_IDLE && SupportsDoubleFunctionKeys() && MapKeyCodeToKeyId(mapType, code, &keyId) &&
        IsDoubleFunctionKey(keyId)) {
        doubleFunctionKey = keyId;
        second = WatchDuringWait(first, kDoubleFunctionWaitMs);
        if (second == NEC_CODE_IDLE)
            second = WatchDuringWait(first, kDoubleFunctionRetryMs);
        if (second != first && second != NEC_CODE_REPEAT && second != NEC_CODE_IDLE) {
            // Another key pressed during the wait ends the press like a
            // release. Its repeat frames that follow would be taken for this
            // key, so it is reported right after this one.
            otherKey = second;
        } else if (second == NEC_CODE_REPEAT) {
            // A repeat frame with no other key before it: still held.
            second = first;
        }
        TracePrint(QVL_DETAIL, QVC_DEVICE, L"%ls() - Double function key: NEC key 0x%02X -> 0x%02X \n",
                   kHandleIrEventName, unsigned{first}, unsigned{second});
    }

    if (code == NEC_CODE_IDLE || (doubleFunctionKey == KEYID_NONE && !MapKeyCodeToKeyId(mapType, code, &keyId))) {
        m_keyId = KEYID_NONE;
        if (code != NEC_CODE_IDLE)
            TracePrint(QVL_ERR, QVC_ALL, L"%ls() - Could not map NEC key code!!!\n", kHandleIrEventName);
        return 0;
    }

    int noAutoRepeat = 0;
    if (doubleFunctionKey != KEYID_NONE) {
        if (second == first) {
            m_longPress = 1;
            keyId = GetSecondFunctionKey(doubleFunctionKey);
        } else {
            // The release that ends a long press still belongs to the second function.
            keyId = m_longPress ? GetSecondFunctionKey(doubleFunctionKey) : GetFirstFunctionKey(doubleFunctionKey);
            m_longPress = 0;
        }
        if (keyId != doubleFunctionKey)
            noAutoRepeat = 1;
    } else {
        m_longPress = 0;
    }
    if (!m_autoRepeatAllowed)
        noAutoRepeat = 1;

    m_heldKeyReport = m_keyId.load() == keyId;
    m_keyId = keyId;
    if (!m_eventCallback)
        return 0;

    TracePrint(QVL_DETAIL, QVC_DEVICE, kSeparator);
    TracePrint(QVL_DETAIL, QVC_DEVICE, L"%ls(): NEC 0x%02X -> Vemtra Key ID %d - <%ls> (%ls)\n", kHandleIrEventName,
               unsigned{m_scheduler.LastCode()}, keyId, GetEnglishKeyName(keyId), m_kindName.c_str());
    TracePrint(QVL_DETAIL, QVC_DEVICE, kSeparator);
    const int result = m_eventCallback(m_owner, this, keyId, noAutoRepeat);
    if (otherKey != NEC_CODE_IDLE)
        HandleIrEvent(otherKey);
    return result;
}

std::uint8_t CSrc::WatchDuringWait(std::uint8_t first, std::uint32_t ms) {
    std::uint8_t code = NEC_CODE_IDLE;
    for (std::uint32_t waited = 0; waited < ms;) {
        const std::uint32_t slice = ms - waited < kDoubleFunctionPollMs ? ms - waited : kDoubleFunctionPollMs;
        m_clock->SleepMs(slice);
        waited += slice;
        code = GetCurrentKeyCode();
        if (code != first && code != NEC_CODE_REPEAT && code != NEC_CODE_IDLE)
            return code;
    }
    return code;
}
