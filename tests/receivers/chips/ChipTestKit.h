#pragma once
// What every chip receiver's test shares: the remote held over a simulated
// chip, a clock the test moves while the polling thread reads it, and the
// tap / held / release run through the real scheduler.

#include "receivers/Src.h"
#include "tests/receivers/KeyEventLog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace chipkit {

// Moved by the test, read by the polling thread.
class CAtomicClock final : public IClock {
public:
    std::uint32_t NowMs() override { return m_now.load(); }
    void SleepMs(std::uint32_t ms) override { m_now += ms; }
    void Advance(std::uint32_t ms) { m_now += ms; }

private:
    std::atomic<std::uint32_t> m_now{100000};
};

// The remote's key as the chip sees it, and how often the chip was asked.
class CSimRemote {
public:
    static constexpr std::uint8_t kNone = 0xFF;

    void Press(std::uint8_t code) { m_held = code; }
    void Release() { m_held = kNone; }
    std::uint8_t Held() const { return m_held.load(); }
    bool IsHeld() const { return m_held.load() != kNone; }
    // The chip calls this for every read of the remote's state.
    void CountRead() {
        std::lock_guard<std::mutex> lock(m_lock);
        ++m_reads;
        m_changed.notify_all();
    }
    int Reads() {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_reads;
    }
    // Waits until `more` reads beyond the current count have started.
    bool WaitForMoreReads(int more) {
        std::unique_lock<std::mutex> lock(m_lock);
        const int target = m_reads + more;
        return m_changed.wait_for(lock, std::chrono::seconds(5), [&] { return m_reads >= target; });
    }

private:
    std::atomic<std::uint8_t> m_held{kNone};
    std::mutex m_lock;
    std::condition_variable m_changed;
    int m_reads = 0;
};

// A receiver whose polling the test stops, to read codes itself.
template <class T>
class CProbe : public T {
public:
    using T::T;
    void StopPollingNow() { this->StopPolling(); }
};

// Pressed: reported at once. Held past the scheduler's repeat window: the
// same key again (unless the hardware cannot tell a held key). Released past
// the idle window: no event, key id -1.
inline void ExpectTapHeldRelease(CSrc& receiver, CSimRemote& remote, CAtomicClock& clock,
                                 keylog::CKeyEventLog& events, std::uint8_t code, int keyId, bool held = true) {
    const std::size_t before = events.Count();
    remote.Press(code);
    ASSERT_TRUE(events.WaitFor(before + 1)) << "tap";
    EXPECT_EQ(keyId, events.At(before).nKeyId);
    EXPECT_EQ(&receiver, events.At(before).pSource);
    EXPECT_EQ(keyId, receiver.GetKeyId());

    if (held) {
        clock.Advance(1100);
        ASSERT_TRUE(events.WaitFor(before + 2)) << "held";
        EXPECT_EQ(keyId, events.At(before + 1).nKeyId);
    }

    remote.Release();
    ASSERT_TRUE(remote.WaitForMoreReads(1));
    clock.Advance(300);
    ASSERT_TRUE(remote.WaitForMoreReads(2)) << "release";
    EXPECT_EQ(KEYID_NONE, receiver.GetKeyId());
    EXPECT_EQ(before + (held ? 2 : 1), events.Count());
}

}  // namespace chipkit
