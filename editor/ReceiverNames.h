#pragma once
// The display names of the eighteen receiver slots, as the Options page lists
// the receivers that found their hardware. Row n is slot n.
//
// Pure logic: no Windows header.
#include <cstdint>

constexpr int RECEIVER_NAME_ROWS = 18;
constexpr int RECEIVER_NAME_CHARS = 132;  // 131 characters and the terminator

struct tagRECEIVERNAME {
    wchar_t szName[RECEIVER_NAME_CHARS];
    std::int32_t nSlot;
};

extern const tagRECEIVERNAME g_receiverNames[RECEIVER_NAME_ROWS];

// The name of a slot; "" for a slot outside the table.
const wchar_t* GetReceiverName(int slot);
