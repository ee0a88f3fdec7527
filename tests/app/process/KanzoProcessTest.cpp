// Kanzo.exe as a user and other programs meet it: started in the background
// or as the editor, a second start, the tray, the hot keys, the quit question,
// power and device messages, and its exit codes.
#include <gtest/gtest.h>

#include <windows.h>
#include <dbt.h>

#include <string>

#include "app/demo/KanzoProcess.h"
#include "tests/app/process/KanzoTestUser.h"

using namespace kanzoctl;
using namespace kanzotest;

namespace {

constexpr DWORD START_MS = 30000;
constexpr DWORD EXIT_MS = 15000;
constexpr int EXIT_QUIT_NOW = 4369;
constexpr int EXIT_FIREWIRE_REMOVED = 8738;

void PressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        inputs.push_back(input);
    }
    for (auto it = keys.end(); it != keys.begin();) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *--it;
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

class KanzoProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        ForgetUser();
        m_traysBefore = CountTrayIcons();
    }
    void TearDown() override { ForgetUser(); }

    static     // Starts it and waits for its main window.
    HWND Start(CKanzoProcess& process, const wchar_t* options = L"") {
        EXPECT_TRUE(process.Start(options));
        HWND main = nullptr;
        EXPECT_TRUE(WaitUntil([&] { return (main = process.FindMainWindow()) != nullptr; }, START_MS));
        return main;
    }

    // Answers the quit question; FALSE when none came.
    static bool Answer(CKanzoProcess& process, int button) {
        HWND box = nullptr;
        if (!WaitUntil([&] { return (box = process.FindMessageBox()) != nullptr; }, START_MS))
            return false;
        PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
        return true;
    }

    int m_traysBefore = 0;
};

TEST_F(KanzoProcessTest, BackgroundStartShowsOnlyTheTrayIconAndTheTrayExitEndsTheRunWithZero) {
    CKanzoProcess kanzo(Installation());
    HWND main = Start(kanzo);
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return CountTrayIcons() == m_traysBefore + 1; }, START_MS));
    EXPECT_TRUE(WaitUntil([&] { return !IsOnScreen(main); }, START_MS)) << "the window stays hidden";

    EXPECT_EQ(kanzo.ExitFromTray(EXIT_MS), 0) << "Exit asks first, and Yes ends the run";
    EXPECT_EQ(CountTrayIcons(), m_traysBefore);
}

TEST_F(KanzoProcessTest, SecondStartsEndAtOnceAndOnlyAnEditorStartShowsTheRunningWindow) {
    CKanzoProcess first(Installation());
    HWND main = Start(first);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return !IsOnScreen(main); }, START_MS));

    CKanzoProcess plain(Installation());
    ASSERT_TRUE(plain.Start());
    EXPECT_EQ(plain.WaitExit(EXIT_MS), 0);
    EXPECT_FALSE(IsOnScreen(main)) << "a plain second start changes nothing";

    // Any case, anywhere in the line.
    CKanzoProcess editor(Installation());
    ASSERT_TRUE(editor.Start(L"x-eDiTx"));
    EXPECT_EQ(editor.WaitExit(EXIT_MS), 0);
    EXPECT_TRUE(WaitUntil([&] { return IsOnScreen(main); }, START_MS)) << "the running instance shows itself";
    EXPECT_TRUE(first.IsRunning());
    EXPECT_EQ(first.FindMainWindow(), main) << "still the first instance's window";
}

TEST_F(KanzoProcessTest, QuitHotKeysAskOrEndAtOnce) {
    CKanzoProcess kanzo(Installation());
    HWND main = Start(kanzo, L"-SHOW");
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return IsOnScreen(main); }, START_MS));

    // Ctrl+Alt+X asks; No keeps the program running, hidden.
    PressKeys({VK_CONTROL, VK_MENU, 'X'});
    ASSERT_TRUE(Answer(kanzo, IDNO));
    EXPECT_TRUE(WaitUntil([&] { return !IsOnScreen(main); }, START_MS));
    EXPECT_TRUE(kanzo.IsRunning());

    // Ctrl+Alt+Shift+X ends it without a question.
    PressKeys({VK_CONTROL, VK_MENU, VK_SHIFT, 'X'});
    EXPECT_EQ(kanzo.WaitExit(EXIT_MS), EXIT_QUIT_NOW)
        << "its window is " << (IsWindow(main) ? "still there" : "gone");
    EXPECT_EQ(kanzo.FindMessageBox(), nullptr);
}

TEST_F(KanzoProcessTest, EscapeHidesTheEditorAndAHotKeyBringsItBack) {
    CKanzoProcess kanzo(Installation());
    HWND main = Start(kanzo, L"-EDIT");
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return IsOnScreen(main); }, START_MS));

    PostMessageW(main, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsOnScreen(main); }, START_MS));
    EXPECT_TRUE(kanzo.IsRunning()) << "Escape never ends the program";

    PressKeys({VK_CONTROL, VK_MENU, 'R'});
    EXPECT_TRUE(WaitUntil([&] { return IsOnScreen(main); }, START_MS));
    EXPECT_EQ(kanzo.QuitNow(), EXIT_QUIT_NOW);
}

// The messages Windows sends, from another process.
TEST_F(KanzoProcessTest, PowerAndDeviceMessagesReachTheReceivers) {
    CKanzoProcess kanzo(Installation());
    HWND main = Start(kanzo);
    ASSERT_NE(main, nullptr);

    DWORD_PTR answer = 0;
    EXPECT_TRUE(SendMessageTimeoutW(main, WM_POWERBROADCAST, PBT_APMSUSPEND, 0, SMTO_NORMAL, 10000, &answer));
    // Resume waits three seconds for the devices before it starts the receivers again.
    const ULONGLONG before = GetTickCount64();
    EXPECT_TRUE(SendMessageTimeoutW(main, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0, SMTO_NORMAL, 20000, &answer));
    EXPECT_GE(GetTickCount64() - before, 2900u);
    EXPECT_TRUE(kanzo.IsRunning());

    // An unknown device's removal changes nothing; the FireWire sound card's ends the program.
    struct {
        DEV_BROADCAST_DEVICEINTERFACE_W header;
        wchar_t more[200];
    } device = {};
    device.header.dbcc_size = sizeof(device);
    device.header.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    wcscpy(device.header.dbcc_name, L"\\\\?\\USB#VID_1234&PID_5678#1#{a5dcbf10-6530-11d2-901f-00c04fb951ed}");
    EXPECT_TRUE(SendMessageTimeoutW(main, WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE,
                                    reinterpret_cast<LPARAM>(&device), SMTO_NORMAL, 10000, &answer));
    EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
    EXPECT_TRUE(kanzo.IsRunning());
    wcscpy(device.header.dbcc_name, L"\\\\?\\QV1394_ENUM#QV1394_AVS_0013F30200#1&2#{6994ad04-93ef-11d0-a3cc-00a0c9223196}");
    SendMessageTimeoutW(main, WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, reinterpret_cast<LPARAM>(&device),
                        SMTO_NORMAL, 10000, &answer);
    EXPECT_EQ(kanzo.WaitExit(EXIT_MS), EXIT_FIREWIRE_REMOVED);
}

}  // namespace
