// CQVLocalize on real windows under Wine: a dialog localized in German and in
// Russian (with a dump and a bitmap of it in the test's folder), menus with
// accelerators, tool tips, the language menu, language combo boxes and the
// message boxes of ShowMessage.

#include "support/QVLocalize.h"
#include "support/ScopedWin.h"
#include "tests/support/LocalizeTestUtil.h"
#include "tests/support/WindowShot.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

using loctest::CTempFolder;
using loctest::Entries;
using loctest::WriteLngFile;

// Accelerator tables, which DestroyAcceleratorTable frees.
template <class T, BOOL(WINAPI* Destroy)(T)>
struct CDestroyTraits {
    using Handle = T;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { Destroy(h); }
};
using CAccelerators = CQVScoped<CDestroyTraits<HACCEL, DestroyAcceleratorTable>>;

tagQVLOCALIZE_SETUP MakeSetup(const std::wstring& folder, LANGID uiLanguage) {
    tagQVLOCALIZE_SETUP setup;
    setup.wUiLanguage = uiLanguage;
    setup.pszFolder = folder.c_str();
    setup.hClassesRoot = nullptr;
    return setup;
}

class LocalizeUi : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
    }
    void TearDown() override {
        _wsetlocale(LC_ALL, L"C");
        SetThreadLocale(m_threadLocale);
    }
    LCID m_threadLocale = GetThreadLocale();
};

// Texts of the test dialog's ids, used when the translators' file is not there yet.
const Entries kGermanFixture = {
    {1600, L"1. Name und Beschreibung"}, {1602, L"Name"},          {1604, L"Beschreibung (optional)"},
    {1401, L"Bildschirmanzeige einschalten"}, {53506, L"Programmdatei"}, {54148, L"Pfad"},
    {54289, L"Starten"},                 {1, L"&OK"},              {4461, L"Anwendung"},
    {53388, L"Kopieren"},                {55045, L"Strg"},         {1790, L"Das gew\x00E4hlte Programm starten"},
};
const Entries kRussianFixture = {
    {1600, L"1. \x0418\x043C\x044F \x0438 \x043E\x043F\x0438\x0441\x0430\x043D\x0438\x0435"},
    {1602, L"\x0418\x043C\x044F"},
    {1604, L"\x041E\x043F\x0438\x0441\x0430\x043D\x0438\x0435 (\x043D\x0435\x043E\x0431\x044F\x0437\x0430\x0442\x0435\x043B\x044C\x043D\x043E)"},
    {1401, L"\x0412\x043A\x043B\x044E\x0447\x0438\x0442\x044C \x044D\x043A\x0440\x0430\x043D\x043D\x043E\x0435 \x043C\x0435\x043D\x044E"},
    {53506, L"\x0418\x0441\x043F\x043E\x043B\x043D\x044F\x0435\x043C\x044B\x0439 \x0444\x0430\x0439\x043B"},
    {54148, L"\x041F\x0443\x0442\x044C"},
    {54289, L"\x0417\x0430\x043F\x0443\x0441\x043A"},
    {1, L"&\x041E\x041A"},
    {4461, L"\x041F\x0440\x0438\x043B\x043E\x0436\x0435\x043D\x0438\x0435"},
};

// The translators' file when it exists, else the fixture, in folder.
void InstallLanguage(const std::wstring& folder, const wchar_t* file, const Entries& fixture) {
    if (!loctest::CopyLanguageFile(file, folder))
        WriteLngFile(folder + L"\\" + file, fixture);
}

// A dialog template in memory: DLGTEMPLATE and its items, WORD-aligned.
class CDialogTemplate {
public:
    CDialogTemplate(const wchar_t* title, short cx, short cy) {
        DWORD style = DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
        Dword(style);
        Dword(0);
        m_countAt = m_words.size();
        Word(0);
        Word(0), Word(0), Word(static_cast<WORD>(cx)), Word(static_cast<WORD>(cy));
        Word(0);  // no menu
        Word(0);  // default class
        Text(title);
        Word(8);
        Text(L"MS Shell Dlg");
    }
    void Add(WORD id, WORD classAtom, DWORD style, const wchar_t* text, short x, short y, short cx, short cy) {
        while (m_words.size() % 2)
            Word(0);  // DWORD alignment of each item
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        Word(static_cast<WORD>(x)), Word(static_cast<WORD>(y)), Word(static_cast<WORD>(cx)), Word(static_cast<WORD>(cy));
        Word(id);
        Word(0xFFFF);
        Word(classAtom);
        Text(text);
        Word(0);
        ++m_words[m_countAt];
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }

private:
    void Word(WORD value) { m_words.push_back(value); }
    void Dword(DWORD value) {
        Word(LOWORD(value));
        Word(HIWORD(value));
    }
    void Text(const wchar_t* text) {
        for (const wchar_t* p = text; *p; ++p)
            Word(static_cast<WORD>(*p));
        Word(0);
    }
    std::vector<WORD> m_words;
    std::size_t m_countAt = 0;
};

constexpr WORD kButton = 0x0080, kEdit = 0x0081, kStatic = 0x0082;

INT_PTR CALLBACK QuietDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// The application page's first group, with the template's English texts.
CQVWindow CreateTestDialog() {
    CDialogTemplate dialog(L"Template title", 230, 130);
    dialog.Add(1600, kButton, BS_GROUPBOX, L"1600", 7, 7, 216, 92);
    dialog.Add(1602, kStatic, SS_LEFT, L"1602", 14, 20, 90, 10);
    dialog.Add(1603, kEdit, WS_BORDER | ES_AUTOHSCROLL, L"user text", 110, 18, 106, 12);
    dialog.Add(1604, kStatic, SS_LEFT, L"1604", 14, 36, 90, 10);
    dialog.Add(1401, kButton, BS_AUTOCHECKBOX, L"1401", 14, 52, 200, 10);
    dialog.Add(53506, kStatic, SS_LEFT, L"53506", 14, 68, 90, 10);
    dialog.Add(54148, kStatic, SS_LEFT, L"54148", 14, 82, 90, 10);
    dialog.Add(54289, kButton, BS_PUSHBUTTON, L"54289", 110, 108, 55, 14);
    dialog.Add(IDOK, kButton, BS_DEFPUSHBUTTON, L"OK", 168, 108, 55, 14);
    return CQVWindow(CreateDialogIndirectParamW(GetModuleHandleW(nullptr), dialog.Get(), nullptr, QuietDialogProc, 0));
}

std::wstring WindowText(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

void DumpDialog(HWND dialog, const std::wstring& path) {
    std::wstring text = L"title\t" + WindowText(dialog) + L"\r\n";
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        text += std::to_wstring(GetDlgCtrlID(child)) + L"\t" + WindowText(child) + L"\r\n";
    if (FILE* file = _wfopen(path.c_str(), L"wb")) {
        std::fwrite("\xFF\xFE", 1, 2, file);
        std::fwrite(text.data(), sizeof(wchar_t), text.size(), file);
        std::fclose(file);
    }
}

// Localizes the test dialog in a language, checks it against that language's
// file and leaves a dump and a bitmap beside the test.
void CheckLocalizedDialog(LANGID language, const wchar_t* file, const Entries& fixture, const wchar_t* name) {
    CTempFolder folder(name);
    InstallLanguage(folder.Path(), file, fixture);
    CQVLocalize localize(MakeSetup(folder.Path(), language));
    ASSERT_EQ(language, localize.GetLanguage());
    const CQVWindow owner = CreateTestDialog();
    const HWND dialog = owner.Get();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(1, localize.LocalizeDialog(dialog, 4461));
    EXPECT_EQ(localize.GetString(4461), WindowText(dialog));
    for (int id : {1600, 1602, 1604, 1401, 53506, 54148, 54289, 1}) {
        std::wstring expected = localize.GetString(static_cast<UINT>(id));
        EXPECT_FALSE(expected.empty()) << id;
        EXPECT_EQ(expected, WindowText(GetDlgItem(dialog, id))) << id;
    }
    EXPECT_EQ(L"user text", WindowText(GetDlgItem(dialog, 1603)));  // no string 1603: untouched
    if (language == 0x0419) {
        EXPECT_GE(WindowText(GetDlgItem(dialog, 1602))[0], 0x0400) << "not Cyrillic";
    }
    ShowWindow(dialog, SW_SHOWNOACTIVATE);
    UpdateWindow(dialog);
    std::wstring base = loctest::ProgramFolder() + L"\\localized_dialog_" + name;
    DumpDialog(dialog, base + L".txt");
    SaveWindowBitmap(dialog, base + L".bmp");
}

TEST_F(LocalizeUi, DialogInGerman) { CheckLocalizedDialog(0x0407, L"German.lng", kGermanFixture, L"German"); }

TEST_F(LocalizeUi, DialogInRussian) { CheckLocalizedDialog(0x0419, L"Russian.lng", kRussianFixture, L"Russian"); }

TEST_F(LocalizeUi, ControlIdOffsetShiftsTheLookup) {
    CTempFolder folder(L"offset");
    WriteLngFile(folder.File(L"English.lng"), {{1700, L"shifted text"}});
    CQVLocalize localize(MakeSetup(folder.Path(), 0x0809));
    const CQVWindow owner = CreateTestDialog();
    const HWND dialog = owner.Get();
    ASSERT_NE(nullptr, dialog);
    localize.SetControlIdOffset(1700 - 1600);
    localize.LocalizeDialog(dialog, 0);
    EXPECT_EQ(L"Template title", WindowText(dialog));
    EXPECT_EQ(L"shifted text", WindowText(GetDlgItem(dialog, 1600)));
}

TEST_F(LocalizeUi, MenuWithAcceleratorsAndSubmenu) {
    CTempFolder folder(L"menu");
    CQVLocalize localize(MakeSetup(folder.Path(), 0x0809));
    CQVMenu owner(CreatePopupMenu());
    const HMENU menu = owner.Get();
    CQVMenu subOwner(CreatePopupMenu());
    const HMENU sub = subOwner.Get();
    AppendMenuW(menu, MF_STRING, 53388, L"x");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, 53441, L"x");
    AppendMenuW(menu, MF_STRING, 53504, L"x");
    AppendMenuW(menu, MF_STRING, 54284, L"x");
    AppendMenuW(menu, MF_STRING, 3999, L"unknown id");
    AppendMenuW(sub, MF_STRING, 53763, L"x");
    if (AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), L"sub"))
        (void)subOwner.Take();  // destroyed with its menu now
    ACCEL table[] = {{FVIRTKEY | FCONTROL, 'C', 53388}, {FVIRTKEY, VK_DELETE, 53441}, {FVIRTKEY, VK_RETURN, 53504}};
    const CAccelerators owned(CreateAcceleratorTableW(table, 3));
    const HACCEL accelerators = owned.Get();
    EXPECT_EQ(1, localize.LocalizeMenu(menu, accelerators));
    auto text = [](HMENU m, UINT position) {
        wchar_t buffer[128] = {};
        GetMenuStringW(m, position, buffer, 128, MF_BYPOSITION);
        return std::wstring(buffer);
    };
    EXPECT_EQ(L"&Copy\tCtrl+C", text(menu, 0));
    EXPECT_EQ(L"&Delete\tDel", text(menu, 2));
    EXPECT_EQ(L"&Edit\tReturn", text(menu, 3));
    EXPECT_EQ(L"Reset", text(menu, 4));
    EXPECT_EQ(L"unknown id", text(menu, 5));
    EXPECT_EQ(L"sub", text(menu, 6));
    EXPECT_EQ(L"Information", text(sub, 0));

    // German: the key's letter is not in the text, so the mnemonic goes first;
    // the modifier comes from the language too.
    WriteLngFile(folder.File(L"German.lng"), kGermanFixture);
    localize.SetSource(QVLOC_MODE_FILES_FIRST, nullptr);
    localize.SetLanguage(0x0407);
    localize.LocalizeMenu(menu, accelerators);
    EXPECT_EQ(L"&Kopieren\tStrg+C", text(menu, 0));
}

TEST_F(LocalizeUi, ToolTipsForControlsWithTexts) {
    CTempFolder folder(L"tips");
    CQVLocalize localize(MakeSetup(folder.Path(), 0x0809));
    const CQVWindow owner = CreateTestDialog();
    const HWND dialog = owner.Get();
    ASSERT_NE(nullptr, dialog);
    const CQVWindow tipOwner(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT,
                                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr,
                                             GetModuleHandleW(nullptr), nullptr));
    const HWND tip = tipOwner.Get();
    ASSERT_NE(nullptr, tip);
    // Tool tips live at their own offset: control 54289 (Run) + 1790 - 54289 gives string 1790.
    localize.SetControlIdOffset(1790 - 54289);
    EXPECT_EQ(1, localize.LocalizeToolTips(dialog, tip));
    EXPECT_EQ(1, SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0));
    wchar_t text[1024] = {};
    TTTOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = dialog;
    tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(dialog, 54289));
    tool.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(L"Start the selected application", text);
    // Again after a language change: the tool is replaced, not added twice.
    EXPECT_EQ(1, localize.LocalizeToolTips(dialog, tip));
    EXPECT_EQ(1, SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0));
}

std::set<LANGID> InstalledLanguages(const std::wstring& folder, const CQVLocalize& localize) {
    std::set<LANGID> languages;
    const tagQVLANGUAGE* table = QVLocLanguageTable();
    for (int row = 1; row < QVLOC_LANGUAGE_COUNT; ++row) {
        std::wstring path = folder + L"\\" + localize.GetPrefix() + table[row].pszFile;
        if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
            languages.insert(table[row].wLangId);
    }
    return languages;
}

std::vector<LANGID> MenuIds(HMENU menu, LANGID* checked) {
    std::vector<LANGID> ids;
    *checked = 0;
    for (int position = 0; position < GetMenuItemCount(menu); ++position) {
        ids.push_back(static_cast<LANGID>(GetMenuItemID(menu, position)));
        if (GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION) & MF_CHECKED) {
            EXPECT_EQ(0, *checked) << "two items checked";
            *checked = ids.back();
        }
    }
    return ids;
}

TEST_F(LocalizeUi, LanguageMenuListsTheInstalledLanguages) {
    // The program's folder holds the shipped language files.
    std::wstring folder = loctest::ProgramFolder();
    CQVLocalize localize(MakeSetup(folder, 0x0809));
    std::set<LANGID> installed = InstalledLanguages(folder, localize);
    ASSERT_TRUE(installed.count(0x0809) && installed.count(0x0409)) << "English files not installed";
    HMENU menu = localize.GetLanguageMenu();
    ASSERT_NE(nullptr, menu);
    LANGID checked = 0;
    std::vector<LANGID> ids = MenuIds(menu, &checked);
    EXPECT_EQ(installed, std::set<LANGID>(ids.begin(), ids.end()));
    EXPECT_EQ(installed.size(), ids.size());
    EXPECT_EQ(0x0809, checked);
    wchar_t name[128] = {};
    GetMenuStringW(menu, 0x0809, name, 128, MF_BYCOMMAND);
    EXPECT_STREQ(L"English (United Kingdom)", name);
    EXPECT_TRUE(localize.IsLanguageCommand(0x0409));
    EXPECT_FALSE(localize.IsLanguageCommand(0x0401 + 0x8000));
}

TEST_F(LocalizeUi, LanguageMenuFollowsLanguageAndSource) {
    CTempFolder folder(L"langmenu");
    loctest::CopyLanguageFile(L"English.lng", folder.Path());
    loctest::CopyLanguageFile(L"English_US.lng", folder.Path());
    WriteLngFile(folder.File(L"German.lng"), kGermanFixture);
    WriteLngFile(folder.File(L"Russian.lng"), kRussianFixture);
    WriteLngFile(folder.File(L"X_Greek.lng"), {});
    CQVLocalize localize(MakeSetup(folder.Path(), 0x0407));
    HMENU menu = localize.GetLanguageMenu();
    LANGID checked = 0;
    EXPECT_EQ((std::vector<LANGID>{0x0407, 0x0809, 0x0409, 0x0419}), MenuIds(menu, &checked));
    EXPECT_EQ(0x0407, checked);
    localize.SetLanguage(0x0419);
    MenuIds(menu, &checked);
    EXPECT_EQ(0x0419, checked);
    // Another prefix: only Greek has a file, English still has resources. The
    // handle stays the same, so a window menu holding it sees the change.
    localize.SetSource(QVLOC_MODE_FILES_FIRST, L"X_");
    EXPECT_EQ(menu, localize.GetLanguageMenu());
    EXPECT_EQ((std::vector<LANGID>{0x0809, 0x0409, 0x0408}), MenuIds(menu, &checked));
    EXPECT_EQ(0, checked);  // Russian is no longer offered
}

TEST_F(LocalizeUi, LanguageComboAllOrAvailable) {
    CTempFolder folder(L"combo");
    WriteLngFile(folder.File(L"German.lng"), {});
    CQVLocalize localize(MakeSetup(folder.Path(), 0x0809));
    const CQVWindow owner(CreateWindowExW(0, WC_COMBOBOXW, nullptr, CBS_DROPDOWNLIST | WS_POPUP, 0, 0, 200, 200,
                                          nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
    const HWND combo = owner.Get();
    ASSERT_NE(nullptr, combo);
    EXPECT_EQ(36, localize.FillLanguageCombo(combo, FALSE));
    EXPECT_EQ(36, SendMessageW(combo, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(0x0405, SendMessageW(combo, CB_GETITEMDATA, 0, 0));
    EXPECT_EQ(3, localize.FillLanguageCombo(combo, TRUE));
    EXPECT_EQ(0, SendMessageW(combo, CB_GETCURSEL, 0, 0));
    EXPECT_EQ(0x0407, SendMessageW(combo, CB_GETITEMDATA, 0, 0));
    EXPECT_EQ(0x0409, SendMessageW(combo, CB_GETITEMDATA, 2, 0));
}

// What the message box showed; the hook answers it with a button.
struct tagSEENBOX {
    std::wstring caption;
    std::wstring text;
    bool icon = false;
    std::set<int> buttons;
};

tagSEENBOX g_seen;
int g_answer = IDOK;
HHOOK g_hook = nullptr;

// Runs inside the box's own message loop, after its initialisation is complete.
void CALLBACK InspectBox(HWND box, UINT, UINT_PTR timer, DWORD) {
    KillTimer(box, timer);
    g_seen = tagSEENBOX();
    g_seen.caption = WindowText(box);
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child))
            continue;
        wchar_t childClass[32] = {};
        GetClassNameW(child, childClass, 32);
        LONG style = GetWindowLongW(child, GWL_STYLE);
        if (std::wstring(childClass) == L"Button")
            g_seen.buttons.insert(GetDlgCtrlID(child));
        else if ((style & SS_TYPEMASK) == SS_ICON)
            g_seen.icon = g_seen.icon || SendMessageW(child, STM_GETICON, 0, 0) != 0;
        else if (!WindowText(child).empty())
            g_seen.text = WindowText(child);
    }
    PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(g_answer), 0);
}

LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        HWND box = reinterpret_cast<HWND>(wParam);
        wchar_t className[32] = {};
        GetClassNameW(box, className, 32);
        if (std::wstring(className) == L"#32770")
            SetTimer(box, 1, USER_TIMER_MINIMUM, InspectBox);
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

class MessageBoxes : public LocalizeUi {
protected:
    void SetUp() override { g_hook = SetWindowsHookExW(WH_CBT, CbtProc, nullptr, GetCurrentThreadId()); }
    void TearDown() override {
        UnhookWindowsHookEx(g_hook);
        LocalizeUi::TearDown();
    }
};

TEST_F(MessageBoxes, SixKindsWithTheirButtonsCaptionsAndIcons) {
    CTempFolder folder(L"boxes");
    WriteLngFile(folder.File(L"German.lng"), {{54592, L"Warnung"}, {4004, L"Vorgaben sind fest"}});
    CQVLocalize localize(MakeSetup(folder.Path(), 0x0407));
    const struct {
        int kind;
        int answer;
        const wchar_t* caption;
        bool yesNo;
        bool icon;
    } cases[] = {
        {QVMSG_ERROR, IDOK, L"Error", false, true},          // no German text: the English fallback
        {QVMSG_WARNING, IDOK, L"Warnung", false, true},
        {QVMSG_PLAIN, IDOK, L"Mine", false, false},
        {QVMSG_ERROR_YESNO, IDNO, L"Error", true, true},
        {QVMSG_WARNING_YESNO, IDYES, L"Warnung", true, true},
        {QVMSG_PLAIN_YESNO, IDNO, L"Mine", true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        g_answer = c.answer;
        EXPECT_EQ(c.answer, localize.ShowMessage(nullptr, 4004, c.kind, L"Mine"));
        EXPECT_EQ(c.caption, g_seen.caption);
        EXPECT_EQ(L"Vorgaben sind fest", g_seen.text);
        EXPECT_EQ(c.icon, g_seen.icon);
        EXPECT_EQ(c.yesNo ? std::set<int>({IDYES, IDNO}) : std::set<int>({IDOK}), g_seen.buttons);
        // Wine does not raise message boxes to topmost itself: check the request.
        UINT captionId = 1;
        UINT style = CQVLocalize::GetMessageStyle(c.kind, &captionId);
        EXPECT_EQ(static_cast<UINT>(MB_TOPMOST | MB_TASKMODAL), style & (MB_TOPMOST | MB_TASKMODAL));
    }
}

TEST_F(MessageBoxes, TextFormAndCaptionFallback) {
    CTempFolder folder(L"boxtext");
    CQVLocalize localize(MakeSetup(folder.Path(), 0x0809));
    localize.SetSource(QVLOC_MODE_FILES, nullptr);  // no files: captions fall back to English literals
    g_answer = IDOK;
    EXPECT_EQ(IDOK, localize.ShowMessage(nullptr, L"plain text", QVMSG_WARNING));
    EXPECT_EQ(L"Warning", g_seen.caption);
    EXPECT_EQ(L"plain text", g_seen.text);
}

}  // namespace
