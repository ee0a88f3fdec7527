// Window-command choices and arithmetic: system commands by window state,
// mouse directions and speed, slider and volume steps, target names.

#include "commands/WinCommandRules.h"

#include <gtest/gtest.h>

TEST(WinCommandRules, WindowSubtypesMapToSystemCommands) {
    EXPECT_EQ(WINCMD_SC_CLOSE, GetWindowSysCommand(0, false, false));
    EXPECT_EQ(WINCMD_SC_MAXIMIZE, GetWindowSysCommand(1, true, false)) << "SendSysCommand restores it";
    EXPECT_EQ(WINCMD_SC_MINIMIZE, GetWindowSysCommand(2, false, false));
    EXPECT_EQ(WINCMD_SC_RESTORE, GetWindowSysCommand(3, false, false));
    EXPECT_EQ(WINCMD_SC_CLOSE, GetWindowSysCommand(4, false, false));
    EXPECT_EQ(0, GetWindowSysCommand(7, false, false));
    EXPECT_EQ(0, GetWindowSysCommand(-1, false, false));
}

TEST(WinCommandRules, TogglesDependOnTheWindowState) {
    EXPECT_EQ(WINCMD_SC_MAXIMIZE, GetWindowSysCommand(5, false, false));
    EXPECT_EQ(WINCMD_SC_RESTORE, GetWindowSysCommand(5, true, false));
    EXPECT_EQ(WINCMD_SC_MINIMIZE, GetWindowSysCommand(6, false, false));
    EXPECT_EQ(WINCMD_SC_MINIMIZE, GetWindowSysCommand(6, true, false)) << "maximised is not minimised";
    EXPECT_EQ(WINCMD_SC_RESTORE, GetWindowSysCommand(6, false, true));
}

TEST(WinCommandRules, MouseDirections) {
    const int expected[8][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}, {-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
    for (int d = 0; d < 8; ++d) {
        int dx = 9, dy = 9;
        ASSERT_TRUE(GetMouseDirection(d, &dx, &dy));
        EXPECT_EQ(expected[d][0], dx) << d;
        EXPECT_EQ(expected[d][1], dy) << d;
    }
    int dx = 0, dy = 0;
    EXPECT_FALSE(GetMouseDirection(8, &dx, &dy));
    EXPECT_FALSE(GetMouseDirection(-1, &dx, &dy));
}

TEST(WinCommandRules, SpeedGrowsWithTheTimeTheMoveRuns) {
    EXPECT_EQ(1, GetMouseSpeedStep(0));
    EXPECT_EQ(1, GetMouseSpeedStep(999));
    EXPECT_EQ(2, GetMouseSpeedStep(1000));
    EXPECT_EQ(2, GetMouseSpeedStep(1499));
    EXPECT_EQ(3, GetMouseSpeedStep(1500));
    EXPECT_EQ(4, GetMouseSpeedStep(2000));
    EXPECT_EQ(6, GetMouseSpeedStep(3000));
    EXPECT_EQ(8, GetMouseSpeedStep(4000));
    EXPECT_EQ(8, GetMouseSpeedStep(5000)) << "past the table: the last row's step";
    EXPECT_EQ(8, GetMouseSpeedStep(0xFFFFFFFFu));
}

TEST(WinCommandRules, SliderStepsArePercentOfTheRangeAndClamped) {
    EXPECT_EQ(50, GetSliderPosition(48, 0, 50, 10)) << "48 + 5 clamped to 50";
    EXPECT_EQ(43, GetSliderPosition(48, 0, 50, -10));
    EXPECT_EQ(0, GetSliderPosition(3, 0, 50, -10));
    EXPECT_EQ(30, GetSliderPosition(20, 0, 100, 10));
    EXPECT_EQ(-5, GetSliderPosition(0, -10, 10, -25));
    EXPECT_EQ(48, GetSliderPosition(48, 0, 50, 1)) << "integer arithmetic: 1 % of 50 is 0";
    EXPECT_EQ(2147483647, GetSliderPosition(2147483600, 0, 2147483647, 100)) << "no overflow";
    EXPECT_EQ(7, GetSliderPosition(7, 10, 0, 10)) << "an inverted range changes nothing";
}

TEST(WinCommandRules, VolumeChangesAreClamped) {
    EXPECT_FLOAT_EQ(1.0f, GetChangedVolumeLevel(0.95f, 10));
    EXPECT_FLOAT_EQ(0.6f, GetChangedVolumeLevel(0.5f, 10));
    EXPECT_FLOAT_EQ(0.0f, GetChangedVolumeLevel(0.05f, -10));
    EXPECT_EQ(65535u, GetChangedMixerValue(65000, 0, 65535, 10));
    EXPECT_EQ(6553u + 1000u, GetChangedMixerValue(1000, 0, 65535, 10));
    EXPECT_EQ(0u, GetChangedMixerValue(1000, 0, 65535, -10));
    EXPECT_EQ(100u, GetChangedMixerValue(150, 100, 200, -60));
}

TEST(WinCommandRules, TargetIsTheCommandsCaptionElseTheSets) {
    tagWINCMD command;
    tagPRGINFO set;
    CopyFixedText(set.szExecutable, PRGINFO_TEXT_LEN, L"app.exe");
    CopyFixedText(set.szWindowCaption, PRGINFO_TEXT_LEN, L"Set Caption");
    tagCOMMAND_TARGET target = GetCommandTarget(command, &set);
    EXPECT_STREQ(L"Set Caption", target.pszCaption);
    EXPECT_STREQ(L"app.exe", target.pszExecutable);

    CopyFixedText(command.szWindowCaption, WINCMD_TEXT_LEN, L"OWN CAPTION");
    target = GetCommandTarget(command, &set);
    EXPECT_STREQ(L"OWN CAPTION", target.pszCaption);

    target = GetCommandTarget(command, nullptr);
    EXPECT_STREQ(L"OWN CAPTION", target.pszCaption);
    EXPECT_EQ(nullptr, target.pszExecutable);

    tagPRGINFO empty;
    target = GetCommandTarget(tagWINCMD(), &empty);
    EXPECT_EQ(nullptr, target.pszCaption) << "empty texts count as none";
    EXPECT_EQ(nullptr, target.pszExecutable);

    // The set's window serves a command without a caption of its own or with the set's.
    EXPECT_FALSE(AimsAtSetWindow(command, &set)) << "its own caption";
    EXPECT_FALSE(AimsAtSetWindow(command, nullptr));
    EXPECT_TRUE(AimsAtSetWindow(tagWINCMD(), &set));
    CopyFixedText(command.szWindowCaption, WINCMD_TEXT_LEN, L"Set Caption");
    EXPECT_TRUE(AimsAtSetWindow(command, &set));
    CopyFixedText(command.szWindowCaption, WINCMD_TEXT_LEN, L"set caption");
    EXPECT_FALSE(AimsAtSetWindow(command, &set)) << "a search ignores case, the set's own caption is exact";
}

TEST(WinCommandRules, AppFolderIsThePathUpToTheLastBackslash) {
    EXPECT_EQ(L"C:\\Program Files\\App", GetAppFolder(L"C:\\Program Files\\App\\app.exe"));
    EXPECT_EQ(L"C:", GetAppFolder(L"C:\\app.exe"));
    EXPECT_EQ(L"", GetAppFolder(L"app.exe"));
    EXPECT_EQ(L"", GetAppFolder(L""));
    EXPECT_EQ(L"", GetAppFolder(nullptr));
}
