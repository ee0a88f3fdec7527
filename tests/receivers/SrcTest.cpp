#include "receivers/Src.h"

#include "support/QVDebug.h"
#include "tests/support/FakeClock.h"
#ifndef _WIN32
#include "support/QVDebugHost.h"
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Codes of RCTYPE_NEC_866B used below.
constexpr std::uint8_t kPower = 0x0A;         // 140
constexpr std::uint8_t kMute = 0x14;          // 242
constexpr std::uint8_t kPreviousFrew = 0x2C;  // 268: Previous (tap) / FREW (hold)
constexpr std::uint8_t kNextFfwd = 0x2D;      // 269
constexpr std::uint8_t kUnlisted = 0x30;

struct tagEVENT {
    void* pOwner;
    CSrc* pSource;
    int nKeyId;
    int fNoAutoRepeat;
};

struct CallbackLog {
    std::vector<tagEVENT> events;
    int result = 7;
};

int KANZO_STDCALL RecordEvent(void* owner, CSrc* source, int keyId, int noAutoRepeat) {
    auto* log = static_cast<CallbackLog*>(owner);
    log->events.push_back({owner, source, keyId, noAutoRepeat});
    return log->result;
}

// A receiver whose "hardware" the test sets, also from inside the waits.
class CTestSrc : public CSrc {
public:
    CTestSrc(IClock& clock, int rcType, int doubleFunction) : CSrc(0, clock), m_doubleFunction(doubleFunction) {
        m_rcType = rcType;
        m_kindName = L"Test IR";
    }

    std::uint8_t GetCurrentKeyCode() override { return m_current; }
    int SupportsDoubleFunctionKeys() const override { return m_doubleFunction; }

    void SetCurrentKeyCode(std::uint8_t code) { m_current = code; }
    void SetAutoRepeatAllowed(int allowed) { m_autoRepeatAllowed = allowed; }
    int LongPress() const { return m_longPress; }

private:
    int m_doubleFunction;
    std::uint8_t m_current = NEC_CODE_IDLE;
};

class Src : public ::testing::Test {
protected:
    void SetUp() override { TraceInitEx(QVOUT_DEBUGGER, nullptr, 0, QVL_DETAIL, QVC_ALL); }
    void TearDown() override { TraceTerminateThread(TraceCurrentThreadId(), 1); }

    FakeClock m_clock{100000};
    CallbackLog m_log;
};

TEST_F(Src, BaseDefaults) {
    CSrc src(5, m_clock);
    EXPECT_EQ(src.IsInitialized(), 0);
    EXPECT_EQ(src.GetRcType(), RCTYPE_NONE);
    EXPECT_EQ(src.GetDeviceName(), L"");
    EXPECT_EQ(src.GetKeyId(), KEYID_NONE);
    EXPECT_EQ(src.GetReceiverIndex(), -1);
    EXPECT_EQ(src.GetCurrentKeyCode(), NEC_CODE_IDLE);
    EXPECT_EQ(src.SupportsDoubleFunctionKeys(), 0);
}

TEST_F(Src, InitNeedsCallback) {
    CSrc src(0, m_clock);
    EXPECT_EQ(src.Init(&m_log, nullptr), 0);
    EXPECT_EQ(src.IsInitialized(), 0);
    EXPECT_EQ(src.Init(&m_log, RecordEvent), 1);
    EXPECT_EQ(src.IsInitialized(), 1);
}

TEST_F(Src, NoRcTypeReportsNothing) {
    CTestSrc src(m_clock, RCTYPE_NONE, 0);
    src.Init(&m_log, RecordEvent);
    EXPECT_EQ(src.HandleIrEvent(kPower), 0);
    EXPECT_EQ(src.GetKeyId(), KEYID_NONE);
    EXPECT_TRUE(m_log.events.empty());
}

TEST_F(Src, KeyReportedToOwner) {
    CTestSrc src(m_clock, RCTYPE_NEC_866B, 0);
    src.Init(&m_log, RecordEvent);
    EXPECT_EQ(src.HandleIrEvent(kPower), 7);
    ASSERT_EQ(m_log.events.size(), 1u);
    EXPECT_EQ(m_log.events[0].pOwner, &m_log);
    EXPECT_EQ(m_log.events[0].pSource, &src);
    EXPECT_EQ(m_log.events[0].nKeyId, KEYID_POWER);
    EXPECT_EQ(m_log.events[0].fNoAutoRepeat, 0);
    EXPECT_EQ(src.GetKeyId(), KEYID_POWER);
}

TEST_F(Src, WithoutCallbackKeyIdStillFollows) {
    CTestSrc src(m_clock, RCTYPE_NEC_866B, 0);
    EXPECT_EQ(src.HandleIrEvent(kPower), 0);
    EXPECT_EQ(src.GetKeyId(), KEYID_POWER);
}

TEST_F(Src, HeldKeyKeepsKeyIdUntilReleaseIsAccepted) {
    CTestSrc src(m_clock, RCTYPE_NEC_866B, 0);
    src.Init(&m_log, RecordEvent);
    src.HandleIrEvent(kPower);
    m_clock.Advance(80);
    EXPECT_EQ(src.HandleIrEvent(kPower), 0);  // too fast
    EXPECT_EQ(src.GetKeyId(), KEYID_POWER);
    m_clock.Advance(70);  // 150 ms after the last accepted frame
    EXPECT_EQ(src.HandleIrEvent(NEC_CODE_IDLE), 0);
    EXPECT_EQ(src.GetKeyId(), KEYID_POWER);
    m_clock.Advance(100);  // 250 ms
    EXPECT_EQ(src.HandleIrEvent(NEC_CODE_IDLE), 0);
    EXPECT_EQ(src.GetKeyId(), KEYID_NONE);
    EXPECT_EQ(m_log.events.size(), 1u);
}

TEST_F(Src, NoAutoRepeatWhenHardwareCannotRelease) {
    CTestSrc src(m_clock, RCTYPE_NEC_866B, 0);
    src.SetAutoRepeatAllowed(0);
    src.Init(&m_log, RecordEvent);
    src.HandleIrEvent(kPower);
    ASSERT_EQ(m_log.events.size(), 1u);
    EXPECT_EQ(m_log.events[0].fNoAutoRepeat, 1);
}

TEST_F(Src, UnmappedCodeClearsKeyId) {
    CTestSrc src(m_clock, RCTYPE_NEC_866B, 0);
    src.Init(&m_log, RecordEvent);
    src.HandleIrEvent(kPower);
#ifndef _WIN32
    TraceHostTakeLines();
#endif
    m_clock.Advance(80);
    EXPECT_EQ(src.HandleIrEvent(kUnlisted), 0);
    EXPECT_EQ(src.GetKeyId(), KEYID_NONE);
    EXPECT_EQ(m_log.events.size(), 1u);
#ifndef _WIN32
    const std::vector<std::wstring> lines = TraceHostTakeLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), L"ERR  CSrc::HandleIrEvent() - Could not map NEC key code!!!\n"),
              lines.end());
#endif
}

#ifndef _WIN32
TEST_F(Src, ReportIsTracedBetweenSeparators) {
    CTestSrc src(m_clock, RCTYPE_NEC_866B, 0);
    src.Init(&m_log, RecordEvent);
    TraceHostTakeLines();
    src.HandleIrEvent(kPower);
    const std::wstring separator = L"     " + std::wstring(57, L'-') + L"\n";
    const std::vector<std::wstring> expected = {
        L"I_O  CNecKeyScheduler::ProcessNecKeyCode() - Key changed: 0xFF -> 0x0A  \n",
        separator,
        L"     CSrc::HandleIrEvent(): NEC 0x0A -> Vemtra Key ID 140 - <Power> (Test IR)\n",
        separator,
    };
    EXPECT_EQ(TraceHostTakeLines(), expected);
}
#endif

// Double-function keys: the test plays the hardware during the waits.
// What the hardware shows from a moment on, in ms after the press.
struct tagHARDWARE {
    std::uint32_t nAtMs;
    std::uint8_t bCode;
};

class SrcDoubleFunction : public Src {
protected:
    void SetUp() override {
        Src::SetUp();
        m_src.Init(&m_log, RecordEvent);
        m_clock.OnSleep([this](std::uint32_t) {
            const std::uint32_t elapsed = m_clock.NowMs() - m_pressedAt;
            for (const tagHARDWARE& change : m_timeline)
                if (change.nAtMs <= elapsed)
                    m_src.SetCurrentKeyCode(change.bCode);
        });
    }

    // Presses `code`; the hardware keeps showing it until the timeline says otherwise.
    int Press(std::uint8_t code, std::vector<tagHARDWARE> timeline = {}) {
        m_timeline = std::move(timeline);
        m_pressedAt = m_clock.NowMs();
        m_sleepsBefore = m_clock.Sleeps().size();
        m_src.SetCurrentKeyCode(code);
        return m_src.HandleIrEvent(code);
    }

    std::uint32_t WaitedMs() const {
        std::uint32_t total = 0;
        for (std::size_t i = m_sleepsBefore; i < m_clock.Sleeps().size(); ++i)
            total += m_clock.Sleeps()[i];
        return total;
    }

    const tagEVENT& LastEvent() const { return m_log.events.back(); }

    CTestSrc m_src{m_clock, RCTYPE_NEC_866B, 1};
    std::vector<tagHARDWARE> m_timeline;
    std::uint32_t m_pressedAt = 0;
    std::size_t m_sleepsBefore = 0;
};

TEST_F(SrcDoubleFunction, TapGivesFirstFunction) {
    Press(kPreviousFrew, {{60, NEC_CODE_IDLE}});
    EXPECT_EQ(WaitedMs(), 800u) << "500 ms, and 300 more after an idle look";
    ASSERT_EQ(m_log.events.size(), 1u);
    EXPECT_EQ(LastEvent().nKeyId, KEYID_PREVIOUS);
    EXPECT_EQ(LastEvent().fNoAutoRepeat, 1);
    EXPECT_EQ(m_src.GetKeyId(), KEYID_PREVIOUS);
    EXPECT_EQ(m_src.LongPress(), 0);
}

TEST_F(SrcDoubleFunction, HeldAt500GivesSecondFunction) {
    Press(kNextFfwd);
    EXPECT_EQ(WaitedMs(), 500u);
    ASSERT_EQ(m_log.events.size(), 1u);
    EXPECT_EQ(LastEvent().nKeyId, KEYID_FFWD);
    EXPECT_EQ(LastEvent().fNoAutoRepeat, 1);
    EXPECT_EQ(m_src.LongPress(), 1);
}

TEST_F(SrcDoubleFunction, GapAt500ThenHeldAt800GivesSecondFunction) {
    Press(kPreviousFrew, {{450, NEC_CODE_IDLE}, {650, kPreviousFrew}});
    EXPECT_EQ(WaitedMs(), 800u);
    EXPECT_EQ(LastEvent().nKeyId, KEYID_FREW);
    EXPECT_EQ(m_src.LongPress(), 1);
}

TEST_F(SrcDoubleFunction, RepeatFramesDuringWaitMeanHeld) {
    Press(kPreviousFrew, {{110, NEC_CODE_REPEAT}});
    EXPECT_EQ(LastEvent().nKeyId, KEYID_FREW);
}

TEST_F(SrcDoubleFunction, ReleaseAfterLongPressStaysSecondFunction) {
    Press(kPreviousFrew);
    ASSERT_EQ(LastEvent().nKeyId, KEYID_FREW);
    // The held key comes round again once the scheduler lets a repetition
    // through; this time it is released during the wait.
    m_clock.Advance(1000);
    Press(kPreviousFrew, {{0, NEC_CODE_IDLE}});
    ASSERT_EQ(m_log.events.size(), 2u);
    EXPECT_EQ(LastEvent().nKeyId, KEYID_FREW);
    EXPECT_EQ(m_src.LongPress(), 0);
    // Released and tapped again: the first function.
    m_clock.Advance(300);
    m_src.HandleIrEvent(NEC_CODE_IDLE);
    EXPECT_EQ(m_src.GetKeyId(), KEYID_NONE);
    Press(kPreviousFrew, {{0, NEC_CODE_IDLE}});
    ASSERT_EQ(m_log.events.size(), 3u);
    EXPECT_EQ(LastEvent().nKeyId, KEYID_PREVIOUS);
}

TEST_F(SrcDoubleFunction, OtherKeyEndsLongPress) {
    Press(kPreviousFrew);
    ASSERT_EQ(m_src.LongPress(), 1);
    Press(kMute);
    EXPECT_EQ(LastEvent().nKeyId, KEYID_MUTE);
    EXPECT_EQ(LastEvent().fNoAutoRepeat, 0);
    EXPECT_EQ(m_src.LongPress(), 0);
    EXPECT_EQ(WaitedMs(), 0u);
}

// Tapped, then another key pressed and held within the wait: the repeat frames
// seen later belong to the other key. First function, then the other key at
// once, and its repeats stay the other key.
TEST_F(SrcDoubleFunction, OtherKeyHeldDuringWaitFollowsTheFirstFunction) {
    Press(kPreviousFrew, {{100, NEC_CODE_IDLE}, {250, kMute}, {360, NEC_CODE_REPEAT}});
    ASSERT_EQ(m_log.events.size(), 2u);
    EXPECT_EQ(m_log.events[0].nKeyId, KEYID_PREVIOUS);
    EXPECT_EQ(m_log.events[0].fNoAutoRepeat, 1);
    EXPECT_EQ(m_log.events[1].nKeyId, KEYID_MUTE);
    EXPECT_EQ(m_log.events[1].fNoAutoRepeat, 0);
    EXPECT_EQ(WaitedMs(), 300u) << "the other key ends the wait";
    EXPECT_EQ(m_src.LongPress(), 0);
    // Its repeat frames go on as the other key.
    m_clock.Advance(1000);
    EXPECT_EQ(m_src.HandleIrEvent(NEC_CODE_REPEAT), m_log.result);
    EXPECT_EQ(LastEvent().nKeyId, KEYID_MUTE);
    EXPECT_EQ(m_src.GetKeyId(), KEYID_MUTE);
}

TEST_F(SrcDoubleFunction, ReceiverWithoutSupportReportsTheKeyItself) {
    CTestSrc src(m_clock, RCTYPE_NEC_866B, 0);
    src.Init(&m_log, RecordEvent);
    const std::size_t sleeps = m_clock.Sleeps().size();
    src.HandleIrEvent(kPreviousFrew);
    EXPECT_EQ(m_clock.Sleeps().size(), sleeps);
    EXPECT_EQ(LastEvent().nKeyId, KEYID_PREVIOUS_FREW);
    EXPECT_EQ(LastEvent().fNoAutoRepeat, 0);
}

struct tagADDRESSCASE {
    unsigned nAddress;
    unsigned nVariant;
    int nRcType;
};

class SrcAddress : public Src, public ::testing::WithParamInterface<tagADDRESSCASE> {};

TEST_P(SrcAddress, SelectsRcType) {
    const tagADDRESSCASE& row = GetParam();
    CSrc src(0, m_clock);
    EXPECT_EQ(src.SetRcTypeFromAddress(row.nAddress, row.nVariant), row.nRcType != RCTYPE_NONE ? 1 : 0);
    EXPECT_EQ(src.GetRcType(), row.nRcType);
}

INSTANTIATE_TEST_SUITE_P(Rows, SrcAddress,
                         ::testing::Values(tagADDRESSCASE{0x02BD, 0, 0x1000}, tagADDRESSCASE{0xFFFF, 0, 0x1000},
                                           tagADDRESSCASE{0x04EB, 0, 0x0010}, tagADDRESSCASE{0x04EB, 1, 0x0400},
                                           tagADDRESSCASE{0x04EB, 0x100, 0x0010},  // low byte decides
                                           tagADDRESSCASE{0x04FB, 1, 0x0008}, tagADDRESSCASE{0x1400, 0, 0x0040},
                                           tagADDRESSCASE{0x14EB, 0, 0x0040}, tagADDRESSCASE{0x4545, 0, 0x0800},
                                           tagADDRESSCASE{0x866B, 0, 0x0002},
                                           tagADDRESSCASE{0x1866B, 0, 0x0002},  // compared as 16 bits
                                           tagADDRESSCASE{0x1234, 0, 0x0000}, tagADDRESSCASE{0x0000, 0, 0x0000}));

TEST_F(Src, UnknownAddressDropsTypeAgain) {
    CTestSrc src(m_clock, RCTYPE_NONE, 0);
    src.Init(&m_log, RecordEvent);
    ASSERT_EQ(src.SetRcTypeFromAddress(0x866B, 0), 1);
    EXPECT_EQ(src.HandleIrEvent(kPower), 7);
    EXPECT_EQ(src.SetRcTypeFromAddress(0x1234, 0), 0);
    EXPECT_EQ(src.GetRcType(), RCTYPE_NONE);
    m_clock.Advance(80);
    EXPECT_EQ(src.HandleIrEvent(kMute), 0);
    EXPECT_EQ(m_log.events.size(), 1u);
}

#ifndef _WIN32
TEST_F(Src, RcTypeChangeIsTraced) {
    CSrc src(0, m_clock);
    TraceHostTakeLines();
    src.SetRcTypeFromAddress(0x04EB, 1);
    src.SetRcTypeFromAddress(0x04EB, 1);
    src.SetRcTypeFromAddress(0x04EB, 0);
    const std::vector<std::wstring> expected = {
        L"     Remote Control changed from RCTYPE 0x0000 to 0x0400\n",
        L"     Remote Control changed from RCTYPE 0x0400 to 0x0010\n",
    };
    EXPECT_EQ(TraceHostTakeLines(), expected);
}
#endif

}  // namespace
