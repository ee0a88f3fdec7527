#include "commands/MultiTapInputWin.h"

#include "commands/KeyboardInput.h"

MultiTapWait CMultiTapStopEvent::Wait(std::uint32_t timeoutMs) {
    switch (WaitForSingleObject(m_event, timeoutMs)) {
    case WAIT_OBJECT_0:
        return MultiTapWait::Signalled;
    case WAIT_TIMEOUT:
        return MultiTapWait::TimedOut;
    default:
        return MultiTapWait::Failed;
    }
}

bool CMultiTapKeyTyper::ExecuteCommand(const tagWINCMD& cmd) {
    if (cmd.nType != CMD_KEY)
        return false;
    if (m_target) {
        if (!IsWindow(m_target))
            return false;
        SetForegroundWindow(m_target);
    }
    return TypeUnicodeCharacter(static_cast<wchar_t>(cmd.nSubType & 0xFFFF), cmd.nValue);
}
