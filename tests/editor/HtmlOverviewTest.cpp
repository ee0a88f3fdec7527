// The overview page without Windows: what a set holds shows as text, the page
// stays well-formed HTML5, the keys are laid out as on the remote.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>

#include "HtmlCheck.h"
#include "cmdsets/CmdSetText.h"
#include "cmdsets/KeyNames.h"
#include "cmdsets/WinCmd.h"
#include "editor/HtmlOverview.h"
#include "receivers/RcKeys.h"
#include "resources/StringCatalogue.h"

namespace {

std::wstring CatalogueText(unsigned id) {
    std::size_t count = 0;
    const tagSTRINGCATALOGUE_ENTRY* entries = GetStringCatalogue(&count);
    for (std::size_t i = 0; i < count; ++i)
        if (entries[i].nId == id)
            return entries[i].pszEnglishUk;
    return std::wstring();
}

tagHTMLOVERVIEW_TEXTS EnglishTexts() {
    tagHTMLOVERVIEW_TEXTS texts;
    texts.getString = CatalogueText;
    texts.getKeyName = [](int keyId) { return std::wstring(GetKeyName(keyId, true)); };
    texts.generated = L"Tue Dec  8 23:59:00 2026";
    texts.styleSheetHref = L"Kanzo.css";
    texts.pictureHref = L"Kanzo.jpg";
    return texts;
}

tagWINCMD Command(int type, int subType, int value, const wchar_t* text) {
    tagWINCMD cmd;
    cmd.nType = type;
    cmd.nSubType = subType;
    cmd.nValue = value;
    CopyFixedText(cmd.szText, WINCMD_TEXT_LEN, text);
    return cmd;
}

// Where a hostile text can come from: every field of the set, a key's OSD
// text, a key name and the date.
struct tagSOURCE {
    const char* name;
    std::function<void(tagPRGINFO&, CKeymap&, tagHTMLOVERVIEW_TEXTS&, const std::wstring&)> put;
};

void PutField(wchar_t* field, const std::wstring& text) { CopyFixedText(field, PRGINFO_TEXT_LEN, text.c_str()); }

const tagSOURCE kSources[] = {
    {"Name", [](tagPRGINFO& i, CKeymap&, tagHTMLOVERVIEW_TEXTS&, const std::wstring& t) { PutField(i.szName, t); }},
    {"Description",
     [](tagPRGINFO& i, CKeymap&, tagHTMLOVERVIEW_TEXTS&, const std::wstring& t) { PutField(i.szDescription, t); }},
    {"Executable",
     [](tagPRGINFO& i, CKeymap&, tagHTMLOVERVIEW_TEXTS&, const std::wstring& t) { PutField(i.szExecutable, t); }},
    {"AppPathFolder",
     [](tagPRGINFO& i, CKeymap&, tagHTMLOVERVIEW_TEXTS&, const std::wstring& t) {
         PutField(i.szAppPath, t + L"\\app.exe");
     }},
    {"CommandLine",
     [](tagPRGINFO& i, CKeymap&, tagHTMLOVERVIEW_TEXTS&, const std::wstring& t) { PutField(i.szCommandLine, t); }},
    {"WindowCaption",
     [](tagPRGINFO& i, CKeymap&, tagHTMLOVERVIEW_TEXTS&, const std::wstring& t) { PutField(i.szWindowCaption, t); }},
    {"OsdText",
     [](tagPRGINFO&, CKeymap& k, tagHTMLOVERVIEW_TEXTS&, const std::wstring& t) {
         k.SetAt(KEYID_POWER, Command(CMD_WIN, 0, 0, t.c_str()));
     }},
    {"KeyName",
     [](tagPRGINFO&, CKeymap&, tagHTMLOVERVIEW_TEXTS& x, const std::wstring& t) {
         x.getKeyName = [t](int keyId) { return keyId == KEYID_MENU ? t : std::wstring(GetKeyName(keyId, true)); };
     }},
    {"Date", [](tagPRGINFO&, CKeymap&, tagHTMLOVERVIEW_TEXTS& x, const std::wstring& t) { x.generated = t; }},
};

const wchar_t* const kHostile[] = {
    L"<script>alert(1)</script>", L"Tom & Jerry", L"\"quoted\" and 'single'", L"</td></tr></table>",
    L"a &amp; b", L"x <!-- y",
};

class HtmlEscapeTest : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(HtmlEscapeTest, TextFromTheSetShowsAsTextInAWellFormedPage) {
    const tagSOURCE& source = kSources[std::get<0>(GetParam())];
    const std::wstring hostile = kHostile[std::get<1>(GetParam())];
    tagPRGINFO info;
    PutField(info.szName, L"Plain");
    CKeymap keymap;
    keymap.LoadDefaults();
    tagHTMLOVERVIEW_TEXTS texts = EnglishTexts();
    source.put(info, keymap, texts, hostile);

    const std::wstring page = BuildHtmlOverview(RCTYPE_NEC_866B, info, keymap, texts);
    const tagHTMLCHECK check = CheckHtml(page);
    ASSERT_EQ(L"", check.error) << source.name;
    EXPECT_EQ(std::wstring::npos, page.find(L"<script")) << source.name;
    // The same number of elements as a page of plain texts: nothing was injected.
    tagPRGINFO plainInfo;
    PutField(plainInfo.szName, L"Plain");
    CKeymap plainKeys;
    plainKeys.LoadDefaults();
    tagHTMLOVERVIEW_TEXTS plainTexts = EnglishTexts();
    source.put(plainInfo, plainKeys, plainTexts, L"plain");
    EXPECT_EQ(CheckHtml(BuildHtmlOverview(RCTYPE_NEC_866B, plainInfo, plainKeys, plainTexts)).elements.size(),
              check.elements.size()) << source.name;
    const std::wstring body = TextsOf(check, L"body").at(0);
    EXPECT_NE(std::wstring::npos, body.find(hostile)) << source.name;
}

INSTANTIATE_TEST_SUITE_P(Sources, HtmlEscapeTest,
                         ::testing::Combine(::testing::Range(0, static_cast<int>(std::size(kSources))),
                                            ::testing::Range(0, static_cast<int>(std::size(kHostile)))));

TEST(HtmlEscape, DropsControlCharactersAndKeepsOthers) {
    EXPECT_EQ(L"ab\tc\nd\u00dc\u20ac", EscapeHtml(L"a\x01" L"b\tc\nd\x1b\x7f\u00dc\u20ac"));
}

struct tagDESCRIBE {
    tagWINCMD cmd;
    const wchar_t* expected;
};

class HtmlDescribeTest : public ::testing::TestWithParam<tagDESCRIBE> {};

TEST_P(HtmlDescribeTest, DescribesTheCommand) {
    EXPECT_EQ(GetParam().expected, DescribeHtmlCommand(GetParam().cmd, EnglishTexts()));
}

INSTANTIATE_TEST_SUITE_P(
    Commands, HtmlDescribeTest,
    ::testing::Values(tagDESCRIBE{Command(CMD_NONE, 0, 0, L""), L"-"},
                      tagDESCRIBE{Command(CMD_SYS, 0, 3, L""), L"\nSYS (Power)"},
                      tagDESCRIBE{Command(CMD_SYS, 1, -10, L""), L"\nSYS (Volume)"},
                      tagDESCRIBE{Command(CMD_SYS, 2, 0, L""), L"\nSYS (Mute)"},
                      tagDESCRIBE{Command(CMD_SYS, 3, 0, L""), L"\nSYS (Mouse)"},
                      tagDESCRIBE{Command(CMD_SYS, 4, 7, L""), L"\nSYS (Mouse)"},
                      tagDESCRIBE{Command(CMD_SYS, 5, 0, L""), L"\nSYS (Cursor)"},
                      tagDESCRIBE{Command(CMD_KEY, 13, 7, L""), L"Alt+Ctrl+Shift+RETURN"},
                      tagDESCRIBE{Command(CMD_KEY, 27, 5, L""), L"Alt+Shift+ESCAPE"},
                      tagDESCRIBE{Command(CMD_KEY, 'A', 2, L""), L"Ctrl+A"},
                      tagDESCRIBE{Command(CMD_OSD, 2, 0, L""), L"OSD"},
                      tagDESCRIBE{Command(CMD_WIN, 5, 0, L""), L"WIN"},
                      tagDESCRIBE{Command(CMD_CTL, 3, 1000, L""), L"CTL"},
                      tagDESCRIBE{Command(9, 0, 0, L""), L"???"}));

TEST(HtmlOverview, LaysOutTheKeysOfTheRemoteRowByRow) {
    tagPRGINFO info;
    PutField(info.szName, L"Windows (Standard)");
    PutField(info.szAppPath, L"C:\\Windows\\explorer.exe");
    CKeymap keymap;
    keymap.LoadDefaults();
    const std::wstring page = BuildHtmlOverview(RCTYPE_NEC_866B, info, keymap, EnglishTexts());
    const tagHTMLCHECK check = CheckHtml(page);
    ASSERT_EQ(L"", check.error);

    std::vector<std::wstring> rows;
    std::vector<std::wstring> widths;
    for (const tagHTMLELEMENT& element : check.elements) {
        if (element.name == L"table" && !element.attributes.empty() && element.attributes[0].second == L"tealtable")
            rows.push_back(element.text);
        if (element.name == L"td" && !element.attributes.empty() && element.attributes[0].first == L"style")
            widths.push_back(element.attributes[0].second);
    }
    ASSERT_EQ(10u, rows.size());
    // Power, Menu and Full screen in the first row of three; each cell a third.
    EXPECT_EQ(L"\n\nPowerCloseWIN\nMenuMenuOSD\nFull screenFull screenWIN\n\n", rows[0]);
    EXPECT_EQ(L"width:33%", widths.at(6 + 0));  // after the six label cells of the header table
    EXPECT_EQ(L"width:25%", widths.at(6 + 3));
    // "-/--" has no command in the defaults: "-" and "-".
    EXPECT_NE(std::wstring::npos, rows[4].find(L"-/----\n")) << rows[4];
    EXPECT_NE(std::wstring::npos, rows[4].find(L"Programme 00NUMPAD_0\n")) << rows[4];
    EXPECT_NE(std::wstring::npos, TextsOf(check, L"title").at(0).find(L"Vemtra Remote Control Editor"));
    const std::wstring body = TextsOf(check, L"body").at(0);
    EXPECT_NE(std::wstring::npos, body.find(L"Path:C:\\Windows")) << "the folder of the application path";
    EXPECT_NE(std::wstring::npos, body.find(L"Generated Tue Dec  8 23:59:00 2026"));
    EXPECT_NE(std::wstring::npos, page.find(L"<meta charset=\"utf-8\">"));
    EXPECT_NE(std::wstring::npos, page.find(L"<link rel=\"stylesheet\" href=\"Kanzo.css\">"));
    EXPECT_NE(std::wstring::npos, page.find(L"src=\"Kanzo.jpg\""));
}

TEST(HtmlOverview, MidiInputListsOnlyTheNotesWithCommands) {
    tagPRGINFO info;
    CKeymap keymap;
    keymap.LoadDefaults();  // binds note 60 (C5) and remote keys the page must leave out
    keymap.SetAt(61, Command(CMD_NONE, 0, 0, L"unbound"));
    keymap.SetAt(127, Command(CMD_KEY, 'Z', 0, L"Last & <note>"));
    const tagHTMLCHECK check = CheckHtml(BuildHtmlOverview(RCTYPE_MIDI, info, keymap, EnglishTexts()));
    ASSERT_EQ(L"", check.error);
    std::vector<std::wstring> rows;
    for (const tagHTMLELEMENT& element : check.elements)
        if (element.name == L"tr" && element.text.find(L"Note") != std::wstring::npos)
            rows.push_back(element.text);
    ASSERT_EQ(2u, rows.size());
    EXPECT_EQ(L"\nNote 60\nC5\nMenuOSD\n", rows[0]);
    EXPECT_EQ(L"\nNote 127\nG10\nLast & <note>Z\n", rows[1]);
    EXPECT_EQ(L"MIDI In", TextsOf(check, L"td").at(11));
}

// Every remote's grid holds each key of its code table once, and nothing else.
class HtmlLayoutTest : public ::testing::TestWithParam<int> {};

TEST_P(HtmlLayoutTest, HoldsEveryKeyOfTheRemoteOnce) {
    const int rcType = GetParam();
    std::multiset<int> laidOut;
    for (const tagHTMLKEYROW& row : GetHtmlKeyLayout(rcType)) {
        ASSERT_TRUE(row.nCells == 3 || row.nCells == 4);
        for (int cell = 0; cell < row.nCells; ++cell)
            if (row.keys[cell] >= 0)
                laidOut.insert(row.keys[cell]);
    }
    std::set<int> codes;
    for (int code = 0; code < 0xFE; ++code) {
        int keyId = -1;
        if (MapKeyCodeToKeyId(rcType, static_cast<std::uint8_t>(code), &keyId) && keyId >= 0)
            codes.insert(keyId);
    }
    EXPECT_EQ(std::multiset<int>(codes.begin(), codes.end()), laidOut);
    EXPECT_FALSE(GetHtmlModelName(rcType).empty());
}

INSTANTIATE_TEST_SUITE_P(Remotes, HtmlLayoutTest,
                         ::testing::Values(RCTYPE_NEC_04FB, RCTYPE_NEC_04EB, RCTYPE_NEC_1400, RCTYPE_0080,
                                           RCTYPE_NEC_04EB_ALT, RCTYPE_MORVANE, RCTYPE_NEC_02BD, RCTYPE_2000));

TEST(HtmlOverview, UnknownTypesTakeTheDefaultGridAndNoModelName) {
    EXPECT_EQ(&GetHtmlKeyLayout(RCTYPE_NEC_04EB), &GetHtmlKeyLayout(0x0004));
    EXPECT_TRUE(GetHtmlModelName(0x0004).empty());
    EXPECT_TRUE(GetHtmlKeyLayout(RCTYPE_MIDI).empty());
}

}  // namespace
