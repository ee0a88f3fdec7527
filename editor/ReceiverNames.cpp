#include "editor/ReceiverNames.h"

// Slots 5 and 14 have no receiver; they keep a row so that the index stays the slot.
const tagRECEIVERNAME g_receiverNames[RECEIVER_NAME_ROWS] = {
    {L"Midi In", 0},
    {L"Sonexa FireWire sound card", 1},
    {L"Sonexa Universe sound card", 2},
    {L"Tavora T2 USB receiver", 3},
    {L"Tavora AME USB receiver", 4},
    {L"(not used)", 5},
    {L"Tavora SAA713x PCI card (BDA driver)", 6},
    {L"Tavora SAA713x PCI card (WDM driver)", 7},
    {L"Tavora CX2388x PCI card", 8},
    {L"Tavora EM28xx USB stick", 9},
    {L"HID remote control receiver", 10},
    {L"Tavora SAA713x hybrid PCI card", 11},
    {L"Tavora S USB stick", 12},
    {L"Yuan TV tuner", 13},
    {L"(not used)", 14},
    {L"Abilis TV stick", 15},
    {L"Montage TV stick", 16},
    {L"AF9135 TV stick", 17},
};

const wchar_t* GetReceiverName(int slot) {
    if (slot < 0 || slot >= RECEIVER_NAME_ROWS)
        return L"";
    return g_receiverNames[slot].szName;
}
