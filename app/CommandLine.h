#pragma once
// The command line of the program, read as the whole line in one string:
// options are found as substrings anywhere, no separators needed.
//   "-C", "-EDIT", "-SHOW" (any case)  show the main window
//   "-midi:" + one digit 0-9 or a-f    MIDI channel 0 to 15 (15: none chosen)
//   "-replay:<file>" or "-replay:\"<file>\""  play a capture as a receiver
//                                      (never stored; for running without hardware)
// No Windows header.
#include <cstdint>
#include <string>

constexpr std::uint8_t COMMANDLINE_NO_MIDI_CHANNEL = 15;

struct tagCOMMANDLINE {
    bool fStartHidden = true;
    std::uint8_t nMidiChannel = COMMANDLINE_NO_MIDI_CHANNEL;
    std::wstring szReplayFile;   // empty: no replay
};

tagCOMMANDLINE ParseCommandLine(const std::wstring& line);
