#pragma once
// The settings block: every user setting the program keeps in memory, in the
// order the application object holds them, with the registry value each one
// is stored in. No Windows header: the defaults and the value table are pure.

#include "osd/OsdSettings.h"

#include <cstddef>
#include <cstdint>

constexpr std::size_t SETTINGS_EXCLUSIVE_APP_CHARS = 256;  // 255 characters and the terminator
constexpr std::size_t SETTINGS_MIDI_DEVICE_CHARS = 128;    // 127 characters and the terminator
constexpr std::size_t SETTINGS_LIRC_HOST_CHARS = 256;      // a DNS name has at most 253

struct tagSETTINGS {
    std::uint32_t autostart = 0;
    std::uint32_t disableSound = 0;
    std::uint32_t hidden = 0;
    std::uint32_t exclusive = 0;
    wchar_t exclusiveApp[SETTINGS_EXCLUSIVE_APP_CHARS] = {};
    // The six display values, contiguous: the display window gets them as one block.
    std::uint32_t osdOn = 0;
    std::uint32_t osdTime = 0;
    std::uint32_t osdTextColor = 0;
    std::uint32_t osdBackColor = 0;
    std::uint32_t osdGradientColor = 0;
    std::uint32_t osdUseGradient = 0;
    std::uint32_t receiverSelection = 0;
    wchar_t midiDevice[SETTINGS_MIDI_DEVICE_CHARS] = {};
    std::uint32_t disableKey0 = 0;
    // The LIRC server the network receiver connects to.
    wchar_t lircHost[SETTINGS_LIRC_HOST_CHARS] = {};
    std::uint32_t lircPort = 0;
};

// Zeroes the whole block, then sets the defaults of a new user.
void SettingsDefaults(tagSETTINGS& settings);

// The display's six values as the display window takes them, and back (the
// options page edits them through the window's block).
tagOSDSETTINGS OsdSettingsOf(const tagSETTINGS& settings);
void SetOsdSettings(tagSETTINGS& settings, const tagOSDSETTINGS& osd);

// One 32-bit value of the block in the registry: its name, the subkey of the
// settings key (null: the key itself), and whether the machine key stands in
// when the user's key lacks it.
struct tagSETTINGSDWORD {
    const wchar_t* szName;
    const wchar_t* szSubKey;
    std::uint32_t tagSETTINGS::*pMember;
    bool fMachineFallback;
};

// Every 32-bit value in the order it is saved: the root values, "OSD", "RC".
extern const tagSETTINGSDWORD g_settingsDwords[13];

// Copies text into a fixed buffer of the block, cut to fit with its terminator.
template <std::size_t N>
void SettingsCopyText(wchar_t (&target)[N], const wchar_t* text) {
    std::size_t i = 0;
    for (; text && text[i] && i + 1 < N; ++i)
        target[i] = text[i];
    target[i] = L'\0';
}
