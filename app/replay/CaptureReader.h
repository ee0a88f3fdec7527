#pragma once
// Text captures of timed raw frames, as a receiver's polls saw them.
//
// One frame per line: "<ms since previous frame> <code> [<NEC address>]".
// The time is decimal; code (8 bits) and address (16 bits) are hexadecimal,
// with or without "0x". "#" starts a comment; blank lines are ignored.

#include <cstdint>
#include <string>
#include <vector>

struct tagCAPTUREFRAME {
    std::uint32_t nTimeMs = 0;  // since the start of the capture
    std::uint8_t bCode = 0xFF;
    bool fHasAddress = false;
    std::uint16_t wAddress = 0;
    int nLine = 0;
};

struct tagCAPTUREERROR {
    int nLine = 0;
    std::wstring szMessage;
};

class CCaptureReader {
public:
    // Parses the whole text. Bad lines are reported and skipped; the good ones
    // are kept, so one typo does not lose the rest of a capture.
    static void Parse(const std::string& text, std::vector<tagCAPTUREFRAME>& frames,
                      std::vector<tagCAPTUREERROR>& errors);
};
