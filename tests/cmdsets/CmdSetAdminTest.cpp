// The command-set administrator over the real profile functions and
// temporary files.
#include <gtest/gtest.h>

#include <string>

#include "CmdSetFiles.h"
#include "cmdsets/KeyLine.h"
#include "cmdsets/KeyNames.h"
#include "cmdsets/KnownCmdSets.h"

namespace {

// A preset with one player set (keys 182 and 5, the latter written with
// leading blanks) and a main menu.
const char kPreset[] =
    "[Settings]\n"
    "RC Layout Version=4\n"
    "[Software]\n"
    "0=Windows (Standard)\n"
    "1=Player\n"
    "2=---\n"
    "[Windows (Standard)]\n"
    "Executable=explorer.exe\n"
    "Description=Windows\n"
    "[Player]\n"
    "Executable=player.exe\n"
    "WindowCaption=Player\n"
    "Description=The player\n"
    "182=  3, 37,    0,  0,  0,1000,200,\"Back\",\"\",\"Left\"\n"
    "  5=  3, 65,    0,  0,  0,1000,200,\"Note\",\"\",\"F0\"\n";

class CmdSetAdminTest : public CmdSetFilesTest {
protected:
    void SetUp() override {
        CmdSetFilesTest::SetUp();
        WriteText(Paths().presetFile, kPreset);
    }
};

tagWINCMD Command(int type, int subType, const wchar_t* text, const wchar_t* caption = L"") {
    tagWINCMD cmd;
    cmd.nType = type;
    cmd.nSubType = subType;
    CopyFixedText(cmd.szText, WINCMD_TEXT_LEN, text);
    CopyFixedText(cmd.szWindowCaption, WINCMD_TEXT_LEN, caption);
    return cmd;
}

TEST_F(CmdSetAdminTest, PresetOnlySetLoadsAsPresetAndAsModifiedPresetAfterASave) {
    CCmdSetAdmin admin(Paths(), Sources());
    tagPRGINFO info;
    ASSERT_TRUE(admin.GetPrgInfo(L"Player", info, FALSE));
    EXPECT_EQ(1, info.fPreset);
    EXPECT_EQ(0, info.fModifiedPreset);
    EXPECT_STREQ(L"player.exe", info.szExecutable);
    EXPECT_STREQ(L"Player", info.szWindowCaption);

    CKeymap keys;
    ASSERT_TRUE(admin.LoadKeymap(L"Player", keys, FALSE));
    ASSERT_TRUE(admin.SaveKeymap(keys, &info));
    ASSERT_TRUE(admin.GetPrgInfo(L"Player", info, FALSE));
    EXPECT_EQ(0, info.fPreset);
    EXPECT_EQ(1, info.fModifiedPreset);
    EXPECT_STREQ(L"The player", info.szDescription);
}

TEST_F(CmdSetAdminTest, SavingTheStoredStateWritesOnlyTheHeader) {
    CCmdSetAdmin admin(Paths(), Sources());
    tagPRGINFO info;
    ASSERT_TRUE(admin.GetPrgInfo(L"Player", info, FALSE));
    CKeymap keys;
    admin.LoadKeymap(L"Player", keys, FALSE);
    admin.SaveKeymap(keys, &info);

    wchar_t section[4096] = {};
    DWORD length = GetPrivateProfileSectionW(L"Player", section, 4096, Paths().userFile.c_str());
    int entries = 0;
    for (DWORD i = 0; i < length; i += static_cast<DWORD>(wcslen(section + i)) + 1) {
        std::wstring entry = section + i;
        ++entries;
        EXPECT_FALSE(iswdigit(entry[0]) || entry[0] == L' ') << "a key line was written: " << entry.c_str();
    }
    EXPECT_EQ(7, entries);  // Description Executable AppPath CommandLine WindowCaption HideOsd SmsInput
}

TEST_F(CmdSetAdminTest, ChangedKeyIsWrittenAndAKeyBackAtThePresetIsRemoved) {
    CCmdSetAdmin admin(Paths(), Sources());
    tagPRGINFO info;
    admin.GetPrgInfo(L"Player", info, FALSE);
    CKeymap keys;
    admin.LoadKeymap(L"Player", keys, FALSE);
    keys.SetAt(182, Command(3, 8, L"Back space"));
    admin.SaveKeymap(keys, &info);
    EXPECT_TRUE(IsWellFormedKeyLine(UserValue(L"Player", L"182")));

    admin.LoadKeymap(L"Player", keys, FALSE);
    tagWINCMD cmd;
    ASSERT_TRUE(keys.Lookup(182, cmd));
    EXPECT_EQ(8, cmd.nSubType);
    EXPECT_STREQ(L"Back space", cmd.szText);

    keys.SetAt(182, Command(3, 37, L"Back"));
    admin.SaveKeymap(keys, &info);
    EXPECT_EQ(L"", UserValue(L"Player", L"182"));
    EXPECT_TRUE(admin.IsPresetUnchanged(L"Player")) << "the user file holds only what the preset has";
}

TEST_F(CmdSetAdminTest, DefaultEqualKeyRemovesTheUserLine) {
    WriteText(Paths().userFile,
              "[Player]\nExecutable=player.exe\n241=  2,  1,   99,  0,  0,1000,200,\"Loud\",\"\",\"x\"\n");
    CCmdSetAdmin admin(Paths(), Sources());
    tagPRGINFO info;
    admin.GetPrgInfo(L"Player", info, FALSE);
    CKeymap keys;
    admin.LoadKeymap(L"Player", keys, FALSE);
    tagWINCMD cmd;
    ASSERT_TRUE(keys.Lookup(241, cmd));
    EXPECT_EQ(99, cmd.nValue);

    CKeymap defaults;
    defaults.LoadDefaults();
    ASSERT_TRUE(defaults.Lookup(241, cmd));
    keys.SetAt(241, cmd);
    admin.SaveKeymap(keys, &info);
    EXPECT_EQ(L"", UserValue(L"Player", L"241"));
}

TEST_F(CmdSetAdminTest, BlanksAndCaptionsRoundTripThroughTheFile) {
    CCmdSetAdmin admin(Paths(), Sources());
    tagPRGINFO info;
    admin.GetPrgInfo(L"Player", info, FALSE);
    CKeymap keys;
    admin.LoadKeymap(L"Player", keys, FALSE);
    keys.SetAt(183, Command(3, 39, L"Next chapter", L"Video window"));
    admin.SaveKeymap(keys, &info);

    std::wstring line = UserValue(L"Player", L"183");
    EXPECT_NE(std::wstring::npos, line.find(L"\"Next_chapter\",\"Video_window\"")) << line.c_str();
    admin.LoadKeymap(L"Player", keys, FALSE);
    tagWINCMD cmd;
    ASSERT_TRUE(keys.Lookup(183, cmd));
    EXPECT_STREQ(L"Next chapter", cmd.szText);
    EXPECT_STREQ(L"VIDEO WINDOW", cmd.szWindowCaption);
}

TEST_F(CmdSetAdminTest, KeyNameWithLeadingBlanksIsFound) {
    CCmdSetAdmin admin(Paths(), Sources());
    CKeymap keys;
    admin.LoadKeymap(L"Player", keys, TRUE);
    tagWINCMD cmd;
    ASSERT_TRUE(keys.Lookup(5, cmd));
    EXPECT_EQ(65, cmd.nSubType);
    ASSERT_TRUE(keys.Lookup(182, cmd));
    EXPECT_STREQ(L"Back", cmd.szText);
    ASSERT_TRUE(keys.Lookup(200, cmd)) << "defaults stay under the set's lines";
}

TEST_F(CmdSetAdminTest, UserLinesWinOverPresetLinesUnlessPresetOnly) {
    WriteText(Paths().userFile, "[Player]\n182=  3,  8,    0,  0,  0,1000,200,\"Mine\",\"\",\"Left\"\n");
    CCmdSetAdmin admin(Paths(), Sources());
    CKeymap keys;
    tagWINCMD cmd;
    admin.LoadKeymap(L"Player", keys, FALSE);
    ASSERT_TRUE(keys.Lookup(182, cmd));
    EXPECT_STREQ(L"Mine", cmd.szText);
    admin.LoadKeymap(L"Player", keys, TRUE);
    ASSERT_TRUE(keys.Lookup(182, cmd));
    EXPECT_STREQ(L"Back", cmd.szText);

    tagPRGINFO info;
    ASSERT_TRUE(admin.GetPrgInfo(L"Player", info, FALSE));
    EXPECT_EQ(1, info.fModifiedPreset);
    EXPECT_STREQ(L"player.exe", info.szExecutable) << "an executable missing in the user file comes from the preset";
    EXPECT_STREQ(L"player.exe", info.szDescription) << "other fields come from the chosen file only";
}

TEST_F(CmdSetAdminTest, ReservedAndMissingSetsFail) {
    CCmdSetAdmin admin(Paths(), Sources());
    tagPRGINFO info;
    EXPECT_FALSE(admin.GetPrgInfo(L"Software", info, FALSE));
    EXPECT_FALSE(admin.GetPrgInfo(L"Key names", info, FALSE));
    EXPECT_FALSE(admin.GetPrgInfo(L"Nothing", info, FALSE));
    EXPECT_FALSE(admin.DeleteCmdSet(L"Software")) << "the menu is not a set";
    std::wstring name;
    EXPECT_TRUE(admin.GetMenuEntry(1, name));
    CKeymap keys;
    ASSERT_TRUE(admin.LoadKeymap(L"Nothing", keys, FALSE));
    CKeymap defaults;
    defaults.LoadDefaults();
    EXPECT_TRUE(keys.IsEqual(defaults));
}

TEST_F(CmdSetAdminTest, MainMenuComesFromThePresetAndDashesMarkFreeSlots) {
    CCmdSetAdmin admin(Paths(), Sources());
    EXPECT_EQ(L"Player", UserValue(L"Software", L"1")) << "copied at construction";
    std::wstring name;
    ASSERT_TRUE(admin.GetMenuEntry(1, name));
    EXPECT_EQ(L"Player", name);
    EXPECT_FALSE(admin.GetMenuEntry(2, name));
    EXPECT_EQ(L"", name);
    EXPECT_FALSE(admin.GetMenuEntry(3, name));
    EXPECT_FALSE(admin.GetMenuEntry(10, name));

    CKeymap keys;
    tagPRGINFO info;
    EXPECT_TRUE(admin.LoadCmdSet(1, keys, info));
    EXPECT_STREQ(L"Player", info.szName);
    EXPECT_FALSE(admin.LoadCmdSet(2, keys, info));
    EXPECT_FALSE(admin.LoadCmdSet(10, keys, info));

    CKnownCmdSets::Instance().LookupSet(L"---", info);
    EXPECT_FALSE(CKnownCmdSets::Instance().IsStale());
    EXPECT_TRUE(admin.SetMenuEntry(2, L"Player"));
    EXPECT_TRUE(CKnownCmdSets::Instance().IsStale());
}

TEST_F(CmdSetAdminTest, UserMenuIsKeptAtConstruction) {
    WriteText(Paths().userFile, "[Software]\n0=Mine\n");
    CCmdSetAdmin admin(Paths(), Sources());
    EXPECT_EQ(L"Mine", UserValue(L"Software", L"0"));
    EXPECT_EQ(L"", UserValue(L"Software", L"1"));
}

TEST_F(CmdSetAdminTest, DeleteAndPresetUnchanged) {
    CCmdSetAdmin admin(Paths(), Sources());
    EXPECT_TRUE(admin.IsPresetUnchanged(L"Player"));
    EXPECT_FALSE(admin.IsPresetUnchanged(L"Nothing"));
    tagPRGINFO info;
    admin.GetPrgInfo(L"Player", info, FALSE);
    CKeymap keys;
    admin.LoadKeymap(L"Player", keys, FALSE);
    keys.SetAt(183, Command(3, 39, L"Next"));
    admin.SaveKeymap(keys, &info);
    EXPECT_FALSE(admin.IsPresetUnchanged(L"Player"));
    EXPECT_TRUE(admin.DeleteCmdSet(L"Player"));
    EXPECT_TRUE(admin.IsPresetUnchanged(L"Player"));
    EXPECT_EQ(L"", UserValue(L"Player", L"Executable"));
}

TEST_F(CmdSetAdminTest, SetNamesInAnyLanguageSurviveTheUserFile) {
    CCmdSetAdmin admin(Paths(), Sources());
    tagPRGINFO info;
    const wchar_t* name = L"\x041F\x043B\x0435\x0435\x0440 \x65E5\x672C";  // Cyrillic and CJK
    CopyFixedText(info.szName, PRGINFO_TEXT_LEN, name);
    CopyFixedText(info.szExecutable, PRGINFO_TEXT_LEN, L"\x0444.exe");
    CKeymap keys;
    keys.SetAt(183, Command(3, 39, L"\x0414\x0430\x043B\x044C\x0448\x0435"));
    ASSERT_TRUE(admin.SaveKeymap(keys, &info));
    tagPRGINFO back;
    ASSERT_TRUE(admin.GetPrgInfo(name, back, FALSE));
    EXPECT_STREQ(L"\x0444.exe", back.szExecutable);
    admin.LoadKeymap(name, keys, FALSE);
    tagWINCMD cmd;
    ASSERT_TRUE(keys.Lookup(183, cmd));
    EXPECT_STREQ(L"\x0414\x0430\x043B\x044C\x0448\x0435", cmd.szText);
}

TEST_F(CmdSetAdminTest, NoRecordNoSave) {
    CCmdSetAdmin admin(Paths(), Sources());
    CKeymap keys;
    EXPECT_FALSE(admin.SaveKeymap(keys, nullptr));
}

TEST_F(CmdSetAdminTest, LegacyUserFileIsCopiedOnceAndMadeWritable) {
    WriteText(Paths().legacyUserFile, "[Software]\n0=Old\n");
    SetFileAttributesW(Paths().legacyUserFile.c_str(), FILE_ATTRIBUTE_READONLY);
    {
        CCmdSetAdmin admin(Paths(), Sources());
        EXPECT_EQ(L"Old", UserValue(L"Software", L"0"));
        DWORD attributes = GetFileAttributesW(Paths().userFile.c_str());
        EXPECT_FALSE(attributes & FILE_ATTRIBUTE_READONLY);
        admin.SetMenuEntry(0, L"New");
    }
    CCmdSetAdmin again(Paths(), Sources());
    EXPECT_EQ(L"New", UserValue(L"Software", L"0")) << "an existing user file is never overwritten";
}

// --- corrupt user files: load what can be loaded, never crash ---

TEST_F(CmdSetAdminTest, BinaryGarbageUserFileLoads) {
    std::string garbage;
    unsigned seed = 12345;
    for (int i = 0; i < 20000; ++i) {
        seed = seed * 1103515245u + 12345u;
        garbage += static_cast<char>(seed >> 16);
    }
    WriteText(Paths().userFile, garbage);
    CCmdSetAdmin admin(Paths(), Sources());
    CKeymap keys;
    EXPECT_TRUE(admin.LoadKeymap(L"Player", keys, FALSE));
    tagWINCMD cmd;
    EXPECT_TRUE(keys.Lookup(182, cmd));
    EXPECT_TRUE(admin.LoadAppList());
}

TEST_F(CmdSetAdminTest, HugeLineAndHugeSectionLoad) {
    std::string user = "[Player]\nExecutable=player.exe\n182=  3," + std::string(100000, '9') + "\n";
    user += "183=  3, 39,    0,  0,  0,1000,200,\"Next\",\"\",\"Right\"\n";
    for (int key = 0; key < 2000; ++key)
        user += std::to_string(1000 + key) + "=  3, 39,    0,  0,  0,1000,200,\"Filler\",\"\",\"x\"\n";
    WriteText(Paths().userFile, user);
    CCmdSetAdmin admin(Paths(), Sources());
    CKeymap keys;
    EXPECT_TRUE(admin.LoadKeymap(L"Player", keys, FALSE));
    tagWINCMD cmd;
    EXPECT_TRUE(keys.Lookup(200, cmd));
    tagPRGINFO info;
    EXPECT_TRUE(admin.GetPrgInfo(L"Player", info, FALSE));
    EXPECT_TRUE(admin.SaveKeymap(keys, &info));
}

// --- the application list and the shared set map ---

TEST_F(CmdSetAdminTest, ApplicationListHoldsOnlyInstalledSetsReadOnceFromTheUserFile) {
    std::wstring player = MakeExe(L"player.exe");
    WriteText(Paths().userFile, "[Player]\nExecutable=player.exe\nDescription=Mine\nAppPath=C:\\elsewhere\\player.exe\n"
                                "[Gone]\nExecutable=gone.exe\nAppPath=C:\\nowhere\\gone.exe\n");
    CCmdSetAdmin admin(Paths(), Sources());
    tagPRGINFO info;
    ASSERT_TRUE(CKnownCmdSets::Instance().LookupSet(L"Player", info));
    EXPECT_STREQ(L"Mine", info.szDescription);
    EXPECT_EQ(player, info.szAppPath) << "the table of installed programs wins over the file";
    ASSERT_TRUE(CKnownCmdSets::Instance().LookupSet(L"Gone", info));
    ASSERT_TRUE(CKnownCmdSets::Instance().LookupSet(L"---", info));
    CKnownCmdSets::AppList apps = CKnownCmdSets::Instance().GetAppList();
    ASSERT_EQ(1u, apps.size());
    EXPECT_STREQ(L"Player", apps.front().szName);

    // With the flag clear, a change made behind the administrator's back is not seen.
    WriteText(Paths().userFile, "[Other]\nExecutable=other.exe\n");
    EXPECT_TRUE(admin.LoadAppList());
    EXPECT_FALSE(CKnownCmdSets::Instance().LookupSet(L"Other", info));
    CKnownCmdSets::Instance().SetStale();
    admin.LoadAppList();
    EXPECT_TRUE(CKnownCmdSets::Instance().LookupSet(L"Other", info));
}

TEST_F(CmdSetAdminTest, AppPathsLaterSourcesReplaceEarlierOnes) {
    const std::wstring regPath = L"Software\\Kanzo Tests\\App Paths " + std::to_wstring(GetCurrentProcessId());
    std::wstring other = m_dir + L"\\other";
    CreateDirectoryW(other.c_str(), nullptr);
    WriteText(other + L"\\Tool.exe", "MZ");
    WriteText(other + L"\\regonly.exe", "MZ");
    std::wstring local = MakeExe(L"tool.exe");
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, (regPath + L"\\Tool.exe").c_str(), 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &key, nullptr));
    std::wstring value = L"\"" + other + L"\\Tool.exe\"";
    RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, (regPath + L"\\RegOnly.exe").c_str(), 0, nullptr,
                                             0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    value = other + L"\\regonly.exe";
    RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, (regPath + L"\\Missing.exe").c_str(), 0, nullptr,
                                             0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegCloseKey(key);

    CAppPathSources sources = Sources();
    sources.registryRoot = HKEY_CURRENT_USER;
    sources.registryPath = regPath;
    sources.programFilesFolder = m_dir;  // "bin" and "other" are one folder down
    AppPathTable table;
    LoadAppPathsFrom(sources, table);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Kanzo Tests");

    EXPECT_EQ(other + L"\\regonly.exe", table[L"regonly.exe"]);
    EXPECT_EQ(0u, table.count(L"missing.exe")) << "an entry must name an existing file";
    // Registry, then the exe folders, then program files ("bin" before or after "other": both are scanned).
    ASSERT_EQ(1u, table.count(L"tool.exe"));
    EXPECT_TRUE(table[L"tool.exe"] == local || table[L"tool.exe"] == m_dir + L"\\other\\Tool.exe");

    sources.programFilesFolder.clear();
    LoadAppPathsFrom(sources, table);
    EXPECT_EQ(local, table[L"tool.exe"]) << "a folder scan replaces the registry's entry";
}

TEST(CmdSetAppPaths, TheSystemFoldersAreScanned) {
    AppPathTable table;
    LoadAppPathsFrom(CAppPathSources::System(), table);
    ASSERT_EQ(1u, table.count(L"notepad.exe"));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(table[L"notepad.exe"].c_str()));
}

}  // namespace

namespace {

TEST_F(CmdSetAdminTest, WriteProtectedUserFileTakesTheMenuFromTheApplicationList) {
    MakeExe(L"player.exe");
    CCmdSetAdmin admin(Paths(), Sources());
    ASSERT_TRUE(admin.CanWriteUserFile());
    // Root ignores the read-only attribute under Wine; a file held without
    // sharing refuses the append just as a protected one does.
    HANDLE held = CreateFileW(Paths().userFile.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_FALSE(admin.CanWriteUserFile());
    CKnownCmdSets::Instance().SetStale();
    admin.LoadAppList();
    CKnownCmdSets::AppList apps = CKnownCmdSets::Instance().GetAppList();
    ASSERT_EQ(1u, apps.size());
    std::wstring name;
    ASSERT_TRUE(admin.GetMenuEntry(0, name));
    EXPECT_EQ(L"Player", name) << "the installed application, not the file's slot 0";
    EXPECT_FALSE(admin.GetMenuEntry(1, name));
    CloseHandle(held);
}

}  // namespace
