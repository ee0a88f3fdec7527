// CWinCommands::Execute row by row against KanzoTarget.exe (window, control
// and start commands) and against the recording fakes (power, volume).

#include "commands/WinCommands.h"
#include "commands/WinCommandRules.h"
#include "support/ScopedWin.h"
#include "tests/commands/CommandTestUtil.h"
#include "tests/commands/WinCommandsFakes.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

using cmdtest::Barrier;
using cmdtest::Cmd;
using cmdtest::LinesUntilBarrier;
using cmdtest::PumpUntil;
using cmdtest::TargetSet;
using cmdtest::tagFAKE_VOLUME;

class WinCommandsOnTarget : public cmdtest::CTargetTest {
protected:
    bool WaitState(bool (*state)(HWND)) {
        return PumpUntil([&] { return state(Window()); }, 5000);
    }
    static bool Zoomed(HWND w) { return IsZoomed(w) != FALSE; }
    static bool Iconic(HWND w) { return IsIconic(w) != FALSE; }
    static bool Normal(HWND w) { return !IsZoomed(w) && !IsIconic(w); }
};

class WinCommandsOnMaximized : public WinCommandsOnTarget {
protected:
    WinCommandsOnMaximized() { m_options = L"--maximized"; }
};

// --- window commands ---

TEST_F(WinCommandsOnTarget, CloseEndsTheTarget) {
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_WIN, WINCMD_WIN_CLOSE), &m_set));
    EXPECT_GE(m_record.WaitFor(L"SYSCOMMAND 0xF060", m_from), 0);
    EXPECT_GE(m_record.WaitFor(L"CLOSE", m_from), 0);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(Window()); }, 5000));
}

TEST_F(WinCommandsOnTarget, ToggleOpenClosesARunningTarget) {
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_WIN, WINCMD_WIN_TOGGLE_OPEN), &m_set));
    EXPECT_GE(m_record.WaitFor(L"CLOSE", m_from), 0);
}

TEST_F(WinCommandsOnTarget, MaximiseTwiceRestores) {
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_WIN, WINCMD_WIN_MAXIMIZE), &m_set));
    ASSERT_TRUE(WaitState(Zoomed));
    POINT cursor = {};
    GetCursorPos(&cursor);
    // Out of the way: the maximised size, kept on the screen.
    EXPECT_EQ(std::min(GetSystemMetrics(SM_CXMAXIMIZED), GetSystemMetrics(SM_CXSCREEN) - 1), cursor.x);
    EXPECT_EQ(std::min(GetSystemMetrics(SM_CYMAXIMIZED), GetSystemMetrics(SM_CYSCREEN) - 1), cursor.y);
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_WIN, WINCMD_WIN_MAXIMIZE), &m_set));
    EXPECT_TRUE(WaitState(Normal));
    EXPECT_GE(m_record.WaitFor(L"SYSCOMMAND 0xF120", m_from), 0);
}

TEST_F(WinCommandsOnTarget, MinimiseTwiceRestores) {
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_WIN, WINCMD_WIN_MINIMIZE), &m_set));
    ASSERT_TRUE(WaitState(Iconic));
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_WIN, WINCMD_WIN_MINIMIZE), &m_set));
    EXPECT_TRUE(WaitState(Normal));
}

TEST_F(WinCommandsOnTarget, ToggleMaximiseInBothStates) {
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_WIN, WINCMD_WIN_TOGGLE_MAXIMIZE), &m_set));
    ASSERT_TRUE(WaitState(Zoomed));
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_WIN, WINCMD_WIN_TOGGLE_MAXIMIZE), &m_set));
    EXPECT_TRUE(WaitState(Normal));
}

TEST_F(WinCommandsOnTarget, ToggleMinimiseInBothStates) {
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_WIN, WINCMD_WIN_TOGGLE_MINIMIZE), &m_set));
    ASSERT_TRUE(WaitState(Iconic));
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_WIN, WINCMD_WIN_TOGGLE_MINIMIZE), &m_set));
    EXPECT_TRUE(WaitState(Normal));
}

TEST_F(WinCommandsOnMaximized, ToggleMinimiseOfAMaximisedWindowMinimisesIt) {
    ASSERT_TRUE(IsZoomed(Window()));
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_WIN, WINCMD_WIN_TOGGLE_MINIMIZE), &m_set));
    EXPECT_TRUE(WaitState(Iconic));
    EXPECT_GE(m_record.WaitFor(L"SYSCOMMAND 0xF020", m_from), 0);
}

TEST_F(WinCommandsOnMaximized, RestoreBringsBackTheNormalSize) {
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_WIN, WINCMD_WIN_RESTORE), &m_set));
    EXPECT_TRUE(WaitState(Normal));
}

TEST_F(WinCommandsOnTarget, ScreenSaverCommandCarriesItsCodeAsLParam) {
    EXPECT_TRUE(CWinCommands::SendSysCommand(Window(), WINCMD_SC_SCREENSAVE));
    EXPECT_TRUE(CWinCommands::SendSysCommand(Window(), WINCMD_SC_RESTORE));
    const std::vector<std::wstring> lines = LinesUntilBarrier(m_record, Window(), m_from);
    ASSERT_LE(2u, lines.size());
    EXPECT_EQ(L"SYSCOMMAND 0xF140 lp=0xF140", lines[0]);
    EXPECT_EQ(L"SYSCOMMAND 0xF120 lp=0x0", lines[1]) << "every other code with lParam 0";
}

TEST_F(WinCommandsOnTarget, UnknownWindowSubtypeDoesNothingButAnswersTrue) {
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_WIN, 7), &m_set));
    EXPECT_TRUE(LinesUntilBarrier(m_record, Window(), m_from).empty());
}

TEST_F(WinCommandsOnTarget, CommandCaptionOverridesTheSetsCaption) {
    tagWINCMD command = Cmd(CMD_CTL, WINCMD_CTL_MENU, TARGET_ID_MENU_ONE);
    CopyFixedText(command.szWindowCaption, WINCMD_TEXT_LEN, L"KANZO COMMAND TARGET");
    tagPRGINFO other = TargetSet(L"Some Other Caption");
    EXPECT_TRUE(CWinCommands::Execute(command, &other));
    EXPECT_GE(m_record.WaitFor(L"MENU 40001", m_from), 0);
}

// --- control commands ---

TEST_F(WinCommandsOnTarget, MenuItemPostsItsCommand) {
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_CTL, WINCMD_CTL_MENU, TARGET_ID_MENU_ONE), &m_set));
    EXPECT_GE(m_record.WaitFor(L"MENU 40001", m_from), 0);
}

TEST_F(WinCommandsOnTarget, ButtonIsClicked) {
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_CTL, WINCMD_CTL_BUTTON, TARGET_ID_BUTTON_B), &m_set));
    EXPECT_GE(m_record.WaitFor(L"BUTTON 1002", m_from), 0);
}

TEST_F(WinCommandsOnTarget, ButtonCommandOnAnotherClassClicksNothing) {
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_CTL, WINCMD_CTL_BUTTON, TARGET_ID_COMBO), &m_set));
    EXPECT_FALSE(CWinCommands::ClickButton(Window(), TARGET_ID_EDIT));
    EXPECT_FALSE(CWinCommands::ClickButton(Window(), 4242));
    EXPECT_TRUE(LinesUntilBarrier(m_record, Window(), m_from).empty());
}

TEST_F(WinCommandsOnTarget, ComboIndexInRangeSelectsAndNotifies) {
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_CTL, WINCMD_CTL_COMBO, TARGET_ID_COMBO, 2), &m_set));
    const std::vector<std::wstring> lines = LinesUntilBarrier(m_record, Window(), m_from);
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(L"COMBO 1003 SELCHANGE 2", lines[0]);
    EXPECT_EQ(L"COMBO 1003 SELENDOK 2", lines[1]);
    EXPECT_EQ(2, SendMessageW(GetDlgItem(Window(), TARGET_ID_COMBO), CB_GETCURSEL, 0, 0));
}

TEST_F(WinCommandsOnTarget, ComboIndexEqualToTheCountDoesNothing) {
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_CTL, WINCMD_CTL_COMBO, TARGET_ID_COMBO, TARGET_COMBO_ITEMS), &m_set));
    EXPECT_FALSE(CWinCommands::SelectComboItem(Window(), TARGET_ID_COMBO, TARGET_COMBO_ITEMS));
    EXPECT_TRUE(LinesUntilBarrier(m_record, Window(), m_from).empty());
    EXPECT_EQ(0, SendMessageW(GetDlgItem(Window(), TARGET_ID_COMBO), CB_GETCURSEL, 0, 0));
}

TEST_F(WinCommandsOnTarget, SliderPlusTenPercentAt48Of50Gives50) {
    HWND trackbar = GetDlgItem(Window(), TARGET_ID_TRACKBAR);
    ASSERT_EQ(48, SendMessageW(trackbar, TBM_GETPOS, 0, 0));
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_CTL, WINCMD_CTL_SLIDER, TARGET_ID_TRACKBAR, 10), &m_set));
    EXPECT_EQ(50, SendMessageW(trackbar, TBM_GETPOS, 0, 0));
    const std::vector<std::wstring> lines = LinesUntilBarrier(m_record, Window(), m_from);
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(L"HSCROLL 1004 5 50", lines[0]) << "SB_THUMBTRACK";
    EXPECT_EQ(L"HSCROLL 1004 8 50", lines[1]) << "SB_ENDSCROLL";
}

TEST_F(WinCommandsOnTarget, SliderMinusTenPercentMovesDown) {
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_CTL, WINCMD_CTL_SLIDER, TARGET_ID_TRACKBAR, -10), &m_set));
    EXPECT_EQ(43, SendMessageW(GetDlgItem(Window(), TARGET_ID_TRACKBAR), TBM_GETPOS, 0, 0));
}

TEST_F(WinCommandsOnTarget, ScrollBarMovesByPercentOfItsRange) {
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_CTL, WINCMD_CTL_SLIDER, TARGET_ID_SCROLLBAR, 10), &m_set));
    const std::vector<std::wstring> lines = LinesUntilBarrier(m_record, Window(), m_from);
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(L"VSCROLL 1005 5 30", lines[0]) << "a vertical scroll bar notifies WM_VSCROLL";
    EXPECT_EQ(L"VSCROLL 1005 8 30", lines[1]);
}

TEST_F(WinCommandsOnTarget, SliderCommandOnAnotherClassDoesNothing) {
    EXPECT_FALSE(CWinCommands::MoveSlider(Window(), TARGET_ID_EDIT, 10));
    EXPECT_FALSE(CWinCommands::MoveSlider(Window(), 4242, 10));
    EXPECT_TRUE(LinesUntilBarrier(m_record, Window(), m_from).empty());
}

TEST_F(WinCommandsOnTarget, UnknownControlSubtypeAnswersFalse) {
    EXPECT_FALSE(CWinCommands::Execute(Cmd(CMD_CTL, 4, TARGET_ID_BUTTON_A), &m_set));
    EXPECT_TRUE(LinesUntilBarrier(m_record, Window(), m_from).empty());
}

TEST_F(WinCommandsOnTarget, PrimitivesIgnoreAVanishedWindow) {
    // The owner goes at the end of the line: the handle names a window that is gone.
    const HWND gone =
        CQVWindow(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr)).Get();
    ASSERT_FALSE(IsWindow(gone));
    EXPECT_FALSE(CWinCommands::SendSysCommand(gone, WINCMD_SC_CLOSE));
    EXPECT_FALSE(CWinCommands::SendKeystroke(gone, 'A', FALSE, FALSE, FALSE));
    EXPECT_FALSE(CWinCommands::ClickButton(gone, TARGET_ID_BUTTON_A));
    EXPECT_FALSE(CWinCommands::SelectComboItem(gone, TARGET_ID_COMBO, 1));
    EXPECT_FALSE(CWinCommands::MoveSlider(gone, TARGET_ID_TRACKBAR, 10));
    EXPECT_FALSE(CWinCommands::SendSysCommand(nullptr, WINCMD_SC_CLOSE));
}

// --- commands without a target ---

// Destroying the only window of the session leaves no foreground window, so
// a command that finds no window of its own has no target at all.
class WinCommandsWithoutTarget : public ::testing::Test {
protected:
    void SetUp() override {
        {
            const CQVWindow probe(CreateWindowExW(0, L"STATIC", L"probe", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr,
                                                  nullptr, nullptr, nullptr));
            SetForegroundWindow(probe.Get());
        }
        PumpUntil([] { return GetForegroundWindow() == nullptr; }, 1000);
        if (GetForegroundWindow())
            GTEST_SKIP() << "another window of the session stays in the foreground";
        m_set = TargetSet(L"Kanzo Not Running");
        CopyFixedText(m_set.szExecutable, PRGINFO_TEXT_LEN, L"NotRunning.exe");
    }
    tagPRGINFO m_set;
};

TEST_F(WinCommandsWithoutTarget, KeyAndControlCommandsAnswerFalse) {
    EXPECT_FALSE(CWinCommands::Execute(Cmd(CMD_KEY, 'A'), &m_set));
    EXPECT_FALSE(CWinCommands::Execute(Cmd(CMD_CTL, WINCMD_CTL_MENU, 1), &m_set));
    EXPECT_FALSE(CWinCommands::Execute(Cmd(CMD_WIN, WINCMD_WIN_CLOSE), &m_set));
    EXPECT_FALSE(CWinCommands::Execute(Cmd(CMD_WIN, WINCMD_WIN_MAXIMIZE), nullptr));
}

// --- starting and activating the set's application ---

class StartOrActivate : public ::testing::Test {
protected:
    void TearDown() override {
        if (m_record.WriterProcessId())
            cmdtest::CloseProcessWindows(m_record.WriterProcessId());
    }
    static std::wstring CaptionOption(const wchar_t* caption) {
        return std::wstring(L"--caption=\"") + caption + L"\"";
    }
    cmdtest::CTargetRecord m_record;
};

TEST_F(StartOrActivate, StartsByPathWithItsCommandLine) {
    tagPRGINFO set = TargetSet(L"Kanzo Started By Path");
    CopyFixedText(set.szAppPath, PRGINFO_TEXT_LEN, cmdtest::TargetPath().c_str());
    CopyFixedText(set.szCommandLine, PRGINFO_TEXT_LEN, CaptionOption(L"Kanzo Started By Path").c_str());
    EXPECT_TRUE(CWinCommands::StartOrActivateApp(set));
    ASSERT_GE(m_record.WaitFor(L"READY", 0, 10000), 0);
    EXPECT_NE(nullptr, FindWindowW(nullptr, L"Kanzo Started By Path"));
}

TEST_F(StartOrActivate, StartsTheBareExecutableWhenThereIsNoPath) {
    tagPRGINFO set = TargetSet(L"Kanzo Started By Name");
    CopyFixedText(set.szCommandLine, PRGINFO_TEXT_LEN, CaptionOption(L"Kanzo Started By Name").c_str());
    EXPECT_TRUE(CWinCommands::StartOrActivateApp(set));
    ASSERT_GE(m_record.WaitFor(L"READY", 0, 10000), 0);
    EXPECT_NE(nullptr, FindWindowW(nullptr, L"Kanzo Started By Name"));
}

TEST_F(StartOrActivate, ToggleOpenStartsTheMissingApplication) {
    tagPRGINFO set = TargetSet(L"Kanzo Toggled Open");
    CopyFixedText(set.szAppPath, PRGINFO_TEXT_LEN, cmdtest::TargetPath().c_str());
    CopyFixedText(set.szCommandLine, PRGINFO_TEXT_LEN, CaptionOption(L"Kanzo Toggled Open").c_str());
    // A foreground window of its own must not be closed instead.
    const CQVWindow front(CreateWindowExW(0, L"STATIC", L"front", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                          nullptr, nullptr, nullptr));
    SetForegroundWindow(front.Get());
    EXPECT_FALSE(CWinCommands::Execute(Cmd(CMD_WIN, WINCMD_WIN_TOGGLE_OPEN), &set));
    ASSERT_GE(m_record.WaitFor(L"READY", 0, 10000), 0);
    EXPECT_TRUE(IsWindow(front.Get()));
}

TEST_F(StartOrActivate, BringsARunningTargetToTheTopWithoutStartingAnother) {
    cmdtest::CTargetProcess target(m_record);
    ASSERT_TRUE(target.Start()) << target.Failure();
    const CQVWindow coverOwner(CreateWindowExW(0, L"STATIC", L"cover", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr,
                                               nullptr, nullptr, nullptr));
    const HWND cover = coverOwner.Get();
    SetForegroundWindow(cover);
    SetWindowPos(cover, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    auto above = [&](HWND first, HWND second) {
        for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
            if (w == first)
                return true;
            if (w == second)
                return false;
        }
        return false;
    };
    // The cover's own activation raises it once its messages are handled.
    ASSERT_TRUE(PumpUntil([&] { return above(cover, target.Window()); }, 5000));
    const std::size_t from = m_record.Count();
    EXPECT_TRUE(CWinCommands::StartOrActivateApp(TargetSet()));
    PumpUntil([] { return false; }, 100);
    EXPECT_TRUE(above(target.Window(), cover)) << "raised over the active window";
    EXPECT_FALSE(GetWindowLongW(target.Window(), GWL_EXSTYLE) & WS_EX_TOPMOST) << "not left topmost";
    Barrier(m_record, target.Window(), from);
    EXPECT_TRUE(m_record.Matching(L"READY", from).empty()) << "no second instance";
}

// --- system commands through the fakes ---

class WinCommandsSystem : public ::testing::Test {
protected:
    cmdtest::CFakeSeams m_fakes;
    std::vector<std::wstring>& Calls() { return m_fakes.power.calls; }
};

TEST_F(WinCommandsSystem, PowerValuesReachThePowerActions) {
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_SYS, WINCMD_SYS_POWER, 0), nullptr));
    EXPECT_EQ(std::vector<std::wstring>({L"screensaver"}), Calls()) << "no warning for the screen saver";
    Calls().clear();
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_SYS, WINCMD_SYS_POWER, 1), nullptr));
    EXPECT_EQ(std::vector<std::wstring>({L"warning", L"privilege", L"standby"}), Calls());
    Calls().clear();
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_SYS, WINCMD_SYS_POWER, 2), nullptr));
    EXPECT_EQ(std::vector<std::wstring>({L"warning", L"privilege", L"hibernate"}), Calls());
    Calls().clear();
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_SYS, WINCMD_SYS_POWER, 3), nullptr));
    EXPECT_EQ(std::vector<std::wstring>({L"warning", L"privilege", L"poweroff"}), Calls());
    EXPECT_TRUE(m_fakes.power.failures.empty());
}

TEST_F(WinCommandsSystem, CancelledWarningStopsThePowerCommand) {
    m_fakes.power.warningResult = IDCANCEL;
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_SYS, WINCMD_SYS_POWER, 3), nullptr)) << "the table answers TRUE";
    EXPECT_EQ(std::vector<std::wstring>({L"warning"}), Calls());
    EXPECT_FALSE(CWinCommands::PowerCommand(1, TRUE));
    EXPECT_TRUE(CWinCommands::PowerCommand(1, FALSE)) << "without the warning it proceeds";
    EXPECT_EQ(L"standby", Calls().back());
}

TEST_F(WinCommandsSystem, PowerFailuresAreReported) {
    m_fakes.power.privilegeResult = FALSE;
    EXPECT_FALSE(CWinCommands::PowerCommand(3, FALSE));
    EXPECT_EQ(std::vector<std::wstring>({L"privilege"}), Calls()) << "no power call without the privilege";
    ASSERT_EQ(1u, m_fakes.power.failures.size());
    EXPECT_EQ(L"ERROR: Shutdown failed.\nUse Ctrl+Alt+Del to restart.", m_fakes.power.failures[0]);

    m_fakes.power.privilegeResult = TRUE;
    m_fakes.power.actionResult = FALSE;
    EXPECT_FALSE(CWinCommands::PowerCommand(2, FALSE));
    EXPECT_EQ(2u, m_fakes.power.failures.size());
}

TEST_F(WinCommandsSystem, UnknownPowerValueDoesNothing) {
    EXPECT_FALSE(CWinCommands::PowerCommand(4, TRUE));
    EXPECT_FALSE(CWinCommands::PowerCommand(-1, TRUE));
    EXPECT_TRUE(Calls().empty()) << "not even a warning";
}

TEST_F(WinCommandsSystem, VolumePlusTenAt095GivesOneOnTheEndpoint) {
    m_fakes.volume.state.level = 0.95f;
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_SYS, WINCMD_SYS_VOLUME, 10), nullptr));
    EXPECT_FLOAT_EQ(1.0f, m_fakes.volume.state.level);
    m_fakes.volume.state.level = 0.05f;
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_SYS, WINCMD_SYS_VOLUME, -10), nullptr));
    EXPECT_FLOAT_EQ(0.0f, m_fakes.volume.state.level);
}

TEST_F(WinCommandsSystem, RefusedVolumeWriteLeavesTheLevelAndTheResult) {
    m_fakes.volume.state.level = 0.5f;
    m_fakes.volume.state.setResult = E_NOTIMPL;
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_SYS, WINCMD_SYS_VOLUME, 10), nullptr));
    EXPECT_FLOAT_EQ(0.5f, m_fakes.volume.state.level);
    EXPECT_EQ(1, m_fakes.volume.state.levelWrites);
    EXPECT_FALSE(CWinCommands::ChangeVolume(WINCMD_VOLUME_CHANGE, 10));
    m_fakes.volume.state.hasDevice = false;
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_SYS, WINCMD_SYS_VOLUME, 10), nullptr));
    EXPECT_FALSE(CWinCommands::ChangeVolume(WINCMD_VOLUME_CHANGE, 10));
}

TEST_F(WinCommandsSystem, MuteValuesOnTheEndpoint) {
    tagFAKE_VOLUME& volume = m_fakes.volume.state;
    EXPECT_FALSE(CWinCommands::Execute(Cmd(CMD_SYS, WINCMD_SYS_MUTE, 0), nullptr)) << "the toggle answers FALSE";
    EXPECT_TRUE(volume.mute);
    EXPECT_FALSE(CWinCommands::Execute(Cmd(CMD_SYS, WINCMD_SYS_MUTE, 0), nullptr));
    EXPECT_FALSE(volume.mute);
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_SYS, WINCMD_SYS_MUTE, 1), nullptr));
    EXPECT_TRUE(volume.mute);
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_SYS, WINCMD_SYS_MUTE, 2), nullptr));
    EXPECT_FALSE(volume.mute);
    const int writes = volume.muteWrites;
    EXPECT_FALSE(CWinCommands::Execute(Cmd(CMD_SYS, WINCMD_SYS_MUTE, 3), nullptr));
    EXPECT_EQ(writes, volume.muteWrites) << "other values do nothing";
}

TEST_F(WinCommandsSystem, MixerPathChangesEveryChannel) {
    tagFAKE_VOLUME& volume = m_fakes.volume.state;
    volume.useEndpoint = false;
    volume.mixerVolume = {1000, 62000};
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_SYS, WINCMD_SYS_VOLUME, 10), nullptr));
    EXPECT_EQ(std::vector<DWORD>({1000 + 6553, 65535}), volume.mixerVolume);
    EXPECT_TRUE(CWinCommands::ChangeVolume(WINCMD_VOLUME_MUTE, 0));
    EXPECT_EQ(std::vector<DWORD>({1, 1}), volume.mixerMute);
    EXPECT_TRUE(CWinCommands::ChangeVolume(WINCMD_VOLUME_UNMUTE, 0));
    EXPECT_EQ(std::vector<DWORD>({0, 0}), volume.mixerMute);
}

TEST_F(WinCommandsSystem, MixerToggleFallsBackToOneUniformChannel) {
    tagFAKE_VOLUME& volume = m_fakes.volume.state;
    volume.useEndpoint = false;
    volume.perChannelReads = false;
    volume.mixerMute = {1};
    EXPECT_TRUE(CWinCommands::ChangeVolume(WINCMD_VOLUME_TOGGLE, 0));
    EXPECT_EQ(std::vector<DWORD>({0}), volume.mixerMute) << "the inverse of channel 0";
    volume.mixerVolume = {30000};
    EXPECT_TRUE(CWinCommands::ChangeVolume(WINCMD_VOLUME_CHANGE, -50));
    EXPECT_EQ(std::vector<DWORD>({0}), volume.mixerVolume) << "half the range down from 30000, clamped";
}

TEST_F(WinCommandsSystem, CursorCommands) {
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_SYS, WINCMD_SYS_CURSOR, 0), nullptr));
    EXPECT_EQ(nullptr, GetCursor());
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_SYS, WINCMD_SYS_CURSOR, 1), nullptr));
    EXPECT_EQ(LoadCursorW(nullptr, IDC_ARROW), GetCursor());
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_SYS, WINCMD_SYS_CURSOR, 2), nullptr));
    EXPECT_EQ(nullptr, GetCursor());
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_SYS, WINCMD_SYS_CURSOR, 2), nullptr));
    EXPECT_EQ(LoadCursorW(nullptr, IDC_ARROW), GetCursor());
    EXPECT_FALSE(CWinCommands::Execute(Cmd(CMD_SYS, WINCMD_SYS_CURSOR, 3), nullptr));
}

TEST_F(WinCommandsSystem, TypesWithoutAnActionAnswerAsTheTableSays) {
    EXPECT_FALSE(CWinCommands::Execute(Cmd(CMD_NONE, 0), nullptr));
    EXPECT_FALSE(CWinCommands::Execute(Cmd(6, 0), nullptr));
    EXPECT_FALSE(CWinCommands::Execute(Cmd(-1, 0), nullptr));
    EXPECT_TRUE(CWinCommands::Execute(Cmd(CMD_OSD, 0), nullptr)) << "the display is the dispatcher's";
    EXPECT_FALSE(CWinCommands::Execute(Cmd(CMD_SYS, 6), nullptr));
    EXPECT_FALSE(CWinCommands::Execute(Cmd(CMD_SYS, WINCMD_SYS_MOUSE_MOVE, 8), nullptr));
    EXPECT_TRUE(Calls().empty());
    EXPECT_EQ(0, m_fakes.volume.state.levelWrites + m_fakes.volume.state.muteWrites);
}

}  // namespace
