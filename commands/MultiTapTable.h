#pragma once
// The characters of the digit keys for phone-keypad text input, and the text
// the display shows while a key cycles through them.
//
// Pure logic: no Windows header.

#include <string>

#include "receivers/RcKeys.h"

constexpr int MULTITAP_FIRST_KEY = KEYID_PROG_0;
constexpr int MULTITAP_LAST_KEY = KEYID_PROG_9;

// The key's characters in order, the digit first; nullptr for other keys.
const wchar_t* GetMultiTapCharacters(int keyId);
// Number of characters of the key; 0 for other keys.
int GetMultiTapLength(int keyId);

// The key's characters as the display shows them: the blank as "_", and the
// character at index (when inside the table) as " «c» ". Empty for other keys.
std::wstring FormatMultiTapDisplay(int keyId, int index);
