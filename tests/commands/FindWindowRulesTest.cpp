// The matching rules of the target-window lookup on prepared entries.

#include "commands/FindWindowRules.h"

#include <gtest/gtest.h>

namespace {

tagFINDWINDOW_SEARCH Search(const wchar_t* caption, const wchar_t* executable) {
    tagFINDWINDOW_SEARCH search;
    PrepareWindowSearch(caption, executable, &search);
    return search;
}

}  // namespace

TEST(FindWindowRules, ParametersAreChecked) {
    tagFINDWINDOW_SEARCH search;
    EXPECT_EQ(FindWindowCheck::InvalidParameters, PrepareWindowSearch(nullptr, nullptr, &search));
    EXPECT_EQ(FindWindowCheck::InvalidParameters, PrepareWindowSearch(L"", L"", &search));
    EXPECT_EQ(FindWindowCheck::NotValidFileName, PrepareWindowSearch(L"Title", nullptr, &search))
        << "a caption alone finds only an exact title";
    EXPECT_EQ(FindWindowCheck::NotValidFileName, PrepareWindowSearch(L"Title", L"abc", &search));
    EXPECT_EQ(FindWindowCheck::NotValidFileName, PrepareWindowSearch(L"Title", L"a.ex", &search));
    EXPECT_EQ(FindWindowCheck::Search, PrepareWindowSearch(L"Title", L"a.exe", &search));
    EXPECT_EQ(FindWindowCheck::Search, PrepareWindowSearch(nullptr, L"abc", &search))
        << "the length rule needs a caption";
    EXPECT_EQ(L"title", Search(L"TiTLE", L"APP.EXE").caption);
    EXPECT_EQ(L"app.exe", Search(L"TiTLE", L"APP.EXE").executable);
}

TEST(FindWindowRules, RulesApplyInOrderOverAllEntries) {
    const std::vector<tagWINDOW_CANDIDATE> entries = {
        {L"c:\\x\\other.exe", L"player - song"},
        {L"", L"player"},
        {L"c:\\apps\\player.exe", L""},
        {L"c:\\apps\\player.exe", L"the player window"},
    };
    // Rule 1: caption contained and executable contained.
    EXPECT_EQ(3, MatchModuleSearch(Search(L"Player", L"player.exe"), entries));
    // Rule 2 before rule 3: an equal title beats an earlier containing one.
    EXPECT_EQ(1, MatchModuleSearch(Search(L"player", L"nothing.exe"), entries));
    // Rule 3: contained.
    EXPECT_EQ(0, MatchModuleSearch(Search(L"song", L"nothing.exe"), entries));
    // Rule 4 skips the entry without text; rule 5 takes it when it is the only one.
    EXPECT_EQ(3, MatchModuleSearch(Search(nullptr, L"player.exe"), entries));
    const std::vector<tagWINDOW_CANDIDATE> untitled = {{L"c:\\apps\\player.exe", L""}};
    EXPECT_EQ(0, MatchModuleSearch(Search(nullptr, L"player.exe"), untitled));
    EXPECT_EQ(-1, MatchModuleSearch(Search(nullptr, L"absent.exe"), entries));
}

TEST(FindWindowRules, OnlyTheEntryWithAPathMatchesByExecutable) {
    // Two windows of one process: only the first carries the path.
    const std::vector<tagWINDOW_CANDIDATE> entries = {{L"c:\\t\\tool.exe", L"tool main"}, {L"", L"tool second"}};
    EXPECT_EQ(0, MatchModuleSearch(Search(nullptr, L"tool.exe"), entries));
    EXPECT_EQ(1, MatchModuleSearch(Search(L"tool second", L"tool.exe"), entries)) << "rule 2 by its title";
}

TEST(FindWindowRules, EntriesThatMayMatchNeitherWayCanBeLeftOut) {
    const std::vector<tagWINDOW_CANDIDATE> entries = {
        {L"", L"desktop"},
        {L"c:\\x\\other.exe", L"other - player"},
        {L"c:\\apps\\player.exe", L""},
        {L"", L"player"},
        {L"c:\\y\\third.exe", L"nothing here"},
        {L"c:\\apps\\player.exe", L"the player window"},
    };
    const tagFINDWINDOW_SEARCH searches[] = {
        Search(L"Player", L"player.exe"), Search(L"player", L"none.exe"), Search(nullptr, L"player.exe"),
        Search(L"window", L"third.exe"), Search(L"absent", L"absent.exe"), Search(nullptr, L"other.exe"),
    };
    for (const tagFINDWINDOW_SEARCH& search : searches) {
        std::vector<tagWINDOW_CANDIDATE> byCaption, byExecutable;
        std::vector<int> captionAt, executableAt;
        for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
            if (MayMatchByCaption(search, entries[i].text)) {
                byCaption.push_back(entries[i]);
                captionAt.push_back(i);
            }
            if (MayMatchByExecutable(search, entries[i].path)) {
                byExecutable.push_back(entries[i]);
                executableAt.push_back(i);
            }
        }
        int halves = MatchCaptionRules(search, byCaption);
        if (halves >= 0) {
            halves = captionAt[halves];
        } else {
            halves = MatchExecutableRules(search, byExecutable);
            if (halves >= 0)
                halves = executableAt[halves];
        }
        EXPECT_EQ(MatchModuleSearch(search, entries), halves)
            << std::string(search.caption.begin(), search.caption.end()) << " / "
            << std::string(search.executable.begin(), search.executable.end());
    }
}

TEST(FindWindowRules, FallbackNeedsTheExecutableAfterTheFirstCharacter) {
    tagFINDWINDOW_SEARCH search = Search(L"Editor", L"edit.exe");
    EXPECT_TRUE(MatchFallbackWindow(search, L"c:\\bin\\edit.exe", L"my editor"));
    EXPECT_FALSE(MatchFallbackWindow(search, L"edit.exe", L"my editor")) << "at the first character";
    EXPECT_FALSE(MatchFallbackWindow(search, L"c:\\bin\\edit.exe", L"")) << "no text while a caption is set";
    EXPECT_FALSE(MatchFallbackWindow(search, L"", L"my editor")) << "no module name";
    EXPECT_FALSE(MatchFallbackWindow(search, L"c:\\bin\\edit.exe", L"viewer"));

    search.hasCaption = false;
    search.requireTitle = true;
    EXPECT_FALSE(MatchFallbackWindow(search, L"c:\\bin\\edit.exe", L""));
    EXPECT_TRUE(MatchFallbackWindow(search, L"c:\\bin\\edit.exe", L"anything"));
    search.requireTitle = false;
    EXPECT_TRUE(MatchFallbackWindow(search, L"c:\\bin\\edit.exe", L""));
}

TEST(FindWindowRules, LowerCaseCoversLatinLetters) {
    EXPECT_EQ(L"abc \x00E4\x00F6\x00FC \x00D7", LowerSearchText(L"ABC \x00C4\x00D6\x00DC \x00D7"));
    EXPECT_EQ(L"", LowerSearchText(nullptr));
}
