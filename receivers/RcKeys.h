#pragma once
// The key vocabulary every part of the program shares: remote-control types,
// key ids, the per-type code tables and the English key names.
//
// Pure logic: no Windows header, so it builds natively as well.

#include <cstdint>

// Remote-control type: one bit per family of remotes, 0 when unknown.
constexpr int RCTYPE_NONE = 0x0000;          // every code is ignored
constexpr int RCTYPE_MIDI = 0x0001;          // the code is the MIDI note and equals the key id
constexpr int RCTYPE_NEC_866B = 0x0002;      // NEC address 0x866B
constexpr int RCTYPE_NEC_04FB = 0x0008;      // NEC address 0x04FB
constexpr int RCTYPE_NEC_04EB = 0x0010;      // NEC address 0x04EB, variant 0
constexpr int RCTYPE_NEC_1400 = 0x0040;      // NEC addresses 0x1400 and 0x14EB
constexpr int RCTYPE_0080 = 0x0080;          // set by receivers directly
constexpr int RCTYPE_NEC_04EB_ALT = 0x0400;  // NEC address 0x04EB, variant non-zero
constexpr int RCTYPE_MORVANE = 0x0800;       // NEC address 0x4545
constexpr int RCTYPE_NEC_02BD = 0x1000;      // NEC addresses 0x02BD and 0xFFFF
constexpr int RCTYPE_2000 = 0x2000;          // set by receivers directly
constexpr int RCTYPE_LIRC = 0x4000;          // the code is the key id less 128 (network receivers)

// Raw 8-bit codes with a fixed meaning for every receiver.
constexpr std::uint8_t NEC_CODE_REPEAT = 0xFE;  // the same key as before (NEC repeat frame)
constexpr std::uint8_t NEC_CODE_IDLE = 0xFF;    // no key: released, or nothing received

// Key ids. 0..127 are MIDI notes; of 128..324 only the ids named here are keys.
enum tagRCKEYS_ALL : int {
    KEYID_NONE = -1,
    KEYID_MIDI_FIRST = 0,
    KEYID_MIDI_LAST = 127,

    KEYID_POWER = 140,
    KEYID_FULLSCREEN = 141,
    KEYID_TIMER = 142,
    KEYID_MOSAIC = 143,
    KEYID_STILL_IMAGE = 144,

    KEYID_MENU = 160,
    KEYID_TELETEXT = 161,
    KEYID_EPG = 162,
    KEYID_PROGRAM_INFO = 163,

    KEYID_UP = 180,
    KEYID_DOWN = 181,
    KEYID_LEFT = 182,
    KEYID_RIGHT = 183,
    KEYID_OK = 184,
    KEYID_BACK = 185,
    KEYID_OK2 = 186,
    KEYID_BACK2 = 187,
    KEYID_DELETE = 188,

    KEYID_PROG_0 = 200,  // KEYID_PROG_0 + n for digit n
    KEYID_PROG_1 = 201,
    KEYID_PROG_2 = 202,
    KEYID_PROG_3 = 203,
    KEYID_PROG_4 = 204,
    KEYID_PROG_5 = 205,
    KEYID_PROG_6 = 206,
    KEYID_PROG_7 = 207,
    KEYID_PROG_8 = 208,
    KEYID_PROG_9 = 209,
    KEYID_DIGITS = 210,  // "-/--"

    KEYID_PROG_MINUS = 220,
    KEYID_PROG_PLUS = 221,
    KEYID_LAST_CHANNEL = 222,
    KEYID_AV = 223,

    KEYID_VOLUME_MINUS = 240,
    KEYID_VOLUME_PLUS = 241,
    KEYID_MUTE = 242,
    KEYID_AUDIO = 243,
    KEYID_VOLUME_LEFT = 244,   // double function: Left / Volume -
    KEYID_VOLUME_RIGHT = 245,  // double function: Right / Volume +

    KEYID_PLAY = 260,
    KEYID_STOP = 261,
    KEYID_PAUSE = 262,
    KEYID_RECORD = 263,
    KEYID_FREW = 264,
    KEYID_FFWD = 265,
    KEYID_PREVIOUS = 266,
    KEYID_NEXT = 267,
    KEYID_PREVIOUS_FREW = 268,  // double function: Previous / FREW
    KEYID_NEXT_FFWD = 269,      // double function: Next / FFRWD

    KEYID_RED = 280,
    KEYID_GREEN = 281,
    KEYID_YELLOW = 282,
    KEYID_BLUE = 283,

    KEYID_DVD_MENU = 301,
    KEYID_SUBTITLES = 302,
    KEYID_TV = 303,
    KEYID_DVD = 304,
    KEYID_VIDEO = 305,
    KEYID_MUSIC = 306,
    KEYID_PICTURE = 307,
    KEYID_ANGLE = 308,

    KEYID_RED_TIMER = 320,
    KEYID_GREEN_FULLSCREEN = 321,
    KEYID_YELLOW_AUDIO = 322,
    KEYID_BLUE_MOSAIC = 323,
    KEYID_BLUE_ANGLE = 324,

    KEYID_COUNT = 325,  // size of a table indexed by key id
};

// Maps a raw code of the given RC type to a key id. The output is -1 unless a
// key was found. RCTYPE_NONE succeeds with -1 (callers drop codes of type 0
// before asking); unlisted codes and unknown types fail.
bool MapKeyCodeToKeyId(int rcType, std::uint8_t code, int* keyId);

// Keys that do one thing when tapped (first function) and another when held
// (second function). The lookups return -1 for any other key id.
bool IsDoubleFunctionKey(int keyId);
int GetFirstFunctionKey(int keyId);
int GetSecondFunctionKey(int keyId);

// English name of a key id ("Power", "Programme 5", "C#4"); "" for ids that
// are no key. Localized names come from the language files; this is the
// default used by trace lines and tools. The pointer stays valid for the
// life of the program.
const wchar_t* GetEnglishKeyName(int keyId);
