#include "support/Clock.h"

#include <windows.h>
#include <mmsystem.h>

namespace {

class CWinClock final : public IClock {
public:
    std::uint32_t NowMs() override { return timeGetTime(); }
    void SleepMs(std::uint32_t ms) override { Sleep(ms); }
};

}  // namespace

IClock& SystemClock() {
    static CWinClock clock;
    return clock;
}
