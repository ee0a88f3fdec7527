#include "commands/MultiTapInputWin.h"

namespace {

INPUT KeyInput(WORD vk, WORD scan, DWORD flags) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = scan;
    input.ki.dwFlags = flags;
    return input;
}

}  // namespace

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
    static const struct {
        int bit;
        WORD vk;
    } kModifiers[] = {{CMD_MOD_ALT, VK_MENU}, {CMD_MOD_CTRL, VK_CONTROL}, {CMD_MOD_SHIFT, VK_SHIFT}};

    INPUT inputs[8];
    UINT count = 0;
    for (const auto& modifier : kModifiers)
        if (cmd.nValue & modifier.bit)
            inputs[count++] = KeyInput(modifier.vk, 0, 0);
    const WORD character = static_cast<WORD>(cmd.nSubType & 0xFFFF);
    inputs[count++] = KeyInput(0, character, KEYEVENTF_UNICODE);
    inputs[count++] = KeyInput(0, character, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP);
    for (int i = 2; i >= 0; --i)
        if (cmd.nValue & kModifiers[i].bit)
            inputs[count++] = KeyInput(kModifiers[i].vk, 0, KEYEVENTF_KEYUP);
    return SendInput(count, inputs, sizeof(INPUT)) == count;
}
