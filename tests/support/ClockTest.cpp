#include "support/Clock.h"

#include <gtest/gtest.h>

// The system clock is the multimedia clock: it must move forward across a
// real wait and never by less than the wait.
TEST(SystemClock, SleepAdvancesAtLeastTheWait) {
    IClock& clock = SystemClock();
    const std::uint32_t before = clock.NowMs();
    clock.SleepMs(20);
    EXPECT_GE(clock.NowMs() - before, 15u);  // timer granularity on Windows
}
