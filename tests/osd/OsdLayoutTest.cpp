// The display's pure rules: colours, menu text, geometry, hide time, faces.

#include "osd/OsdLayout.h"

#include <gtest/gtest.h>

namespace {

TEST(OsdColours, DefaultsUseWhiteHighlightAndTheGradient) {
    tagOSDSETTINGS settings;
    tagOSDCOLOURS colours = OsdColoursFromSettings(settings);
    EXPECT_EQ(0x00FFFFFFu, colours.crHighlight);
    EXPECT_EQ(0x00F0CAA6u, colours.crText);
    EXPECT_EQ(0x00A56E3Au, colours.crBack1);
    EXPECT_EQ(0x00000000u, colours.crBack2);
}

TEST(OsdColours, WhiteTextSelectsTheAlternativeHighlight) {
    tagOSDSETTINGS settings;
    settings.osdTextColor = 0x00FFFFFF;
    EXPECT_EQ(0x00F0CAA6u, OsdColoursFromSettings(settings).crHighlight);
    settings.osdTextColor = 0x00FFFFFE;  // only exact white switches
    EXPECT_EQ(0x00FFFFFFu, OsdColoursFromSettings(settings).crHighlight);
}

TEST(OsdColours, WithoutGradientBothBackgroundsAreColourOne) {
    tagOSDSETTINGS settings;
    settings.osdUseGradient = 0;
    settings.osdGradientColor = 0x00123456;
    tagOSDCOLOURS colours = OsdColoursFromSettings(settings);
    EXPECT_EQ(settings.osdBackColor, colours.crBack1);
    EXPECT_EQ(settings.osdBackColor, colours.crBack2);
    settings.osdUseGradient = 1;
    EXPECT_EQ(0x00123456u, OsdColoursFromSettings(settings).crBack2);
}

TEST(OsdMenuText, EmptyEntryKeepsTheSlotNumbersOfTheFollowingOnes) {
    std::wstring names[OSD_MENU_ITEMS] = {L"Windows (Standard)", L"", L"Player"};
    std::wstring text = OsdComposeMenuText(L"Menu", names);
    EXPECT_EQ(L"Menu\n0. Windows (Standard)\n\n2. Player\n\n\n\n\n\n\n", text);
    std::vector<std::wstring> lines = OsdSplitLines(text);
    ASSERT_EQ(11u, lines.size());
    EXPECT_EQ(L"Menu", lines[0]);
    EXPECT_EQ(L"", lines[2]);
    EXPECT_EQ(L"2. Player", lines[3]);
}

TEST(OsdMenuText, SplitKeepsEmptyEdges) {
    EXPECT_EQ((std::vector<std::wstring>{L""}), OsdSplitLines(L""));
    EXPECT_EQ((std::vector<std::wstring>{L"", L"a", L""}), OsdSplitLines(L"\na\n"));
}

TEST(OsdGeometry, MenuLinesStepOneAndAHalfFontHeightsFromAThirdOfTheScreen) {
    // 24 points at 96 DPI: 32 pixels, so a step of 48.
    EXPECT_EQ(-32, OsdFontHeight(24, 96));
    EXPECT_EQ(-48, OsdFontHeight(24, 144));
    EXPECT_EQ(-21, OsdSmallFontHeight(-32));
    EXPECT_EQ(48, OsdMenuLineStep(-32));
    tagOSDRECT line = OsdMenuLineRect(0, -32, 1280);
    EXPECT_EQ(426, line.left);
    EXPECT_EQ(144, line.top);
    EXPECT_EQ(1280, line.right);
    EXPECT_EQ(192, line.bottom);
    EXPECT_EQ(48 * 12, OsdMenuLineRect(9, 32, 1280).top);
    tagOSDRECT title = OsdMenuTitleRect(-32, 900);
    EXPECT_EQ(300, title.left);
    EXPECT_EQ(32, title.top);
}

TEST(OsdGeometry, BarScalesWithDpi) {
    EXPECT_EQ(48, OsdBarHeight(96));
    EXPECT_EQ(72, OsdBarHeight(144));
    EXPECT_EQ(96, OsdBarHeight(192));
    EXPECT_EQ(48, OsdBarHeight(0));
}

TEST(OsdTimer, TextExpiresOnlyAfterMoreThanTheDisplayTime) {
    EXPECT_FALSE(OsdTextExpired(3000, 1000, 2));
    EXPECT_TRUE(OsdTextExpired(3001, 1000, 2));
    // Across the wrap of the multimedia clock.
    EXPECT_FALSE(OsdTextExpired(500, 0xFFFFFF00u, 2));
    EXPECT_TRUE(OsdTextExpired(2000, 0xFFFFFF00u, 2));
    // A display time turned off while a text is up hides it at the next tick.
    EXPECT_TRUE(OsdTextExpired(1001, 1000, 0));
    EXPECT_FALSE(OsdTextExpired(1000, 1000, 0x7FFFFFFF));
}

TEST(OsdFonts, ChineseTriesFacesWithItsGlyphsBeforeArial) {
    EXPECT_EQ((std::vector<std::wstring>{L"Arial Unicode MS", L"SimHei", L"Arial"}), OsdFontFaces(2052));
    EXPECT_EQ((std::vector<std::wstring>{L"Arial Unicode MS", L"MingLiU", L"Arial"}), OsdFontFaces(1028));
    EXPECT_EQ((std::vector<std::wstring>{L"Arial"}), OsdFontFaces(2057));
    EXPECT_EQ((std::vector<std::wstring>{L"Arial"}), OsdFontFaces(1041));
}

}  // namespace
