// The command-set wizard as a user meets it, over real command-set files: the
// application page finds the program, refuses an empty one, the key page
// writes the set when the user moves on, the review page shows it, and a
// wizard cancelled early writes nothing.
#include "editor/PropSheetWizard.h"

#include "cmdsets/CmdSetAdmin.h"
#include "cmdsets/KeyNames.h"
#include "commands/CmdSetHandler.h"
#include "editor/CmdSetInfoText.h"
#include "resources/EditorIds.h"
#include "resources/StringIds.h"
#include "support/ScopedWin.h"
#include "tests/cmdsets/CmdSetFiles.h"
#include "tests/commands/target/TargetClient.h"
#include "tests/editor/PageTestUtil.h"
#include "tests/osd/OsdTestUtil.h"
#include "tests/support/WindowShot.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

using pagetest::CMessageBoxCloser;
using pagetest::Text;

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

    // The application page filled for the test target, then Next to the key page.
    CPageCmdSetEdit& GoToKeyPage(const wchar_t* name) {
        SetDlgItemTextW(App(), IDC_APP_NAME, name);
        TypeExecutable(L"KanzoTarget.exe");
        SetDlgItemTextW(App(), IDC_APP_PATH, cmdtest::TargetPath(KANZO_TARGET_DIR).c_str());
        SetDlgItemTextW(App(), IDC_APP_CAPTION, KANZO_TARGET_CAPTION);
        Press(PSBTN_NEXT);
        EXPECT_EQ(Keys(), Current());
        return m_wizard->KeyPage();
    }
    HWND Keys() const { return m_wizard->KeyPage().GetHwnd(); }
    bool Shown(int id) const { return IsWindowVisible(GetDlgItem(Keys(), id)) != FALSE; }
    int PictureState(int keyId) {
        for (const tagRCKEYAREA& a : m_wizard->KeyPage().Picture().GetKeyAreas()) {
            if (a.nKeyId == keyId)
                return a.nState;
        }
        return -1;
    }
    // A real click on a key of the picture; true once the page made it current.
    bool ClickKey(int keyId) {
        CCtrlRc& picture = m_wizard->KeyPage().Picture();
        for (const tagRCKEYAREA& a : picture.GetKeyAreas()) {
            if (a.nKeyId != keyId)
                continue;
            POINT p = {a.x + a.width / 2, a.y + a.height / 2};
            ClientToScreen(picture.GetHwnd(), &p);
            SetCursorPos(p.x, p.y);
            INPUT input[2] = {};
            input[0].type = input[1].type = INPUT_MOUSE;
            input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
            input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
            SendInput(2, input, sizeof(INPUT));
            return cmdtest::PumpUntil([&] { return m_wizard->KeyPage().GetCurrentKey() == keyId; }, 5000);
        }
        return false;
    }
    // "Next key typed", then the chord typed for real (pressed in order, released in reverse).
    bool RecordKeystroke(std::vector<WORD> chord) {
        pagetest::Click(Keys(), IDC_KEYS_RECORD);
        if (!m_wizard->KeyPage().IsRecording())
            return false;
        SetForegroundWindow(m_hwnd);
        SetFocus(GetDlgItem(Keys(), IDC_KEYS_RECORD));
        std::vector<INPUT> input = pagetest::ChordInput(chord);
        SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
        const bool done = cmdtest::PumpUntil([&] { return !m_wizard->KeyPage().IsRecording(); }, 5000);
        Pump();  // the releases too
        return done;
    }
    // The key ids of the set's section in the user file.
    std::set<int> UserKeys(const wchar_t* set) const {
        std::vector<wchar_t> buffer(32768);
        GetPrivateProfileSectionW(set, buffer.data(), static_cast<DWORD>(buffer.size()), Paths().userFile.c_str());
        std::set<int> keys;
        for (const wchar_t* line = buffer.data(); *line; line += wcslen(line) + 1) {
            const wchar_t* p = line;
            while (*p == L' ')
                ++p;
            if (*p >= L'0' && *p <= L'9')
                keys.insert(_wtoi(p));
        }
        return keys;
    }
    // A picture of the wizard for the README. Wine hands what the windows
    // painted to the screen while the thread waits for messages: wait a little.
    void Shoot(const wchar_t* name) {
        RedrawWindow(m_hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        cmdtest::PumpUntil([] { return false; }, 300);
        EXPECT_TRUE(SaveWindowBitmap(m_hwnd, osdtest::ArtefactPath(name)));
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

// The keys a test edits: on the picture, no Power or menu key, none bound by default.
std::vector<int> FreeKeys(const CCtrlRc& picture, std::size_t count) {
    CKeymap defaults;
    defaults.LoadDefaults();
    std::vector<int> keys;
    for (const tagRCKEYAREA& a : picture.GetKeyAreas()) {
        tagWINCMD cmd;
        if (keys.size() < count && !a.fDisabled && a.nKeyId != 140 && a.nKeyId != 160 && GetMenuCode(a.nKeyId) == MENU_CODE_NONE &&
            !defaults.Lookup(a.nKeyId, cmd))
            keys.push_back(a.nKeyId);
    }
    return keys;
}

TEST_F(WizardTest, KeystrokesRecordedForKeysOfThePictureAreSavedAloneAndRunOnTheTarget) {
    Shoot(L"wizard-app-en.bmp");
    CPageCmdSetEdit& page = GoToKeyPage(L"Target Keys");
    ASSERT_TRUE(page.Picture().HasBitmap());
    ASSERT_TRUE(Shown(IDC_KEYS_PICTURE));
    EXPECT_FALSE(Shown(IDC_KEYS_MIDI_LIST));
    const std::vector<int> keys = FreeKeys(page.Picture(), 3);
    ASSERT_EQ(3u, keys.size());

    // Ctrl+C typed while recording: the letter, with Ctrl.
    ASSERT_TRUE(ClickKey(keys[0]));
    EXPECT_EQ(GetDlgItem(Keys(), IDC_KEYS_TYPE), GetFocus()) << "a key chosen on the picture moves on to its command";
    pagetest::ChooseComboItem(Keys(), IDC_KEYS_TYPE, CMD_KEY);
    EXPECT_TRUE(Shown(IDC_KEYS_KEYSTROKE));
    EXPECT_FALSE(Shown(IDC_KEYS_SUBTYPE));
    ASSERT_TRUE(RecordKeystroke({VK_CONTROL, 'C'}));
    EXPECT_EQ(L"C", Text(GetDlgItem(Keys(), IDC_KEYS_KEYSTROKE)));
    EXPECT_TRUE(pagetest::IsChecked(Keys(), IDC_KEYS_CTRL));
    EXPECT_FALSE(pagetest::IsChecked(Keys(), IDC_KEYS_ALT));
    EXPECT_FALSE(pagetest::IsChecked(Keys(), IDC_KEYS_RECORD));

    // F5 by its table name; Alt ticked by hand afterwards.
    ASSERT_TRUE(ClickKey(keys[1]));
    EXPECT_EQ(RCKEY_STATE_USER, PictureState(keys[0])) << "the key left shows it is the user's now";
    pagetest::ChooseComboItem(Keys(), IDC_KEYS_TYPE, CMD_KEY);
    ASSERT_TRUE(RecordKeystroke({VK_F5}));
    EXPECT_EQ(L"F5", Text(GetDlgItem(Keys(), IDC_KEYS_KEYSTROKE)));
    pagetest::Click(Keys(), IDC_KEYS_ALT);
    Shoot(L"wizard-keys-en.bmp");

    // A command chosen and dropped again leaves the key as it was.
    ASSERT_TRUE(ClickKey(keys[2]));
    pagetest::ChooseComboItem(Keys(), IDC_KEYS_TYPE, CMD_WIN);
    pagetest::ChooseComboItem(Keys(), IDC_KEYS_TYPE, CMD_NONE);
    ASSERT_TRUE(ClickKey(keys[0]));
    EXPECT_EQ(RCKEY_STATE_NONE, PictureState(keys[2]));
    EXPECT_EQ(L"C", Text(GetDlgItem(Keys(), IDC_KEYS_KEYSTROKE))) << "a key chosen again shows its command";

    Press(PSBTN_NEXT);
    ASSERT_EQ(m_wizard->ReviewPage().GetHwnd(), Current());
    EXPECT_EQ((std::set<int>{keys[0], keys[1]}), UserKeys(L"Target Keys")) << "only the changed keys are written";
    Shoot(L"wizard-review-en.bmp");
    Press(PSBTN_FINISH);
    ASSERT_TRUE(m_wizard->IsFinished());

    // The next key events of the set run the new commands in the program.
    cmdtest::CTargetRecord record;
    cmdtest::CTargetProcess target(record, KANZO_TARGET_DIR);
    ASSERT_TRUE(target.Start()) << target.Failure();
    CCmdSetHandler handler(Paths(), Sources());
    ASSERT_TRUE(handler.LoadCmdSetByName(L"Target Keys"));
    std::size_t from = record.Count();
    EXPECT_TRUE(handler.HandleCommandForKey(keys[0], 0));
    EXPECT_GE(record.WaitFor(L"KEYDOWN 67 C ", from), 0);
    from = record.Count();
    EXPECT_TRUE(handler.HandleCommandForKey(keys[1], 0));
    EXPECT_GE(record.WaitFor(L"SYSKEYDOWN 116 A ", from), 0);
}

TEST_F(WizardTest, TestRunsTheCommandOnTheSetsProgramAtOnce) {
    GoToKeyPage(L"Tested");
    cmdtest::CTargetRecord record;
    cmdtest::CTargetProcess target(record, KANZO_TARGET_DIR);
    ASSERT_TRUE(target.Start()) << target.Failure();
    pagetest::ChooseComboItem(Keys(), IDC_KEYS_TYPE, CMD_CTL);
    pagetest::ChooseComboItem(Keys(), IDC_KEYS_SUBTYPE, 1);  // button
    SetDlgItemTextW(Keys(), IDC_KEYS_VALUE, std::to_wstring(TARGET_ID_BUTTON_B).c_str());
    const std::size_t from = record.Count();
    pagetest::Click(Keys(), IDC_KEYS_TEST);
    EXPECT_GE(record.WaitFor(L"BUTTON " + std::to_wstring(TARGET_ID_BUTTON_B), from), 0);
    EXPECT_EQ(GetDlgItem(Keys(), IDC_KEYS_TEST), GetFocus());
}

TEST_F(WizardTest, KeyPageFieldRules) {
    CPageCmdSetEdit& page = GoToKeyPage(L"Rules");
    // Repeat rates keep four digits: a fifth typed is dropped again.
    pagetest::ChooseComboItem(Keys(), IDC_KEYS_TYPE, CMD_SYS);
    pagetest::ChooseComboItem(Keys(), IDC_KEYS_SUBTYPE, 1);  // volume
    EXPECT_TRUE(Shown(IDC_KEYS_VALUE_SPIN));
    EXPECT_TRUE(Shown(IDC_KEYS_REPEAT));
    SetDlgItemTextW(Keys(), IDC_KEYS_INTERVAL, L"12345");
    EXPECT_EQ(L"1234", Text(GetDlgItem(Keys(), IDC_KEYS_INTERVAL)));
    // The volume's arrows wrap past either end.
    HWND spin = GetDlgItem(Keys(), IDC_KEYS_VALUE_SPIN);
    SendMessageW(spin, UDM_SETPOS32, 0, 100);
    NMUPDOWN change = {};
    change.hdr.hwndFrom = spin;
    change.hdr.idFrom = IDC_KEYS_VALUE_SPIN;
    change.hdr.code = UDN_DELTAPOS;
    change.iPos = 100;
    change.iDelta = 1;
    SendMessageW(Keys(), WM_NOTIFY, IDC_KEYS_VALUE_SPIN, reinterpret_cast<LPARAM>(&change));
    EXPECT_EQ(L"-100 %", Text(GetDlgItem(Keys(), IDC_KEYS_VALUE)));
    EXPECT_EQ(-100, page.ReadControls().nValue);
    // The MIDI model: no picture, the 128 notes with note 60 as the sixth line.
    HWND models = GetDlgItem(Keys(), IDC_KEYS_MODEL);
    int midiRow = -1;
    for (int i = 0; i < static_cast<int>(SendMessageW(models, CB_GETCOUNT, 0, 0)); ++i) {
        if (SendMessageW(models, CB_GETITEMDATA, static_cast<WPARAM>(i), 0) == 0x0001)
            midiRow = i;
    }
    ASSERT_GE(midiRow, 0);
    pagetest::ChooseComboItem(Keys(), IDC_KEYS_MODEL, midiRow);
    HWND notes = GetDlgItem(Keys(), IDC_KEYS_MIDI_LIST);
    EXPECT_FALSE(Shown(IDC_KEYS_PICTURE));
    EXPECT_TRUE(Shown(IDC_KEYS_MIDI_LIST));
    EXPECT_EQ(128, SendMessageW(notes, LB_GETCOUNT, 0, 0));
    EXPECT_EQ(60, SendMessageW(notes, LB_GETCURSEL, 0, 0));
    EXPECT_EQ(55, SendMessageW(notes, LB_GETTOPINDEX, 0, 0));
    EXPECT_EQ(60, page.GetCurrentKey());
    // A note given a command shows it in its line once another note is chosen.
    pagetest::ChooseComboItem(Keys(), IDC_KEYS_TYPE, CMD_WIN);
    SendMessageW(notes, LB_SETCURSEL, 61, 0);
    SendMessageW(Keys(), WM_COMMAND, MAKEWPARAM(IDC_KEYS_MIDI_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(notes));
    EXPECT_EQ(61, page.GetCurrentKey());
    wchar_t line[128] = {};
    SendMessageW(notes, LB_GETTEXT, 60, reinterpret_cast<LPARAM>(line));
    EXPECT_EQ(L"60:\t" + std::wstring(GetKeyName(60, false)) + L"\tUser\tWIN", line);
}

struct tagSHOWNCOMMAND {
    const char* name;
    tagWINCMD cmd;
    int valueField;   // the field that shows the value: 0 none
    const wchar_t* valueText;  // what it shows (for the numbers)
};

void PrintTo(const tagSHOWNCOMMAND& shown, std::ostream* out) { *out << shown.name; }

tagWINCMD Cmd(int type, int subType, int value = 0, int param = 0, int repeat = 0) {
    tagWINCMD cmd;
    cmd.nType = type;
    cmd.nSubType = subType;
    cmd.nValue = value;
    cmd.nParam = param;
    cmd.fRepeat = repeat;
    return cmd;
}

class KeyPageCommands : public WizardTest, public ::testing::WithParamInterface<tagSHOWNCOMMAND> {};

// A command loaded into the fields reads back unchanged, in the fields its type uses.
TEST_P(KeyPageCommands, ShownAndReadBackUnchanged) {
    CPageCmdSetEdit& page = GoToKeyPage(L"Shown");
    tagWINCMD cmd = GetParam().cmd;
    CopyFixedText(cmd.szText, WINCMD_TEXT_LEN, L"Zap & go");
    if (cmd.fRepeat) {
        cmd.nRepeatDelay = 700;
        cmd.nRepeatInterval = 150;
    }
    CKeymap keymap;
    keymap.SetAt(page.GetCurrentKey(), cmd);
    page.SetKeymap(keymap, L"Shown");
    const tagWINCMD read = page.ReadControls();
    EXPECT_TRUE(IsEqualWinCmd(cmd, read)) << "type " << read.nType << " subtype " << read.nSubType << " value "
                                          << read.nValue << " param " << read.nParam;
    if (GetParam().valueField) {
        EXPECT_TRUE(Shown(GetParam().valueField));
        EXPECT_EQ(GetParam().valueText, Text(GetDlgItem(Keys(), GetParam().valueField)));
    }
    EXPECT_EQ(cmd.nType != CMD_NONE, IsWindowEnabled(GetDlgItem(Keys(), IDC_KEYS_TEST)) != FALSE);
}

INSTANTIATE_TEST_SUITE_P(
    EveryType, KeyPageCommands,
    ::testing::Values(tagSHOWNCOMMAND{"None", Cmd(CMD_NONE, 0), 0, L""},
                      tagSHOWNCOMMAND{"Time", Cmd(CMD_OSD, 2), IDC_KEYS_SUBTYPE, L"Time"},
                      tagSHOWNCOMMAND{"Hibernate", Cmd(CMD_SYS, 0, 2), IDC_KEYS_VALUE_LIST, L"Hibernate"},
                      tagSHOWNCOMMAND{"Volume", Cmd(CMD_SYS, 1, -15, 0, 1), IDC_KEYS_VALUE, L"-15%"},
                      tagSHOWNCOMMAND{"MoveDownLeft", Cmd(CMD_SYS, 4, 6), IDC_KEYS_VALUE_LIST, L"Down left"},
                      tagSHOWNCOMMAND{"AltF5", Cmd(CMD_KEY, VK_F5, CMD_MOD_ALT), IDC_KEYS_KEYSTROKE, L"F5"},
                      tagSHOWNCOMMAND{"CtrlShiftC", Cmd(CMD_KEY, 'C', 6), IDC_KEYS_KEYSTROKE, L"C"},
                      tagSHOWNCOMMAND{"NumpadEight", Cmd(CMD_KEY, VK_NUMPAD8, 0), IDC_KEYS_KEYSTROKE, L"NUMPAD_8"},
                      tagSHOWNCOMMAND{"ToggleMinimise", Cmd(CMD_WIN, 6), IDC_KEYS_SUBTYPE, L"Toggle minimise"},
                      tagSHOWNCOMMAND{"MenuItem", Cmd(CMD_CTL, 0, 40001), IDC_KEYS_VALUE, L"40001"},
                      tagSHOWNCOMMAND{"ComboThird", Cmd(CMD_CTL, 2, 1003, 3, 1), IDC_KEYS_PARAM, L"No. 3"},
                      tagSHOWNCOMMAND{"SliderDown", Cmd(CMD_CTL, 3, 1004, -20), IDC_KEYS_PARAM, L"-20 %"}),
    [](const ::testing::TestParamInfo<tagSHOWNCOMMAND>& info) { return std::string(info.param.name); });

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
