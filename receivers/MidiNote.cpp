#include "receivers/MidiNote.h"

#include "receivers/RcKeys.h"

#include <cwchar>

namespace {

constexpr std::uint8_t kStatusNoteOff = 0x80;
constexpr std::uint8_t kStatusNoteOn = 0x90;
constexpr std::uint8_t kDataMask = 0x80;  // set in status bytes, clear in data bytes
constexpr std::uint8_t kLastFirewireNote = 0x23;

}  // namespace

bool DecodeMidiNote(std::uint32_t message, std::uint8_t channel, tagMIDINOTE* note) {
    const std::uint8_t status = message & 0xFF;
    const std::uint8_t key = (message >> 8) & 0xFF;
    const std::uint8_t velocity = (message >> 16) & 0xFF;
    if (!note || (status & 0x0F) != channel)
        return false;
    // A data byte with the high bit would make a "note" of a remote-control key id.
    if ((key | velocity) & kDataMask)
        return false;
    switch (status & 0xF0) {
    case kStatusNoteOff: *note = {key, 0}; return true;
    case kStatusNoteOn: *note = {key, velocity != 0 ? 1 : 0}; return true;
    default: return false;
    }
}

int MapFirewireNoteToKeyId(std::uint8_t note) {
    int keyId = KEYID_NONE;
    if (note > kLastFirewireNote || !MapKeyCodeToKeyId(RCTYPE_NEC_866B, note, &keyId))
        return KEYID_NONE;
    return keyId;
}

const wchar_t* const kFirewirePortNames[FIREWIRE_PORT_NAME_COUNT] = {
    L"Sonexa 7.1 FW Midi Remote",
    L"SonexaFW Remote Control",
    L"BridgeCo D0 Midi In 1",
};

bool IsFirewirePortName(const wchar_t* name) {
    for (const wchar_t* port : kFirewirePortNames)
        if (name && std::wcscmp(name, port) == 0)
            return true;
    return false;
}
