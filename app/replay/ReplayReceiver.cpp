#include "app/replay/ReplayReceiver.h"

#include <utility>

namespace {

// Frame times are on the 32-bit millisecond clock: a capture may run across
// its wrap, so moments are compared by their signed difference.
bool IsAfter(std::uint32_t a, std::uint32_t b) {
    return static_cast<std::int32_t>(a - b) > 0;
}

}  // namespace

CReplayClock::CReplayClock(bool realTime) : m_realTime(realTime), m_start(std::chrono::steady_clock::now()) {}

std::uint32_t CReplayClock::NowMs() {
    if (!m_realTime)
        return m_now;
    auto elapsed = std::chrono::steady_clock::now() - m_start;
    return m_now + static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

void CReplayClock::SleepMs(std::uint32_t ms) {
    if (!m_realTime) {
        m_now += ms;
        return;
    }
    std::unique_lock<std::mutex> lock(m_lock);
    m_wake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_stopped; });
}

void CReplayClock::Stop() {
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_stopped = true;
    }
    m_wake.notify_all();
}

bool CReplayClock::IsStopped() {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_stopped;
}

void CReplayClock::SetOrigin(std::uint32_t origin) {
    m_now = origin;
    m_start = std::chrono::steady_clock::now();
}

void CReplayClock::Set(std::uint32_t now) {
    if (!m_realTime) {
        m_now = now;
        return;
    }
    std::uint32_t current = NowMs();
    if (IsAfter(now, current))
        SleepMs(now - current);
}

CSrcReplay::CSrcReplay(std::vector<tagCAPTUREFRAME> frames, int initialRcType, bool realTime)
    : CSrc(0, SystemClock()), m_clock(realTime), m_frames(std::move(frames)) {
    // Time starts at the first frame, so a capture taken just before the
    // clock wrapped plays in real time too.
    if (!m_frames.empty())
        m_clock.SetOrigin(m_frames.front().nTimeMs);
    SetClock(m_clock);
    m_kindName = L"Replay";
    m_deviceName = L"capture";
    m_rcType = initialRcType;
}

std::uint8_t CSrcReplay::GetCurrentKeyCode() {
    // What the hardware holds now: the latest frame at or before this moment.
    const std::uint32_t now = m_clock.NowMs();
    std::uint8_t code = NEC_CODE_IDLE;
    for (const tagCAPTUREFRAME& frame : m_frames) {
        if (IsAfter(frame.nTimeMs, now))
            break;
        code = frame.bCode;
    }
    return code;
}

bool CSrcReplay::Run() {
    for (const tagCAPTUREFRAME& frame : m_frames) {
        if (m_clock.IsStopped())
            return false;
        // A frame that fell inside a double-function wait was never polled.
        if (IsAfter(m_clock.NowMs(), frame.nTimeMs))
            continue;
        m_clock.Set(frame.nTimeMs);
        std::uint8_t code = frame.bCode;
        if (frame.fHasAddress && !SetRcTypeFromAddress(frame.wAddress, 0))
            code = NEC_CODE_IDLE;
        HandleIrEvent(code);
    }
    return !m_clock.IsStopped();
}

namespace {

struct Collector {
    CSrcReplay* source = nullptr;
    std::vector<tagREPLAYEVENT> events;
};

int KANZO_STDCALL Collect(void* owner, CSrc*, int keyId, int noAutoRepeat) {
    auto* collector = static_cast<Collector*>(owner);
    collector->events.push_back({collector->source->Now(), keyId, noAutoRepeat});
    return 1;
}

}  // namespace

std::vector<tagREPLAYEVENT> ReplayCapture(const std::vector<tagCAPTUREFRAME>& frames, int initialRcType) {
    CSrcReplay receiver(frames, initialRcType);
    Collector collector;
    collector.source = &receiver;
    receiver.Init(&collector, Collect);
    receiver.Run();
    return collector.events;
}
