// The tray's pure texts: the standard items by language, the tip's cut and
// the main-menu item text.

#include "osd/TrayText.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

struct tagLANGUAGECASE {
    unsigned language;
    const wchar_t* show;
    const wchar_t* hide;
    const wchar_t* exit;
};

class TrayTextLanguage : public ::testing::TestWithParam<tagLANGUAGECASE> {};

TEST_P(TrayTextLanguage, PicksTheRowOfThePrimaryLanguage) {
    const tagLANGUAGECASE& c = GetParam();
    const tagTRAYTEXTS& texts = TrayTextsForLanguage(c.language);
    EXPECT_STREQ(c.show, texts.pszShow);
    EXPECT_STREQ(c.hide, texts.pszHide);
    EXPECT_STREQ(c.exit, texts.pszExit);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TrayTextLanguage,
    ::testing::Values(
        tagLANGUAGECASE{0x07, L"&Anzeigen", L"&Verbergen", L"&Beenden"},   // German
        tagLANGUAGECASE{0x0807, L"&Anzeigen", L"&Verbergen", L"&Beenden"}, // Swiss German: sublanguage ignored
        tagLANGUAGECASE{0x09, L"&Show", L"&Hide", L"&Exit"},               // English has no row of its own
        tagLANGUAGECASE{0x11, L"&Show", L"&Hide", L"&Exit"},               // Japanese: fallback
        tagLANGUAGECASE{0x00, L"&Show", L"&Hide", L"&Exit"},               // neutral
        tagLANGUAGECASE{0x3FF, L"&Show", L"&Hide", L"&Exit"},
        tagLANGUAGECASE{0x04, L"\x663E\x793A", L"\x9690\x85CF", L"\x9000\x51FA"}));  // Chinese, no mnemonic

struct tagCUTCASE {
    const char* name;
    std::wstring text;
    std::size_t maxChars;
    std::wstring expected;
};

void PrintTo(const tagCUTCASE& c, std::ostream* os) {
    *os << c.name;
}

class TrayTextCut : public ::testing::TestWithParam<tagCUTCASE> {};

TEST_P(TrayTextCut, KeepsAtMostMaxChars) {
    const tagCUTCASE& c = GetParam();
    std::wstring cut = CutTrayText(c.text, c.maxChars);
    EXPECT_EQ(c.expected, cut);
    EXPECT_LE(cut.size(), c.maxChars);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, TrayTextCut,
    ::testing::Values(
        tagCUTCASE{"Short", L"Tip", TRAY_TIP_CHARS - 1, L"Tip"},
        tagCUTCASE{"Exact", std::wstring(127, L'a'), TRAY_TIP_CHARS - 1, std::wstring(127, L'a')},
        tagCUTCASE{"OneOver", std::wstring(128, L'a'), TRAY_TIP_CHARS - 1, std::wstring(127, L'a')},
        tagCUTCASE{"OwnerText", std::wstring(100, L'w'), TRAY_TIP_OWNER_CHARS, std::wstring(63, L'w')},
        tagCUTCASE{"Empty", L"", 63, L""},
        tagCUTCASE{"ZeroLimit", L"abc", 0, L""},
        // U+1F4FA as a pair at positions 62 and 63: the pair goes as a whole.
        tagCUTCASE{"SurrogatePairAtTheCut", std::wstring(62, L'x') + L"\xD83D\xDCFA" + L"y", 63,
                   std::wstring(62, L'x')},
        tagCUTCASE{"SurrogatePairBeforeTheCut", std::wstring(61, L'x') + L"\xD83D\xDCFA" + L"y", 63,
                   std::wstring(61, L'x') + L"\xD83D\xDCFA"}),
    [](const ::testing::TestParamInfo<tagCUTCASE>& info) { return std::string(info.param.name); });

TEST(TrayText, MainMenuItemsAreNumberedInTwoColumns) {
    EXPECT_EQ(L" 0. Windows (Standard)", MainMenuItemText(0, L"Windows (Standard)"));
    EXPECT_EQ(L" 9. Player", MainMenuItemText(9, L"Player"));
    EXPECT_EQ(L"10. X", MainMenuItemText(10, L"X"));
    EXPECT_EQ(L" 3. ", MainMenuItemText(3, L""));
}

}  // namespace
