// Multi-tap input for real: the system clock, a real stop event and SendInput
// into an edit control of a window this test creates (under Xvfb).
#include "commands/MultiTapInputWin.h"
#include "support/ScopedWin.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring EditText(HWND edit) {
    wchar_t text[64] = L"";
    GetWindowTextW(edit, text, 64);
    return text;
}

// Pumps the test thread's messages until the edit holds expected or 5 s pass.
bool WaitForText(HWND edit, const std::wstring& expected) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 5000) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (EditText(edit) == expected)
            return true;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return false;
}

tagWINCMD DigitCommand(int keyId) {
    tagWINCMD cmd;
    cmd.nType = CMD_KEY;
    cmd.nSubType = '0' + (keyId - 200);
    return cmd;
}

class MultiTapTyping : public ::testing::Test {
protected:
    void SetUp() override {
        m_frame.Reset(CreateWindowExW(0, L"STATIC", L"Multi-tap target", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 320,
                                      120, nullptr, nullptr, nullptr, nullptr));
        ASSERT_TRUE(m_frame) << "no display";
        m_edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 280, 24, m_frame.Get(),
                                 nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, m_edit);
        SetForegroundWindow(m_frame.Get());
        SetFocus(m_edit);
        WaitForText(m_edit, L"");
        m_typer = CMultiTapKeyTyper(m_frame.Get());
    }

    // One key event; the next one arrives at once (signalled) or not at all.
    bool Press(int keyId, bool nextArrives) {
        if (nextArrives)
            SetEvent(m_stopEvent.Get());
        else
            ResetEvent(m_stopEvent.Get());
        tagWINCMD cmd = DigitCommand(keyId);
        CMultiTapStopEvent stop(m_stopEvent.Get());
        return m_input.HandleKeyEvent(keyId, cmd, stop, m_typer);
    }

    CQVWindow m_frame;
    HWND m_edit = nullptr;  // a child: destroyed with the frame
    CQVHandle m_stopEvent{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    CMultiTapInput m_input{SystemClock()};
    CMultiTapKeyTyper m_typer;
};

TEST_F(MultiTapTyping, DigitKeysTypeLettersIntoAnEditControl) {
    ASSERT_TRUE(Press(202, true));
    ASSERT_TRUE(Press(202, true));
    ASSERT_TRUE(Press(202, false));  // one real second of waiting
    EXPECT_TRUE(WaitForText(m_edit, L"B")) << EditText(m_edit).c_str();

    // "7" waits until key 209 arrives; "9" is typed a second later.
    ASSERT_TRUE(Press(207, true));
    ASSERT_TRUE(Press(209, false));
    EXPECT_TRUE(WaitForText(m_edit, L"B79")) << EditText(m_edit).c_str();
}

TEST_F(MultiTapTyping, TheTyperHonoursShiftAndAVanishedTarget) {
    tagWINCMD cmd = DigitCommand(204);
    cmd.nSubType = 'q';
    cmd.nValue = CMD_MOD_SHIFT;
    EXPECT_TRUE(m_typer.ExecuteCommand(cmd));
    EXPECT_TRUE(WaitForText(m_edit, L"q"));  // a Unicode packet types the character as given
    EXPECT_EQ(0, GetKeyState(VK_SHIFT) & 0x8000);

    tagWINCMD none;
    EXPECT_FALSE(m_typer.ExecuteCommand(none));
    // The owner goes at the end of the line: the handle names a window that is gone.
    const HWND gone =
        CQVWindow(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr)).Get();
    CMultiTapKeyTyper lost(gone);
    EXPECT_FALSE(lost.ExecuteCommand(cmd));
}

TEST(MultiTapStopEvent, MapsTheWaitResults) {
    CQVHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    CMultiTapStopEvent stop(event.Get());
    EXPECT_EQ(MultiTapWait::TimedOut, stop.Wait(0));
    SetEvent(event.Get());
    EXPECT_EQ(MultiTapWait::Signalled, stop.Wait(0));
    CMultiTapStopEvent none(nullptr);
    EXPECT_EQ(MultiTapWait::Failed, none.Wait(0));
}

}  // namespace
