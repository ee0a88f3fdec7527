#pragma once
// Rate limit and release rules for the raw codes of one receiver: drops frames
// of a held key that come too fast and treats short idle gaps as the key still
// being held. Pure logic; the caller passes the current millisecond time.

#include <cstdint>

class CNecKeyScheduler {
public:
    // A held key counts as released only this long after its last frame.
    static constexpr std::uint32_t kReleaseMs = 200;
    // Minimum gap between two reported repetitions of a held key.
    static constexpr std::uint32_t kRepeatMs = 1000;

    // Takes a raw code (0xFE and 0xFF included) and may rewrite it: a repeat
    // frame becomes the last code, an idle code inside the release time becomes
    // the last code. Returns true when the (rewritten) code is to be handled.
    bool ProcessNecKeyCode(std::uint8_t& code, std::uint32_t now);

    std::uint8_t LastCode() const { return m_lastCode; }
    std::uint32_t LastKeyTime() const { return m_lastKeyTime; }
    std::uint32_t LastRepeatTime() const { return m_lastRepeatTime; }

private:
    std::uint32_t m_lastRepeatTime = 0;  // last accepted code that equalled its predecessor
    std::uint32_t m_lastKeyTime = 0;     // last accepted code that was not idle
    std::uint8_t m_lastCode = 0xFF;      // last accepted code
};
