// The keystroke vocabulary: table order, names by code, parsing back.

#include "commands/VirtualKeyNames.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

TEST(VirtualKeyNames, TableHas52RowsInDisplayOrder) {
    ASSERT_EQ(52, GetVirtualKeyCount());
    EXPECT_STREQ(L"VK_BACK", GetVirtualKeyEntry(0).pszName);
    EXPECT_STREQ(L"VK_DELETE", GetVirtualKeyEntry(16).pszName);
    EXPECT_EQ(96, GetVirtualKeyEntry(17).nCode);   // NUMPAD_0 follows DELETE
    EXPECT_EQ(123, GetVirtualKeyEntry(44).nCode);  // F12
    EXPECT_STREQ(L"VK_VOLUME_MUTE     ", GetVirtualKeyEntry(51).pszName);
    std::set<int> codes;
    for (int i = 0; i < GetVirtualKeyCount(); ++i)
        codes.insert(GetVirtualKeyEntry(i).nCode);
    EXPECT_EQ(52u, codes.size()) << "every code appears once";
}

TEST(VirtualKeyNames, NameUsesTheLowByteElseTheCharacter) {
    EXPECT_EQ(L"VK_RETURN", GetVirtualKeyName(13));
    EXPECT_EQ(L"VK_RETURN", GetVirtualKeyName(0x1200 + 13));
    EXPECT_EQ(L"VK_MEDIA_STOP      ", GetVirtualKeyName(178));
    EXPECT_EQ(L"A", GetVirtualKeyName('A'));
    EXPECT_EQ(L"7", GetVirtualKeyName(0x100 + '7'));
    EXPECT_EQ(L"", GetVirtualKeyName(0));
}

TEST(VirtualKeyNames, ParseIgnoresCaseAndPrefixButNotBlanks) {
    EXPECT_EQ(8, ParseVirtualKeyName(L"VK_BACK"));
    EXPECT_EQ(8, ParseVirtualKeyName(L"back"));
    EXPECT_EQ(100, ParseVirtualKeyName(L"vk_numpad_4"));
    EXPECT_EQ(100, ParseVirtualKeyName(L"NUMPAD_4"));
    EXPECT_EQ(178, ParseVirtualKeyName(L"VK_MEDIA_STOP      "));
    EXPECT_EQ(0, ParseVirtualKeyName(L"VK_MEDIA_STOP")) << "the stored name carries its padding";
    EXPECT_EQ(0, ParseVirtualKeyName(L"VK_NOPE"));
    EXPECT_EQ(0, ParseVirtualKeyName(L""));
    EXPECT_EQ(0, ParseVirtualKeyName(nullptr));
}

TEST(VirtualKeyNames, EveryNameParsesBackToItsCode) {
    for (int i = 0; i < GetVirtualKeyCount(); ++i) {
        const tagVIRTUALKEYNAME& row = GetVirtualKeyEntry(i);
        EXPECT_EQ(row.nCode, ParseVirtualKeyName(GetVirtualKeyName(row.nCode).c_str())) << row.pszName;
    }
}

TEST(VirtualKeyNames, InTableLooksAtTheLowByte) {
    EXPECT_TRUE(IsVirtualKeyInTable(96));
    EXPECT_TRUE(IsVirtualKeyInTable(0xFF00 + 37));
    EXPECT_FALSE(IsVirtualKeyInTable('A'));
    EXPECT_FALSE(IsVirtualKeyInTable('0'));
    EXPECT_FALSE(IsVirtualKeyInTable(0));
}
