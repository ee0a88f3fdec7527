#include "support/Clock.h"

#include <chrono>
#include <thread>

namespace {

class CHostClock final : public IClock {
public:
    std::uint32_t NowMs() override {
        using namespace std::chrono;
        return static_cast<std::uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    }
    void SleepMs(std::uint32_t ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};

}  // namespace

IClock& SystemClock() {
    static CHostClock clock;
    return clock;
}
