#include <gtest/gtest.h>

#include <string>

#include "cmdsets/KeyNames.h"
#include "cmdsets/WinCmd.h"

namespace {

CKeyNameTable EnglishTable() {
    CKeyNameTable table;
    table.Build(GetFallbackEnglishString);
    return table;
}

class InvalidKeyRange : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(InvalidKeyRange, HasNoNameAndIsNoKey) {
    for (int id = GetParam().first; id <= GetParam().second; ++id) {
        EXPECT_FALSE(IsValidKey(id)) << id;
        EXPECT_STREQ(L"", GetKeyName(id, true)) << id;
    }
}

INSTANTIATE_TEST_SUITE_P(Gaps, InvalidKeyRange,
                         ::testing::Values(std::make_pair(128, 139), std::make_pair(145, 159),
                                           std::make_pair(164, 179), std::make_pair(189, 199),
                                           std::make_pair(211, 219), std::make_pair(224, 239),
                                           std::make_pair(246, 259), std::make_pair(270, 279),
                                           std::make_pair(284, 300), std::make_pair(309, 319)));

TEST(KeyNames, MidiNotesAreKeysNamedByNoteAndOctave) {
    for (int id = 0; id < 128; ++id)
        EXPECT_TRUE(IsValidKey(id)) << id;
    EXPECT_STREQ(L"C0", GetKeyName(0, true));
    EXPECT_STREQ(L"C#0", GetKeyName(1, true));
    EXPECT_STREQ(L"C5", GetKeyName(60, true));
    EXPECT_STREQ(L"G10", GetKeyName(127, true));
}

struct NameCase {
    int id;
    const wchar_t* name;
};

class EnglishName : public ::testing::TestWithParam<NameCase> {};

TEST_P(EnglishName, IsBuiltFromTheStrings) {
    EXPECT_EQ(std::wstring(GetParam().name), EnglishTable().Get(GetParam().id));
}

INSTANTIATE_TEST_SUITE_P(
    Table, EnglishName,
    ::testing::Values(NameCase{140, L"Power"}, NameCase{184, L"OK"}, NameCase{186, L"OK"},
                      NameCase{200, L"Programme 0"}, NameCase{209, L"Programme 9"}, NameCase{220, L"Programme -"},
                      NameCase{241, L"Volume +"}, NameCase{244, L"Volume/Left"},
                      NameCase{269, L"Next/FFRWD"}, NameCase{323, L"Blue/Mosaic"}, NameCase{324, L"Blue/Angle"},
                      NameCase{163, L"Program information"}, NameCase{308, L"Angle"}));

TEST(KeyNames, OnlyTheLow24BitsSelectTheName) {
    EXPECT_STREQ(GetKeyName(184, true), GetKeyName(184 | 0x7F000000, true));
    EXPECT_STREQ(L"", GetKeyName(-1, true));
    EXPECT_STREQ(L"", GetKeyName(325, true));
}

TEST(KeyNames, TableUsesTheGivenLanguage) {
    CKeyNameTable table;
    table.Build([](unsigned id) { return id == 56150 ? std::wstring(L"Lautst\u00e4rke") : std::wstring(L"X"); });
    EXPECT_STREQ(L"Lautst\u00e4rke +", table.Get(241));
    EXPECT_STREQ(L"Mosaic", table.Get(143));
    EXPECT_STREQ(L"X/Mosaic", table.Get(323));
}

TEST(KeyNames, OverlongStringIsTruncatedToTheBuffer) {
    CKeyNameTable table;
    table.Build([](unsigned) { return std::wstring(500, L'a'); });
    EXPECT_EQ(127u, std::wstring(table.Get(140)).size());
}

TEST(CommandTypeName, ShortAndLongLabels) {
    EXPECT_STREQ(L"---", GetCommandTypeName(CMD_NONE, true));
    EXPECT_STREQ(L"CTL", GetCommandTypeName(CMD_CTL, true));
    EXPECT_STREQ(L"On Screen Display", GetCommandTypeName(CMD_OSD, false));
    EXPECT_STREQ(L"???", GetCommandTypeName(6, true));
    EXPECT_STREQ(L"???", GetCommandTypeName(-1, false));
}

}  // namespace
