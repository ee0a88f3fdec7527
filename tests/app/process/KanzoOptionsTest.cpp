// The Options page of the running program, driven from outside as a user
// would: what it stores in the registry and what that changes in the program
// (the tray icon, the start with Windows), and the receiver list that shows
// the MIDI channel of the command line.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/demo/KanzoProcess.h"
#include "tests/app/process/KanzoTestUser.h"

using namespace kanzoctl;
using namespace kanzotest;

namespace {

constexpr DWORD WAIT_MS = 30000;
constexpr int PAGE_OPTIONS = 2;     // the tab
constexpr int IDC_AUTOSTART = 1431;
constexpr int IDC_SHOW_TRAY = 1433;
constexpr int IDC_RECEIVERS = 2006;
const wchar_t kDriversKey[] = L"Software\\Wine\\Drivers";
const wchar_t kMidiPort[] = L"Kanzo Test MIDI In";

bool ReadDword(const wchar_t* subKey, const wchar_t* name, DWORD* value) {
    DWORD size = sizeof(*value);
    return RegGetValueW(HKEY_CURRENT_USER, subKey, name, RRF_RT_REG_DWORD, nullptr, value, &size) == ERROR_SUCCESS;
}

bool HasRunEntry() {
    return RegGetValueW(HKEY_CURRENT_USER, kRunKey, kRunValue, RRF_RT_REG_SZ, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
}

// The page of the sheet that holds a control, once the sheet has created it.
HWND ShowPage(HWND sheet, int tab, int controlId) {
    SendMessageW(sheet, PSM_SETCURSEL, static_cast<WPARAM>(tab), 0);
    HWND page = nullptr;
    WaitUntil([&] {
        page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
        return page && GetDlgItem(page, controlId);
    }, WAIT_MS);
    return page;
}

// A list view cell of another process: the item record and the text live in
// that process's memory.
std::wstring ListText(HWND list, DWORD processId, int row, int column) {
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (!process)
        return L"(no access)";
    constexpr int CHARS = 128;
    void* remote = VirtualAllocEx(process, nullptr, sizeof(LVITEMW) + CHARS * sizeof(wchar_t), MEM_COMMIT,
                                  PAGE_READWRITE);
    LVITEMW item = {};
    item.iSubItem = column;
    item.cchTextMax = CHARS;
    item.pszText = reinterpret_cast<wchar_t*>(static_cast<BYTE*>(remote) + sizeof(LVITEMW));
    wchar_t text[CHARS] = {};
    WriteProcessMemory(process, remote, &item, sizeof(item), nullptr);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote),
                        SMTO_NORMAL, 5000, &ignored);
    ReadProcessMemory(process, item.pszText, text, sizeof(text) - sizeof(wchar_t), nullptr);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return text;
}

bool IsChecked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void Click(HWND page, int id) {
    SendMessageW(GetDlgItem(page, id), BM_CLICK, 0, 0);
}

class KanzoOptionsTest : public ::testing::Test {
protected:
    void SetUp() override { ForgetUser(); }
    void TearDown() override { ForgetUser(); }

    HWND StartEditor(CKanzoProcess& kanzo, const wchar_t* options) {
        EXPECT_TRUE(kanzo.Start(options));
        HWND main = nullptr;
        EXPECT_TRUE(WaitUntil([&] { return (main = kanzo.FindMainWindow()) && IsOnScreen(main); }, WAIT_MS));
        return main;
    }
};

TEST_F(KanzoOptionsTest, StartWithWindowsWritesAndRemovesTheRunEntry) {
    CKanzoProcess kanzo(Installation());
    HWND main = StartEditor(kanzo, L"-EDIT");
    ASSERT_NE(main, nullptr);
    HWND page = ShowPage(main, PAGE_OPTIONS, IDC_AUTOSTART);
    ASSERT_NE(page, nullptr);
    // A new user starts with Windows.
    ASSERT_TRUE(IsChecked(GetDlgItem(page, IDC_AUTOSTART)));
    EXPECT_TRUE(HasRunEntry());

    Click(page, IDC_AUTOSTART);
    PostMessageW(main, WM_COMMAND, IDOK, 0);  // Enter: saves every page and hides
    EXPECT_TRUE(WaitUntil([&] { return !HasRunEntry(); }, WAIT_MS));
    DWORD autostart = 1;
    EXPECT_TRUE(ReadDword(kSettingsKey, L"Autostart", &autostart));
    EXPECT_EQ(autostart, 0u);

    PostMessageW(main, WM_COMMAND, 33026, 0);  // shown again, as a second -EDIT start asks
    ASSERT_TRUE(WaitUntil([&] { return IsOnScreen(main); }, WAIT_MS));
    Click(page, IDC_AUTOSTART);
    PostMessageW(main, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return HasRunEntry(); }, WAIT_MS));
    EXPECT_EQ(kanzo.ExitFromTray(), 0);
}

TEST_F(KanzoOptionsTest, WithoutTheTrayIconHidingTakesTheIconAwayAndShowingBringsItBack) {
    CKanzoProcess kanzo(Installation());
    HWND main = StartEditor(kanzo, L"-EDIT");
    ASSERT_NE(main, nullptr);
    const int icons = CountTrayIcons();
    HWND page = ShowPage(main, PAGE_OPTIONS, IDC_SHOW_TRAY);
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(IsChecked(GetDlgItem(page, IDC_SHOW_TRAY)));

    Click(page, IDC_SHOW_TRAY);
    PostMessageW(main, WM_COMMAND, IDCANCEL, 0);  // Escape: saves every page and hides
    DWORD hidden = 0;
    EXPECT_TRUE(WaitUntil([&] { return ReadDword(kSettingsKey, L"Hidden", &hidden) && hidden == 1; }, WAIT_MS));
    // Hidden, no tray icon, and no taskbar button (a tool window).
    EXPECT_TRUE(WaitUntil([&] {
        return !IsOnScreen(main) && CountTrayIcons() == icons - 1 &&
               (GetWindowLongPtrW(main, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0;
    }, WAIT_MS));

    PostMessageW(main, WM_COMMAND, 33026, 0);
    EXPECT_TRUE(WaitUntil([&] { return IsOnScreen(main) && CountTrayIcons() == icons; }, WAIT_MS));
    EXPECT_EQ(kanzo.QuitNow(), 4369);
}

TEST_F(KanzoOptionsTest, TheSystemMenusLanguageSwitchesEveryTextAtOnceAndIsKept) {
    CKanzoProcess kanzo(Installation());
    HWND main = StartEditor(kanzo, L"-EDIT");
    ASSERT_NE(main, nullptr);
    HWND menuPage = ShowPage(main, 0, 1221);
    ASSERT_NE(menuPage, nullptr);
    HWND autoselect = GetDlgItem(menuPage, 1221);
    ASSERT_EQ(WindowText(autoselect), L"Autoselect");

    PostMessageW(main, WM_SYSCOMMAND, 0x0419, 0);  // Russian, from the Language submenu
    EXPECT_TRUE(WaitUntil([&] { return WindowText(autoselect) == L"\u0410\u0432\u0442\u043E\u0432\u044B\u0431\u043E\u0440"; },
                          WAIT_MS));
    DWORD language = 0;
    EXPECT_TRUE(ReadDword(kSettingsKey, L" Language", &language));
    EXPECT_EQ(language, 0x0419u);
    EXPECT_EQ(kanzo.QuitNow(), 4369);
}

// A MIDI input port from the test driver, for the programs this test starts.
class CMidiPortForChildren {
public:
    CMidiPortForChildren() {
        SetEnvironmentVariableW(L"KANZO_MIDISIM_PORTS", kMidiPort);
        RegSetKeyValueW(HKEY_CURRENT_USER, kDriversKey, L"Audio", REG_SZ, L"sim", sizeof(L"sim"));
    }
    ~CMidiPortForChildren() {
        // Every other program of the prefix must get its sound back.
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kDriversKey, L"Audio");
        SetEnvironmentVariableW(L"KANZO_MIDISIM_PORTS", nullptr);
    }
};

TEST_F(KanzoOptionsTest, TheReceiverListShowsTheMidiChannelOfTheCommandLine) {
    CMidiPortForChildren port;
    const std::wstring rc = std::wstring(kSettingsKey) + L"\\RC";
    RegSetKeyValueW(HKEY_CURRENT_USER, rc.c_str(), L"MIDI device", REG_SZ, kMidiPort,
                    static_cast<DWORD>(sizeof(kMidiPort)));
    const DWORD all = 0xFFFFFFFF;
    RegSetKeyValueW(HKEY_CURRENT_USER, rc.c_str(), L"Selection", REG_DWORD, &all, sizeof(all));

    struct { const wchar_t* options; const wchar_t* shown; } const cases[] = {
        {L"-EDIT -midi:a", L"Channel 11"},   // channel 10, counted from 1 on the page
        {L"-EDIT", L"Channel 16"},           // none chosen
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        CKanzoProcess kanzo(Installation());
        HWND main = StartEditor(kanzo, c.options);
        ASSERT_NE(main, nullptr);
        HWND page = ShowPage(main, PAGE_OPTIONS, IDC_RECEIVERS);
        ASSERT_NE(page, nullptr);
        HWND list = GetDlgItem(page, IDC_RECEIVERS);
        EXPECT_TRUE(WaitUntil([&] { return ListText(list, kanzo.GetId(), 0, 0) == L"Midi In"; }, WAIT_MS))
            << "row 0: " << ListText(list, kanzo.GetId(), 0, 0).size();
        EXPECT_EQ(ListText(list, kanzo.GetId(), 0, 1), c.shown);
        EXPECT_EQ(kanzo.QuitNow(), 4369);
    }
}

}  // namespace
