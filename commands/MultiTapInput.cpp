#include "commands/MultiTapInput.h"

#include "commands/MultiTapTable.h"
#include "support/QVDebug.h"

namespace {

constexpr int kDigitFirst = '0';
constexpr int kDigitLast = '9';
constexpr int kNumpadFirst = 96;  // VK_NUMPAD0
constexpr int kNumpadLast = 105;  // VK_NUMPAD9

void TraceMultiTap(const wchar_t* text) { TracePrint(QVL_INFO, QVC_COMMAND, L"%ls", text); }

}  // namespace

CMultiTapInput::CMultiTapInput(IClock& clock, IMultiTapDisplay* display) : m_clock(clock), m_display(display) {}

bool CMultiTapInput::IsMultiTapKey(int keyId, const tagWINCMD& cmd) {
    if (keyId < MULTITAP_FIRST_KEY || keyId > MULTITAP_LAST_KEY || cmd.nType != CMD_KEY)
        return false;
    return (cmd.nSubType >= kDigitFirst && cmd.nSubType <= kDigitLast) ||
           (cmd.nSubType >= kNumpadFirst && cmd.nSubType <= kNumpadLast);
}

bool CMultiTapInput::GetPendingCommand(int keyId, tagWINCMD& cmd) const {
    if (m_pendingKey == KEYID_NONE)
        return false;
    // The same key continues its cycle and replaces the waiting character, but
    // only within the timeout: a later press starts over at the digit, and the
    // waiting character must not be lost to it.
    if (keyId == m_lastKey && m_clock.NowMs() - m_lastPress < m_timeoutMs)
        return false;
    cmd = m_pending;
    return true;
}

int CMultiTapInput::Input(int keyId, tagWINCMD& cmd, IMultiTapStop& stop) {
    m_pendingKey = KEYID_NONE;
    if (!IsMultiTapKey(keyId, cmd)) {
        m_lastPress = 0;
        m_lastKey = KEYID_NONE;
        m_index = 0;
        return MULTITAP_NO_KEY;
    }

    const std::uint32_t now = m_clock.NowMs();
    const std::uint32_t elapsed = now - m_lastPress;
    m_lastPress = now;
    const int oldKey = m_lastKey;
    m_lastKey = keyId;
    if (oldKey == keyId && elapsed < m_timeoutMs) {
        TraceMultiTap(L"SMS key - Pressed again\n");
        m_index = static_cast<std::int8_t>((m_index + 1) % GetMultiTapLength(keyId));
    } else {
        TraceMultiTap(L"SMS key - new key\n");
        m_index = 0;
    }

    // Only the key changes: the modifier bits of nValue still apply.
    cmd.fRepeat = 0;
    cmd.fNoOsd = 0;
    cmd.nSubType = GetMultiTapCharacters(keyId)[m_index];
    if (m_display)
        m_display->ShowText(GetDisplayText(keyId).c_str());

    switch (stop.Wait(m_timeoutMs)) {
    case MultiTapWait::Signalled:
        TraceMultiTap(L"Wait aborted\n");
        m_pendingKey = keyId;
        m_pending = cmd;
        return MULTITAP_ABORTED;
    case MultiTapWait::TimedOut:
        TraceMultiTap(L"Wait timeout\n");
        ConfirmChoice(keyId);
        return MULTITAP_TYPE;
    case MultiTapWait::Failed:
        break;
    }
    return 0;
}

// A short flash in exchanged colours tells the user the character is taken.
void CMultiTapInput::ConfirmChoice(int keyId) {
    if (!m_display)
        return;
    m_display->SetColoursExchanged(true);
    m_display->ShowText(GetDisplayText(keyId).c_str());
    m_clock.SleepMs(MULTITAP_FLASH_MS);
    m_display->SetColoursExchanged(false);
}

std::wstring CMultiTapInput::GetDisplayText(int keyId) const { return FormatMultiTapDisplay(keyId, m_index); }

bool CMultiTapInput::HandleKeyEvent(int keyId, tagWINCMD& cmd, IMultiTapStop& stop, IMultiTapActions& actions) {
    if (IsMultiTapKey(keyId, cmd))
        actions.PlayKeySound();
    tagWINCMD pending;
    if (GetPendingCommand(keyId, pending))
        actions.ExecuteCommand(pending);
    switch (Input(keyId, cmd, stop)) {
    case MULTITAP_ABORTED:
        return true;
    case MULTITAP_TYPE:
        actions.ExecuteCommand(cmd);
        return true;
    default:
        return false;
    }
}
