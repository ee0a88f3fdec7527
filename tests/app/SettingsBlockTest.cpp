// The settings block's defaults, its display part and its value table.

#include "app/SettingsBlock.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <set>

namespace {

TEST(SettingsBlock, DefaultsOfANewUserAfterZeroingEverything) {
    tagSETTINGS settings;
    settings.hidden = 7;
    settings.exclusive = 1;
    settings.exclusiveApp[0] = L'x';
    settings.midiDevice[0] = L'y';
    SettingsDefaults(settings);
    EXPECT_EQ(1u, settings.autostart);
    EXPECT_EQ(0u, settings.disableSound);
    EXPECT_EQ(0u, settings.hidden);
    EXPECT_EQ(0u, settings.exclusive);
    EXPECT_STREQ(L"", settings.exclusiveApp);
    EXPECT_EQ(1u, settings.osdOn);
    EXPECT_EQ(2u, settings.osdTime);
    EXPECT_EQ(0x00F0CAA6u, settings.osdTextColor);
    EXPECT_EQ(0x00A56E3Au, settings.osdBackColor);
    EXPECT_EQ(0u, settings.osdGradientColor);
    EXPECT_EQ(1u, settings.osdUseGradient);
    EXPECT_EQ(0xFFFFFFFEu, settings.receiverSelection);
    EXPECT_STREQ(L"", settings.midiDevice);
    EXPECT_EQ(0u, settings.disableKey0);
}

TEST(SettingsBlock, DisplayValuesGoToTheWindowAndBack) {
    tagSETTINGS settings;
    SettingsDefaults(settings);
    settings.osdTime = 0;
    settings.osdTextColor = 0x00FFFFFF;
    tagOSDSETTINGS osd = OsdSettingsOf(settings);
    EXPECT_EQ(1, osd.osdOn);
    EXPECT_EQ(0, osd.osdTime);
    EXPECT_EQ(0x00FFFFFFu, osd.osdTextColor);
    EXPECT_EQ(1, osd.osdUseGradient);
    osd.osdUseGradient = 0;
    osd.osdGradientColor = 0x00112233;
    SetOsdSettings(settings, osd);
    EXPECT_EQ(0u, settings.osdUseGradient);
    EXPECT_EQ(0x00112233u, settings.osdGradientColor);
    EXPECT_EQ(0xFFFFFFFEu, settings.receiverSelection) << "only the display part changes";
}

TEST(SettingsBlock, TableNamesEveryNumberOnceAndOnlyGeneralValuesFallBack) {
    // Member pointers have no order: the address each one picks out in a block does.
    tagSETTINGS block;
    std::set<const std::uint32_t*> members;
    std::set<std::wstring> names;
    for (const tagSETTINGSDWORD& value : g_settingsDwords) {
        members.insert(&(block.*value.pMember));
        names.insert(value.szName);
        EXPECT_EQ(value.szSubKey == nullptr, value.fMachineFallback) << value.szName;
    }
    EXPECT_EQ(13u, members.size());
    EXPECT_EQ(13u, names.size());
}

TEST(SettingsBlock, TextIsCutToTheBufferWithItsTerminator) {
    wchar_t buffer[4] = {L'a', L'b', L'c', L'd'};
    SettingsCopyText(buffer, L"Player");
    EXPECT_STREQ(L"Pla", buffer);
    SettingsCopyText(buffer, nullptr);
    EXPECT_STREQ(L"", buffer);
}

}  // namespace
