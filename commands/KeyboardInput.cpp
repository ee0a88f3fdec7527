#include "commands/KeyboardInput.h"

#include <string>

#include "cmdsets/WinCmd.h"
#include "support/QVLastWriteFailure.h"

namespace {

INPUT KeyboardPacket(WORD vk, WORD scan, DWORD flags) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = scan;
    input.ki.dwFlags = flags;
    return input;
}

}  // namespace

bool SendInputs(const INPUT* inputs, UINT count) {
    const UINT sent = SendInput(count, const_cast<INPUT*>(inputs), sizeof(INPUT));
    if (sent == count)
        return true;
    wchar_t window[96] = {};
    HWND front = GetForegroundWindow();
    if (front)
        swprintf(window, 96, L"window %p", static_cast<void*>(front));
    CQVLastWriteFailure::Record(L"SendInput", window, GetLastError());
    return false;
}

void SendVirtualKey(WORD vk, bool up) {
    const INPUT input =
        KeyboardPacket(vk, static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)), up ? KEYEVENTF_KEYUP : 0);
    SendInputs(&input, 1);
}

bool TypeUnicodeCharacter(wchar_t character, int modifiers) {
    static const struct {
        int bit;
        WORD vk;
    } kModifiers[] = {{CMD_MOD_ALT, VK_MENU}, {CMD_MOD_CTRL, VK_CONTROL}, {CMD_MOD_SHIFT, VK_SHIFT}};
    INPUT inputs[8];
    UINT count = 0;
    for (const auto& modifier : kModifiers)
        if (modifiers & modifier.bit)
            inputs[count++] = KeyboardPacket(modifier.vk, 0, 0);
    inputs[count++] = KeyboardPacket(0, character, KEYEVENTF_UNICODE);
    inputs[count++] = KeyboardPacket(0, character, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP);
    for (int i = 2; i >= 0; --i)
        if (modifiers & kModifiers[i].bit)
            inputs[count++] = KeyboardPacket(kModifiers[i].vk, 0, KEYEVENTF_KEYUP);
    return SendInputs(inputs, count);
}
