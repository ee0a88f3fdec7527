// Settings in the Wine prefix's registry: the first run, the machine
// fall-back, the once-only load, the Run entry and the values beside the
// block. The first-run menu is filled from temporary command-set files.

#include "app/Settings.h"
#include "cmdsets/CmdSetAdmin.h"
#include "tests/cmdsets/CmdSetFiles.h"
#include "tests/support/RegistryRead.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const wchar_t kRunPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

void DeleteTree(HKEY root, const wchar_t* path) {
    RegDeleteTreeW(root, path);
    RegDeleteKeyW(root, path);
}

void DeleteRunValue(HKEY root, const wchar_t* name) {
    RegDeleteKeyValueW(root, kRunPath, name);
}

bool ReadDword(HKEY root, const wchar_t* subKey, const wchar_t* name, DWORD* value) {
    std::wstring path = SETTINGS_KEY_PATH;
    if (subKey)
        path = path + L"\\" + subKey;
    DWORD size = sizeof(*value);
    return RegGetValueW(root, path.c_str(), name, RRF_RT_REG_DWORD, nullptr, value, &size) == ERROR_SUCCESS;
}

void WriteDword(HKEY root, const wchar_t* subKey, const wchar_t* name, DWORD value) {
    std::wstring path = SETTINGS_KEY_PATH;
    if (subKey)
        path = path + L"\\" + subKey;
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(root, path.c_str(), name, REG_DWORD, &value, sizeof(value)));
}

void WriteString(HKEY root, const wchar_t* path, const wchar_t* name, const std::wstring& text) {
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(root, path, name, REG_SZ, text.c_str(),
                                             static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))));
}

using kanzotest::ReadString;

class SettingsTest : public CmdSetFilesTest {
protected:
    void SetUp() override {
        CmdSetFilesTest::SetUp();
        Clean();
    }
    void TearDown() override {
        Clean();
        CmdSetFilesTest::TearDown();
    }
    static void Clean() {
        DeleteTree(HKEY_CURRENT_USER, SETTINGS_KEY_PATH);
        DeleteTree(HKEY_LOCAL_MACHINE, SETTINGS_KEY_PATH);
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            DeleteRunValue(root, L"Remote Control Editor");
            DeleteRunValue(root, L"Vemtra Remote Control");
        }
    }
    std::wstring RunEntry() const { return ReadString(HKEY_CURRENT_USER, kRunPath, L"Remote Control Editor"); }
    // A preset with "Windows (Standard)" and one installed set per name.
    void WritePreset(std::initializer_list<const char*> installed) {
        std::string preset = "[Settings]\nRC Layout Version=4\n[Windows (Standard)]\nExecutable=explorer.exe\n";
        for (const char* name : installed) {
            std::string exe = std::string(name) + ".exe";
            MakeExe(std::wstring(exe.begin(), exe.end()));
            preset += std::string("[") + name + "]\nExecutable=" + exe + "\n";
        }
        preset += "[Missing]\nExecutable=not-installed.exe\n";
        WriteText(Paths().presetFile, preset);
    }
    std::wstring MenuSlot(int n) const { return UserValue(L"Software", std::to_wstring(n).c_str()); }

    int m_firstRuns = 0;
    CSettings::FirstRunAction CountFirstRuns() {
        return [this] { ++m_firstRuns; };
    }
};

TEST_F(SettingsTest, FreshUserGetsDefaultsTheRunEntryAndTheFirstRunMenu) {
    WritePreset({"Player"});
    CCmdSetAdmin admin(Paths(), Sources());
    CSettings settings(admin);
    settings.SetModulePath(L"C:\\Kanzo\\Kanzo.exe");
    EXPECT_TRUE(settings.NeedsLoad());
    EXPECT_EQ(1, settings.SettingsLoad());
    EXPECT_FALSE(settings.NeedsLoad());

    const tagSETTINGS& block = settings.Block();
    EXPECT_EQ(1u, block.autostart);
    EXPECT_EQ(2u, block.osdTime);
    EXPECT_EQ(0xFFFFFFFEu, block.receiverSelection);
    // Everything was written, under the names the program has always used.
    DWORD value = 0;
    EXPECT_TRUE(ReadDword(HKEY_CURRENT_USER, nullptr, L"RC Layout Version", &value));
    EXPECT_EQ(4u, value);
    EXPECT_TRUE(ReadDword(HKEY_CURRENT_USER, nullptr, L"Autostart", &value));
    EXPECT_EQ(1u, value);
    for (const wchar_t* name : {L"Disable sound", L"Hidden", L"Exclusive"}) {
        EXPECT_TRUE(ReadDword(HKEY_CURRENT_USER, nullptr, name, &value)) << name;
        EXPECT_EQ(0u, value) << name;
    }
    EXPECT_TRUE(ReadDword(HKEY_CURRENT_USER, L"OSD", L"OSD Text Color", &value));
    EXPECT_EQ(0x00F0CAA6u, value);
    EXPECT_TRUE(ReadDword(HKEY_CURRENT_USER, L"OSD", L"OSD Use Gradient", &value));
    EXPECT_EQ(1u, value);
    EXPECT_TRUE(ReadDword(HKEY_CURRENT_USER, L"RC", L"Selection", &value));
    EXPECT_EQ(0xFFFFFFFEu, value);
    EXPECT_TRUE(ReadDword(HKEY_CURRENT_USER, L"RC", L"Tavora: Disable Key 0", &value));
    EXPECT_EQ(L"", ReadString(HKEY_CURRENT_USER, SETTINGS_KEY_PATH, L"Exclusive Application"));
    EXPECT_EQ(L"", ReadString(HKEY_CURRENT_USER, (std::wstring(SETTINGS_KEY_PATH) + L"\\RC").c_str(), L"MIDI device"));

    EXPECT_EQ(L"C:\\Kanzo\\Kanzo.exe", RunEntry());
    EXPECT_EQ(L"Windows (Standard)", MenuSlot(0));
    EXPECT_EQ(L"Player", MenuSlot(1));
    EXPECT_EQ(L"---", MenuSlot(2));
}

TEST_F(SettingsTest, MoreThanNineInstalledApplicationsGiveNineSortedEntries) {
    WritePreset({"Lima", "Alpha", "Kilo", "Echo", "Bravo", "Juliett", "Delta", "India", "Golf", "Hotel", "Foxtrot"});
    CCmdSetAdmin admin(Paths(), Sources());
    CSettings settings(admin);
    settings.SettingsLoad();
    EXPECT_EQ(L"Windows (Standard)", MenuSlot(0));
    for (int n = 1; n < 10; ++n) {
        EXPECT_NE(L"---", MenuSlot(n));
        EXPECT_NE(L"Missing", MenuSlot(n));
        if (n > 1) {
            EXPECT_LT(MenuSlot(n - 1), MenuSlot(n));
        }
    }
}

TEST_F(SettingsTest, AutostartZeroOnlyUnderTheMachineReachesTheUserAndRemovesTheRunEntry) {
    WriteDword(HKEY_LOCAL_MACHINE, nullptr, L"Autostart", 0);
    WriteDword(HKEY_LOCAL_MACHINE, nullptr, L"Hidden", 1);
    WriteDword(HKEY_LOCAL_MACHINE, nullptr, L"Disable sound", 1);
    WriteDword(HKEY_CURRENT_USER, nullptr, L"Disable sound", 0);  // the user's value wins
    WriteString(HKEY_LOCAL_MACHINE, SETTINGS_KEY_PATH, L"Exclusive Application", L"Player");
    WriteDword(HKEY_LOCAL_MACHINE, L"OSD", L"OSD Time", 9);       // no fall-back for display values
    WriteString(HKEY_CURRENT_USER, kRunPath, L"Remote Control Editor", L"C:\\old\\Kanzo.exe");

    CSettings settings(CountFirstRuns());
    settings.SettingsLoad();
    const tagSETTINGS& block = settings.Block();
    EXPECT_EQ(0u, block.autostart);
    EXPECT_EQ(1u, block.hidden);
    EXPECT_EQ(0u, block.disableSound);
    EXPECT_STREQ(L"Player", block.exclusiveApp);
    EXPECT_EQ(2u, block.osdTime);
    DWORD value = 1;
    EXPECT_TRUE(ReadDword(HKEY_CURRENT_USER, nullptr, L"Autostart", &value));
    EXPECT_EQ(0u, value);
    EXPECT_EQ(L"Player", ReadString(HKEY_CURRENT_USER, SETTINGS_KEY_PATH, L"Exclusive Application"));
    EXPECT_EQ(L"<missing>", RunEntry());
    // The machine key is only read.
    EXPECT_TRUE(ReadDword(HKEY_LOCAL_MACHINE, nullptr, L"Autostart", &value));
    EXPECT_FALSE(ReadDword(HKEY_LOCAL_MACHINE, nullptr, L"RC Layout Version", &value));
}

TEST_F(SettingsTest, SecondLoadIgnoresRegistryEditsAndTheBlockIsAuthoritative) {
    CSettings settings(CountFirstRuns());
    settings.SettingsLoad();
    EXPECT_EQ(1, m_firstRuns);
    WriteDword(HKEY_CURRENT_USER, L"OSD", L"OSD Time", 9);
    WriteDword(HKEY_CURRENT_USER, nullptr, L"Hidden", 1);
    EXPECT_EQ(1, settings.SettingsLoad());
    EXPECT_EQ(2u, settings.Block().osdTime);
    EXPECT_EQ(0u, settings.Block().hidden);

    // An applied change is one save of the whole block.
    settings.Block().osdTime = 5;
    SettingsCopyText(settings.Block().midiDevice, L"USB MIDI Keyboard");
    EXPECT_EQ(1, settings.SettingsSave());
    DWORD value = 0;
    EXPECT_TRUE(ReadDword(HKEY_CURRENT_USER, L"OSD", L"OSD Time", &value));
    EXPECT_EQ(5u, value);
    EXPECT_TRUE(ReadDword(HKEY_CURRENT_USER, nullptr, L"Hidden", &value));
    EXPECT_EQ(0u, value) << "the edit made meanwhile is overwritten by the block";
    EXPECT_EQ(L"USB MIDI Keyboard",
              ReadString(HKEY_CURRENT_USER, (std::wstring(SETTINGS_KEY_PATH) + L"\\RC").c_str(), L"MIDI device"));

    // A new process (a new object) reads it back, without a first run now that "OSD" exists.
    CSettings next(CountFirstRuns());
    next.SettingsLoad();
    EXPECT_EQ(1, m_firstRuns);
    EXPECT_EQ(5u, next.Block().osdTime);
    EXPECT_STREQ(L"USB MIDI Keyboard", next.Block().midiDevice);
}

TEST_F(SettingsTest, StoredValuesAreLoadedTheObsoleteOneDeletedAndBadOnesKeepTheDefault) {
    WriteDword(HKEY_CURRENT_USER, L"OSD", L"OSD Text Color", 0x00FFFFFF);
    WriteDword(HKEY_CURRENT_USER, L"OSD", L"OSD Use Gradient", 0);
    WriteDword(HKEY_CURRENT_USER, L"RC", L"Selection", 0);
    WriteDword(HKEY_CURRENT_USER, L"RC", L"Tavora: Disable Key 0", 1);
    WriteDword(HKEY_CURRENT_USER, L"RC", L"Selected", 3);
    const std::wstring osdPath = std::wstring(SETTINGS_KEY_PATH) + L"\\OSD";
    WriteString(HKEY_CURRENT_USER, osdPath.c_str(), L"OSD Time", L"7");  // text, not a number
    WriteString(HKEY_CURRENT_USER, SETTINGS_KEY_PATH, L"Exclusive Application", std::wstring(300, L'x'));
    WriteString(HKEY_LOCAL_MACHINE, SETTINGS_KEY_PATH, L"Exclusive Application", L"Machine");

    CSettings settings(CountFirstRuns());
    settings.SettingsLoad();
    EXPECT_EQ(0, m_firstRuns);
    const tagSETTINGS& block = settings.Block();
    EXPECT_EQ(0x00FFFFFFu, block.osdTextColor);
    EXPECT_EQ(0u, block.osdUseGradient);
    EXPECT_EQ(0u, block.receiverSelection);
    EXPECT_EQ(1u, block.disableKey0);
    EXPECT_EQ(2u, block.osdTime);
    // Too long for the block: the user's value is not taken, the machine's is.
    EXPECT_STREQ(L"Machine", block.exclusiveApp);
    DWORD value = 0;
    EXPECT_FALSE(ReadDword(HKEY_CURRENT_USER, L"RC", L"Selected", &value));
    EXPECT_TRUE(ReadDword(HKEY_CURRENT_USER, L"OSD", L"OSD Time", &value));
    EXPECT_EQ(2u, value) << "the save repairs the value's type";
}

TEST_F(SettingsTest, RunEntryIsQuotedWhenThePathHasBlanksAndOldEntriesGo) {
    WriteString(HKEY_LOCAL_MACHINE, kRunPath, L"Vemtra Remote Control", L"old.exe");
    WriteString(HKEY_LOCAL_MACHINE, kRunPath, L"Remote Control Editor", L"old.exe");
    WriteString(HKEY_CURRENT_USER, kRunPath, L"Vemtra Remote Control", L"old.exe");
    CSettings settings(CountFirstRuns());
    settings.SetModulePath(L"C:\\Program Files\\Kanzo\\Kanzo.exe");
    EXPECT_TRUE(settings.UpdateAutostart(true));
    EXPECT_EQ(L"\"C:\\Program Files\\Kanzo\\Kanzo.exe\"", RunEntry());
    EXPECT_EQ(L"<missing>", ReadString(HKEY_LOCAL_MACHINE, kRunPath, L"Vemtra Remote Control"));
    EXPECT_EQ(L"<missing>", ReadString(HKEY_LOCAL_MACHINE, kRunPath, L"Remote Control Editor"));
    EXPECT_EQ(L"<missing>", ReadString(HKEY_CURRENT_USER, kRunPath, L"Vemtra Remote Control"));

    EXPECT_TRUE(settings.UpdateAutostart(false));
    EXPECT_EQ(L"<missing>", RunEntry());
    EXPECT_TRUE(settings.UpdateAutostart(false)) << "already absent is removed too";
}

TEST_F(SettingsTest, RunEntryNamesThisProgramByDefault) {
    CSettings settings(CountFirstRuns());
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring expected = module;
    if (expected.find(L' ') != std::wstring::npos)
        expected = L"\"" + expected + L"\"";
    EXPECT_EQ(expected, settings.GetRunCommand());
    settings.UpdateAutostart(true);
    EXPECT_EQ(expected, RunEntry());
}

TEST_F(SettingsTest, ValuesBesideTheBlock) {
    CSettings settings(CountFirstRuns());
    EXPECT_EQ(2057u, settings.GetLanguage(2057));
    EXPECT_TRUE(settings.SetLanguage(1031));
    EXPECT_EQ(1031u, settings.GetLanguage(2057));
    DWORD value = 0;
    EXPECT_TRUE(ReadDword(HKEY_CURRENT_USER, nullptr, L" Language", &value));

    EXPECT_EQ(2u, settings.GetEditorRcType());
    EXPECT_EQ(L"", settings.GetEditorRcName());
    EXPECT_TRUE(settings.SetEditorRcType(0x0040));
    EXPECT_TRUE(settings.SetEditorRcName(L"Pinnacle PCTV"));
    CSettings again(CountFirstRuns());
    EXPECT_EQ(0x0040u, again.GetEditorRcType());
    EXPECT_EQ(L"Pinnacle PCTV", again.GetEditorRcName());
    // They survive a save of the block.
    again.SettingsLoad();
    EXPECT_EQ(1031u, again.GetLanguage(2057));
    EXPECT_EQ(L"Pinnacle PCTV", again.GetEditorRcName());
}

TEST(UserDataFolder, IsVemtraRemoteInTheApplicationDataAndExists) {
    std::wstring folder = GetUserDataFolder();
    ASSERT_FALSE(folder.empty());
    const std::wstring tail = L"\\Vemtra\\Remote";
    ASSERT_GE(folder.size(), tail.size());
    EXPECT_EQ(tail, folder.substr(folder.size() - tail.size()));
    DWORD attributes = GetFileAttributesW(folder.c_str());
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(folder, GetUserDataFolder());
}

}  // namespace
