#pragma once
// Synthesised keyboard input. Every SendInput goes through here, so that
// input the system refused (another desktop, a higher-integrity window in
// front) is recorded for the user instead of vanishing.
#include <windows.h>

// Sends the inputs; false (recorded) when the system took fewer.
bool SendInputs(const INPUT* inputs, UINT count);
// One key of a virtual-key code, down or up, with its scan code.
void SendVirtualKey(WORD vk, bool up);
// Types one character as a Unicode packet, between the modifiers of
// CMD_MOD_* bits: neither the keyboard layout, Caps Lock nor the virtual-key
// table can change what arrives. Text input uses this, never key codes.
bool TypeUnicodeCharacter(wchar_t character, int modifiers);
