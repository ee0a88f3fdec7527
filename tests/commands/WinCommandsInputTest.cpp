// Synthesised input against KanzoTarget.exe: keystrokes with modifiers and
// Caps Lock, keypad digits, typed text, the enabled pop-up, mouse clicks,
// single mouse steps and the accelerated continuous move.

#include "commands/WinCommands.h"
#include "commands/WinCommandRules.h"
#include "commands/WinMouseMove.h"
#include "support/ScopedWin.h"
#include "tests/commands/CommandTestUtil.h"
#include "tests/support/FakeClock.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using cmdtest::Cmd;
using cmdtest::LinesUntilBarrier;
using cmdtest::PumpUntil;
using cmdtest::TargetSet;

bool CapsLockOn() {
    return (GetKeyState(VK_CAPITAL) & 1) != 0;
}

POINT Cursor() {
    POINT p = {};
    GetCursorPos(&p);
    return p;
}

class WinCommandsInput : public cmdtest::CTargetTest {
protected:
    std::wstring EditText(int id = TARGET_ID_EDIT) const {
        HWND parent = id == TARGET_ID_EDIT ? Window() : FindWindowW(KANZO_TARGET_POPUP_CLASS, nullptr);
        wchar_t text[256] = {};
        SendMessageW(GetDlgItem(parent, id), WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
        return text;
    }
    // The key lines (KEYDOWN/KEYUP and their SYS forms) up to a barrier.
    std::vector<std::wstring> KeyLines() {
        std::vector<std::wstring> keys;
        for (const std::wstring& line : LinesUntilBarrier(m_record, Window(), m_from)) {
            if (line.find(L"KEY") != std::wstring::npos)
                keys.push_back(line);
        }
        return keys;
    }
    ::testing::AssertionResult WaitForText(const std::wstring& text, int id = TARGET_ID_EDIT) {
        if (PumpUntil([&] { return EditText(id) == text; }, 5000))
            return ::testing::AssertionSuccess();
        const std::wstring got = EditText(id);
        return ::testing::AssertionFailure() << "typed: " << std::string(got.begin(), got.end());
    }
};

class WinCommandsPopup : public WinCommandsInput {
protected:
    WinCommandsPopup() { m_options = L"--popup"; }
};

TEST_F(WinCommandsInput, CtrlShiftAWithCapsLockSwitchedOnForTheKeyAndRestored) {
    ASSERT_FALSE(CapsLockOn()) << "the session starts with Caps Lock off";
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_KEY, 0x41, CMD_MOD_CTRL | CMD_MOD_SHIFT), &m_set));
    ASSERT_GE(m_record.WaitFor(L"KEYUP 20", m_record.WaitFor(L"KEYUP 65", m_from) + 1), 0);
    const std::vector<std::wstring> keys = KeyLines();
    const std::vector<std::wstring> expected = {
        L"KEYDOWN 20 - caps=1 in=1006", L"KEYUP 20 - caps=1 in=1006",   // Caps Lock on
        L"KEYDOWN 17 C caps=1 in=1006", L"KEYDOWN 16 CS caps=1 in=1006",
        L"KEYDOWN 65 CS caps=1 in=1006", L"KEYUP 65 CS caps=1 in=1006",
        L"KEYUP 16 C caps=1 in=1006",   L"KEYUP 17 - caps=1 in=1006",
        L"KEYDOWN 20 - caps=0 in=1006", L"KEYUP 20 - caps=0 in=1006",   // and off again
    };
    EXPECT_EQ(expected, keys);
    EXPECT_FALSE(CapsLockOn());
}

TEST_F(WinCommandsInput, AltModifierUsesTheSystemKeys) {
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_KEY, VK_F5, CMD_MOD_ALT), &m_set));
    ASSERT_GE(m_record.WaitFor(L"KEYUP 18", m_from), 0);
    const std::vector<std::wstring> keys = KeyLines();
    ASSERT_EQ(4u, keys.size());
    EXPECT_EQ(0u, keys[0].find(L"SYSKEYDOWN 18 A"));
    EXPECT_EQ(0u, keys[1].find(L"SYSKEYDOWN 116 A")) << "F5 with Alt";
    EXPECT_EQ(0u, keys[2].find(L"SYSKEYUP 116 A"));
}

TEST_F(WinCommandsInput, KeypadDigitsOfTheDefaultSet) {
    for (int n = 0; n <= 9; ++n)
        EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_KEY, 96 + n), &m_set));
    ASSERT_GE(m_record.WaitFor(L"KEYUP 105", m_from), 0);
    std::vector<std::wstring> downs;
    for (const std::wstring& line : KeyLines()) {
        if (line.compare(0, 8, L"KEYDOWN ") == 0)
            downs.push_back(line.substr(8, line.find(L' ', 8) - 8));
    }
    EXPECT_EQ(std::vector<std::wstring>({L"96", L"97", L"98", L"99", L"100", L"101", L"102", L"103", L"104", L"105"}),
              downs);
}

TEST_F(WinCommandsInput, TextThroughTheKeyScanTranslation) {
    const std::wstring text = L"HELLO, WORLD 42?";
    for (wchar_t ch : text)
        EXPECT_TRUE(CWinCommands::SendKeystroke(Window(), ch, FALSE, FALSE, FALSE));
    EXPECT_TRUE(WaitForText(text));
    EXPECT_FALSE(CapsLockOn());
}

TEST_F(WinCommandsInput, TableKeysAreSentAsVirtualKeys) {
    for (wchar_t ch : std::wstring(L"AB"))
        CWinCommands::SendKeystroke(Window(), ch, FALSE, FALSE, FALSE);
    CWinCommands::SendKeystroke(Window(), VK_BACK, FALSE, FALSE, FALSE);
    CWinCommands::SendKeystroke(Window(), VK_SPACE, FALSE, FALSE, FALSE);
    EXPECT_TRUE(WaitForText(L"A "));
}

TEST_F(WinCommandsInput, CharacterTheLayoutCannotTypeSendsNothing) {
    if (VkKeyScanW(L'\x4E2D') != -1)
        GTEST_SKIP() << "this keyboard layout has a key for U+4E2D";
    // Its low byte is the code of Insert; it must not be sent as that key.
    EXPECT_FALSE(CWinCommands::SendKeystroke(Window(), 0x4E2D, FALSE, FALSE, FALSE));
    EXPECT_TRUE(KeyLines().empty());
}

TEST_F(WinCommandsPopup, KeystrokeGoesToTheEnabledPopup) {
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_KEY, 'X'), &m_set));
    EXPECT_GE(m_record.WaitFor(L"KEYDOWN 88 - caps=1 in=2001", m_from), 0);
    EXPECT_TRUE(WaitForText(L"X", TARGET_ID_POPUP_EDIT));
    EXPECT_EQ(L"", EditText());
}

// The pointer on a point of the target's client area away from every
// control. It is there before the target's window appears: what Wine then
// reports late names the same place. The first test learns the point.
class WinCommandsMouse : public WinCommandsInput {
protected:
    void SetUp() override {
        WinCommandsInput::SetUp();
        if (HasFatalFailure())
            return;
        POINT p = {380, 190};
        ClientToScreen(Window(), &p);
        if (!s_clickPointKnown || s_clickPoint.x != p.x || s_clickPoint.y != p.y) {
            s_clickPoint = p;
            s_clickPointKnown = true;
            ASSERT_TRUE(cmdtest::MovePointer(p));
            StartTarget();
        }
    }
    POINT PointerAtStart() const override { return s_clickPointKnown ? s_clickPoint : cmdtest::OpenScreenCorner(); }
    static POINT s_clickPoint;
    static bool s_clickPointKnown;
    std::vector<std::wstring> MouseLines() {
        std::vector<std::wstring> lines;
        for (const std::wstring& line : LinesUntilBarrier(m_record, Window(), m_from)) {
            if (line.find(L"BUTTON") != std::wstring::npos && line.compare(0, 7, L"BUTTON ") != 0)
                lines.push_back(line.substr(0, line.find(L' ')));
        }
        return lines;
    }
};

POINT WinCommandsMouse::s_clickPoint = {};
bool WinCommandsMouse::s_clickPointKnown = false;

TEST_F(WinCommandsMouse, ClicksOfEveryButton) {
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_SYS, WINCMD_SYS_MOUSE_CLICK, 0), &m_set));
    ASSERT_GE(m_record.WaitFor(L"LBUTTONUP 380 190", m_from), 0);
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_SYS, WINCMD_SYS_MOUSE_CLICK, 1), &m_set));
    ASSERT_GE(m_record.WaitFor(L"MBUTTONUP", m_from), 0);
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_SYS, WINCMD_SYS_MOUSE_CLICK, 2), &m_set));
    ASSERT_GE(m_record.WaitFor(L"RBUTTONUP", m_from), 0);
    EXPECT_EQ(std::vector<std::wstring>({L"LBUTTONDOWN", L"LBUTTONUP", L"MBUTTONDOWN", L"MBUTTONUP", L"RBUTTONDOWN",
                                         L"RBUTTONUP"}),
              MouseLines());
}

TEST_F(WinCommandsMouse, DoubleClickIsTwoLeftClicks) {
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_SYS, WINCMD_SYS_MOUSE_CLICK, 3), &m_set));
    ASSERT_GE(m_record.WaitFor(L"LBUTTONDBLCLK", m_from), 0);
    ASSERT_GE(m_record.WaitFor(L"LBUTTONUP", m_record.WaitFor(L"LBUTTONDBLCLK", m_from)), 0);
    EXPECT_EQ(std::vector<std::wstring>({L"LBUTTONDOWN", L"LBUTTONUP", L"LBUTTONDBLCLK", L"LBUTTONUP"}), MouseLines());
}

// Steps need no window: the pointer moves where no window hears of it.
TEST(WinCommandsMouseStep, MoveStepsOnePixelInEachDirection) {
    ASSERT_TRUE(cmdtest::MovePointer(cmdtest::OpenScreenCorner()));
    const int expected[8][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}, {-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
    for (int d = 0; d < 8; ++d) {
        const POINT before = Cursor();
        EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_SYS, WINCMD_SYS_MOUSE_MOVE, d), nullptr));
        const POINT want = {before.x + expected[d][0], before.y + expected[d][1]};
        EXPECT_TRUE(PumpUntil([&] { return Cursor().x == want.x && Cursor().y == want.y; }, 2000))
            << "direction " << d << " from " << before.x << "," << before.y << " ended at " << Cursor().x << ","
            << Cursor().y;
    }
}

// The continuous move runs on this thread's hidden window; the fake clock
// decides how long the move has run.
class MouseMover : public ::testing::Test {
protected:
    // Relative moves are accelerated past the mouse thresholds; the steps
    // are measured without that.
    void SetUp() override {
        SystemParametersInfoW(SPI_GETMOUSE, 0, m_mouse, 0);
        int none[3] = {0, 0, 0};
        SystemParametersInfoW(SPI_SETMOUSE, 0, none, 0);
        SetCursorPos(300, 300);
        PumpUntil([] { return Cursor().x == 300; }, 2000);
    }
    void TearDown() override {
        CWinMouseMove::SetMainWindow(nullptr);
        SystemParametersInfoW(SPI_SETMOUSE, 0, m_mouse, 0);
    }
    int m_mouse[3] = {};
    // Waits for the cursor to leave its place; the distance it moved.
    int NextMove() {
        const POINT before = Cursor();
        PumpUntil([&] { return Cursor().x != before.x || Cursor().y != before.y; }, 2000);
        const POINT after = Cursor();
        return (after.x - before.x) + (after.y - before.y);
    }
    FakeClock m_clock{1000};
};

TEST_F(MouseMover, TicksStepAndAccelerate) {
    CWinMouseMove mover(m_clock);
    mover.Start(1, 0);
    ASSERT_TRUE(mover.IsRunning());
    EXPECT_EQ(static_cast<UINT_PTR>(WINCMD_MOUSE_TIMER_ID), mover.GetTimerId());
    EXPECT_EQ(1, NextMove()) << "first second: one pixel a tick";
    m_clock.Advance(1600);
    EXPECT_EQ(3, NextMove());
    m_clock.Advance(4000);
    EXPECT_EQ(8, NextMove());
    mover.Stop();
    EXPECT_FALSE(mover.IsRunning());
    EXPECT_EQ(0u, mover.GetTimerId());
}

TEST_F(MouseMover, SameDirectionTwiceStopsAndAnotherRedirects) {
    CWinMouseMove mover(m_clock);
    mover.Start(0, 1);
    m_clock.Advance(2500);
    EXPECT_EQ(4, NextMove());
    mover.Start(0, -1);
    EXPECT_TRUE(mover.IsRunning());
    EXPECT_EQ(-1, NextMove()) << "a new direction starts slow again";
    mover.Start(0, -1);
    EXPECT_FALSE(mover.IsRunning());
    EXPECT_EQ(0u, mover.GetTimerId());
    mover.OnTimer();
    const POINT still = Cursor();
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(still.x, Cursor().x);
    EXPECT_EQ(still.y, Cursor().y);
}

TEST_F(MouseMover, MainWindowOwnsTheTimerOnceItExists) {
    CWinMouseMove mover(m_clock);
    mover.Start(1, 1);
    HWND hidden = mover.GetTimerWindow();
    ASSERT_NE(nullptr, hidden);
    EXPECT_FALSE(IsWindowVisible(hidden));
    EXPECT_EQ(GetCurrentThreadId(), GetWindowThreadProcessId(hidden, nullptr)) << "the constructing thread's";
    mover.Stop();

    CQVWindow main(CreateWindowExW(0, L"STATIC", L"main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
    CWinMouseMove::SetMainWindow(main.Get());
    mover.Start(1, 1);
    EXPECT_EQ(main.Get(), mover.GetTimerWindow());
    EXPECT_EQ(2, NextMove()) << "one pixel right and one down";
    mover.Stop();
    main.Close();
    CWinMouseMove::SetMainWindow(nullptr);
    mover.Start(1, 1);
    EXPECT_EQ(hidden, mover.GetTimerWindow()) << "back to the hidden window";
}

}  // namespace
