#pragma once
// The key path as a receiver's event thread runs it, one frame at a time:
// shared by the Google Benchmark and the fixed-count run for callgrind.

#include "receivers/NecKeyScheduler.h"
#include "receivers/RcKeys.h"
#include "receivers/Src.h"

#include <cstdint>

namespace keypath {

constexpr std::uint32_t kFrameMs = 80;
constexpr std::uint8_t kHeldCode = 0x0A;   // Power on RCTYPE_NEC_866B
constexpr std::uint8_t kOtherCode = 0x14;  // Mute

// A receiver delivers one frame every 80 ms: each read of the clock is the next frame.
class CFrameClock final : public IClock {
public:
    std::uint32_t NowMs() override {
        const std::uint32_t now = m_now;
        m_now += kFrameMs;
        return now;
    }
    void SleepMs(std::uint32_t ms) override { m_now += ms; }

private:
    std::uint32_t m_now = 100000;
};

inline int KANZO_STDCALL IgnoreEvent(void*, CSrc*, int keyId, int) { return keyId; }

class CBenchSrc final : public CSrc {
public:
    explicit CBenchSrc(IClock& clock) : CSrc(0, clock) {
        m_rcType = RCTYPE_NEC_866B;
        m_kindName = L"Bench";
        Init(nullptr, IgnoreEvent);
    }
};

inline std::uint8_t CodeOfFrame(std::uint64_t frame, bool changes) {
    return changes && (frame & 1) ? kOtherCode : kHeldCode;
}

// Scheduler and map alone; returns a checksum so the work cannot be dropped.
class CSchedulerMap {
public:
    int Frame(std::uint8_t code) {
        m_now += kFrameMs;
        int keyId = KEYID_NONE;
        if (m_scheduler.ProcessNecKeyCode(code, m_now))
            MapKeyCodeToKeyId(RCTYPE_NEC_866B, code, &keyId);
        return keyId;
    }

private:
    CNecKeyScheduler m_scheduler;
    std::uint32_t m_now = 100000;
};

}  // namespace keypath
