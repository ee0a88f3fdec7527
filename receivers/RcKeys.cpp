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
    {0x00, KEYID_PROG_0},        {0x01, KEYID_PROG_1},        {0x02, KEYID_PROG_2},
    {0x03, KEYID_PROG_3},        {0x04, KEYID_PROG_4},        {0x05, KEYID_PROG_5},
    {0x06, KEYID_PROG_6},        {0x07, KEYID_PROG_7},        {0x08, KEYID_PROG_8},
    {0x09, KEYID_PROG_9},        {0x0A, KEYID_POWER},         {0x0B, KEYID_MENU},
    {0x0C, KEYID_FULLSCREEN},    {0x0D, KEYID_PROG_PLUS},     {0x0E, KEYID_PROG_MINUS},
    {0x0F, KEYID_VOLUME_PLUS},   {0x10, KEYID_VOLUME_MINUS},  {0x11, KEYID_AV},
    {0x12, KEYID_DIGITS},        {0x13, KEYID_AUDIO},         {0x14, KEYID_MUTE},
    {0x15, KEYID_UP},            {0x16, KEYID_DOWN},          {0x17, KEYID_LEFT},
    {0x18, KEYID_RIGHT},         {0x19, KEYID_OK2},           {0x1A, KEYID_BACK2},
    {0x1B, KEYID_TELETEXT},      {0x1C, KEYID_FREW},          {0x1D, KEYID_FFWD},
    {0x1E, KEYID_RECORD},        {0x1F, KEYID_PLAY},          {0x20, KEYID_PREVIOUS},
    {0x21, KEYID_NEXT},          {0x22, KEYID_PAUSE},         {0x23, KEYID_STOP},
    {0x24, KEYID_RED},           {0x25, KEYID_GREEN},         {0x26, KEYID_YELLOW},
    {0x27, KEYID_BLUE},          {0x28, KEYID_PROG_0},        {0x29, KEYID_BACK},
    {0x2A, KEYID_EPG},           {0x2B, KEYID_PROGRAM_INFO},  {0x2C, KEYID_PREVIOUS_FREW},
    {0x2D, KEYID_NEXT_FFWD},     {0x40, KEYID_PREVIOUS},      {0x41, KEYID_NEXT},
    {0x42, KEYID_PAUSE},         {0x43, KEYID_STOP},          {0x4C, KEYID_PREVIOUS_FREW},
    {0x4D, KEYID_NEXT_FFWD},
};
// RCTYPE_NEC_04FB, 28 codes.
constexpr tagCODEPAIR kNec04fbPairs[] = {
    {0x01, KEYID_MOSAIC},       {0x02, KEYID_AV},           {0x03, KEYID_MUTE},
    {0x04, KEYID_POWER},        {0x05, KEYID_PROG_1},       {0x06, KEYID_PROG_2},
    {0x07, KEYID_PROG_3},       {0x08, KEYID_PROG_PLUS},    {0x09, KEYID_PROG_4},
    {0x0A, KEYID_PROG_5},       {0x0B, KEYID_PROG_6},       {0x0C, KEYID_PROG_MINUS},
    {0x0D, KEYID_PROG_7},       {0x0E, KEYID_PROG_8},       {0x0F, KEYID_PROG_9},
    {0x10, KEYID_VOLUME_PLUS},  {0x11, KEYID_PROG_0},       {0x12, KEYID_MENU},
    {0x13, KEYID_STILL_IMAGE},  {0x14, KEYID_VOLUME_MINUS}, {0x16, KEYID_PAUSE},
    {0x18, KEYID_RECORD},       {0x19, KEYID_PREVIOUS},     {0x1A, KEYID_PLAY},
    {0x1B, KEYID_NEXT},         {0x1C, KEYID_BACK},         {0x1E, KEYID_STOP},
    {0x40, KEYID_FULLSCREEN},
};
// RCTYPE_NEC_04EB, 37 codes.
constexpr tagCODEPAIR kNec04ebPairs[] = {
    {0x01, KEYID_POWER},            {0x02, KEYID_PROG_1},           {0x03, KEYID_PROG_2},
    {0x04, KEYID_PROG_3},           {0x05, KEYID_PROG_4},           {0x06, KEYID_PROG_5},
    {0x07, KEYID_PROG_6},           {0x08, KEYID_PROG_7},           {0x09, KEYID_PROG_8},
    {0x0A, KEYID_PROG_9},           {0x0B, KEYID_AV},               {0x0C, KEYID_PROG_0},
    {0x0D, KEYID_BACK},             {0x0E, KEYID_MENU},             {0x0F, KEYID_EPG},
    {0x10, KEYID_UP},               {0x11, KEYID_LEFT},             {0x12, KEYID_OK},
    {0x13, KEYID_RIGHT},            {0x14, KEYID_DOWN},             {0x15, KEYID_TELETEXT},
    {0x16, KEYID_PROGRAM_INFO},     {0x17, KEYID_RED_TIMER},        {0x18, KEYID_GREEN_FULLSCREEN},
    {0x19, KEYID_YELLOW_AUDIO},     {0x1A, KEYID_BLUE_MOSAIC},      {0x1B, KEYID_PROG_PLUS},
    {0x1C, KEYID_VOLUME_PLUS},      {0x1D, KEYID_MUTE},             {0x1E, KEYID_VOLUME_MINUS},
    {0x1F, KEYID_PROG_MINUS},       {0x40, KEYID_PAUSE},            {0x48, KEYID_STOP},
    {0x4C, KEYID_PLAY},             {0x54, KEYID_PREVIOUS_FREW},    {0x58, KEYID_RECORD},
    {0x5C, KEYID_NEXT_FFWD},
};
// RCTYPE_NEC_1400, 48 codes.
constexpr tagCODEPAIR kNec1400Pairs[] = {
    {0x01, KEYID_POWER},            {0x02, KEYID_PROG_1},           {0x03, KEYID_PROG_2},
    {0x04, KEYID_PROG_3},           {0x05, KEYID_PROG_4},           {0x06, KEYID_PROG_5},
    {0x07, KEYID_PROG_6},           {0x08, KEYID_PROG_7},           {0x09, KEYID_PROG_8},
    {0x0A, KEYID_PROG_9},           {0x0B, KEYID_AV},               {0x0C, KEYID_PROG_0},
    {0x0D, KEYID_LAST_CHANNEL},     {0x0F, KEYID_EPG},              {0x10, KEYID_UP},
    {0x11, KEYID_LEFT},             {0x12, KEYID_OK},               {0x13, KEYID_RIGHT},
    {0x14, KEYID_DOWN},             {0x16, KEYID_PROGRAM_INFO},     {0x17, KEYID_RED_TIMER},
    {0x18, KEYID_GREEN_FULLSCREEN}, {0x19, KEYID_YELLOW_AUDIO},     {0x1A, KEYID_BLUE_ANGLE},
    {0x1B, KEYID_PROG_PLUS},        {0x1C, KEYID_VOLUME_PLUS},      {0x1D, KEYID_MUTE},
    {0x1E, KEYID_VOLUME_MINUS},     {0x1F, KEYID_PROG_MINUS},       {0x40, KEYID_PAUSE},
    {0x41, KEYID_MENU},             {0x42, KEYID_DVD_MENU},         {0x43, KEYID_SUBTITLES},
    {0x44, KEYID_TELETEXT},         {0x45, KEYID_DELETE},           {0x46, KEYID_TV},
    {0x47, KEYID_DVD},              {0x48, KEYID_STOP},             {0x49, KEYID_VIDEO},
    {0x4A, KEYID_MUSIC},            {0x4B, KEYID_PICTURE},          {0x4C, KEYID_PLAY},
    {0x4D, KEYID_BACK},             {0x4E, KEYID_FREW},             {0x4F, KEYID_FFWD},
    {0x54, KEYID_PREVIOUS},         {0x58, KEYID_RECORD},           {0x5C, KEYID_NEXT},
};
// RCTYPE_0080, 48 codes.
constexpr tagCODEPAIR k0080Pairs[] = {
    {0x01, KEYID_MENU},             {0x02, KEYID_DVD_MENU},         {0x03, KEYID_PROG_1},
    {0x04, KEYID_PROG_2},           {0x05, KEYID_PROG_3},           {0x06, KEYID_SUBTITLES},
    {0x07, KEYID_PROG_4},           {0x08, KEYID_PROG_5},           {0x09, KEYID_PROG_6},
    {0x0A, KEYID_TELETEXT},         {0x0B, KEYID_PROG_7},           {0x0C, KEYID_PROG_8},
    {0x0D, KEYID_PROG_9},           {0x0E, KEYID_DELETE},           {0x0F, KEYID_AV},
    {0x10, KEYID_PROG_0},           {0x11, KEYID_LAST_CHANNEL},     {0x12, KEYID_TV},
    {0x13, KEYID_DVD},              {0x14, KEYID_VIDEO},            {0x15, KEYID_MUSIC},
    {0x16, KEYID_PICTURE},          {0x17, KEYID_UP},               {0x18, KEYID_LEFT},
    {0x19, KEYID_OK},               {0x1A, KEYID_RIGHT},            {0x1B, KEYID_DOWN},
    {0x1C, KEYID_EPG},              {0x1D, KEYID_PROGRAM_INFO},     {0x1E, KEYID_BACK},
    {0x1F, KEYID_VOLUME_PLUS},      {0x20, KEYID_PLAY},             {0x21, KEYID_PROG_PLUS},
    {0x22, KEYID_VOLUME_MINUS},     {0x23, KEYID_MUTE},             {0x24, KEYID_PROG_MINUS},
    {0x25, KEYID_RED_TIMER},        {0x26, KEYID_GREEN_FULLSCREEN}, {0x27, KEYID_YELLOW_AUDIO},
    {0x28, KEYID_BLUE_ANGLE},       {0x29, KEYID_RECORD},           {0x2A, KEYID_STOP},
    {0x2B, KEYID_PAUSE},            {0x2C, KEYID_PREVIOUS},         {0x2D, KEYID_FREW},
    {0x2E, KEYID_FFWD},             {0x2F, KEYID_NEXT},             {0x50, KEYID_POWER},
};
// RCTYPE_NEC_04EB_ALT, 37 codes.
constexpr tagCODEPAIR kNec04ebAltPairs[] = {
    {0x01, KEYID_POWER},            {0x02, KEYID_PROG_1},           {0x03, KEYID_PROG_2},
    {0x04, KEYID_PROG_3},           {0x05, KEYID_PROG_4},           {0x06, KEYID_PROG_5},
    {0x07, KEYID_PROG_6},           {0x08, KEYID_PROG_7},           {0x09, KEYID_PROG_8},
    {0x0A, KEYID_PROG_9},           {0x0B, KEYID_TELETEXT},         {0x0C, KEYID_PROG_0},
    {0x0D, KEYID_LAST_CHANNEL},     {0x0E, KEYID_MENU},             {0x0F, KEYID_EPG},
    {0x10, KEYID_UP},               {0x11, KEYID_LEFT},             {0x12, KEYID_OK},
    {0x13, KEYID_RIGHT},            {0x14, KEYID_DOWN},             {0x15, KEYID_BACK},
    {0x16, KEYID_PROGRAM_INFO},     {0x17, KEYID_RED_TIMER},        {0x18, KEYID_GREEN_FULLSCREEN},
    {0x19, KEYID_YELLOW_AUDIO},     {0x1A, KEYID_BLUE_MOSAIC},      {0x1B, KEYID_PROG_PLUS},
    {0x1C, KEYID_VOLUME_PLUS},      {0x1D, KEYID_MUTE},             {0x1E, KEYID_VOLUME_MINUS},
    {0x1F, KEYID_PROG_MINUS},       {0x40, KEYID_RECORD},           {0x48, KEYID_STOP},
    {0x4C, KEYID_PLAY},             {0x54, KEYID_PREVIOUS},         {0x58, KEYID_PAUSE},
    {0x5C, KEYID_NEXT},
};
// RCTYPE_MORVANE, 34 codes.
constexpr tagCODEPAIR kMorvanePairs[] = {
    {0x01, KEYID_POWER},        {0x02, KEYID_MUTE},         {0x03, KEYID_PROG_1},
    {0x04, KEYID_PROG_2},       {0x05, KEYID_PROG_3},       {0x06, KEYID_PROG_4},
    {0x07, KEYID_PROG_5},       {0x08, KEYID_PROG_6},       {0x09, KEYID_PROG_7},
    {0x0A, KEYID_PROG_8},       {0x0B, KEYID_PROG_9},       {0x0C, KEYID_BACK},
    {0x0D, KEYID_PROG_0},       {0x0E, KEYID_MENU},         {0x0F, KEYID_RED},
    {0x10, KEYID_UP},           {0x11, KEYID_GREEN},        {0x12, KEYID_VOLUME_MINUS},
    {0x13, KEYID_OK},           {0x14, KEYID_VOLUME_PLUS},  {0x15, KEYID_YELLOW},
    {0x16, KEYID_DOWN},         {0x17, KEYID_BLUE},         {0x18, KEYID_PREVIOUS},
    {0x19, KEYID_PLAY},         {0x1A, KEYID_NEXT},         {0x1B, KEYID_FREW},
    {0x1C, KEYID_LAST_CHANNEL}, {0x1D, KEYID_FFWD},         {0x1E, KEYID_STOP},
    {0x1F, KEYID_TELETEXT},     {0x40, KEYID_RECORD},       {0x41, KEYID_FULLSCREEN},
    {0x42, KEYID_MENU},
};
// RCTYPE_NEC_02BD, 28 codes.
constexpr tagCODEPAIR kNec02bdPairs[] = {
    {0x00, KEYID_PROG_0},       {0x01, KEYID_PROG_1},       {0x02, KEYID_PROG_2},
    {0x03, KEYID_PROG_3},       {0x04, KEYID_PROG_4},       {0x05, KEYID_PROG_5},
    {0x06, KEYID_PROG_6},       {0x07, KEYID_PROG_7},       {0x08, KEYID_PROG_8},
    {0x09, KEYID_PROG_9},       {0x0A, KEYID_MUTE},         {0x0B, KEYID_STOP},
    {0x0C, KEYID_POWER},        {0x0D, KEYID_OK},           {0x0E, KEYID_PLAY},
    {0x0F, KEYID_FULLSCREEN},   {0x10, KEYID_RIGHT},        {0x11, KEYID_LEFT},
    {0x12, KEYID_PROG_PLUS},    {0x13, KEYID_PROG_MINUS},   {0x1E, KEYID_MENU},
    {0x1F, KEYID_RECORD},       {0x20, KEYID_UP},           {0x21, KEYID_DOWN},
    {0x29, KEYID_BACK},         {0x2B, KEYID_VOLUME_PLUS},  {0x2C, KEYID_VOLUME_MINUS},
    {0x38, KEYID_EPG},
};
// RCTYPE_2000, 28 codes.
constexpr tagCODEPAIR k2000Pairs[] = {
    {0x00, KEYID_PROG_1},       {0x01, KEYID_PROG_2},       {0x02, KEYID_PROG_3},
    {0x03, KEYID_PROG_4},       {0x04, KEYID_PROG_5},       {0x05, KEYID_PROG_6},
    {0x06, KEYID_PROG_7},       {0x07, KEYID_PROG_8},       {0x08, KEYID_PROG_9},
    {0x09, KEYID_PROG_0},       {0x0A, KEYID_MUTE},         {0x0B, KEYID_FULLSCREEN},
    {0x0E, KEYID_VOLUME_MINUS}, {0x0F, KEYID_PLAY},         {0x10, KEYID_RIGHT},
    {0x11, KEYID_LEFT},         {0x12, KEYID_UP},           {0x13, KEYID_DOWN},
    {0x15, KEYID_OK},           {0x16, KEYID_STOP},         {0x17, KEYID_MENU},
    {0x18, KEYID_PROG_PLUS},    {0x19, KEYID_RECORD},       {0x1A, KEYID_PROG_MINUS},
    {0x1C, KEYID_BACK},         {0x1F, KEYID_VOLUME_PLUS},  {0x44, KEYID_EPG},
    {0x45, KEYID_POWER},
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
    if (rcType == RCTYPE_LIRC) {
        const int id = code + 128;
        if (id <= KEYID_MIDI_LAST || id >= KEYID_COUNT || !*GetEnglishKeyName(id))
            return false;
        *keyId = id;
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
