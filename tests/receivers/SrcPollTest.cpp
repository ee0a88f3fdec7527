// The polling base on its real thread: what it polls reaches the owner, a
// read that throws costs one poll, and a second Init replaces the thread.

#include "receivers/SrcPoll.h"
#include "tests/receivers/KeyEventLog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>

namespace {

using keylog::CKeyEventLog;

// Throws on its first read, then reports one key, then nothing.
class CScriptedPoll : public CSrcPoll {
public:
    explicit CScriptedPoll(std::uint8_t code) : m_code(code) {
        m_kindName = L"Scripted";
        m_rcType = RCTYPE_MORVANE;
        m_pollInterval = 5;
    }
    ~CScriptedPoll() override { StopPolling(); }
    std::uint8_t GetCurrentKeyCode() override {
        const int read = m_reads++;
        if (read == 0)
            throw std::runtime_error("device gone for a moment");
        return read == 1 ? m_code : NEC_CODE_IDLE;
    }
    int Reads() const { return m_reads; }

private:
    std::uint8_t m_code;
    std::atomic<int> m_reads{0};
};

class CBarePoll : public CSrcPoll {};

TEST(SrcPoll, KeyArrivesAfterAReadThatThrew) {
    int keyId = KEYID_NONE;
    const std::uint8_t code = keylog::PlainMorvaneKey(&keyId);
    CKeyEventLog events;
    CScriptedPoll receiver(code);
    ASSERT_EQ(1, receiver.Init(&events, &CKeyEventLog::Record));
    ASSERT_TRUE(events.WaitFor(1));
    EXPECT_EQ(keyId, events.At(0).nKeyId);
    EXPECT_EQ(GetThreadId(receiver.GetPollThreadHandle()), events.At(0).dwThreadId);
    EXPECT_GE(receiver.Reads(), 2);
}

TEST(SrcPoll, SecondInitReplacesTheThreadAndNullCallbackIsRefused) {
    CKeyEventLog events;
    CScriptedPoll receiver(0x10);
    EXPECT_EQ(0, receiver.Init(&events, nullptr));
    EXPECT_EQ(nullptr, receiver.GetPollThreadHandle());
    ASSERT_EQ(1, receiver.Init(&events, &CKeyEventLog::Record));
    const DWORD first = GetThreadId(receiver.GetPollThreadHandle());
    ASSERT_EQ(1, receiver.Init(&events, &CKeyEventLog::Record));
    const DWORD second = GetThreadId(receiver.GetPollThreadHandle());
    EXPECT_NE(first, second);
}

TEST(SrcPoll, BaseReadIsAMistakeThatReportsZero) {
    CBarePoll receiver;
    EXPECT_EQ(0x00, receiver.GetCurrentKeyCode());
    EXPECT_EQ(1, receiver.SupportsDoubleFunctionKeys());
    EXPECT_EQ(CSrcPoll::kDefaultPollIntervalMs, receiver.GetPollInterval());
}

}  // namespace
