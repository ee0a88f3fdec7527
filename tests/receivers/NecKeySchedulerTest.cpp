#include "receivers/NecKeyScheduler.h"

#include "receivers/RcKeys.h"
#include "support/QVDebug.h"
#ifndef _WIN32
#include "support/QVDebugHost.h"
#endif

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kFrameMs = 80;

// Feeds one code at a time with the clock the test controls.
class NecKeyScheduler : public ::testing::Test {
protected:
    void SetUp() override { TraceInitEx(QVOUT_DEBUGGER, nullptr, 0, QVL_DETAIL, QVC_ALL); }
    void TearDown() override { TraceTerminateThread(TraceCurrentThreadId(), 1); }

    bool Feed(std::uint8_t& code, std::uint32_t offset) { return m_scheduler.ProcessNecKeyCode(code, m_start + offset); }
    bool Feed(std::uint8_t code, std::uint32_t offset, std::uint8_t* out) {
        const bool accepted = Feed(code, offset);
        if (out)
            *out = code;
        return accepted;
    }

    // Offsets (from the first frame) of the frames a key held this long is reported at.
    std::vector<std::uint32_t> HoldKey(std::uint8_t code, std::uint32_t firstOffset, std::uint32_t durationMs) {
        std::vector<std::uint32_t> reported;
        for (std::uint32_t t = 0; t < durationMs; t += kFrameMs) {
            std::uint8_t frame = code;
            if (Feed(frame, firstOffset + t)) {
                EXPECT_EQ(frame, code);
                reported.push_back(t);
            }
        }
        return reported;
    }

    std::uint32_t m_start = 100000;
    CNecKeyScheduler m_scheduler;
};

TEST_F(NecKeyScheduler, HeldKeyReportedAtOnceThenAfter200ThenOncePerSecond) {
    EXPECT_EQ(HoldKey(0x0A, 0, 3000), (std::vector<std::uint32_t>{0, 240, 1280, 2320}));
}

// The report at 240 ms opens a one-second window that closes 20 ms before the
// clock wraps; the next report falls 20 ms after the wrap. A plain
// "now >= last + 1000" (or a signed 64-bit difference) holds the key back for
// good, so only differences of unsigned times pass.
TEST_F(NecKeyScheduler, HeldKeyAcrossClockWrap) {
    m_start = 0u - 1260u;
    EXPECT_EQ(HoldKey(0x0A, 0, 3000), (std::vector<std::uint32_t>{0, 240, 1280, 2320}));
    std::uint8_t out = 0;
    EXPECT_TRUE(Feed(NEC_CODE_IDLE, 2960 + 250, &out)) << "a release after the wrap";
    EXPECT_EQ(out, NEC_CODE_IDLE);
}

TEST_F(NecKeyScheduler, RepeatFramesCountAsTheHeldKey) {
    std::uint8_t out = 0;
    ASSERT_TRUE(Feed(0x0A, 0, &out));
    EXPECT_FALSE(Feed(NEC_CODE_REPEAT, 80, &out));
    EXPECT_FALSE(Feed(NEC_CODE_REPEAT, 160, &out));
    EXPECT_TRUE(Feed(NEC_CODE_REPEAT, 240, &out));
    EXPECT_EQ(out, 0x0A);
    EXPECT_EQ(m_scheduler.LastRepeatTime(), m_start + 240);
}

TEST_F(NecKeyScheduler, RepeatFrameBeforeAnyKeyIsIdle) {
    std::uint8_t out = 0;
    EXPECT_TRUE(Feed(NEC_CODE_REPEAT, 0, &out));
    EXPECT_EQ(out, NEC_CODE_IDLE);
    EXPECT_EQ(m_scheduler.LastCode(), NEC_CODE_IDLE);
    EXPECT_EQ(m_scheduler.LastKeyTime(), 0u);
}

TEST_F(NecKeyScheduler, ShortIdleGapIsStillTheKey) {
    std::uint8_t out = 0;
    ASSERT_TRUE(Feed(0x0A, 0, &out));
    EXPECT_FALSE(Feed(NEC_CODE_IDLE, 150, &out));
    EXPECT_EQ(out, 0x0A);
    EXPECT_EQ(m_scheduler.LastCode(), 0x0A);
    EXPECT_FALSE(Feed(NEC_CODE_IDLE, 199, &out));
    EXPECT_TRUE(Feed(NEC_CODE_IDLE, 200, &out));
    EXPECT_EQ(out, NEC_CODE_IDLE);
    EXPECT_EQ(m_scheduler.LastCode(), NEC_CODE_IDLE);
    EXPECT_EQ(m_scheduler.LastKeyTime(), m_start);
}

TEST_F(NecKeyScheduler, NewKeyReportedAtOnce) {
    std::uint8_t out = 0;
    ASSERT_TRUE(Feed(0x0A, 0, &out));
    EXPECT_TRUE(Feed(0x0B, 80, &out));
    EXPECT_EQ(out, 0x0B);
    EXPECT_TRUE(Feed(0x0A, 160, &out));
    EXPECT_EQ(out, 0x0A);
}

TEST_F(NecKeyScheduler, RejectedFrameChangesNothing) {
    std::uint8_t out = 0;
    ASSERT_TRUE(Feed(0x0A, 0, &out));
    EXPECT_FALSE(Feed(0x0A, 100, &out));
    EXPECT_EQ(m_scheduler.LastKeyTime(), m_start);
    EXPECT_EQ(m_scheduler.LastRepeatTime(), 0u);
    // Still 200 ms from the first frame, not from the rejected one.
    EXPECT_TRUE(Feed(0x0A, 200, &out));
}

TEST_F(NecKeyScheduler, KeyChangeKeepsRepeatTimeOfPreviousKey) {
    EXPECT_EQ(HoldKey(0x0A, 0, 320), (std::vector<std::uint32_t>{0, 240}));
    // The repetition of 0x0A at 240 also holds back the first repetition of 0x0B.
    EXPECT_EQ(HoldKey(0x0B, 320, 1500), (std::vector<std::uint32_t>{0, 960}));
}

TEST_F(NecKeyScheduler, IdlePollsHoldBackTheFirstRepetition) {
    // A polling receiver delivers idle codes between presses; each accepted idle
    // code counts as a repetition of the idle "key".
    std::uint8_t out = 0;
    for (std::uint32_t t = 0; t < 1000; t += kFrameMs)
        EXPECT_TRUE(Feed(NEC_CODE_IDLE, t, &out));
    EXPECT_EQ(HoldKey(0x0A, 1040, 2000), (std::vector<std::uint32_t>{0, 960}));
}

#ifndef _WIN32
TEST_F(NecKeyScheduler, TraceLines) {
    TraceHostTakeLines();
    std::uint8_t out = 0;
    Feed(0x0A, 0, &out);
    Feed(0x0A, 80, &out);
    Feed(NEC_CODE_IDLE, 100, &out);
    Feed(0x0A, 240, &out);
    Feed(NEC_CODE_IDLE, 1000, &out);
    const std::vector<std::wstring> expected = {
        L"I_O  CNecKeyScheduler::ProcessNecKeyCode() - Key changed: 0xFF -> 0x0A  \n",
        L"I_O  CNecKeyScheduler::ProcessNecKeyCode() - 0x0A  Key repeated - TOO FAST\n",
        L"I_O  CNecKeyScheduler::ProcessNecKeyCode() - 0x0A  Transition to idle\n",
        L"I_O  CNecKeyScheduler::ProcessNecKeyCode() - Key repeated: 0x0A  \n",
    };
    EXPECT_EQ(TraceHostTakeLines(), expected);
}
#endif

}  // namespace
