// Multi-tap text input with a fake clock: the key sequences a user types, the
// display text with its marks, the confirmation flash and the caller's protocol.
#include "commands/MultiTapInput.h"
#include "commands/MultiTapTable.h"
#include "support/QVDebug.h"
#include "tests/support/FakeClock.h"

#ifndef _WIN32
#include "support/QVDebugHost.h"
#endif

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kNever = 0xFFFFFFFFu;

// The stop event: set when the next key event arrives, at a time the test says.
class ScriptedStop final : public IMultiTapStop {
public:
    explicit ScriptedStop(FakeClock& clock) : m_clock(clock) {}
    void SetEventAt(std::optional<std::uint32_t> at) { m_eventAt = at; }
    void FailNextWait() { m_fail = true; }
    MultiTapWait Wait(std::uint32_t timeoutMs) override {
        waits.push_back(timeoutMs);
        if (m_fail) {
            m_fail = false;
            return MultiTapWait::Failed;
        }
        const std::uint32_t start = m_clock.NowMs();
        if (m_eventAt && *m_eventAt <= start)
            return MultiTapWait::Signalled;
        if (m_eventAt && *m_eventAt - start < timeoutMs) {
            m_clock.Set(*m_eventAt);
            return MultiTapWait::Signalled;
        }
        m_clock.Advance(timeoutMs);
        return MultiTapWait::TimedOut;
    }
    std::vector<std::uint32_t> waits;

private:
    FakeClock& m_clock;
    std::optional<std::uint32_t> m_eventAt;
    bool m_fail = false;
};

class FakeDisplay final : public IMultiTapDisplay {
public:
    explicit FakeDisplay(FakeClock& clock) : m_clock(clock) {}
    void ShowText(const wchar_t* text) override {
        events.push_back((m_exchanged ? L"flash:" : L"show:") + std::wstring(text));
        m_clock.Advance(latencyMs);
    }
    void SetColoursExchanged(bool exchanged) override {
        m_exchanged = exchanged;
        events.push_back(exchanged ? L"exchange" : L"restore");
    }
    std::vector<std::wstring> events;
    std::uint32_t latencyMs = 0;  // time the display takes to show a text

private:
    FakeClock& m_clock;
    bool m_exchanged = false;
};

struct tagTYPED {
    wchar_t ch;
    std::uint32_t at;
    tagWINCMD cmd;
};

class RecordingActions final : public IMultiTapActions {
public:
    explicit RecordingActions(FakeClock& clock) : m_clock(clock) {}
    void PlayKeySound() override { ++sounds; }
    bool ExecuteCommand(const tagWINCMD& cmd) override {
        typed.push_back({static_cast<wchar_t>(cmd.nSubType), m_clock.NowMs(), cmd});
        return true;
    }
    std::wstring Text() const {
        std::wstring text;
        for (const tagTYPED& t : typed)
            text += t.ch;
        return text;
    }
    int sounds = 0;
    std::vector<tagTYPED> typed;

private:
    FakeClock& m_clock;
};

tagWINCMD DigitCommand(int keyId) {
    tagWINCMD cmd;
    cmd.nType = CMD_KEY;
    cmd.nSubType = '0' + (keyId - MULTITAP_FIRST_KEY);
    return cmd;
}

class MultiTap : public ::testing::Test {
protected:
    void SetUp() override { TraceInitEx(QVOUT_DEBUGGER, nullptr, 0, QVL_INFO, QVC_COMMAND); }
    void TearDown() override { TraceTerminateThread(TraceCurrentThreadId(), 1); }

    // One key event through the caller's protocol; the next key event arrives
    // nextAfterMs after this press (kNever: none). Returns whether the event
    // was finished by multi-tap input.
    bool Press(int keyId, std::uint32_t nextAfterMs, const tagWINCMD* cmdIn = nullptr) {
        tagWINCMD cmd = cmdIn ? *cmdIn : DigitCommand(keyId);
        const std::uint32_t pressedAt = clock.NowMs();
        std::optional<std::uint32_t> eventAt;
        if (nextAfterMs != kNever)
            eventAt = pressedAt + nextAfterMs;
        stop.SetEventAt(eventAt);
        const bool finished = input.HandleKeyEvent(keyId, cmd, stop, actions);
        if (eventAt && clock.NowMs() < *eventAt)
            clock.Set(*eventAt);
        return finished;
    }

    FakeClock clock{50000};
    FakeDisplay display{clock};
    ScriptedStop stop{clock};
    RecordingActions actions{clock};
    CMultiTapInput input{clock, &display};
};

TEST_F(MultiTap, ThreePressesOfKey2TypeBOneSecondAfterTheLast) {
    EXPECT_TRUE(Press(202, 400));
    EXPECT_TRUE(Press(202, 400));
    EXPECT_TRUE(actions.typed.empty());
    const std::uint32_t lastPress = clock.NowMs();
    EXPECT_TRUE(Press(202, kNever));
    EXPECT_EQ(L"B", actions.Text());
    ASSERT_EQ(1u, actions.typed.size());
    // After the wait the display flashes the choice for 100 ms.
    EXPECT_EQ(lastPress + 1000 + MULTITAP_FLASH_MS, actions.typed[0].at);
    EXPECT_EQ(3, actions.sounds);
    EXPECT_EQ((std::vector<std::uint32_t>{1000, 1000, 1000}), stop.waits);
}

TEST_F(MultiTap, FivePressesOfKey7TypeS) {
    for (int i = 0; i < 4; ++i)
        Press(207, 200);
    Press(207, kNever);
    EXPECT_EQ(L"S", actions.Text());
}

TEST_F(MultiTap, AnotherKeyTypesTheWaitingCharacterAtOnce) {
    Press(202, 300);
    const std::uint32_t secondPress = clock.NowMs();
    EXPECT_TRUE(Press(203, kNever));
    EXPECT_EQ(L"23", actions.Text());
    ASSERT_EQ(2u, actions.typed.size());
    EXPECT_EQ(secondPress, actions.typed[0].at);
    EXPECT_EQ(secondPress + 1000 + MULTITAP_FLASH_MS, actions.typed[1].at);
}

TEST_F(MultiTap, APressAfterTheTimeoutStartsAgainAtTheDigit) {
    Press(202, 300);
    Press(202, kNever);
    EXPECT_EQ(L"A", actions.Text());
    clock.Advance(500);
    Press(202, kNever);
    EXPECT_EQ(L"A2", actions.Text());
}

TEST_F(MultiTap, ASlowSecondPressOfTheSameKeyKeepsTheWaitingCharacter) {
    // The display takes its time, so the wait ends later than one second after
    // the press; a press in that gap starts a new cycle and must first type
    // the character that was waiting.
    display.latencyMs = 50;
    Press(202, 300);
    Press(202, 1020);
    EXPECT_TRUE(actions.typed.empty());
    EXPECT_EQ(202, input.GetPendingKey());
    Press(202, kNever);
    EXPECT_EQ(L"A2", actions.Text());
}

TEST_F(MultiTap, TablesWrapAround) {
    for (int i = 0; i < 14; ++i)
        Press(201, 100);
    Press(201, kNever);
    EXPECT_EQ(L"1", actions.Text());
    clock.Advance(2000);
    Press(200, 100);
    Press(200, kNever);
    EXPECT_EQ(L"1 ", actions.Text());
}

TEST_F(MultiTap, AnotherCommandTypesTheWaitingCharacterAndDispatchesNormally) {
    Press(209, 100);
    Press(209, 100);
    tagWINCMD enter;
    enter.nType = CMD_KEY;
    enter.nSubType = 13;
    EXPECT_FALSE(Press(184, kNever, &enter));
    EXPECT_EQ(L"W", actions.Text());
    EXPECT_EQ(-1, input.GetLastKey());
    EXPECT_EQ(-1, input.GetPendingKey());
    EXPECT_EQ(2, actions.sounds);  // only the digit keys
}

TEST_F(MultiTap, ADigitKeyWithoutADigitKeystrokeIsDispatchedNormally) {
    tagWINCMD close;
    close.nType = CMD_WIN;
    EXPECT_FALSE(Press(202, kNever, &close));
    tagWINCMD letter = DigitCommand(202);
    letter.nSubType = 'A';
    EXPECT_FALSE(Press(202, kNever, &letter));
    EXPECT_TRUE(actions.typed.empty());
    EXPECT_TRUE(display.events.empty());
    EXPECT_TRUE(stop.waits.empty());
    EXPECT_EQ(0, actions.sounds);
}

TEST_F(MultiTap, TheTypedRecordKeepsModifiersAndDropsRepeatAndNoOsd) {
    tagWINCMD cmd = DigitCommand(206);
    cmd.nValue = CMD_MOD_SHIFT;
    cmd.fRepeat = 1;
    cmd.fNoOsd = 1;
    cmd.nParam = 77;
    CopyFixedText(cmd.szText, WINCMD_TEXT_LEN, L"Six");
    Press(206, 100, &cmd);
    Press(206, kNever, &cmd);
    ASSERT_EQ(1u, actions.typed.size());
    const tagWINCMD& typed = actions.typed[0].cmd;
    EXPECT_EQ('M', typed.nSubType);
    EXPECT_EQ(CMD_KEY, typed.nType);
    EXPECT_EQ(CMD_MOD_SHIFT, typed.nValue);
    EXPECT_EQ(77, typed.nParam);
    EXPECT_EQ(0, typed.fRepeat);
    EXPECT_EQ(0, typed.fNoOsd);
    EXPECT_EQ(std::wstring(L"Six"), typed.szText);
}

TEST_F(MultiTap, TheDisplayShowsEachPressAndFlashesTheChoice) {
    Press(202, 300);
    Press(202, kNever);
    const std::vector<std::wstring> expected = {
        L"show: \u00AB2\u00BB ABC", L"show:2 \u00ABA\u00BB BC", L"exchange", L"flash:2 \u00ABA\u00BB BC", L"restore",
    };
    EXPECT_EQ(expected, display.events);
    EXPECT_EQ((std::vector<std::uint32_t>{MULTITAP_FLASH_MS}), clock.Sleeps());
}

TEST_F(MultiTap, WithoutADisplayNothingIsShownOrSlept) {
    input.SetDisplay(nullptr);
    Press(204, kNever);
    EXPECT_EQ(L"4", actions.Text());
    EXPECT_TRUE(clock.Sleeps().empty());
}

TEST_F(MultiTap, AFailedWaitEndsWithoutTyping) {
    tagWINCMD cmd = DigitCommand(205);
    stop.FailNextWait();
    EXPECT_EQ(0, input.Input(205, cmd, stop));
    EXPECT_EQ(-1, input.GetPendingKey());
    tagWINCMD pending;
    EXPECT_FALSE(input.GetPendingCommand(203, pending));
}

TEST_F(MultiTap, InputResultsAndPendingCommand) {
    tagWINCMD cmd = DigitCommand(208);
    stop.SetEventAt(clock.NowMs() + 10);
    EXPECT_EQ(MULTITAP_ABORTED, input.Input(208, cmd, stop));
    tagWINCMD pending;
    EXPECT_FALSE(input.GetPendingCommand(208, pending));  // continues its cycle
    ASSERT_TRUE(input.GetPendingCommand(209, pending));
    EXPECT_EQ('8', pending.nSubType);

    cmd = DigitCommand(208);
    stop.SetEventAt(std::nullopt);
    EXPECT_EQ(MULTITAP_TYPE, input.Input(208, cmd, stop));
    EXPECT_EQ('T', cmd.nSubType);
    EXPECT_FALSE(input.GetPendingCommand(209, pending));

    tagWINCMD other;
    EXPECT_EQ(MULTITAP_NO_KEY, input.Input(208, other, stop));
}

struct tagKEYCASE {
    int keyId;
    int nType;
    int nSubType;
    bool expected;
};

class MultiTapKey : public ::testing::TestWithParam<tagKEYCASE> {};

TEST_P(MultiTapKey, DigitKeysWithDigitKeystrokes) {
    tagWINCMD cmd;
    cmd.nType = GetParam().nType;
    cmd.nSubType = GetParam().nSubType;
    EXPECT_EQ(GetParam().expected, CMultiTapInput::IsMultiTapKey(GetParam().keyId, cmd));
}

INSTANTIATE_TEST_SUITE_P(Keys, MultiTapKey,
                         ::testing::Values(tagKEYCASE{200, CMD_KEY, '0', true}, tagKEYCASE{209, CMD_KEY, '9', true},
                                           tagKEYCASE{203, CMD_KEY, '7', true}, tagKEYCASE{205, CMD_KEY, 96, true},
                                           tagKEYCASE{205, CMD_KEY, 105, true}, tagKEYCASE{199, CMD_KEY, '0', false},
                                           tagKEYCASE{210, CMD_KEY, '1', false}, tagKEYCASE{202, CMD_KEY, '/', false},
                                           tagKEYCASE{202, CMD_KEY, ':', false}, tagKEYCASE{202, CMD_KEY, 95, false},
                                           tagKEYCASE{202, CMD_KEY, 106, false}, tagKEYCASE{202, CMD_SYS, '2', false},
                                           tagKEYCASE{202, CMD_NONE, '2', false}));

TEST(MultiTapTable, CharactersAndDisplayText) {
    EXPECT_STREQ(L"0 ", GetMultiTapCharacters(200));
    EXPECT_STREQ(L"1.,?!'-()*+<=>", GetMultiTapCharacters(201));
    EXPECT_STREQ(L"7PQRS", GetMultiTapCharacters(207));
    EXPECT_STREQ(L"9WXYZ", GetMultiTapCharacters(209));
    EXPECT_EQ(nullptr, GetMultiTapCharacters(210));
    EXPECT_EQ(0, GetMultiTapLength(199));

    EXPECT_EQ(L"2 \u00ABA\u00BB BC", FormatMultiTapDisplay(202, 1));
    EXPECT_EQ(L"9WXY \u00ABZ\u00BB ", FormatMultiTapDisplay(209, 4));
    EXPECT_EQ(L"2ABC", FormatMultiTapDisplay(202, 4));  // outside the table: no mark
    EXPECT_EQ(L"2ABC", FormatMultiTapDisplay(202, -1));
    EXPECT_EQ(L" \u00AB0\u00BB _", FormatMultiTapDisplay(200, 0));
    EXPECT_EQ(L"0 \u00AB_\u00BB ", FormatMultiTapDisplay(200, 1));
    EXPECT_EQ(L"", FormatMultiTapDisplay(150, 0));
}

#ifndef _WIN32
TEST_F(MultiTap, TraceLines) {
    TraceHostTakeLines();
    Press(202, 100);
    Press(202, kNever);
    const std::vector<std::wstring> expected = {
        L"     SMS key - new key\n",
        L"     Wait aborted\n",
        L"     SMS key - Pressed again\n",
        L"     Wait timeout\n",
    };
    EXPECT_EQ(expected, TraceHostTakeLines());
}
#endif

}  // namespace
