#pragma once
// CSrcRcSonexaFirewire: the remote control of the FireWire sound card, whose
// keys arrive as MIDI notes on the card's own MIDI input port.

#include "receivers/SrcMidi.h"

class CSrcRcSonexaFirewire : public CSrcMidi {
public:
    CSrcRcSonexaFirewire() = default;
    ~CSrcRcSonexaFirewire() override;

    // Opens the first of the card's port names that exists; 0 when none does.
    int Init(void* owner, PFNIREVENTCALLBACK callback) override;
    // Notes of the card's remote become its keys; other notes give no event.
    int OnNote(std::uint8_t note, int pressed) override;
};
