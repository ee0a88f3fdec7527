#include <gtest/gtest.h>

#include "cmdsets/KnownCmdSets.h"
#include "cmdsets/Keymap.h"

namespace {

tagWINCMD Cmd(int type, int sub, const wchar_t* text) {
    tagWINCMD cmd;
    cmd.nType = type;
    cmd.nSubType = sub;
    CopyFixedText(cmd.szText, WINCMD_TEXT_LEN, text);
    return cmd;
}

TEST(WinCmd, FreshRecord) {
    tagWINCMD cmd;
    EXPECT_EQ(0, cmd.nType);
    EXPECT_EQ(0, cmd.fRepeat);
    EXPECT_EQ(1000, cmd.nRepeatDelay);
    EXPECT_EQ(200, cmd.nRepeatInterval);
    EXPECT_EQ(L'\0', cmd.szText[0]);
}

TEST(Keymap, CopyOntoItselfKeepsTheContent) {
    CKeymap map;
    map.SetAt(140, Cmd(CMD_WIN, 0, L"Close"));
    map.Copy(map);
    tagWINCMD out;
    ASSERT_TRUE(map.Lookup(140, out));
    EXPECT_STREQ(L"Close", out.szText);
    EXPECT_EQ(1, map.GetCount());
}

TEST(Keymap, EqualRecordsUnderDifferentKeysAreNotEqual) {
    CKeymap a, b;
    a.SetAt(140, Cmd(CMD_WIN, 0, L"Close"));
    b.SetAt(141, Cmd(CMD_WIN, 0, L"Close"));
    EXPECT_FALSE(a.IsEqual(b));
}

TEST(Keymap, IsEqualComparesEveryFieldAndCaseOfTexts) {
    CKeymap a, b;
    a.SetAt(140, Cmd(CMD_WIN, 0, L"Close"));
    b.Copy(a);
    EXPECT_TRUE(a.IsEqual(b));
    tagWINCMD changed = Cmd(CMD_WIN, 0, L"close");
    b.SetAt(140, changed);
    EXPECT_FALSE(a.IsEqual(b));
    changed = Cmd(CMD_WIN, 0, L"Close");
    changed.fNoOsd = 1;
    b.SetAt(140, changed);
    EXPECT_FALSE(a.IsEqual(b));
    changed.fNoOsd = 0;
    changed.nRepeatInterval = 0;
    b.SetAt(140, changed);
    EXPECT_FALSE(a.IsEqual(b));
}

TEST(Keymap, LookupCopiesOut) {
    CKeymap map;
    tagWINCMD out;
    EXPECT_FALSE(map.Lookup(5, out));
    map.SetAt(5, Cmd(CMD_KEY, 65, L"A"));
    ASSERT_TRUE(map.Lookup(5, out));
    out.nSubType = 66;
    tagWINCMD again;
    map.Lookup(5, again);
    EXPECT_EQ(65, again.nSubType);
}

TEST(Keymap, DefaultsBindMenuToNoteC5AndTheRemoteKeys) {
    CKeymap map;
    map.SetAt(999, Cmd(CMD_KEY, 1, L"x"));
    ASSERT_TRUE(map.LoadDefaults());
    tagWINCMD cmd, menu;
    EXPECT_FALSE(map.Lookup(999, cmd));
    ASSERT_TRUE(map.Lookup(60, cmd));
    ASSERT_TRUE(map.Lookup(160, menu));
    EXPECT_TRUE(IsEqualWinCmd(cmd, menu));
    EXPECT_EQ(CMD_OSD, cmd.nType);
    ASSERT_TRUE(map.Lookup(241, cmd));
    EXPECT_EQ(CMD_SYS, cmd.nType);
    EXPECT_EQ(10, cmd.nValue);
    EXPECT_EQ(1, cmd.fRepeat);
    EXPECT_EQ(100, cmd.nRepeatInterval);
    EXPECT_STREQ(L"Volume +", cmd.szText);
    ASSERT_TRUE(map.Lookup(264, cmd));
    EXPECT_EQ(27, cmd.nSubType);
    EXPECT_EQ(5, cmd.nValue);
    ASSERT_TRUE(map.Lookup(205, cmd));
    EXPECT_EQ(101, cmd.nSubType);
    EXPECT_STREQ(L"5", cmd.szText);
    ASSERT_TRUE(map.Lookup(184, cmd));
    EXPECT_EQ(0, cmd.nRepeatInterval);
    EXPECT_EQ(10 + 1 + 1 + 2 + 2 + 4 + 1 + 4 + 2 + 2 + 1 + 1 + 2 + 5 + 2 + 2 + 1, map.GetCount());
}

TEST(Keymap, TvKeymapAddsWithoutEmptying) {
    CKeymap map;
    map.SetAt(140, Cmd(CMD_WIN, 0, L"Close"));
    ASSERT_TRUE(LoadTvSpecialKeymap(map));
    tagWINCMD cmd;
    EXPECT_TRUE(map.Lookup(140, cmd));
    ASSERT_TRUE(map.Lookup(324, cmd));
    EXPECT_EQ(CMD_CTL, cmd.nType);
    EXPECT_EQ(33050, cmd.nValue);
    EXPECT_EQ(1, cmd.fNoOsd);
    ASSERT_TRUE(map.Lookup(268, cmd));
    EXPECT_STREQ(L"Page - 100", cmd.szText);
    ASSERT_TRUE(map.Lookup(243, cmd));
    EXPECT_EQ(0, cmd.fNoOsd);
    ASSERT_TRUE(map.Lookup(207, cmd));
    EXPECT_EQ(L'7', cmd.nSubType);
    EXPECT_STREQ(L"", cmd.szText);
}

TEST(KnownCmdSets, RebuildOnlyWhenStaleAndAlwaysHoldsTheFreeSlot) {
    CKnownCmdSets& sets = CKnownCmdSets::Instance();
    sets.SetStale();
    int calls = 0;
    auto fill = [&calls](CKnownCmdSets::SetMap& map, CKnownCmdSets::AppList& list) {
        ++calls;
        tagPRGINFO info;
        CopyFixedText(info.szName, PRGINFO_TEXT_LEN, L"Player");
        map[L"Player"] = info;
        list.push_back(info);
    };
    EXPECT_TRUE(sets.RebuildIfStale(fill));
    EXPECT_FALSE(sets.IsStale());
    EXPECT_FALSE(sets.RebuildIfStale(fill));
    EXPECT_EQ(1, calls);
    tagPRGINFO info;
    ASSERT_TRUE(sets.LookupSet(L"---", info));
    EXPECT_TRUE(IsSamePrgInfo(tagPRGINFO(), info));
    EXPECT_EQ(1u, sets.GetAppList().size());
    sets.RemoveSet(L"Player");
    EXPECT_FALSE(sets.LookupSet(L"Player", info));
}

}  // namespace
