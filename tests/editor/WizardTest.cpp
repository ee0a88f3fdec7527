// The command-set wizard as a user meets it, over real command-set files: the
// application page finds the program, refuses an empty one, the key page
// writes the set when the user moves on, the review page shows it, and a
// wizard cancelled early writes nothing.
#include "editor/PropSheetWizard.h"

#include "cmdsets/CmdSetAdmin.h"
#include "editor/CmdSetInfoText.h"
#include "resources/EditorIds.h"
#include "resources/StringIds.h"
#include "support/ScopedWin.h"
#include "tests/cmdsets/CmdSetFiles.h"
#include "tests/editor/PageTestUtil.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>

namespace {

using pagetest::Text;

// Closes the next message box of this process and keeps its text.
class CMessageBoxCloser {
public:
    CMessageBoxCloser() : m_thread(CreateThread(nullptr, 0, Run, this, 0, nullptr)) {}
    ~CMessageBoxCloser() { WaitForSingleObject(m_thread.Get(), 15000); }
    CMessageBoxCloser(const CMessageBoxCloser&) = delete;
    CMessageBoxCloser& operator=(const CMessageBoxCloser&) = delete;
    std::wstring Wait() {
        WaitForSingleObject(m_thread.Get(), 15000);
        return m_text;
    }

private:
    static BOOL CALLBACK Find(HWND hwnd, LPARAM param) {
        wchar_t cls[16] = {};
        GetClassNameW(hwnd, cls, 16);
        DWORD process = 0;
        GetWindowThreadProcessId(hwnd, &process);
        if (process != GetCurrentProcessId() || wcscmp(cls, L"#32770") != 0 || !IsWindowVisible(hwnd) ||
            !GetDlgItem(hwnd, 0xFFFF))
            return TRUE;
        *reinterpret_cast<HWND*>(param) = hwnd;
        return FALSE;
    }
    static DWORD WINAPI Run(void* param) {
        auto* self = static_cast<CMessageBoxCloser*>(param);
        // A message box has no event to wait for: look for it until it comes.
        for (int i = 0; i < 500; ++i) {
            HWND box = nullptr;
            EnumWindows(Find, reinterpret_cast<LPARAM>(&box));
            if (box) {
                self->m_text = Text(GetDlgItem(box, 0xFFFF));
                PostMessageW(box, WM_COMMAND, IDOK, 0);
                return 0;
            }
            Sleep(20);
        }
        return 0;
    }
    std::wstring m_text;
    CQVHandle m_thread;
};

std::wstring g_browseAnswer;
BOOL FakeBrowse(HWND, const std::wstring&, std::wstring& chosen) {
    chosen = g_browseAnswer;
    return !chosen.empty();
}

class WizardTest : public CmdSetFilesTest {
protected:
    void SetUp() override {
        CmdSetFilesTest::SetUp();
        WriteText(Paths().presetFile, "[Settings]\nRC Layout Version=4\n[Software]\n0=Windows (Standard)\n"
                                      "[Windows (Standard)]\nExecutable=KanzoShell.exe\n");
        m_player = MakeExe(L"kanzoplayer.exe");
        m_admin = std::make_unique<CCmdSetAdmin>(Paths(), Sources());
        m_localize = std::make_unique<CQVLocalize>(pagetest::EnglishSetup());
        m_context.pAdmin = m_admin.get();
        m_context.pLocalize = m_localize.get();
        m_wizard = std::make_unique<CPropSheetWizard>(L"New", m_context);
        m_wizard->AppPage().SetBrowse(FakeBrowse);
        m_hwnd = m_wizard->CreateModeless(nullptr);
        ASSERT_NE(nullptr, m_hwnd);
        Pump();
    }
    void TearDown() override {
        if (m_hwnd && IsWindow(m_hwnd))
            DestroyWindow(m_hwnd);
        Pump();
        m_wizard.reset();
        CmdSetFilesTest::TearDown();
    }
    void Pump() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (IsWindow(m_hwnd) && PropSheet_IsDialogMessage(m_hwnd, &msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    void Press(int button) {
        PropSheet_PressButton(m_hwnd, button);
        Pump();
    }
    HWND Current() const { return PropSheet_GetCurrentPageHwnd(m_hwnd); }
    HWND App() const { return m_wizard->AppPage().GetHwnd(); }
    void TypeExecutable(const wchar_t* text) {
        HWND combo = GetDlgItem(App(), IDC_APP_EXECUTABLE);
        SetWindowTextW(combo, text);
        SendMessageW(App(), WM_COMMAND, MAKEWPARAM(IDC_APP_EXECUTABLE, CBN_EDITCHANGE), reinterpret_cast<LPARAM>(combo));
    }

    std::wstring m_player;
    std::unique_ptr<CCmdSetAdmin> m_admin;
    std::unique_ptr<CQVLocalize> m_localize;
    tagEDITORCONTEXT m_context;
    std::unique_ptr<CPropSheetWizard> m_wizard;
    HWND m_hwnd = nullptr;
};

TEST_F(WizardTest, NewSetIsWrittenWhenLeavingTheKeyPageAndReviewedBeforeFinish) {
    EXPECT_EQ(App(), Current());
    EXPECT_EQ(L"New", Text(GetDlgItem(App(), IDC_APP_NAME)));
    EXPECT_TRUE(pagetest::IsChecked(App(), IDC_APP_OSD));
    SetDlgItemTextW(App(), IDC_APP_NAME, L"My <Player> & Co");
    SetDlgItemTextW(App(), IDC_APP_CAPTION, L"Player Window");
    // A bare name: ".exe" is added and the installed program found.
    TypeExecutable(L"KanzoPlayer");
    EXPECT_EQ(m_player, Text(GetDlgItem(App(), IDC_APP_PATH)));
    pagetest::Click(App(), IDC_APP_OSD);

    Press(PSBTN_NEXT);
    ASSERT_EQ(m_wizard->KeyPage().GetHwnd(), Current());
    EXPECT_STREQ(L"kanzoplayer.exe", m_wizard->Record().szExecutable);
    EXPECT_EQ(1, m_wizard->Record().fHideOsd);
    EXPECT_EQ(L"", UserValue(L"My <Player> & Co", L"Executable")) << "nothing written before the key page is left";

    Press(PSBTN_NEXT);
    ASSERT_EQ(m_wizard->ReviewPage().GetHwnd(), Current());
    EXPECT_EQ(L"kanzoplayer.exe", UserValue(L"My <Player> & Co", L"Executable"));
    EXPECT_EQ(L"Player Window", UserValue(L"My <Player> & Co", L"WindowCaption"));
    const std::wstring info = Text(GetDlgItem(Current(), IDC_REVIEW_INFO));
    EXPECT_NE(std::wstring::npos, info.find(L"My <Player> & Co"));
    EXPECT_NE(std::wstring::npos, info.find(L"Player Window"));
    EXPECT_NE(CB_ERR, SendDlgItemMessageW(Current(), IDC_REVIEW_MODEL, CB_GETCURSEL, 0, 0));

    // Back and forward again: the key page writes once more, the file still holds one set.
    Press(PSBTN_BACK);
    EXPECT_EQ(m_wizard->KeyPage().GetHwnd(), Current());
    EXPECT_FALSE(m_wizard->IsFinished());
    Press(PSBTN_NEXT);
    Press(PSBTN_FINISH);
    EXPECT_TRUE(m_wizard->IsFinished());
    tagPRGINFO stored;
    CCmdSetAdmin reread(Paths(), Sources());
    ASSERT_TRUE(reread.GetPrgInfo(L"My <Player> & Co", stored, FALSE));
    EXPECT_EQ(1, stored.fHideOsd);
}

TEST_F(WizardTest, WithoutAProgramTheAppPageStaysAndCancelWritesNothing) {
    const std::string before = ReadText(Paths().userFile);
    SetDlgItemTextW(App(), IDC_APP_NAME, L"Nothing");
    TypeExecutable(L"");
    {
        CMessageBoxCloser closer;
        Press(PSBTN_NEXT);
        EXPECT_EQ(L"Please specify a valid path and/or file name.", closer.Wait());
    }
    Pump();
    EXPECT_EQ(App(), Current());
    // An unknown program leaves the path as it was.
    TypeExecutable(L"notinstalled");
    EXPECT_EQ(L"", Text(GetDlgItem(App(), IDC_APP_PATH)));
    Press(PSBTN_CANCEL);
    EXPECT_FALSE(m_wizard->IsFinished());
    EXPECT_EQ(before, ReadText(Paths().userFile));
    EXPECT_EQ(L"", UserValue(L"Nothing", L"Executable"));
}

TEST_F(WizardTest, BrowsedFilesFillPathAndProgram) {
    TypeExecutable(L"tool.exe");
    // A folder (no extension) is joined with the program's name.
    g_browseAnswer = L"C:\\Programs\\Tool";
    pagetest::Click(App(), IDC_APP_BROWSE);
    EXPECT_EQ(L"C:\\Programs\\Tool\\tool.exe", Text(GetDlgItem(App(), IDC_APP_PATH)));
    g_browseAnswer = L"C:\\Other\\viewer.exe";
    pagetest::Click(App(), IDC_APP_BROWSE);
    EXPECT_EQ(L"C:\\Other\\viewer.exe", Text(GetDlgItem(App(), IDC_APP_PATH)));
    EXPECT_EQ(L"viewer.exe", Text(GetDlgItem(App(), IDC_APP_EXECUTABLE)));
    g_browseAnswer.clear();  // cancelled: nothing changes
    pagetest::Click(App(), IDC_APP_BROWSE);
    EXPECT_EQ(L"C:\\Other\\viewer.exe", Text(GetDlgItem(App(), IDC_APP_PATH)));
}

TEST(CmdSetInfoText, FieldsAndPlaceholders) {
    tagPRGINFO info;
    CopyFixedText(info.szName, PRGINFO_TEXT_LEN, L"Player");
    CopyFixedText(info.szExecutable, PRGINFO_TEXT_LEN, L"player.exe");
    auto text = [](UINT id) { return std::to_wstring(id); };
    EXPECT_EQ(L"\n\tPlayer\n\t\n\n\t54148:\t !!! 54464 !!!\n\t53569:\t player.exe\n\t4402:\t -\n\t54593:\t -",
              BuildCmdSetInfoText(info, text));
    CopyFixedText(info.szAppPath, PRGINFO_TEXT_LEN, L"C:\\Apps\\player.exe");
    CopyFixedText(info.szCommandLine, PRGINFO_TEXT_LEN, L"/full");
    const std::wstring full = BuildCmdSetInfoText(info, text);
    EXPECT_NE(std::wstring::npos, full.find(L"54148:\t C:\\Apps\n"));
    EXPECT_NE(std::wstring::npos, full.find(L"4402:\t /full\n"));
}

TEST(KeyOrigin, DefaultBeatsPresetAndAnyChangeIsTheUsers) {
    CKeymap defaults, preset, working;
    tagWINCMD a, b;
    a.nType = 3;
    a.nSubType = 'A';
    b = a;
    b.nValue = 2;
    defaults.SetAt(1, a);
    preset.SetAt(1, a);
    preset.SetAt(2, b);
    working.SetAt(1, a);
    working.SetAt(2, b);
    working.SetAt(3, b);
    tagWINCMD none;
    working.SetAt(4, none);
    EXPECT_EQ(KEY_ORIGIN_DEFAULT, GetKeyOrigin(1, working, defaults, preset));
    EXPECT_EQ(KEY_ORIGIN_PRESET, GetKeyOrigin(2, working, defaults, preset));
    EXPECT_EQ(KEY_ORIGIN_USER, GetKeyOrigin(3, working, defaults, preset));
    EXPECT_EQ(KEY_ORIGIN_NONE, GetKeyOrigin(4, working, defaults, preset)) << "type 0";
    EXPECT_EQ(KEY_ORIGIN_NONE, GetKeyOrigin(5, working, defaults, preset)) << "no entry";
}

}  // namespace
