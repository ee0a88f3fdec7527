// CQVTaskbar under Wine with a real shell tray: the icon record, the popup in
// English and German, Show/Hide and Exit, the owner's "Load" submenu across
// popups and removals, the shell restart and one tracked popup.

#include "cmdsets/CmdSetAdmin.h"
#include "osd/QVTaskbar.h"
#include "osd/TrayLoadMenu.h"
#include "support/QVLocalize.h"
#include "tests/cmdsets/CmdSetFiles.h"
#include "tests/osd/OsdTestUtil.h"
#include "tests/support/LocalizeTestUtil.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

using osdtest::PumpPending;
using osdtest::PumpUntil;

const wchar_t kOwnerClass[] = L"KanzoTrayTestOwner";
const wchar_t kOwnerTitle[] = L"Tray test owner";
constexpr DWORD kWaitMs = 5000;
const LCID kGerman = MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT);
const LCID kEnglish = MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);

// What the owner's window procedure saw.
struct tagOWNERLOG {
    std::vector<WPARAM> sysCommands;
    std::vector<HMENU> initPopups;
    int nullMessages = 0;
    int enterMenuLoops = 0;
};

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* log = reinterpret_cast<tagOWNERLOG*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (log) {
        switch (msg) {
        case WM_SYSCOMMAND:
            log->sysCommands.push_back(wParam & 0xFFF0);
            if ((wParam & 0xFFF0) == SC_CLOSE)
                return 0;   // recorded, the window stays
            break;
        case WM_INITMENUPOPUP:
            log->initPopups.push_back(reinterpret_cast<HMENU>(wParam));
            break;
        case WM_ENTERMENULOOP:
            ++log->enterMenuLoops;
            break;
        case WM_NULL:
            ++log->nullMessages;
            break;
        default:
            break;
        }
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// "Does the shell hold our icon?": modifying an icon that is not there fails.
bool ShellHasIcon(HWND owner) {
    NOTIFYICONDATAW data = {};
    data.cbSize = NOTIFYICONDATAW_V3_SIZE;
    data.hWnd = owner;
    data.uID = TRAY_ICON_ID;
    data.uFlags = NIF_TIP;
    wcscpy(data.szTip, L"probe");
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

std::wstring ItemText(HMENU menu, int position) {
    wchar_t text[256] = {};
    GetMenuStringW(menu, static_cast<UINT>(position), text, 256, MF_BYPOSITION);
    return text;
}

HBITMAP ItemBitmap(HMENU menu, UINT id) {
    MENUITEMINFOW item = {};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_BITMAP;
    GetMenuItemInfoW(menu, id, FALSE, &item);
    return item.hbmpItem;
}

bool IsSeparator(HMENU menu, int position) {
    return (GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION) & MF_SEPARATOR) != 0;
}

// The owner window, the main-menu popup and the "Load" menu the options
// sheet hands to the tray; the thread locale comes back after each test.
class Taskbar : public CmdSetFilesTest {
protected:
    static void SetUpTestSuite() {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = OwnerProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kOwnerClass;
        RegisterClassExW(&wc);
    }

    void SetUp() override {
        CmdSetFilesTest::SetUp();
        WriteText(Paths().presetFile,
                  "[Settings]\nRC Layout Version=4\n[Software]\n0=Windows (Standard)\n1=---\n2=Player\n"
                  "[Windows (Standard)]\nExecutable=explorer.exe\n[Player]\nExecutable=player.exe\n");
        m_owner.Reset(CreateWindowExW(0, kOwnerClass, kOwnerTitle, WS_OVERLAPPEDWINDOW, 100, 80, 300, 200, nullptr,
                                      nullptr, GetModuleHandleW(nullptr), nullptr));
        ASSERT_TRUE(m_owner);
        SetWindowLongPtrW(m_owner.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&m_log));
        m_admin = std::make_unique<CCmdSetAdmin>(Paths(), Sources());
        m_mainPopup = CreateMainMenuPopup(*m_admin);
        ASSERT_TRUE(m_mainPopup);
    }

    void TearDown() override {
        // The localization object switches both the thread's and the C library's locale.
        SetThreadLocale(m_threadLocale);
        _wsetlocale(LC_ALL, L"C");
        m_taskbar.reset();
        m_loadMenu.Destroy();
        m_mainPopup.Close();
        m_owner.Close();
        PumpPending();
        CmdSetFilesTest::TearDown();
    }

    // Create with the "Load" menu in the language of localizeLanguage.
    void CreateWithLoadMenu(LANGID localizeLanguage = 0x0409) {
        std::wstring folder = loctest::SourceLanguageFolder();
        tagQVLOCALIZE_SETUP setup;
        setup.wUiLanguage = localizeLanguage;
        setup.pszFolder = folder.c_str();
        setup.hClassesRoot = nullptr;
        CQVLocalize localize(setup);
        ASSERT_TRUE(m_loadMenu.Create(localize, m_mainPopup.Get()));
        ASSERT_TRUE(m_taskbar->Create(m_owner.Get(), 0, L"Tray test"));
        m_taskbar->SetMenu(m_loadMenu.Get(), TRUE);
    }

    HWND Owner() const { return m_owner.Get(); }
    RECT OwnerRect() const {
        RECT rc = {};
        GetWindowRect(Owner(), &rc);
        return rc;
    }

    LCID m_threadLocale = GetThreadLocale();
    CQVWindow m_owner;
    tagOWNERLOG m_log;
    std::unique_ptr<CCmdSetAdmin> m_admin;
    CQVMenu m_mainPopup;
    CTrayLoadMenu m_loadMenu;
    std::unique_ptr<CQVTaskbar> m_taskbar = std::make_unique<CQVTaskbar>();
};

// --- the icon record and the shell ---

TEST_F(Taskbar, CreateFillsTheVersion3RecordAndTheShellTakesTheIcon) {
    ASSERT_TRUE(m_taskbar->Create(Owner(), 0, L"Tray test")) << "NIM_ADD";
    const NOTIFYICONDATAW& data = m_taskbar->GetNotifyData();
    EXPECT_EQ(sizeof(void*) == 4 ? 952u : 968u, data.cbSize) << "the version-3 layout of this build";
    EXPECT_EQ(Owner(), data.hWnd);
    EXPECT_EQ(1u, data.uID);
    EXPECT_EQ(static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP), data.uFlags);
    EXPECT_EQ(1268u, data.uCallbackMessage);
    EXPECT_NE(nullptr, data.hIcon) << "icon 0: a copy of the owner's class icon";
    EXPECT_STREQ(L"Tray test", data.szTip);
    EXPECT_TRUE(m_taskbar->IsIconPresent());
    EXPECT_TRUE(ShellHasIcon(Owner()));

    // The test program has no icon 200: an icon-less entry would be invisible.
    ASSERT_TRUE(m_taskbar->Create(Owner(), 200, L"again")) << "a second Create replaces the icon";
    EXPECT_NE(nullptr, m_taskbar->GetNotifyData().hIcon);
    EXPECT_STREQ(L"again", m_taskbar->GetNotifyData().szTip);
}

struct tagTIPCASE {
    const char* name;
    std::wstring tip;   // "<null>" for no tip
    std::wstring ownerTitle;
    std::wstring expected;
};

void PrintTo(const tagTIPCASE& c, std::ostream* os) {
    *os << c.name;
}

class TaskbarTip : public Taskbar, public ::testing::WithParamInterface<tagTIPCASE> {};

TEST_P(TaskbarTip, TipFollowsTheRules) {
    const tagTIPCASE& c = GetParam();
    SetWindowTextW(Owner(), c.ownerTitle.c_str());
    ASSERT_TRUE(m_taskbar->Create(Owner(), 0, c.tip == L"<null>" ? nullptr : c.tip.c_str()));
    EXPECT_EQ(c.expected, std::wstring(m_taskbar->GetNotifyData().szTip));
}

INSTANTIATE_TEST_SUITE_P(
    Rules, TaskbarTip,
    ::testing::Values(
        tagTIPCASE{"GivenTip", L"Vemtra Remote Control Editor", L"Owner", L"Vemtra Remote Control Editor"},
        tagTIPCASE{"LongTipIsCutAt127", std::wstring(300, L't'), L"Owner", std::wstring(127, L't')},
        tagTIPCASE{"NoTipTakesTheOwnersText", L"<null>", L"Owner title", L"Owner title"},
        tagTIPCASE{"EmptyTipTakesTheOwnersText", L"", L"Owner title", L"Owner title"},
        tagTIPCASE{"OwnersTextIsCutAt63", L"<null>", std::wstring(90, L'o'), std::wstring(63, L'o')}),
    [](const ::testing::TestParamInfo<tagTIPCASE>& info) { return std::string(info.param.name); });

TEST_F(Taskbar, WithoutOwnerTheMainWindowIsUsedAndWithoutEitherCreateFails) {
    CQVTaskbar::SetMainWindow(nullptr);
    EXPECT_FALSE(m_taskbar->Create(nullptr, 0, L"x"));
    EXPECT_FALSE(m_taskbar->IsIconPresent());
    EXPECT_EQ(nullptr, m_taskbar->BuildPopup());
    CQVTaskbar::SetMainWindow(Owner());
    EXPECT_TRUE(m_taskbar->Create(nullptr, 0, L"x"));
    CQVTaskbar::SetMainWindow(nullptr);
    EXPECT_EQ(Owner(), m_taskbar->GetOwner());
}

TEST_F(Taskbar, RemoveAndCreateAgainAnyNumberOfTimes) {
    CreateWithLoadMenu();
    for (int round = 0; round < 3; ++round) {
        m_taskbar->Remove();
        EXPECT_FALSE(m_taskbar->IsIconPresent());
        EXPECT_FALSE(ShellHasIcon(Owner()));
        EXPECT_EQ(nullptr, m_taskbar->BuildPopup());
        EXPECT_FALSE(m_taskbar->OnCommand(TRAY_CMD_SHOWHIDE));
        EXPECT_TRUE(IsMenu(m_mainPopup.Get())) << "round " << round;
        ASSERT_TRUE(m_taskbar->Create(Owner(), 0, L"again"));
        EXPECT_TRUE(ShellHasIcon(Owner()));
        HMENU popup = m_taskbar->BuildPopup();
        ASSERT_NE(nullptr, popup);
        EXPECT_EQ(m_mainPopup.Get(), GetSubMenu(popup, 2));
    }
}

TEST_F(Taskbar, DestructionKeepsTheOwnersSubmenuAndDeletesTheIcon) {
    CreateWithLoadMenu();
    m_taskbar->BuildPopup();
    const int items = GetMenuItemCount(m_mainPopup.Get());
    m_taskbar.reset();
    EXPECT_TRUE(IsMenu(m_mainPopup.Get()));
    EXPECT_EQ(items, GetMenuItemCount(m_mainPopup.Get()));
    EXPECT_FALSE(ShellHasIcon(Owner()));
}

TEST_F(Taskbar, ShellRestartAddsThePresentIconAgain) {
    const UINT message = CQVTaskbar::GetTaskbarCreatedMessage();
    EXPECT_EQ(RegisterWindowMessageW(L"TaskbarCreated"), message);
    EXPECT_GE(message, 0xC000u);

    ASSERT_TRUE(m_taskbar->Create(Owner(), 0, L"x"));
    // A broadcast while the shell still holds the icon: NIM_ADD fails, the icon stays.
    EXPECT_TRUE(m_taskbar->OnTaskbarCreated());
    EXPECT_FALSE(m_taskbar->LastAddSucceeded());
    EXPECT_TRUE(ShellHasIcon(Owner()));
    // A restarted shell has forgotten the icon.
    NOTIFYICONDATAW data = m_taskbar->GetNotifyData();
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &data));
    ASSERT_FALSE(ShellHasIcon(Owner()));
    EXPECT_TRUE(m_taskbar->OnTaskbarCreated());
    EXPECT_TRUE(m_taskbar->LastAddSucceeded());
    EXPECT_TRUE(ShellHasIcon(Owner()));

    m_taskbar->Remove();
    EXPECT_FALSE(m_taskbar->OnTaskbarCreated()) << "a removed icon stays away";
    EXPECT_FALSE(ShellHasIcon(Owner()));
}

// --- the popup ---

struct tagPOPUPCASE {
    const char* name;
    LCID locale;
    LANGID localizeLanguage;
    bool visible;
    const wchar_t* showHide;
    const wchar_t* load;
    const wchar_t* exit;
    HBITMAP showHideBitmap;
};

void PrintTo(const tagPOPUPCASE& c, std::ostream* os) {
    *os << c.name;
}

class TaskbarPopup : public Taskbar, public ::testing::WithParamInterface<tagPOPUPCASE> {};

TEST_P(TaskbarPopup, StandardItemsAroundTheLoadSubmenu) {
    const tagPOPUPCASE& c = GetParam();
    CreateWithLoadMenu(c.localizeLanguage);
    SetThreadLocale(c.locale);
    ASSERT_EQ(c.locale, GetThreadLocale()) << "Wine switches the thread locale";
    ShowWindow(Owner(), c.visible ? SW_SHOWNORMAL : SW_HIDE);

    HMENU popup = m_taskbar->BuildPopup();
    ASSERT_NE(nullptr, popup);
    ASSERT_EQ(5, GetMenuItemCount(popup));
    EXPECT_EQ(TRAY_CMD_SHOWHIDE, GetMenuItemID(popup, 0));
    EXPECT_EQ(c.showHide, ItemText(popup, 0));
    EXPECT_TRUE(IsSeparator(popup, 1));
    EXPECT_EQ(c.load, ItemText(popup, 2));
    EXPECT_EQ(m_mainPopup.Get(), GetSubMenu(popup, 2)) << "the copy refers to the owner's submenu";
    EXPECT_TRUE(IsSeparator(popup, 3));
    EXPECT_EQ(TRAY_CMD_EXIT, GetMenuItemID(popup, 4));
    EXPECT_EQ(c.exit, ItemText(popup, 4));

    EXPECT_EQ(TRAY_CMD_SHOWHIDE, GetMenuDefaultItem(popup, FALSE, 0));
    EXPECT_EQ(c.showHideBitmap, ItemBitmap(popup, TRAY_CMD_SHOWHIDE));
    EXPECT_EQ(HBMMENU_POPUP_CLOSE, ItemBitmap(popup, TRAY_CMD_EXIT));
    MENUINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIM_STYLE;
    ASSERT_TRUE(GetMenuInfo(popup, &info));
    EXPECT_TRUE(info.dwStyle & MNS_CHECKORBMP);
}

INSTANTIATE_TEST_SUITE_P(
    Languages, TaskbarPopup,
    ::testing::Values(
        tagPOPUPCASE{"EnglishHidden", kEnglish, 0x0409, false, L"&Show", L"Load", L"&Exit", HBMMENU_POPUP_RESTORE},
        tagPOPUPCASE{"EnglishVisible", kEnglish, 0x0409, true, L"&Hide", L"Load", L"&Exit", HBMMENU_POPUP_MINIMIZE},
        tagPOPUPCASE{"GermanHidden", kGerman, 0x0407, false, L"&Anzeigen", L"Laden", L"&Beenden",
                     HBMMENU_POPUP_RESTORE},
        tagPOPUPCASE{"GermanVisible", kGerman, 0x0407, true, L"&Verbergen", L"Laden", L"&Beenden",
                     HBMMENU_POPUP_MINIMIZE},
        // Standard items follow Windows' language, not the program's.
        tagPOPUPCASE{"JapaneseWindowsGermanProgram",
                     MAKELCID(MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), SORT_DEFAULT), 0x0407, true, L"&Hide",
                     L"Laden", L"&Exit", HBMMENU_POPUP_MINIMIZE}),
    [](const ::testing::TestParamInfo<tagPOPUPCASE>& info) { return std::string(info.param.name); });

TEST_F(Taskbar, TwoPopupsInARowLeaveTheLoadSubmenuIntact) {
    CreateWithLoadMenu();
    const int entries = GetMenuItemCount(m_mainPopup.Get());
    ASSERT_EQ(2, entries) << "slots 0 and 2; the free slot 1 has no item";
    for (int i = 0; i < 2; ++i) {
        HMENU popup = m_taskbar->BuildPopup();
        ASSERT_EQ(5, GetMenuItemCount(popup)) << "emptied before it is filled";
        EXPECT_EQ(m_mainPopup.Get(), GetSubMenu(popup, 2));
        EXPECT_TRUE(IsMenu(m_mainPopup.Get()));
        EXPECT_EQ(entries, GetMenuItemCount(m_mainPopup.Get()));
    }
    EXPECT_EQ(L" 2. Player", ItemText(m_mainPopup.Get(), 1));
}

TEST_F(Taskbar, UserItemsKeepTheirStateIdAndSubmenu) {
    CQVMenu user(CreatePopupMenu());
    CQVMenu sub(CreatePopupMenu());
    AppendMenuW(sub.Get(), MF_STRING, 7, L"inner");
    AppendMenuW(sub.Get(), MF_STRING, 8, L"second");   // a popup's state carries its item count
    AppendMenuW(user.Get(), MF_STRING | MF_GRAYED, 101, L"Grayed");
    AppendMenuW(user.Get(), MF_STRING | MF_DISABLED, 102, L"Disabled");
    AppendMenuW(user.Get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(user.Get(), MF_STRING | MF_CHECKED, 103, L"Checked");
    AppendMenuW(user.Get(), MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(sub.Get()), L"Sub");
    AppendMenuW(user.Get(), MF_BITMAP, 104, reinterpret_cast<const wchar_t*>(HBMMENU_POPUP_CLOSE));  // not copied
    ASSERT_TRUE(m_taskbar->Create(Owner(), 0, L"x"));
    m_taskbar->SetMenu(user.Get(), FALSE);

    HMENU popup = m_taskbar->BuildPopup();
    ASSERT_EQ(5, GetMenuItemCount(popup)) << "without standard items only the user's text items";
    const UINT stateMask = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_SEPARATOR;
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(GetMenuState(user.Get(), i, MF_BYPOSITION) & stateMask,
                  GetMenuState(popup, i, MF_BYPOSITION) & stateMask) << i;
        EXPECT_EQ(ItemText(user.Get(), i), ItemText(popup, i)) << i;
        EXPECT_EQ(GetMenuItemID(user.Get(), i), GetMenuItemID(popup, i)) << i;
    }
    EXPECT_EQ(sub.Get(), GetSubMenu(popup, 4));
    EXPECT_EQ(static_cast<UINT>(-1), GetMenuState(popup, 104, MF_BYCOMMAND)) << "the bitmap item";
    EXPECT_EQ(static_cast<UINT>(-1), GetMenuState(popup, TRAY_CMD_EXIT, MF_BYCOMMAND));
    m_taskbar->Remove();
    EXPECT_TRUE(IsMenu(sub.Get()));
}

TEST_F(Taskbar, EmptyUserMenuAddsNoSeparator) {
    CQVMenu user(CreatePopupMenu());
    ASSERT_TRUE(m_taskbar->Create(Owner(), 0, L"x"));
    m_taskbar->SetMenu(user.Get(), TRUE);
    HMENU popup = m_taskbar->BuildPopup();
    ASSERT_EQ(3, GetMenuItemCount(popup));
    EXPECT_TRUE(IsSeparator(popup, 1));
    EXPECT_EQ(TRAY_CMD_EXIT, GetMenuItemID(popup, 2));
}

// --- clicks and commands ---

TEST_F(Taskbar, LeftClickTogglesVisibility) {
    ASSERT_TRUE(m_taskbar->Create(Owner(), 0, L"x"));
    ASSERT_FALSE(IsWindowVisible(Owner()));
    EXPECT_TRUE(m_taskbar->OnTrayNotify(WM_LBUTTONDOWN));
    EXPECT_TRUE(IsWindowVisible(Owner()));
    EXPECT_TRUE(m_taskbar->OnTrayNotify(WM_LBUTTONDOWN));
    EXPECT_FALSE(IsWindowVisible(Owner()));
    EXPECT_TRUE(m_taskbar->OnTrayNotify(WM_LBUTTONUP)) << "other mouse messages do nothing";
    EXPECT_TRUE(m_taskbar->OnTrayNotify(WM_MOUSEMOVE));
    EXPECT_FALSE(IsWindowVisible(Owner()));
}

TEST_F(Taskbar, FirstShowCentresAWindowLeftAt4000) {
    ASSERT_TRUE(m_taskbar->Create(Owner(), 0, L"x"));
    SetWindowPos(Owner(), nullptr, TRAY_UNPLACED_LEFT, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_taskbar->OnTrayNotify(WM_LBUTTONDOWN);
    RECT desktop = {};
    GetWindowRect(GetDesktopWindow(), &desktop);
    RECT rc = OwnerRect();
    EXPECT_NEAR((desktop.left + desktop.right) / 2, (rc.left + rc.right) / 2, 1);
    EXPECT_NEAR((desktop.top + desktop.bottom) / 2, (rc.top + rc.bottom) / 2, 1);
    EXPECT_EQ(300, rc.right - rc.left) << "moved, not sized";

    // Placed once, it stays where it is.
    m_taskbar->OnTrayNotify(WM_LBUTTONDOWN);
    SetWindowPos(Owner(), nullptr, 120, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(m_taskbar->OnCommand(TRAY_CMD_SHOWHIDE));
    EXPECT_EQ(120, OwnerRect().left);
    EXPECT_EQ(90, OwnerRect().top);
}

TEST_F(Taskbar, ShowHideCommandTogglesAndLeavesTheWindowNotTopmost) {
    ASSERT_TRUE(m_taskbar->Create(Owner(), 0, L"x"));
    ASSERT_TRUE(m_taskbar->OnCommand(TRAY_CMD_SHOWHIDE));
    EXPECT_TRUE(IsWindowVisible(Owner()));
    EXPECT_FALSE(GetWindowLongPtrW(Owner(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    ASSERT_TRUE(m_taskbar->OnCommand(TRAY_CMD_SHOWHIDE));
    EXPECT_FALSE(IsWindowVisible(Owner()));

    // An owner that is topmost by itself stays so.
    SetWindowPos(Owner(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_TRUE(m_taskbar->OnCommand(TRAY_CMD_SHOWHIDE));
    EXPECT_TRUE(GetWindowLongPtrW(Owner(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(Taskbar, ExitPostsCloseToTheOwnerOtherCommandsDoNothing) {
    ASSERT_TRUE(m_taskbar->Create(Owner(), 0, L"x"));
    EXPECT_TRUE(m_taskbar->OnCommand(0x8000)) << "accepted while the icon is present";
    PumpPending();
    EXPECT_TRUE(m_log.sysCommands.empty());
    EXPECT_FALSE(IsWindowVisible(Owner()));
    ASSERT_TRUE(m_taskbar->OnCommand(TRAY_CMD_EXIT));
    EXPECT_TRUE(m_log.sysCommands.empty()) << "posted, not sent";
    ASSERT_TRUE(PumpUntil([&] { return !m_log.sysCommands.empty(); }, kWaitMs));
    EXPECT_EQ(static_cast<WPARAM>(SC_CLOSE), m_log.sysCommands[0]);
    EXPECT_TRUE(IsWindow(Owner()));
}

TEST_F(Taskbar, CommandsBeforeCreateReturnFalseAndDoNothing) {
    for (UINT id : {TRAY_CMD_SHOWHIDE, TRAY_CMD_EXIT, 0x8000u}) {
        EXPECT_FALSE(m_taskbar->OnCommand(id)) << id;
    }
    PumpPending();
    EXPECT_TRUE(m_log.sysCommands.empty());
    EXPECT_FALSE(IsWindowVisible(Owner()));
    EXPECT_TRUE(m_taskbar->OnTrayNotify(WM_RBUTTONDOWN)) << "no owner yet: nothing to pop up";
    EXPECT_TRUE(m_taskbar->OnTrayNotify(WM_LBUTTONDOWN));
    EXPECT_FALSE(IsWindowVisible(Owner()));
}

// --- one real popup ---

// Ends the menu loop: WM_CANCELMODE first, then Escape, then EndMenu.
int g_closeAttempts = 0;
void CALLBACK CloseMenuTimer(HWND hwnd, UINT, UINT_PTR, DWORD) {
    ++g_closeAttempts;
    if (g_closeAttempts == 1) {
        PostMessageW(hwnd, WM_CANCELMODE, 0, 0);
    } else if (g_closeAttempts == 2) {
        INPUT keys[2] = {};
        keys[0].type = keys[1].type = INPUT_KEYBOARD;
        keys[0].ki.wVk = keys[1].ki.wVk = VK_ESCAPE;
        keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, keys, sizeof(INPUT));
    } else {
        EndMenu();
    }
}

TEST_F(Taskbar, RightClickTracksThePopupAndPostsTheNullMessage) {
    CreateWithLoadMenu();
    ShowWindow(Owner(), SW_SHOWNORMAL);
    g_closeAttempts = 0;
    const UINT_PTR timer = SetTimer(Owner(), 1, 300, CloseMenuTimer);
    ASSERT_NE(0u, timer);
    EXPECT_TRUE(m_taskbar->OnTrayNotify(WM_RBUTTONDOWN));
    KillTimer(Owner(), timer);
    std::printf("tray popup closed after %d attempt(s) (1 WM_CANCELMODE, 2 Escape, 3+ EndMenu)\n",
                g_closeAttempts);
    EXPECT_GE(m_log.enterMenuLoops, 1);
    ASSERT_FALSE(m_log.initPopups.empty());
    EXPECT_EQ(m_taskbar->BuildPopup(), m_log.initPopups[0]) << "the own popup was tracked";
    ASSERT_TRUE(PumpUntil([&] { return m_log.nullMessages > 0; }, kWaitMs));
    EXPECT_TRUE(IsMenu(m_mainPopup.Get()));
}

}  // namespace
