#pragma once
// CSrcRcSonexaFirewire: the remote control of the FireWire sound card, whose
// keys arrive as MIDI notes on the card's own MIDI input port.

#include "receivers/SrcMidi.h"

// The card's MIDI input port goes by one of these names, depending on the
// driver version; they are tried in this order.
constexpr int FIREWIRE_PORT_NAME_COUNT = 3;
extern const wchar_t* const kFirewirePortNames[FIREWIRE_PORT_NAME_COUNT];

class CSrcRcSonexaFirewire : public CSrcMidi {
public:
    CSrcRcSonexaFirewire() = default;
    ~CSrcRcSonexaFirewire() override;

    // Opens the first of the card's port names that exists; 0 when none does.
    int Init(void* owner, PFNIREVENTCALLBACK callback) override;
    // Notes of the card's remote become its keys; other notes give no event.
    int OnNote(std::uint8_t note, int pressed) override;
};
