// Files of older layouts brought to layout 4, the automatic main menu and
// the preset file the program ships.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "CmdSetFiles.h"
#include "cmdsets/AutoFindApps.h"
#include "cmdsets/KeyLine.h"
#include "cmdsets/KeyNames.h"
#include "cmdsets/KnownCmdSets.h"

namespace {

// Old key id of layouts 0 to 2 and its id in layout 3 and later.
const std::pair<int, int> kRenumbering[] = {
    {128, 200}, {129, 201}, {130, 202}, {131, 203}, {132, 204}, {133, 205}, {134, 206}, {135, 207},
    {136, 208}, {137, 209}, {138, 140}, {139, 160}, {140, 141}, {141, 221}, {142, 220}, {143, 241},
    {144, 240}, {145, 223}, {146, 210}, {147, 243}, {148, 242}, {149, 180}, {150, 181}, {151, 182},
    {152, 183}, {153, 186}, {154, 187}, {155, 161}, {156, 264}, {157, 265}, {158, 263}, {159, 260},
    {160, 266}, {161, 267}, {162, 262}, {163, 261}, {205, 143}, {206, 223}, {207, 242}, {208, 140},
    {209, 201}, {210, 202}, {211, 203}, {212, 204}, {213, 205}, {214, 206}, {215, 207}, {216, 208},
    {217, 209}, {218, 200}, {219, 160}, {220, 144}, {221, 221}, {222, 220}, {223, 241}, {224, 240},
    {225, 262}, {226, 266}, {227, 260}, {228, 267}, {229, 261}, {230, 263}, {231, 185}, {232, 141},
};

class UpgradeTest : public CmdSetFilesTest {
protected:
    std::wstring Value(const std::wstring& file, const wchar_t* section, int key) const {
        wchar_t value[1024] = {};
        GetPrivateProfileStringW(section, std::to_wstring(key).c_str(), L"", value, 1024, file.c_str());
        return value;
    }
    int Version(const std::wstring& file) const {
        return static_cast<int>(GetPrivateProfileIntW(L"Settings", L"RC Layout Version", -99, file.c_str()));
    }
};

class RenumberingTest : public UpgradeTest, public ::testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(RenumberingTest, OldKeyEndsUnderItsNewIdAsALayout4Line) {
    const int oldKey = GetParam().first;
    const int newKey = GetParam().second;
    WriteText(Paths().userFile, "[Settings]\nRC Layout Version=2\n[Set]\nExecutable=x.exe\n" +
                                    std::to_string(oldKey) + "=3,13,7,1,\"Go_on\",\"cap\",\n");
    WriteText(Paths().presetFile, "[Settings]\nRC Layout Version=4\n");
    CCmdSetAdmin admin(Paths(), Sources());
    EXPECT_TRUE(admin.UpgradeLayout());
    EXPECT_EQ(4, Version(Paths().userFile));

    std::wstring line = Value(Paths().userFile, L"Set", newKey);
    EXPECT_TRUE(IsWellFormedKeyLine(line)) << line.c_str();
    tagWINCMD cmd = ParseKeyLine(line);
    EXPECT_EQ(3, cmd.nType);
    EXPECT_EQ(13, cmd.nSubType);
    EXPECT_EQ(7, cmd.nValue);
    EXPECT_EQ(1, cmd.nParam);
    EXPECT_EQ(0, cmd.fRepeat);
    EXPECT_EQ(1000, cmd.nRepeatDelay);
    EXPECT_EQ(200, cmd.nRepeatInterval);
    EXPECT_STREQ(L"Go on", cmd.szText);
    EXPECT_STREQ(L"CAP", cmd.szWindowCaption);
    EXPECT_NE(std::wstring::npos, line.find(L"\"" + std::wstring(GetKeyName(newKey, true)) + L"\""));
    if (oldKey != newKey) {
        EXPECT_EQ(L"", Value(Paths().userFile, L"Set", oldKey));
    }
    EXPECT_EQ(L"", Value(Paths().userFile, L"Set", oldKey + 1000));
}

INSTANTIATE_TEST_SUITE_P(EveryRow, RenumberingTest, ::testing::ValuesIn(kRenumbering),
                         [](const ::testing::TestParamInfo<std::pair<int, int>>& info) {
                             return std::to_string(info.param.first) + "_to_" + std::to_string(info.param.second);
                         });

TEST_F(UpgradeTest, WholeSetRenumbersWithoutCollisionsAndDropsKeysWithoutARow) {
    WriteText(Paths().presetFile, "[Settings]\nRC Layout Version=2\n[Set]\nExecutable=x.exe\n"
                                  "138=4,0,0,0,\"Power\",\"\",\n"      // -> 140
                                  "140=4,5,0,0,\"Full\",\"\",\n"       // -> 141, not overwritten by 138
                                  "164=1,0,0,0,\"Gone\",\"\",\n"       // no row: dropped
                                  "250=3,1,0,0,\"Untouched\",\"\",\n"  // outside the renumbered range
                                  "[Software]\n0=Set\n");
    CCmdSetAdmin admin(Paths(), Sources());
    DeleteFileW(Paths().userFile.c_str());  // made by the construction's menu copy
    EXPECT_FALSE(admin.UpgradeLayout()) << "the user file did not exist";
    EXPECT_EQ(4, Version(Paths().presetFile));
    EXPECT_EQ(4, Version(Paths().userFile)) << "the stamp creates the missing file";
    EXPECT_STREQ(L"Power", ParseKeyLine(Value(Paths().presetFile, L"Set", 140)).szText);
    EXPECT_STREQ(L"Full", ParseKeyLine(Value(Paths().presetFile, L"Set", 141)).szText);
    EXPECT_EQ(L"", Value(Paths().presetFile, L"Set", 164));
    EXPECT_EQ(L"", Value(Paths().presetFile, L"Set", 1164));
    EXPECT_STREQ(L"Untouched", ParseKeyLine(Value(Paths().presetFile, L"Set", 250)).szText);
    EXPECT_EQ(L"Set", Value(Paths().presetFile, L"Software", 0)) << "the menu is not a set";
}

TEST_F(UpgradeTest, Layout3IsOnlyConvertedAndLayout4OrNegativeIsLeftAlone) {
    WriteText(Paths().presetFile, "[Settings]\nRC Layout Version=3\n[Set]\nExecutable=x.exe\n"
                                  "141=4,5,0,0,\"Full_screen\",\"\",\n");
    WriteText(Paths().userFile, "[Settings]\nRC Layout Version=-1\n[Set]\n141=4,5,0,0,\"Mine\",\"\",\n");
    CCmdSetAdmin admin(Paths(), Sources());
    EXPECT_TRUE(admin.UpgradeLayout());
    std::wstring line = Value(Paths().presetFile, L"Set", 141);
    EXPECT_TRUE(IsWellFormedKeyLine(line)) << line.c_str();
    EXPECT_STREQ(L"Full screen", ParseKeyLine(line).szText);
    EXPECT_EQ(L"4,5,0,0,\"Mine\",\"\",", Value(Paths().userFile, L"Set", 141));
    EXPECT_EQ(4, Version(Paths().userFile));

    WriteText(Paths().userFile, "[Settings]\nRC Layout Version=4\n[Set]\n141=4,5,0,0,\"Mine\",\"\",\n");
    EXPECT_TRUE(admin.UpgradeLayout());
    EXPECT_EQ(L"4,5,0,0,\"Mine\",\"\",", Value(Paths().userFile, L"Set", 141));
}

TEST_F(UpgradeTest, ReadOnlyFileIsConvertedAndStaysReadOnly) {
    WriteText(Paths().presetFile, "[Settings]\nRC Layout Version=3\n[Set]\n141=4,5,0,0,\"Full\",\"\",\n");
    SetFileAttributesW(Paths().presetFile.c_str(), FILE_ATTRIBUTE_READONLY);
    CCmdSetAdmin admin(Paths(), Sources());
    admin.UpgradeLayout();
    EXPECT_EQ(4, Version(Paths().presetFile));
    EXPECT_TRUE(GetFileAttributesW(Paths().presetFile.c_str()) & FILE_ATTRIBUTE_READONLY);
}

// --- automatic main menu ---

TEST_F(UpgradeTest, AutoFindAppsTakesNineInstalledApplicationsSortedByName) {
    std::string preset = "[Settings]\nRC Layout Version=4\n[Windows (Standard)]\nExecutable=explorer.exe\n";
    const char* names[] = {"Lima", "Alpha", "Kilo", "Echo", "Bravo", "Juliett",
                           "Delta", "India", "Golf", "Hotel", "Foxtrot", "Charlie"};
    for (const char* name : names) {
        std::string exe = std::string(name) + ".exe";
        MakeExe(std::wstring(exe.begin(), exe.end()));
        preset += std::string("[") + name + "]\nExecutable=" + exe + "\n";
    }
    preset += "[NotInstalled]\nExecutable=nothere.exe\n";
    WriteText(Paths().presetFile, preset);
    CCmdSetAdmin admin(Paths(), Sources());
    ASSERT_TRUE(AutoFindApps(admin));

    std::wstring slot[CMDSET_MENU_SLOTS];
    for (int n = 0; n < CMDSET_MENU_SLOTS; ++n) {
        slot[n] = UserValue(L"Software", std::to_wstring(n).c_str());
        EXPECT_NE(L"NotInstalled", slot[n]);
        EXPECT_NE(L"---", slot[n]) << "twelve installed applications fill every slot";
    }
    EXPECT_EQ(L"Windows (Standard)", slot[0]);
    for (int n = 2; n < CMDSET_MENU_SLOTS; ++n)
        EXPECT_LT(slot[n - 1], slot[n]);
}

TEST_F(UpgradeTest, AutoFindAppsFillsFreeSlotsWithDashes) {
    MakeExe(L"one.exe");
    WriteText(Paths().presetFile, "[Settings]\nRC Layout Version=4\n[One]\nExecutable=one.exe\n");
    CCmdSetAdmin admin(Paths(), Sources());
    AutoFindApps(admin);
    EXPECT_EQ(L"One", UserValue(L"Software", L"1"));
    for (int n = 2; n < CMDSET_MENU_SLOTS; ++n)
        EXPECT_EQ(L"---", UserValue(L"Software", std::to_wstring(n).c_str()));
    std::wstring name;
    EXPECT_FALSE(admin.GetMenuEntry(2, name));
}

// --- the preset file the program ships ---

class ShippedPresetTest : public CmdSetFilesTest {};

TEST_F(ShippedPresetTest, EveryLineIsAcceptedAndEveryMenuEntryNamesASet) {
    CCmdSetPaths paths = Paths();
    paths.presetFile = KANZO_PRESET_FILE;
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(paths.presetFile.c_str())) << KANZO_PRESET_FILE;
    CProfileFile preset(paths.presetFile);
    EXPECT_EQ(4, preset.ReadInt(L"Settings", L"RC Layout Version", 0));

    static const wchar_t* const headerKeys[] = {L"Executable", L"AppPath", L"WindowCaption", L"Description",
                                                L"CommandLine", L"HideOsd", L"SmsInput", L"AlwaysActive"};
    int sets = 0;
    int rejected = 0;
    for (const std::wstring& section : preset.ReadSectionNames(4096)) {
        if (section == L"Settings" || section == L"Software")
            continue;
        ++sets;
        std::vector<wchar_t> text = preset.ReadSection(section.c_str(), 32768);
        for (const wchar_t* entry = text.data(); *entry; entry += wcslen(entry) + 1) {
            std::wstring line = entry;
            std::size_t equals = line.find(L'=');
            ASSERT_NE(std::wstring::npos, equals) << line.c_str();
            std::wstring key = TrimProfileValue(line.substr(0, equals));
            std::wstring value = line.substr(equals + 1);
            bool known = false;
            for (const wchar_t* header : headerKeys)
                known = known || key == header;
            if (!known) {
                wchar_t* end = nullptr;
                long id = wcstol(key.c_str(), &end, 10);
                known = *end == L'\0' && IsValidKey(static_cast<int>(id)) && IsWellFormedKeyLine(value) &&
                        ParseKeyLine(value).nType >= CMD_NONE && ParseKeyLine(value).nType <= CMD_CTL;
            }
            if (!known) {
                ++rejected;
                ADD_FAILURE() << "[" << std::string(section.begin(), section.end()) << "] rejected: "
                              << std::string(line.begin(), line.end());
            }
        }
        CCmdSetAdmin admin(paths, Sources());
        tagPRGINFO info;
        EXPECT_TRUE(admin.GetPrgInfo(section.c_str(), info, TRUE)) << std::string(section.begin(), section.end());
    }
    EXPECT_EQ(0, rejected);
    EXPECT_GE(sets, 9);

    CCmdSetAdmin admin(paths, Sources());
    for (int n = 0; n < CMDSET_MENU_SLOTS; ++n) {
        std::wstring name;
        if (!admin.GetMenuEntry(n, name))
            continue;
        tagPRGINFO info;
        EXPECT_TRUE(admin.GetPrgInfo(name.c_str(), info, TRUE)) << n;
    }
    std::wstring first;
    ASSERT_TRUE(admin.GetMenuEntry(0, first));
    EXPECT_EQ(L"Windows (Standard)", first);
    tagPRGINFO tv;
    EXPECT_TRUE(admin.GetPrgInfo(L"Vemtra Tavora TV", tv, TRUE));
}

}  // namespace
