#pragma once
// The owner's side of a receiver under test: records every key event with
// the thread it came on and wakes whoever waits for one.

#include "receivers/Src.h"

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace keylog {

struct tagEVENT {
    CSrc* pSource;
    int nKeyId;
    int nRcType;  // the receiver's RC type when it reported
    DWORD dwThreadId;
    int fNoAutoRepeat;
};

class CKeyEventLog {
public:
    static int KANZO_STDCALL Record(void* owner, CSrc* source, int keyId, int noAutoRepeat) {
        auto* self = static_cast<CKeyEventLog*>(owner);
        std::lock_guard<std::mutex> lock(self->m_lock);
        self->m_events.push_back({source, keyId, source->GetRcType(), GetCurrentThreadId(), noAutoRepeat});
        self->m_changed.notify_all();
        return 1;
    }
    bool WaitFor(std::size_t count) {
        std::unique_lock<std::mutex> lock(m_lock);
        return m_changed.wait_for(lock, std::chrono::seconds(5), [&] { return m_events.size() >= count; });
    }
    std::size_t Count() {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_events.size();
    }
    tagEVENT At(std::size_t i) {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_events.at(i);
    }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<tagEVENT> m_events;
};

// The skip-th key of the remote that is not a double-function key, so its
// event follows the frame at once.
inline std::uint8_t PlainKey(int rcType, int* keyId, int skip = 0) {
    for (int code = 0; code < NEC_CODE_REPEAT; ++code) {
        if (MapKeyCodeToKeyId(rcType, static_cast<std::uint8_t>(code), keyId) && !IsDoubleFunctionKey(*keyId) &&
            skip-- == 0)
            return static_cast<std::uint8_t>(code);
    }
    *keyId = KEYID_NONE;
    return 0;
}
inline std::uint8_t PlainMorvaneKey(int* keyId) { return PlainKey(RCTYPE_MORVANE, keyId); }

}  // namespace keylog
