#include "receivers/NecKeyScheduler.h"

#include "receivers/RcKeys.h"
#include "support/QVDebug.h"

namespace {

constexpr const wchar_t* kProcessName = L"CNecKeyScheduler::ProcessNecKeyCode";

}  // namespace

bool CNecKeyScheduler::ProcessNecKeyCode(std::uint8_t& code, std::uint32_t now) {
    const std::uint8_t last = m_lastCode;
    if (code == NEC_CODE_REPEAT)
        code = last;

    // Differences are unsigned, so a wrap of the millisecond clock is harmless.
    if (code == NEC_CODE_IDLE) {
        if (now - m_lastKeyTime < kReleaseMs) {
            // A gap this short is a lost frame, not a release: the key is still held.
            if (last != NEC_CODE_IDLE)
                TracePrint(QVL_IO, QVC_DEVICE, L"%ls() - 0x%02X  Transition to idle\n", kProcessName,
                           unsigned{last});
            code = last;
            return false;
        }
    } else if (code == last) {
        if (now - m_lastRepeatTime < kRepeatMs || now - m_lastKeyTime < kReleaseMs) {
            TracePrint(QVL_IO, QVC_DEVICE, L"%ls() - 0x%02X  Key repeated - TOO FAST\n", kProcessName,
                       unsigned{code});
            return false;
        }
    }

    if (code != NEC_CODE_IDLE) {
        if (code != last)
            TracePrint(QVL_IO, QVC_DEVICE, L"%ls() - Key changed: 0x%02X -> 0x%02X  \n", kProcessName,
                       unsigned{last}, unsigned{code});
        else
            TracePrint(QVL_IO, QVC_DEVICE, L"%ls() - Key repeated: 0x%02X  \n", kProcessName, unsigned{code});
    }
    if (code == last)
        m_lastRepeatTime = now;
    if (code != NEC_CODE_IDLE)
        m_lastKeyTime = now;
    m_lastCode = code;
    return true;
}
