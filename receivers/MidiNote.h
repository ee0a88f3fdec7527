#pragma once
// The MIDI side of the MIDI receivers: which short messages are notes, and
// the notes of the FireWire sound card's remote control.
//
// Pure logic: no Windows header, so it builds natively as well.

#include <cstdint>

constexpr std::uint8_t MIDI_CHANNEL_COUNT = 16;
constexpr std::uint8_t MIDI_CHANNEL_DEFAULT = 15;

struct tagMIDINOTE {
    std::uint8_t nNote;  // 0..127
    int fPressed;        // 1 for a note on with a velocity, 0 for a release
};

// A note on (0x9n) or note off (0x8n) of the given channel in a short message
// (status in the low byte, then note and velocity): true and the note. Every
// other message, another channel's, or one whose data bytes are not MIDI data
// (high bit set) is no note.
bool DecodeMidiNote(std::uint32_t message, std::uint8_t channel, tagMIDINOTE* note);

// Key id of a note of the FireWire sound card's remote, -1 for none. The card
// sends the codes of its infrared remote (RC type 0x0002) as note numbers,
// codes 0x00 to 0x23 only.
int MapFirewireNoteToKeyId(std::uint8_t note);

// The FireWire sound card's MIDI input port goes by one of these names,
// depending on the driver version; they are tried in this order. Its
// ports are never a MIDI keyboard of the user's choice.
constexpr int FIREWIRE_PORT_NAME_COUNT = 3;
extern const wchar_t* const kFirewirePortNames[FIREWIRE_PORT_NAME_COUNT];
bool IsFirewirePortName(const wchar_t* name);
