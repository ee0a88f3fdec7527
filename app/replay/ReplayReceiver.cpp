#include "app/replay/ReplayReceiver.h"

#include <thread>
#include <utility>

CReplayClock::CReplayClock(bool realTime) : m_realTime(realTime), m_start(std::chrono::steady_clock::now()) {}

std::uint32_t CReplayClock::NowMs() {
    if (!m_realTime)
        return m_now;
    auto elapsed = std::chrono::steady_clock::now() - m_start;
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

void CReplayClock::SleepMs(std::uint32_t ms) {
    if (m_realTime)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    else
        m_now += ms;
}

void CReplayClock::Set(std::uint32_t now) {
    if (!m_realTime) {
        m_now = now;
        return;
    }
    std::uint32_t current = NowMs();
    if (now > current)
        SleepMs(now - current);
}

CSrcReplay::CSrcReplay(std::vector<tagCAPTUREFRAME> frames, int initialRcType, bool realTime)
    : CSrc(0, SystemClock()), m_clock(realTime), m_frames(std::move(frames)) {
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
        if (frame.nTimeMs > now)
            break;
        code = frame.bCode;
    }
    return code;
}

void CSrcReplay::Run() {
    for (const tagCAPTUREFRAME& frame : m_frames) {
        // A frame that fell inside a double-function wait was never polled.
        if (frame.nTimeMs < m_clock.NowMs())
            continue;
        m_clock.Set(frame.nTimeMs);
        std::uint8_t code = frame.bCode;
        if (frame.fHasAddress && !SetRcTypeFromAddress(frame.wAddress, 0))
            code = NEC_CODE_IDLE;
        HandleIrEvent(code);
    }
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
