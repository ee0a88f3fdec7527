// CDlgShutdownWarning run modally in this process, its countdown driven fast
// through the tick length, and the power command around it with the power
// actions recorded by the fake.

#include "commands/DlgShutdownWarning.h"
#include "commands/WinCommands.h"
#include "resources/DlgShutdownWarningIds.h"
#include "tests/commands/WinCommandsFakes.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring Text(HWND hwnd) {
    wchar_t text[128] = {};
    GetWindowTextW(hwnd, text, 128);
    return text;
}

// Keys posted to the window with the focus, as the dialog's message loop
// sees them.
void PostKey(HWND dialog, WORD vk) {
    HWND focus = GetFocus();
    HWND target = focus ? focus : dialog;
    PostMessageW(target, WM_KEYDOWN, vk, 1);
    PostMessageW(target, WM_KEYUP, vk, 0xC0000001);
}

TEST(DlgShutdownWarning, InitialisesCaptionTextProgressAndTimer) {
    CDlgShutdownWarning dialog(60000);
    bool checked = false;
    dialog.SetOnInit([&](HWND hwnd) {
        checked = true;
        EXPECT_EQ(L"Shutdown", Text(hwnd));
        EXPECT_EQ(L"About to shutdown ... ", Text(GetDlgItem(hwnd, IDC_SHUTDOWN_TEXT)));
        HWND progress = GetDlgItem(hwnd, IDC_SHUTDOWN_PROGRESS);
        EXPECT_EQ(15, SendMessageW(progress, PBM_GETRANGE, FALSE, 0));
        EXPECT_EQ(0, SendMessageW(progress, PBM_GETPOS, 0, 0));
        EXPECT_EQ(CDlgShutdownWarning::TIMER_ID, dialog.GetTimerId());
        EXPECT_EQ(IDCANCEL, SendMessageW(hwnd, DM_GETDEFID, 0, 0) & 0xFFFF) << "Cancel is the default button";
        EXPECT_EQ(GetDlgItem(hwnd, IDCANCEL), GetFocus());
        RECT rc = {0, 0, 186, 68};
        MapDialogRect(hwnd, &rc);
        RECT client = {};
        GetClientRect(hwnd, &client);
        EXPECT_EQ(rc.right, client.right) << "186 x 68 dialog units";
        EXPECT_EQ(rc.bottom, client.bottom);
        PostMessageW(hwnd, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(IDOK, dialog.DoModal(nullptr));
    EXPECT_TRUE(checked);
}

TEST(DlgShutdownWarning, ProceedsOnItsOwnOnTheFifteenthTick) {
    CDlgShutdownWarning dialog(10);
    EXPECT_EQ(IDOK, dialog.DoModal(nullptr));
    EXPECT_EQ(15, dialog.GetTicks()) << "ticks 1 to 14 fill the bar, the 15th ends it";
    EXPECT_EQ(0u, dialog.GetTimerId());
}

TEST(DlgShutdownWarning, EnterActivatesCancel) {
    CDlgShutdownWarning dialog(60000);
    dialog.SetOnInit([](HWND hwnd) { PostKey(hwnd, VK_RETURN); });
    EXPECT_EQ(IDCANCEL, dialog.DoModal(nullptr));
    EXPECT_EQ(0, dialog.GetTicks());
}

TEST(DlgShutdownWarning, EscapeCancels) {
    CDlgShutdownWarning dialog(60000);
    dialog.SetOnInit([](HWND hwnd) { PostKey(hwnd, VK_ESCAPE); });
    EXPECT_EQ(IDCANCEL, dialog.DoModal(nullptr));
}

TEST(DlgShutdownWarning, CloseBoxCancelsAndLeavesNoTimer) {
    CDlgShutdownWarning dialog(20);
    HWND window = nullptr;
    dialog.SetOnInit([&](HWND hwnd) {
        window = hwnd;
        PostMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_EQ(IDCANCEL, dialog.DoModal(nullptr));
    EXPECT_EQ(0u, dialog.GetTimerId());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_LT(dialog.GetTicks(), 15);
}

// The power command with the real dialog and the recording power actions.
class PowerWithWarning : public ::testing::Test {
protected:
    // The fake hands the warning to the real dialog, driven by onInit.
    class CDialogPower : public cmdtest::CFakePower {
    public:
        INT_PTR RunShutdownWarning() override {
            calls.push_back(L"warning");
            CDlgShutdownWarning dialog(tickMs);
            if (onInit)
                dialog.SetOnInit(onInit);
            return dialog.DoModal(nullptr);
        }
        UINT tickMs = 10;
        std::function<void(HWND)> onInit;
    };
    void SetUp() override { m_old = CWinCommands::SetPowerControl(&m_power); }
    void TearDown() override { CWinCommands::SetPowerControl(m_old); }
    CDialogPower m_power;
    IPowerControl* m_old = nullptr;
};

TEST_F(PowerWithWarning, CountdownRunsOutAndTheMachineWouldSleep) {
    EXPECT_TRUE(CWinCommands::PowerCommand(1, TRUE));
    EXPECT_EQ(std::vector<std::wstring>({L"warning", L"privilege", L"standby"}), m_power.calls);
}

TEST_F(PowerWithWarning, EnterStopsThePowerOff) {
    m_power.tickMs = 60000;
    m_power.onInit = [](HWND hwnd) { PostKey(hwnd, VK_RETURN); };
    EXPECT_FALSE(CWinCommands::PowerCommand(3, TRUE));
    EXPECT_EQ(std::vector<std::wstring>({L"warning"}), m_power.calls);
}

}  // namespace
