#pragma once
// A clock the test moves by hand. SleepMs advances time and then runs the
// optional hook, so a test can change what "hardware" reports during a wait.

#include "support/Clock.h"

#include <functional>
#include <vector>

class FakeClock final : public IClock {
public:
    explicit FakeClock(std::uint32_t start = 0) : m_now(start) {}

    std::uint32_t NowMs() override { return m_now; }
    void SleepMs(std::uint32_t ms) override {
        m_sleeps.push_back(ms);
        m_now += ms;
        if (m_onSleep)
            m_onSleep(ms);
    }

    void Set(std::uint32_t now) { m_now = now; }
    void Advance(std::uint32_t ms) { m_now += ms; }
    void OnSleep(std::function<void(std::uint32_t)> hook) { m_onSleep = std::move(hook); }
    const std::vector<std::uint32_t>& Sleeps() const { return m_sleeps; }

private:
    std::uint32_t m_now;
    std::vector<std::uint32_t> m_sleeps;
    std::function<void(std::uint32_t)> m_onSleep;
};
