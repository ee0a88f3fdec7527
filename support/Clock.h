#pragma once
// Millisecond clock and waits. Timing rules (key scheduler, double-function
// waits, repeats) take the clock as an argument so tests can drive time.

#include <cstdint>

class IClock {
public:
    virtual ~IClock() = default;
    // Milliseconds of the multimedia clock; wraps after 49.7 days, so callers
    // compare unsigned differences only.
    virtual std::uint32_t NowMs() = 0;
    virtual void SleepMs(std::uint32_t ms) = 0;
};

// timeGetTime()/Sleep() on Windows, a steady clock natively.
IClock& SystemClock();
