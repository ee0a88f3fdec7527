#include <gtest/gtest.h>

#include <string>

#include "cmdsets/KeyLine.h"

namespace {

tagWINCMD Sample() {
    tagWINCMD cmd;
    cmd.nType = 3;
    cmd.nSubType = 37;
    cmd.nValue = -10;
    cmd.nParam = 2;
    cmd.fRepeat = 1;
    cmd.nRepeatDelay = 500;
    cmd.nRepeatInterval = 100;
    CopyFixedText(cmd.szText, WINCMD_TEXT_LEN, L"Arrow left");
    CopyFixedText(cmd.szWindowCaption, WINCMD_TEXT_LEN, L"Media Player");
    return cmd;
}

TEST(KeyLine, WritesTheExactLayout) {
    EXPECT_EQ(L"  3, 37,  -10,  2,  1,500,100,\"Arrow_left\",\"Media_Player\",\"Left\"",
              FormatKeyLine(182, Sample(), L"Left"));
}

TEST(KeyLine, PowerAndMenuNeverRepeat) {
    for (int key : {140, 160}) {
        tagWINCMD back = ParseKeyLine(FormatKeyLine(key, Sample(), L"x"));
        EXPECT_EQ(0, back.fRepeat) << key;
    }
    EXPECT_EQ(1, ParseKeyLine(FormatKeyLine(141, Sample(), L"x")).fRepeat);
}

TEST(KeyLine, BlanksRoundTripAndCaptionIsUpperCased) {
    tagWINCMD back = ParseKeyLine(FormatKeyLine(182, Sample(), L"Left"));
    EXPECT_STREQ(L"Arrow left", back.szText);
    EXPECT_STREQ(L"MEDIA PLAYER", back.szWindowCaption);
    EXPECT_EQ(-10, back.nValue);
    EXPECT_EQ(500, back.nRepeatDelay);
    EXPECT_EQ(100, back.nRepeatInterval);
}

TEST(KeyLine, CommasAndQuotesAreRemovedSoTheLineKeepsItsFields) {
    tagWINCMD cmd = Sample();
    CopyFixedText(cmd.szText, WINCMD_TEXT_LEN, L"Say \"hi\", then go");
    CopyFixedText(cmd.szWindowCaption, WINCMD_TEXT_LEN, L"A,B");
    tagWINCMD back = ParseKeyLine(FormatKeyLine(182, cmd, L"Left"));
    EXPECT_STREQ(L"Say hi then go", back.szText);
    EXPECT_STREQ(L"AB", back.szWindowCaption);
    EXPECT_EQ(std::wstring::npos, FormatKeyLine(182, cmd, L"a\nb").find(L'\n'));
}

TEST(KeyLine, CaptionCountsOnlyWhenACommaFollows) {
    tagWINCMD cmd = ParseKeyLine(L"3,37,0,0,0,1000,200,\"Text\",\"Cap\"");
    EXPECT_STREQ(L"Text", cmd.szText);
    EXPECT_STREQ(L"", cmd.szWindowCaption);
}

TEST(KeyLine, MissingIntegersKeepFreshValues) {
    tagWINCMD cmd = ParseKeyLine(L"4,5");
    EXPECT_EQ(4, cmd.nType);
    EXPECT_EQ(5, cmd.nSubType);
    EXPECT_EQ(1000, cmd.nRepeatDelay);
    EXPECT_EQ(200, cmd.nRepeatInterval);
    cmd = ParseKeyLine(L"4,x,7");
    EXPECT_EQ(0, cmd.nValue);
    cmd = ParseKeyLine(L"99999999999999999999");
    EXPECT_EQ(2147483647, cmd.nType);
}

TEST(KeyLine, TextIsTheFirstWordOnly) {
    tagWINCMD cmd = ParseKeyLine(L"1,0,0,0,0,1000,200,  \"two words\",\"\",\"Menu\"");
    EXPECT_STREQ(L"two", cmd.szText);
}

TEST(KeyLine, Layout3) {
    tagWINCMD cmd = ParseLayout3KeyLine(L"3,13,0,0,\"Return_key\",\"app_main\",");
    EXPECT_EQ(13, cmd.nSubType);
    EXPECT_STREQ(L"Return key", cmd.szText);
    EXPECT_STREQ(L"APP MAIN", cmd.szWindowCaption);
    EXPECT_EQ(0, cmd.fRepeat);
}

TEST(SectionEntries, NamesWithLeadingBlanksAreFoundAndFirstWins) {
    const wchar_t text[] = L"  5=1,2\0 5 =9\0junk\0=x\0Executable=a.exe\0\0";
    CSectionEntries entries;
    entries.Parse(text, sizeof text / sizeof text[0]);
    std::wstring value;
    ASSERT_TRUE(entries.Find(5, value));
    EXPECT_EQ(L"1,2", value);
    EXPECT_FALSE(entries.Find(6, value));
}

TEST(SectionEntries, StopsAt512EntriesAndAtTheBufferEnd) {
    std::wstring text;
    for (int i = 0; i < 2000; ++i)
        text += std::to_wstring(i) + L"=1" + L'\0';
    CSectionEntries entries;
    entries.Parse(text.c_str(), text.size());
    EXPECT_EQ(512, entries.GetCount());
    const wchar_t unterminated[] = {L'7', L'=', L'1'};
    entries.Parse(unterminated, 3);
    std::wstring value;
    EXPECT_TRUE(entries.Find(7, value));
}

TEST(TrimProfileValue, RemovesBlanksTabsQuotesAtBothEnds) {
    EXPECT_EQ(L"a \"b", TrimProfileValue(L" \t\"a \"b\"\t "));
    EXPECT_EQ(L"", TrimProfileValue(L" \"\" "));
}

struct Renumber {
    int oldId;
    int newId;
};

class RenumberTable : public ::testing::TestWithParam<Renumber> {};

TEST_P(RenumberTable, MapsOldIdToNewId) {
    EXPECT_EQ(GetParam().newId, RenumberLegacyKey(GetParam().oldId));
}

std::vector<Renumber> AllRows() {
    std::vector<Renumber> rows;
    for (int k = 128; k <= 137; ++k)
        rows.push_back({k, 200 + k - 128});
    const int singles[][2] = {{138, 140}, {139, 160}, {140, 141}, {141, 221}, {142, 220}, {143, 241}, {144, 240},
                              {145, 223}, {146, 210}, {147, 243}, {148, 242}, {149, 180}, {150, 181}, {151, 182},
                              {152, 183}, {153, 186}, {154, 187}, {155, 161}, {156, 264}, {157, 265}, {158, 263},
                              {159, 260}, {160, 266}, {161, 267}, {162, 262}, {163, 261}, {205, 143}, {206, 223},
                              {207, 242}, {208, 140}, {218, 200}, {219, 160}, {220, 144}, {221, 221}, {222, 220},
                              {223, 241}, {224, 240}, {225, 262}, {226, 266}, {227, 260}, {228, 267}, {229, 261},
                              {230, 263}, {231, 185}, {232, 141}};
    for (const auto& row : singles)
        rows.push_back({row[0], row[1]});
    for (int k = 209; k <= 217; ++k)
        rows.push_back({k, 201 + k - 209});
    for (int k = 164; k <= 204; ++k)
        rows.push_back({k, -1});
    rows.push_back({127, -1});
    rows.push_back({233, -1});
    return rows;
}

INSTANTIATE_TEST_SUITE_P(Layout2, RenumberTable, ::testing::ValuesIn(AllRows()));

}  // namespace

TEST(KeyLine, WellFormedCheckAcceptsWrittenLinesAndRejectsBrokenOnes) {
    EXPECT_TRUE(IsWellFormedKeyLine(FormatKeyLine(182, Sample(), L"Left")));
    EXPECT_TRUE(IsWellFormedKeyLine(L"1,0,0,0,0,1000,200,\"\",\"\",\"\""));
    for (const wchar_t* bad : {L"", L"1,0,0,0,0,1000,200,\"a\",\"b\"", L"1,0,0,0,0,1000,\"a\",\"b\",\"c\"",
                               L"1,0,0,0,0,1000,200,\"a\",\"b\",\"c\",", L"1,0,x,0,0,1000,200,\"a\",\"b\",\"c\"",
                               L"1,0,0,0,0,1000,200,\"a,b\",\"b\",\"c\"", L"1,0,0,0,0,1000,200,\"a\" ,\"b\",\"c\"",
                               L"1,0,0,0,0,1000,200,\"a\",\"b\",\"c"})
        EXPECT_FALSE(IsWellFormedKeyLine(bad)) << bad;
}
