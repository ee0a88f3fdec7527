#pragma once
// A receiver whose own thread reports one held key at once and keeps it held
// until the receiver goes, as a remote's receiver does while a key is down.
// Counts the instances alive, so tests see that every receiver was freed.
#include <atomic>
#include <thread>

#include "receivers/Src.h"

class CHoldingSrc : public CSrc {
public:
    explicit CHoldingSrc(int keyId) : m_heldKey(keyId) { ++Alive(); }
    ~CHoldingSrc() override {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        --Alive();
    }
    int Init(void* owner, PFNIREVENTCALLBACK callback) override {
        CSrc::Init(owner, callback);
        m_thread = std::thread([this] {
            m_keyId = m_heldKey;
            m_eventCallback(m_owner, this, m_heldKey, 0);
            while (!m_stop)
                std::this_thread::yield();
        });
        return 1;
    }
    static std::atomic<int>& Alive() {
        static std::atomic<int> alive{0};
        return alive;
    }

private:
    const int m_heldKey;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
