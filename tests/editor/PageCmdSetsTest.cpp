// The Command sets page over real command-set files: the list with origins,
// the toolbar and menu states, and each command with its effect on the files,
// driven as a user drives them (commands, keys, the wizard's real pages).
#include "editor/PageCmdSets.h"

#include "cmdsets/CmdSetAdmin.h"
#include "cmdsets/KnownCmdSets.h"
#include "commands/CmdSetHandler.h"
#include "editor/HtmlWriter.h"
#include "editor/PropSheetWizard.h"
#include "resources/EditorIds.h"
#include "resources/StringIds.h"
#include "tests/cmdsets/CmdSetFiles.h"
#include "tests/commands/target/TargetClient.h"
#include "tests/editor/PageTestUtil.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using pagetest::CMessageBoxCloser;
using pagetest::Text;

class PageCmdSetsTest : public CmdSetFilesTest {
protected:
    void SetUp() override {
        CmdSetFilesTest::SetUp();
        MakeExe(L"KanzoShell.exe");
        MakeExe(L"kanzoplayer.exe");
        WriteText(Paths().presetFile,
                  "[Settings]\nRC Layout Version=4\n[Software]\n0=Windows (Standard)\n"
                  "[Windows (Standard)]\nExecutable=KanzoShell.exe\n"
                  "[Player]\nExecutable=kanzoplayer.exe\nDescription=Plays\n"
                  " 50=  3, 65,  0,  0,  0,1000,200,\"\",\"\",\"\"\n");
        m_admin = std::make_unique<CCmdSetAdmin>(Paths(), Sources());
        m_handler = std::make_unique<CCmdSetHandler>(Paths(), Sources());
        m_localize = std::make_unique<CQVLocalize>(pagetest::EnglishSetup());
        tagHTMLWRITER_SETUP html;
        html.dataFolder = m_dir;
        html.open = [this](const std::wstring& file, const std::wstring&, int) {
            m_opened.push_back(file);
            return true;
        };
        m_writer = std::make_unique<CHtmlWriter>(html);
        tagEDITORCONTEXT context;
        context.pAdmin = m_admin.get();
        context.pHandler = m_handler.get();
        context.pLocalize = m_localize.get();
        m_page = std::make_unique<CPageCmdSets>(context);
        m_page->SetHtmlWriter(m_writer.get());
        m_page->SetWizardRunner([this](CPropSheetWizard& wizard, HWND owner) {
            HWND sheet = wizard.CreateModeless(owner);
            if (!sheet)
                return static_cast<INT_PTR>(-1);
            if (m_drive)
                m_drive(wizard, sheet);
            const INT_PTR result = wizard.IsFinished() ? WIZARD_FINISHED : IDCANCEL;
            DestroyWindow(sheet);
            return result;
        });
        m_sheet.Add(*m_page);
        ASSERT_TRUE(m_sheet.Open());
        m_list = m_page->GetItem(IDC_SETS_LIST);
    }
    void TearDown() override {
        m_sheet.Pump();
        CmdSetFilesTest::TearDown();
    }

    // The rows as "name|status".
    std::vector<std::wstring> Rows() const {
        std::vector<std::wstring> rows;
        for (int i = 0; i < ListView_GetItemCount(m_list); ++i) {
            wchar_t name[260] = {}, status[64] = {};
            ListView_GetItemText(m_list, i, 0, name, 260);
            ListView_GetItemText(m_list, i, 1, status, 64);
            rows.push_back(std::wstring(name) + L"|" + status);
        }
        return rows;
    }
    void Select(const wchar_t* name) {
        LVFINDINFOW find = {};
        find.flags = LVFI_STRING;
        find.psz = name;
        const int row = ListView_FindItem(m_list, -1, &find);
        ASSERT_GE(row, 0) << "no row " << std::string(name, name + wcslen(name));
        ListView_SetItemState(m_list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        m_sheet.Pump();
    }
    void Command(UINT id) {
        SendMessageW(m_page->GetHwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
        m_sheet.Pump();
    }
    // Keys pressed for real while the list has the focus; returns once this
    // thread has taken them all (an F24 sent after them has come through,
    // to the list or to a message box the keys opened).
    void Key(const std::vector<WORD>& chord) {
        SetForegroundWindow(m_sheet.Get());
        SetFocus(m_list);
        std::vector<INPUT> input = pagetest::ChordInput(chord);
        const std::vector<INPUT> endMark = pagetest::ChordInput({VK_F24});
        input.insert(input.end(), endMark.begin(), endMark.end());
        s_endSeen = false;
        HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, EndMarkHook, nullptr, GetCurrentThreadId());
        SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
        cmdtest::PumpUntil([&] { return s_endSeen; }, 5000);
        UnhookWindowsHookEx(hook);
        EXPECT_TRUE(s_endSeen) << "the keys never arrived";
        m_sheet.Pump();
    }
    static LRESULT CALLBACK EndMarkHook(int code, WPARAM wp, LPARAM lp) {
        const MSG* msg = reinterpret_cast<const MSG*>(lp);
        if (code == HC_ACTION && wp == PM_REMOVE && msg->message == WM_KEYUP && msg->wParam == VK_F24)
            s_endSeen = true;
        return CallNextHookEx(nullptr, code, wp, lp);
    }
    static bool s_endSeen;
    bool ButtonEnabled(UINT id) const {
        return SendMessageW(m_page->GetToolBar(), TB_ISBUTTONENABLED, id, 0) != 0;
    }
    bool HasSection(const wchar_t* name) const {
        wchar_t buffer[64] = {};
        return GetPrivateProfileSectionW(name, buffer, 64, Paths().userFile.c_str()) > 0;
    }
    // Drives the wizard's pages: the application page's name, then Next, Next, Finish.
    static void FinishAs(const wchar_t* name, CPropSheetWizard& wizard, HWND sheet) {
        SetDlgItemTextW(wizard.AppPage().GetHwnd(), IDC_APP_NAME, name);
        for (int button : {PSBTN_NEXT, PSBTN_NEXT, PSBTN_FINISH})
            Press(sheet, button);
    }
    // A wizard button, and what it sets going.
    static void Press(HWND sheet, int button) {
        PropSheet_PressButton(sheet, button);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!PropSheet_IsDialogMessage(sheet, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
    }

    std::unique_ptr<CCmdSetAdmin> m_admin;
    std::unique_ptr<CCmdSetHandler> m_handler;
    std::unique_ptr<CQVLocalize> m_localize;
    std::unique_ptr<CHtmlWriter> m_writer;
    std::unique_ptr<CPageCmdSets> m_page;
    pagetest::CSheetHost m_sheet;
    HWND m_list = nullptr;
    std::function<void(CPropSheetWizard&, HWND)> m_drive;
    std::vector<std::wstring> m_opened;
};

bool PageCmdSetsTest::s_endSeen = false;

TEST_F(PageCmdSetsTest, EveryCommandOnTheFilesOneAfterAnother) {
    EXPECT_EQ((std::vector<std::wstring>{L"Player|Preset", L"Windows (Standard)|Preset"}), Rows());
    Select(L"Player");
    EXPECT_FALSE(ButtonEnabled(IDM_SET_DELETE));
    EXPECT_FALSE(ButtonEnabled(IDM_SET_RESET));
    EXPECT_TRUE(ButtonEnabled(IDM_SET_EDIT));
    EXPECT_NE(std::wstring::npos, Text(m_page->GetItem(IDC_SETS_INFO)).find(L"Plays"));

    // New, with a key of its own: the wizard writes a user set.
    int key = 0;
    m_drive = [&](CPropSheetWizard& wizard, HWND sheet) {
        SetDlgItemTextW(wizard.AppPage().GetHwnd(), IDC_APP_PATH, L"C:\\Programs\\mine.exe");
        SetDlgItemTextW(wizard.AppPage().GetHwnd(), IDC_APP_NAME, L"Mine");
        Press(sheet, PSBTN_NEXT);
        key = wizard.KeyPage().GetCurrentKey();
        pagetest::ChooseComboItem(wizard.KeyPage().GetHwnd(), IDC_KEYS_TYPE, CMD_WIN);
        pagetest::ChooseComboItem(wizard.KeyPage().GetHwnd(), IDC_KEYS_SUBTYPE, 1);  // maximise
        Press(sheet, PSBTN_NEXT);
        Press(sheet, PSBTN_FINISH);
    };
    Command(IDM_SET_NEW);
    EXPECT_TRUE(HasSection(L"Mine"));
    EXPECT_NE(L"", UserValue(L"Mine", std::to_wstring(key).c_str()));
    EXPECT_EQ((std::vector<std::wstring>{L"Mine|User", L"Player|Preset", L"Windows (Standard)|Preset"}), Rows());

    // Edit the active set: the next key uses the new command at once.
    ASSERT_TRUE(m_handler->LoadCmdSetByName(L"Mine"));
    Select(L"Mine");
    m_drive = [&](CPropSheetWizard& wizard, HWND sheet) {
        EXPECT_STREQ(L"Mine", wizard.Record().szName);
        Press(sheet, PSBTN_NEXT);
        EXPECT_EQ(key, wizard.KeyPage().GetCurrentKey());
        EXPECT_EQ(CMD_WIN, wizard.KeyPage().ReadControls().nType) << "the set's own command is shown";
        pagetest::ChooseComboItem(wizard.KeyPage().GetHwnd(), IDC_KEYS_TYPE, CMD_OSD);
        Press(sheet, PSBTN_NEXT);
        Press(sheet, PSBTN_FINISH);
    };
    Command(IDM_SET_EDIT);
    tagWINCMD cmd;
    ASSERT_TRUE(m_handler->LookupCommand(key, cmd));
    EXPECT_EQ(CMD_OSD, cmd.nType);

    // Edit with a new name: nothing stays under the old one, for the dispatcher neither.
    Select(L"Mine");
    m_drive = [](CPropSheetWizard& wizard, HWND sheet) { FinishAs(L"Mine 2", wizard, sheet); };
    Command(IDM_SET_EDIT);
    EXPECT_FALSE(HasSection(L"Mine"));
    EXPECT_TRUE(HasSection(L"Mine 2"));
    tagPRGINFO current;
    m_handler->GetCurrentPrgInfo(current);
    EXPECT_STREQ(L"", current.szName) << "the renamed set is gone for the dispatcher too";

    // Info: the overview of the selected set, opened.
    Select(L"Mine 2");
    Command(IDM_SET_INFO);
    ASSERT_EQ(1u, m_opened.size());
    EXPECT_EQ(m_writer->GetPageFile(), m_opened[0]);

    // Copy by Ctrl+C, and a second copy refused by name; C alone does nothing.
    Select(L"Player");
    Key({VK_CONTROL, 'C'});
    EXPECT_TRUE(HasSection(L"Player (Copy)"));
    EXPECT_NE(L"", UserValue(L"Player (Copy)", L"50")) << "the copy holds the set's keys";
    Select(L"Player");
    {
        CMessageBoxCloser closer;
        Command(IDM_SET_COPY);
        EXPECT_EQ(L"_Player (Copy) already in list!", closer.Wait());
    }
    Select(L"Player");
    const std::string before = ReadText(Paths().userFile);
    Key({'C'});
    EXPECT_EQ(before, ReadText(Paths().userFile));

    // Editing a preset makes a user copy; Reset takes it back to the preset.
    Select(L"Player");
    m_drive = [](CPropSheetWizard& wizard, HWND sheet) {
        SetDlgItemTextW(wizard.AppPage().GetHwnd(), IDC_APP_DESCRIPTION, L"Plays louder");
        FinishAs(L"Player", wizard, sheet);
    };
    Command(IDM_SET_EDIT);
    EXPECT_EQ(L"Player|Modified", Rows()[1]);
    Select(L"Player");
    EXPECT_TRUE(ButtonEnabled(IDM_SET_RESET));
    EXPECT_FALSE(ButtonEnabled(IDM_SET_DELETE));
    Command(IDM_SET_RESET);
    EXPECT_FALSE(HasSection(L"Player"));
    EXPECT_EQ(L"Player|Preset", Rows()[1]);

    // Delete: a user set at once, a preset never.
    Select(L"Player (Copy)");
    Key({VK_DELETE});
    EXPECT_FALSE(HasSection(L"Player (Copy)"));
    Select(L"Player");
    {
        CMessageBoxCloser closer;
        Command(IDM_SET_DELETE);
        EXPECT_EQ(L"Presets cannot be deleted!", closer.Wait());
    }
    EXPECT_EQ((std::vector<std::wstring>{L"Mine 2|User", L"Player|Preset", L"Windows (Standard)|Preset"}), Rows());
}

TEST_F(PageCmdSetsTest, DeletingAModifiedPresetWarnsAndListsThePresetAgain) {
    Select(L"Player");
    m_drive = [](CPropSheetWizard& wizard, HWND sheet) { FinishAs(L"Player", wizard, sheet); };
    Command(IDM_SET_EDIT);
    EXPECT_EQ(L"Player|Preset", Rows()[0]) << "saved unchanged: still the preset";
    Select(L"Player");
    {
        CMessageBoxCloser closer;
        Key({VK_DELETE});
        EXPECT_EQ(L"This is a modified preset.\nIf you continue the original preset will be reloaded.", closer.Wait());
    }
    m_sheet.Pump();
    EXPECT_FALSE(HasSection(L"Player"));
    EXPECT_EQ(L"Player|Preset", Rows()[0]);
}

TEST_F(PageCmdSetsTest, ANewSetNeverTakesAnExistingNameAndCancelWritesNothing) {
    const std::string before = ReadText(Paths().userFile);
    std::wstring refused;
    m_drive = [&](CPropSheetWizard& wizard, HWND sheet) {
        SetDlgItemTextW(wizard.AppPage().GetHwnd(), IDC_APP_PATH, L"C:\\Programs\\other.exe");
        SetDlgItemTextW(wizard.AppPage().GetHwnd(), IDC_APP_NAME, L"Player");
        {
            CMessageBoxCloser closer;
            Press(sheet, PSBTN_NEXT);
            refused = closer.Wait();
        }
        EXPECT_EQ(wizard.AppPage().GetHwnd(), PropSheet_GetCurrentPageHwnd(sheet)) << "the name stays to be changed";
        PropSheet_PressButton(sheet, PSBTN_CANCEL);
    };
    Command(IDM_SET_NEW);
    EXPECT_EQ(L"_Player already in list!", refused);
    EXPECT_EQ(before, ReadText(Paths().userFile));
    EXPECT_EQ(L"Player|Preset", Rows()[0]);
}

TEST_F(PageCmdSetsTest, MenuOffersDeleteAndResetOnlyWhereTheyApply) {
    m_drive = [](CPropSheetWizard& wizard, HWND sheet) {
        SetDlgItemTextW(wizard.AppPage().GetHwnd(), IDC_APP_PATH, L"C:\\Programs\\own.exe");
        FinishAs(L"Own", wizard, sheet);
    };
    Command(IDM_SET_NEW);
    Select(L"Player");
    m_drive = [](CPropSheetWizard& wizard, HWND sheet) { FinishAs(L"Player", wizard, sheet); };
    Command(IDM_SET_EDIT);
    m_page->List().SetTrackMenu(false);
    struct {
        const wchar_t* set;
        bool deletable;
        bool resettable;
    } cases[] = {{L"Windows (Standard)", false, false}, {L"Own", true, false}, {L"Player", false, true}};
    for (const auto& c : cases) {
        Select(c.set);
        HMENU popup = m_page->List().PrepareContextMenu();
        ASSERT_NE(nullptr, popup);
        const bool deleteGrey = (GetMenuState(popup, IDM_SET_DELETE, MF_BYCOMMAND) & MF_GRAYED) != 0;
        const bool resetGrey = (GetMenuState(popup, IDM_SET_RESET, MF_BYCOMMAND) & MF_GRAYED) != 0;
        EXPECT_EQ(c.deletable, !deleteGrey) << std::string(c.set, c.set + wcslen(c.set));
        EXPECT_EQ(c.resettable, !resetGrey) << std::string(c.set, c.set + wcslen(c.set));
        EXPECT_EQ(c.deletable, ButtonEnabled(IDM_SET_DELETE));
        EXPECT_EQ(c.resettable, ButtonEnabled(IDM_SET_RESET));
    }
    ListView_SetItemState(m_list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    m_sheet.Pump();
    EXPECT_EQ(nullptr, m_page->List().PrepareContextMenu()) << "no selection, no menu";
    EXPECT_FALSE(ButtonEnabled(IDM_SET_NEW));
}

TEST_F(PageCmdSetsTest, AWriteProtectedUserFileLosesNothingAndSaysWhy) {
    Command(IDM_SET_COPY);  // the user file exists now
    const std::string before = ReadText(Paths().userFile);
    Select(L"Player (Copy)");
    // Root ignores the read-only attribute under Wine; a file held without
    // sharing refuses writing just as a protected one does.
    HANDLE held = CreateFileW(Paths().userFile.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    for (UINT command : {IDM_SET_DELETE, IDM_SET_COPY}) {
        Select(L"Player (Copy)");
        CMessageBoxCloser closer;
        Command(command);
        EXPECT_NE(std::wstring::npos, closer.Wait().find(L"is write protected")) << command;
    }
    CloseHandle(held);
    EXPECT_EQ(before, ReadText(Paths().userFile));
}

}  // namespace
