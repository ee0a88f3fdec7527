// Key-code tables and key names. The tables are built at compile time into one
// 256-entry array per RC type, so a lookup is one index per frame.
#include "receivers/RcKeys.h"

#include <array>
#include <cstddef>

namespace {

struct tagCODEPAIR {
    std::uint8_t nCode;
    std::int16_t nKeyId;
};

using KeyTable = std::array<std::int16_t, 256>;

template <std::size_t N>
constexpr KeyTable BuildTable(const tagCODEPAIR (&pairs)[N]) {
    KeyTable table{};
    for (auto& keyId : table)
        keyId = KEYID_NONE;
    for (const auto& pair : pairs) {
        // A code listed twice is a typing error; throwing here stops the compile.
        if (table[pair.nCode] != KEYID_NONE)
            throw "duplicate code in key table";
        table[pair.nCode] = pair.nKeyId;
    }
    return table;
}

// RCTYPE_NEC_866B, 52 codes.
constexpr tagCODEPAIR kNec866bPairs[] = {
    {0x00, 200}, {0x01, 201}, {0x02, 202}, {0x03, 203}, {0x04, 204}, {0x05, 205}, {0x06, 206}, {0x07, 207},
    {0x08, 208}, {0x09, 209}, {0x0A, 140}, {0x0B, 160}, {0x0C, 141}, {0x0D, 221}, {0x0E, 220}, {0x0F, 241},
    {0x10, 240}, {0x11, 223}, {0x12, 210}, {0x13, 243}, {0x14, 242}, {0x15, 180}, {0x16, 181}, {0x17, 182},
    {0x18, 183}, {0x19, 186}, {0x1A, 187}, {0x1B, 161}, {0x1C, 264}, {0x1D, 265}, {0x1E, 263}, {0x1F, 260},
    {0x20, 266}, {0x21, 267}, {0x22, 262}, {0x23, 261}, {0x24, 280}, {0x25, 281}, {0x26, 282}, {0x27, 283},
    {0x28, 200}, {0x29, 185}, {0x2A, 162}, {0x2B, 163}, {0x2C, 268}, {0x2D, 269}, {0x40, 266}, {0x41, 267},
    {0x42, 262}, {0x43, 261}, {0x4C, 268}, {0x4D, 269},
};
// RCTYPE_NEC_04FB, 28 codes.
constexpr tagCODEPAIR kNec04fbPairs[] = {
    {0x01, 143}, {0x02, 223}, {0x03, 242}, {0x04, 140}, {0x05, 201}, {0x06, 202}, {0x07, 203}, {0x08, 221},
    {0x09, 204}, {0x0A, 205}, {0x0B, 206}, {0x0C, 220}, {0x0D, 207}, {0x0E, 208}, {0x0F, 209}, {0x10, 241},
    {0x11, 200}, {0x12, 160}, {0x13, 144}, {0x14, 240}, {0x16, 262}, {0x18, 263}, {0x19, 266}, {0x1A, 260},
    {0x1B, 267}, {0x1C, 185}, {0x1E, 261}, {0x40, 141},
};
// RCTYPE_NEC_04EB, 37 codes.
constexpr tagCODEPAIR kNec04ebPairs[] = {
    {0x01, 140}, {0x02, 201}, {0x03, 202}, {0x04, 203}, {0x05, 204}, {0x06, 205}, {0x07, 206}, {0x08, 207},
    {0x09, 208}, {0x0A, 209}, {0x0B, 223}, {0x0C, 200}, {0x0D, 185}, {0x0E, 160}, {0x0F, 162}, {0x10, 180},
    {0x11, 182}, {0x12, 184}, {0x13, 183}, {0x14, 181}, {0x15, 161}, {0x16, 163}, {0x17, 320}, {0x18, 321},
    {0x19, 322}, {0x1A, 323}, {0x1B, 221}, {0x1C, 241}, {0x1D, 242}, {0x1E, 240}, {0x1F, 220}, {0x40, 262},
    {0x48, 261}, {0x4C, 260}, {0x54, 268}, {0x58, 263}, {0x5C, 269},
};
// RCTYPE_NEC_1400, 48 codes.
constexpr tagCODEPAIR kNec1400Pairs[] = {
    {0x01, 140}, {0x02, 201}, {0x03, 202}, {0x04, 203}, {0x05, 204}, {0x06, 205}, {0x07, 206}, {0x08, 207},
    {0x09, 208}, {0x0A, 209}, {0x0B, 223}, {0x0C, 200}, {0x0D, 222}, {0x0F, 162}, {0x10, 180}, {0x11, 182},
    {0x12, 184}, {0x13, 183}, {0x14, 181}, {0x16, 163}, {0x17, 320}, {0x18, 321}, {0x19, 322}, {0x1A, 324},
    {0x1B, 221}, {0x1C, 241}, {0x1D, 242}, {0x1E, 240}, {0x1F, 220}, {0x40, 262}, {0x41, 160}, {0x42, 301},
    {0x43, 302}, {0x44, 161}, {0x45, 188}, {0x46, 303}, {0x47, 304}, {0x48, 261}, {0x49, 305}, {0x4A, 306},
    {0x4B, 307}, {0x4C, 260}, {0x4D, 185}, {0x4E, 264}, {0x4F, 265}, {0x54, 266}, {0x58, 263}, {0x5C, 267},
};
// RCTYPE_0080, 48 codes.
constexpr tagCODEPAIR k0080Pairs[] = {
    {0x01, 160}, {0x02, 301}, {0x03, 201}, {0x04, 202}, {0x05, 203}, {0x06, 302}, {0x07, 204}, {0x08, 205},
    {0x09, 206}, {0x0A, 161}, {0x0B, 207}, {0x0C, 208}, {0x0D, 209}, {0x0E, 188}, {0x0F, 223}, {0x10, 200},
    {0x11, 222}, {0x12, 303}, {0x13, 304}, {0x14, 305}, {0x15, 306}, {0x16, 307}, {0x17, 180}, {0x18, 182},
    {0x19, 184}, {0x1A, 183}, {0x1B, 181}, {0x1C, 162}, {0x1D, 163}, {0x1E, 185}, {0x1F, 241}, {0x20, 260},
    {0x21, 221}, {0x22, 240}, {0x23, 242}, {0x24, 220}, {0x25, 320}, {0x26, 321}, {0x27, 322}, {0x28, 324},
    {0x29, 263}, {0x2A, 261}, {0x2B, 262}, {0x2C, 266}, {0x2D, 264}, {0x2E, 265}, {0x2F, 267}, {0x50, 140},
};
// RCTYPE_NEC_04EB_ALT, 37 codes.
constexpr tagCODEPAIR kNec04ebAltPairs[] = {
    {0x01, 140}, {0x02, 201}, {0x03, 202}, {0x04, 203}, {0x05, 204}, {0x06, 205}, {0x07, 206}, {0x08, 207},
    {0x09, 208}, {0x0A, 209}, {0x0B, 161}, {0x0C, 200}, {0x0D, 222}, {0x0E, 160}, {0x0F, 162}, {0x10, 180},
    {0x11, 182}, {0x12, 184}, {0x13, 183}, {0x14, 181}, {0x15, 185}, {0x16, 163}, {0x17, 320}, {0x18, 321},
    {0x19, 322}, {0x1A, 323}, {0x1B, 221}, {0x1C, 241}, {0x1D, 242}, {0x1E, 240}, {0x1F, 220}, {0x40, 263},
    {0x48, 261}, {0x4C, 260}, {0x54, 266}, {0x58, 262}, {0x5C, 267},
};
// RCTYPE_MORVANE, 34 codes.
constexpr tagCODEPAIR kMorvanePairs[] = {
    {0x01, 140}, {0x02, 242}, {0x03, 201}, {0x04, 202}, {0x05, 203}, {0x06, 204}, {0x07, 205}, {0x08, 206},
    {0x09, 207}, {0x0A, 208}, {0x0B, 209}, {0x0C, 185}, {0x0D, 200}, {0x0E, 160}, {0x0F, 280}, {0x10, 180},
    {0x11, 281}, {0x12, 240}, {0x13, 184}, {0x14, 241}, {0x15, 282}, {0x16, 181}, {0x17, 283}, {0x18, 266},
    {0x19, 260}, {0x1A, 267}, {0x1B, 264}, {0x1C, 222}, {0x1D, 265}, {0x1E, 261}, {0x1F, 161}, {0x40, 263},
    {0x41, 141}, {0x42, 160},
};
// RCTYPE_NEC_02BD, 28 codes.
constexpr tagCODEPAIR kNec02bdPairs[] = {
    {0x00, 200}, {0x01, 201}, {0x02, 202}, {0x03, 203}, {0x04, 204}, {0x05, 205}, {0x06, 206}, {0x07, 207},
    {0x08, 208}, {0x09, 209}, {0x0A, 242}, {0x0B, 261}, {0x0C, 140}, {0x0D, 184}, {0x0E, 260}, {0x0F, 141},
    {0x10, 183}, {0x11, 182}, {0x12, 221}, {0x13, 220}, {0x1E, 160}, {0x1F, 263}, {0x20, 180}, {0x21, 181},
    {0x29, 185}, {0x2B, 241}, {0x2C, 240}, {0x38, 162},
};
// RCTYPE_2000, 28 codes.
constexpr tagCODEPAIR k2000Pairs[] = {
    {0x00, 201}, {0x01, 202}, {0x02, 203}, {0x03, 204}, {0x04, 205}, {0x05, 206}, {0x06, 207}, {0x07, 208},
    {0x08, 209}, {0x09, 200}, {0x0A, 242}, {0x0B, 141}, {0x0E, 240}, {0x0F, 260}, {0x10, 183}, {0x11, 182},
    {0x12, 180}, {0x13, 181}, {0x15, 184}, {0x16, 261}, {0x17, 160}, {0x18, 221}, {0x19, 263}, {0x1A, 220},
    {0x1C, 185}, {0x1F, 241}, {0x44, 162}, {0x45, 140},
};

constexpr KeyTable kNec866bTable = BuildTable(kNec866bPairs);
constexpr KeyTable kNec04fbTable = BuildTable(kNec04fbPairs);
constexpr KeyTable kNec04ebTable = BuildTable(kNec04ebPairs);
constexpr KeyTable kNec1400Table = BuildTable(kNec1400Pairs);
constexpr KeyTable k0080Table = BuildTable(k0080Pairs);
constexpr KeyTable kNec04ebAltTable = BuildTable(kNec04ebAltPairs);
constexpr KeyTable kMorvaneTable = BuildTable(kMorvanePairs);
constexpr KeyTable kNec02bdTable = BuildTable(kNec02bdPairs);
constexpr KeyTable k2000Table = BuildTable(k2000Pairs);

const KeyTable* TableOf(int rcType) {
    switch (rcType) {
    case RCTYPE_NEC_866B: return &kNec866bTable;
    case RCTYPE_NEC_04FB: return &kNec04fbTable;
    case RCTYPE_NEC_04EB: return &kNec04ebTable;
    case RCTYPE_NEC_1400: return &kNec1400Table;
    case RCTYPE_0080: return &k0080Table;
    case RCTYPE_NEC_04EB_ALT: return &kNec04ebAltTable;
    case RCTYPE_MORVANE: return &kMorvaneTable;
    case RCTYPE_NEC_02BD: return &kNec02bdTable;
    case RCTYPE_2000: return &k2000Table;

    default: return nullptr;
    }
}

struct tagDOUBLEFUNCTIONKEY {
    int nKeyId;
    int nFirst;   // tap
    int nSecond;  // hold
};

constexpr tagDOUBLEFUNCTIONKEY kDoubleFunctionKeys[] = {
    {KEYID_PREVIOUS_FREW, KEYID_PREVIOUS, KEYID_FREW},
    {KEYID_NEXT_FFWD, KEYID_NEXT, KEYID_FFWD},
    {KEYID_VOLUME_LEFT, KEYID_LEFT, KEYID_VOLUME_MINUS},
    {KEYID_VOLUME_RIGHT, KEYID_RIGHT, KEYID_VOLUME_PLUS},
};

const tagDOUBLEFUNCTIONKEY* FindDoubleFunctionKey(int keyId) {
    for (const auto& key : kDoubleFunctionKeys) {
        if (key.nKeyId == keyId)
            return &key;
    }
    return nullptr;
}

// "C0" ... "G10": note name of id mod 12, octave id div 12.
struct MidiNoteNames {
    wchar_t szNames[KEYID_MIDI_LAST + 1][5];
};

constexpr MidiNoteNames BuildMidiNoteNames() {
    constexpr const wchar_t* kNotes[12] = {L"C", L"C#", L"D", L"D#", L"E", L"F",
                                           L"F#", L"G", L"G#", L"A", L"A#", L"B"};
    MidiNoteNames result{};
    for (int id = 0; id <= KEYID_MIDI_LAST; ++id) {
        wchar_t* out = result.szNames[id];
        for (const wchar_t* note = kNotes[id % 12]; *note; ++note)
            *out++ = *note;
        const int octave = id / 12;
        if (octave >= 10)
            *out++ = static_cast<wchar_t>(L'0' + octave / 10);
        *out++ = static_cast<wchar_t>(L'0' + octave % 10);
        *out = L'\0';
    }
    return result;
}

constexpr MidiNoteNames kMidiNoteNames = BuildMidiNoteNames();

struct tagKEYNAME {
    int nKeyId;
    const wchar_t* szName;
};

constexpr tagKEYNAME kKeyNames[] = {
    {KEYID_POWER, L"Power"},
    {KEYID_FULLSCREEN, L"Full screen"},
    {KEYID_TIMER, L"Timer"},
    {KEYID_MOSAIC, L"Mosaic"},
    {KEYID_STILL_IMAGE, L"Still image"},
    {KEYID_MENU, L"Menu"},
    {KEYID_TELETEXT, L"Teletext"},
    {KEYID_EPG, L"EPG"},
    {KEYID_PROGRAM_INFO, L"Program information"},
    {KEYID_UP, L"Up"},
    {KEYID_DOWN, L"Down"},
    {KEYID_LEFT, L"Left"},
    {KEYID_RIGHT, L"Right"},
    {KEYID_OK, L"OK"},
    {KEYID_BACK, L"Back"},
    {KEYID_OK2, L"OK"},
    {KEYID_BACK2, L"Back"},
    {KEYID_DELETE, L"Delete"},
    {KEYID_PROG_0, L"Programme 0"},
    {KEYID_PROG_1, L"Programme 1"},
    {KEYID_PROG_2, L"Programme 2"},
    {KEYID_PROG_3, L"Programme 3"},
    {KEYID_PROG_4, L"Programme 4"},
    {KEYID_PROG_5, L"Programme 5"},
    {KEYID_PROG_6, L"Programme 6"},
    {KEYID_PROG_7, L"Programme 7"},
    {KEYID_PROG_8, L"Programme 8"},
    {KEYID_PROG_9, L"Programme 9"},
    {KEYID_DIGITS, L"-/--"},
    {KEYID_PROG_MINUS, L"Programme -"},
    {KEYID_PROG_PLUS, L"Programme +"},
    {KEYID_LAST_CHANNEL, L"Last channel"},
    {KEYID_AV, L"AV"},
    {KEYID_VOLUME_MINUS, L"Volume -"},
    {KEYID_VOLUME_PLUS, L"Volume +"},
    {KEYID_MUTE, L"Mute"},
    {KEYID_AUDIO, L"Audio"},
    {KEYID_VOLUME_LEFT, L"Volume/Left"},
    {KEYID_VOLUME_RIGHT, L"Volume/Right"},
    {KEYID_PLAY, L"Play"},
    {KEYID_STOP, L"Stop"},
    {KEYID_PAUSE, L"Pause"},
    {KEYID_RECORD, L"Recording"},
    {KEYID_FREW, L"FREW"},
    {KEYID_FFWD, L"FFRWD"},
    {KEYID_PREVIOUS, L"Previous"},
    {KEYID_NEXT, L"Next"},
    {KEYID_PREVIOUS_FREW, L"Previous/FREW"},
    {KEYID_NEXT_FFWD, L"Next/FFRWD"},
    {KEYID_RED, L"Red"},
    {KEYID_GREEN, L"Green"},
    {KEYID_YELLOW, L"Yellow"},
    {KEYID_BLUE, L"Blue"},
    {KEYID_DVD_MENU, L"DVD Menu"},
    {KEYID_SUBTITLES, L"Subtitles"},
    {KEYID_TV, L"TV"},
    {KEYID_DVD, L"DVD"},
    {KEYID_VIDEO, L"Video"},
    {KEYID_MUSIC, L"Music"},
    {KEYID_PICTURE, L"Picture"},
    {KEYID_ANGLE, L"Angle"},
    {KEYID_RED_TIMER, L"Red/Timer"},
    {KEYID_GREEN_FULLSCREEN, L"Green/Full screen"},
    {KEYID_YELLOW_AUDIO, L"Yellow/Audio"},
    {KEYID_BLUE_MOSAIC, L"Blue/Mosaic"},
    {KEYID_BLUE_ANGLE, L"Blue/Angle"},
};

struct RemoteKeyNames {
    const wchar_t* szNames[KEYID_COUNT];
};

constexpr RemoteKeyNames BuildRemoteKeyNames() {
    RemoteKeyNames result{};
    for (auto& name : result.szNames)
        name = L"";
    for (const auto& key : kKeyNames)
        result.szNames[key.nKeyId] = key.szName;
    return result;
}

constexpr RemoteKeyNames kRemoteKeyNames = BuildRemoteKeyNames();

}  // namespace

bool MapKeyCodeToKeyId(int rcType, std::uint8_t code, int* keyId) {
    if (!keyId)
        return false;
    *keyId = KEYID_NONE;
    if (rcType == RCTYPE_NONE)
        return true;
    if (rcType == RCTYPE_MIDI) {
        // MIDI data bytes are 7-bit; a larger value would alias a remote key.
        if (code > KEYID_MIDI_LAST)
            return false;
        *keyId = code;
        return true;
    }
    const KeyTable* table = TableOf(rcType);
    if (!table || (*table)[code] == KEYID_NONE)
        return false;
    *keyId = (*table)[code];
    return true;
}

bool IsDoubleFunctionKey(int keyId) { return FindDoubleFunctionKey(keyId) != nullptr; }

int GetFirstFunctionKey(int keyId) {
    const tagDOUBLEFUNCTIONKEY* key = FindDoubleFunctionKey(keyId);
    return key ? key->nFirst : KEYID_NONE;
}

int GetSecondFunctionKey(int keyId) {
    const tagDOUBLEFUNCTIONKEY* key = FindDoubleFunctionKey(keyId);
    return key ? key->nSecond : KEYID_NONE;
}

const wchar_t* GetEnglishKeyName(int keyId) {
    if (keyId < 0 || keyId >= KEYID_COUNT)
        return L"";
    if (keyId <= KEYID_MIDI_LAST)
        return kMidiNoteNames.szNames[keyId];
    return kRemoteKeyNames.szNames[keyId];
}
