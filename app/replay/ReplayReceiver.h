#pragma once
// A receiver that plays a capture back exactly as a polling receiver would:
// one poll per frame at the frame's time, the NEC address checked first, and
// the double-function waits blocking the "thread" so that frames falling
// inside a wait are never polled. Time is virtual, so a replay is instant
// and always gives the same events.

#include "app/replay/CaptureReader.h"
#include "receivers/Src.h"
#include "support/Clock.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

struct tagREPLAYEVENT {
    std::uint32_t nTimeMs = 0;
    int nKeyId = KEYID_NONE;
    int fNoAutoRepeat = 0;
};

// Virtual time: SleepMs moves it on without waiting. In real time (a replay
// that drives applications) the clock follows the wall clock from its origin
// and Set waits until the moment has come.
class CReplayClock final : public IClock {
public:
    explicit CReplayClock(bool realTime = false);
    std::uint32_t NowMs() override;
    void SleepMs(std::uint32_t ms) override;
    void Set(std::uint32_t now);
    // The moment the clock shows now; in real time it runs on from there.
    void SetOrigin(std::uint32_t origin);
    // Ends every wait at once, now and later (another thread stops a replay).
    void Stop();
    bool IsStopped();

private:
    bool m_realTime;
    std::mutex m_lock;
    std::condition_variable m_wake;
    bool m_stopped = false;
    std::uint32_t m_now = 0;
    std::chrono::steady_clock::time_point m_start;
};

class CSrcReplay final : public CSrc {
public:
    // realTime: frames are fed at their moments on the wall clock.
    CSrcReplay(std::vector<tagCAPTUREFRAME> frames, int initialRcType, bool realTime = false);

    // Feeds every frame; the owner's callback gets each reported key. Returns
    // early (false) when Stop was called.
    bool Run();
    void Stop() { m_clock.Stop(); }
    bool IsStopped() { return m_clock.IsStopped(); }

    std::uint8_t GetCurrentKeyCode() override;
    int SupportsDoubleFunctionKeys() const override { return 1; }

    std::uint32_t Now() { return m_clock.NowMs(); }

private:
    CReplayClock m_clock;
    std::vector<tagCAPTUREFRAME> m_frames;
};

// Runs a capture and collects the events, for tests and the tool.
std::vector<tagREPLAYEVENT> ReplayCapture(const std::vector<tagCAPTUREFRAME>& frames, int initialRcType);
