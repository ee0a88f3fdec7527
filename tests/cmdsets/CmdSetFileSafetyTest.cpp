// The user's files are never lost or rewritten behind the user's back: files
// cut short or damaged, a missing preset, sets longer than the first read
// buffer, keys restored to their preset, writes that fail.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CmdSetFiles.h"
#include "cmdsets/KeyLine.h"
#include "cmdsets/KeyNames.h"
#include "support/QVLastWriteFailure.h"
#include "support/ScopedWin.h"

namespace {

const char kPreset[] =
    "[Settings]\nRC Layout Version=4\n"
    "[Software]\n0=Windows (Standard)\n1=Notepad\n"
    "[Windows (Standard)]\nExecutable=explorer.exe\n"
    "[Notepad]\nExecutable=notepad.exe\n"
    "222=  3, 36,    0,  0,  0,1000,200,\"Home\",\"\",\"Last channel\"\n"
    " 60=  3, 65,    0,  0,  0,1000,200,\"Note\",\"\",\"C5\"\n";

// A layout-4 set as the program writes it.
const char kLayout4Set[] =
    "[Notepad]\nExecutable=notepad.exe\n"
    "184=  3, 13,    0,  0,  0,1000,200,\"Enter\",\"\",\"OK\"\n"
    "200=  3, 48,    0,  0,  0,1000,200,\"Zero\",\"\",\"Programme 0\"\n";

class CmdSetFileSafety : public CmdSetFilesTest {
protected:
    void SetUp() override {
        CmdSetFilesTest::SetUp();
        CQVLastWriteFailure::Clear();
    }

    static bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
    int UserVersion() const {
        return static_cast<int>(
            GetPrivateProfileIntW(L"Settings", L"RC Layout Version", -99, Paths().userFile.c_str()));
    }
};

// --- layout stamps ---

class BrokenStamp : public CmdSetFileSafety, public ::testing::WithParamInterface<const char*> {};

// A stamp cut off or edited by hand: the key lines say layout 4, so nothing is renumbered.
TEST_P(BrokenStamp, Layout4LinesAreNotRenumbered) {
    WriteText(Paths().presetFile, kPreset);
    const std::string user = std::string(GetParam()) + kLayout4Set;
    WriteText(Paths().userFile, user);
    CCmdSetAdmin admin(Paths(), Sources());
    admin.UpgradeLayout();
    EXPECT_EQ(L"3, 13,    0,  0,  0,1000,200,\"Enter\",\"\",\"OK\"", UserValue(L"Notepad", L"184"));
    EXPECT_EQ(L"3, 48,    0,  0,  0,1000,200,\"Zero\",\"\",\"Programme 0\"", UserValue(L"Notepad", L"200"));
    EXPECT_EQ(4, UserVersion());
    EXPECT_TRUE(admin.GetFileStatus().upgradeBackups.empty()) << "nothing was converted";
}

INSTANTIATE_TEST_SUITE_P(Stamps, BrokenStamp,
                         ::testing::Values("", "[Settings]\n", "[Settings]\nRC Layout Version=\n",
                                           "[Settings]\nRC Layout Version=four\n",
                                           "[Settings]\nRC Layout Version=2\n"));

// A file that really is older is converted, and its old bytes are kept beside
// it, a second time under a new name.
TEST_F(CmdSetFileSafety, LegacyFileIsCopiedBeforeItIsConverted) {
    WriteText(Paths().presetFile, kPreset);
    const std::string legacy = "[Settings]\nRC Layout Version=2\n[Notepad]\nExecutable=n.exe\n128=3,48,0,0,\"Zero\",\"\",\n";
    WriteText(Paths().userFile, legacy);
    std::string original;
    {
        CCmdSetAdmin admin(Paths(), Sources());
        original = ReadText(Paths().userFile);  // with the menu the construction copied in
        EXPECT_TRUE(admin.UpgradeLayout());
        ASSERT_EQ(1u, admin.GetFileStatus().upgradeBackups.size());
        EXPECT_EQ(Paths().userFile + L".layout2.bak", admin.GetFileStatus().upgradeBackups[0]);
        EXPECT_EQ(original, ReadText(admin.GetFileStatus().upgradeBackups[0]));
        EXPECT_STREQ(L"Zero", ParseKeyLine(UserValue(L"Notepad", L"200")).szText);
    }
    WriteText(Paths().userFile, legacy);
    CCmdSetAdmin admin(Paths(), Sources());
    admin.UpgradeLayout();
    ASSERT_EQ(1u, admin.GetFileStatus().upgradeBackups.size());
    EXPECT_EQ(Paths().userFile + L".layout2.1.bak", admin.GetFileStatus().upgradeBackups[0]);
    EXPECT_EQ(original, ReadText(Paths().userFile + L".layout2.bak")) << "the first copy is never overwritten";
}

// --- missing and damaged files ---

TEST_F(CmdSetFileSafety, MissingPresetIsReportedAndNeverCreated) {
    WriteText(Paths().userFile, std::string("[Settings]\nRC Layout Version=4\n") + kLayout4Set);
    CCmdSetAdmin admin(Paths(), Sources());
    EXPECT_TRUE(admin.GetFileStatus().fPresetMissing);
    EXPECT_FALSE(admin.UpgradeLayout());
    EXPECT_FALSE(Exists(Paths().presetFile));
    tagPRGINFO info;
    EXPECT_TRUE(admin.GetPrgInfo(L"Notepad", info, FALSE)) << "the user's own sets still work";
}

struct tagDAMAGEDFILE {
    const char* name;
    std::string bytes;
};

std::string RandomBytes() {
    std::string bytes;
    unsigned seed = 4711;
    for (int i = 0; i < 5000; ++i) {
        seed = seed * 1103515245u + 12345u;
        bytes += static_cast<char>(seed >> 16);
    }
    return bytes;
}

// A UTF-16 file cut in the middle of a character (an odd number of bytes),
// after its first line or inside it.
std::string CutUtf16(const std::string& text) {
    std::string bytes = "\xFF\xFE";
    for (char c : text) {
        bytes += c;
        bytes += '\0';
    }
    bytes.pop_back();
    return bytes;
}

class DamagedUserFile : public CmdSetFileSafety, public ::testing::WithParamInterface<tagDAMAGEDFILE> {};

// Nothing in it that the program wrote: it is moved aside with its bytes
// intact and a new file starts, and the program says so.
TEST_P(DamagedUserFile, IsMovedAsideUntouched) {
    WriteText(Paths().presetFile, kPreset);
    {
        FILE* out = _wfopen(Paths().userFile.c_str(), L"wb");
        ASSERT_NE(nullptr, out);
        fwrite(GetParam().bytes.data(), 1, GetParam().bytes.size(), out);
        fclose(out);
    }
    CCmdSetAdmin admin(Paths(), Sources());
    admin.UpgradeLayout();
    const tagCMDSETFILESTATUS& status = admin.GetFileStatus();
    if (status.szUnreadableUserFile.empty()) {
        // The profile functions could read it: then it must still be readable as it was.
        tagPRGINFO info;
        EXPECT_TRUE(admin.GetPrgInfo(L"Notepad", info, FALSE)) << GetParam().name;
        return;
    }
    EXPECT_EQ(Paths().userFile, status.szUnreadableUserFile);
    ASSERT_FALSE(status.szUnreadableMovedTo.empty());
    EXPECT_EQ(GetParam().bytes, ReadText(status.szUnreadableMovedTo));
    std::wstring name;
    EXPECT_TRUE(admin.GetMenuEntry(1, name));
    EXPECT_EQ(L"Notepad", name) << "a new user file with the preset's menu";
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedUserFile,
                         ::testing::Values(tagDAMAGEDFILE{"random", RandomBytes()},
                                           tagDAMAGEDFILE{"utf16_cut_in_first_line", CutUtf16("[Notep")},
                                           tagDAMAGEDFILE{"utf16_cut_later",
                                                          CutUtf16("[Notepad]\r\nExecutable=notepad.exe\r\n184=  3")}),
                         [](const ::testing::TestParamInfo<tagDAMAGEDFILE>& info) { return info.param.name; });

// A file that still holds what the program wrote is not set aside, however short.
TEST_F(CmdSetFileSafety, ShortValidUserFileStays) {
    WriteText(Paths().presetFile, kPreset);
    WriteText(Paths().userFile, "[Software]\n0=Notepad\n");
    CCmdSetAdmin admin(Paths(), Sources());
    EXPECT_TRUE(admin.GetFileStatus().szUnreadableUserFile.empty());
    std::wstring name;
    EXPECT_TRUE(admin.GetMenuEntry(0, name));
    EXPECT_EQ(L"Notepad", name);
}

// --- what the program writes it reads back ---

// Every key bound with the longest allowed texts: a section far beyond the
// first read buffer, read back whole.
TEST_F(CmdSetFileSafety, SetBindingEveryKeyWithLongTextsRoundTrips) {
    WriteText(Paths().presetFile, kPreset);
    CCmdSetAdmin admin(Paths(), Sources());
    tagPRGINFO info;
    ASSERT_TRUE(admin.GetPrgInfo(L"Notepad", info, FALSE));
    CKeymap keys;
    int bound = 0;
    for (int keyId = 0; keyId <= CMDSET_LAST_KEY; ++keyId) {
        if (!IsValidKey(keyId))
            continue;
        tagWINCMD cmd;
        cmd.nType = CMD_KEY;
        cmd.nSubType = 'A' + keyId % 26;
        cmd.nValue = keyId;
        std::wstring text(WINCMD_TEXT_LEN - 1, static_cast<wchar_t>(L'a' + keyId % 26));
        text[0] = L'K';
        text[10] = L' ';
        CopyFixedText(cmd.szText, WINCMD_TEXT_LEN, (std::to_wstring(keyId) + text).c_str());
        CopyFixedText(cmd.szWindowCaption, WINCMD_TEXT_LEN, std::wstring(WINCMD_TEXT_LEN - 1, L'C').c_str());
        keys.SetAt(keyId, cmd);
        ++bound;
    }
    ASSERT_TRUE(admin.SaveKeymap(keys, &info));
    std::vector<wchar_t> section(1 << 20);
    const DWORD length = GetPrivateProfileSectionW(L"Notepad", section.data(), static_cast<DWORD>(section.size()),
                                                   Paths().userFile.c_str());
    ASSERT_GT(length, static_cast<DWORD>(CSectionEntries::MAX_SECTION_CHARS)) << "the case this test is about";

    CCmdSetAdmin reader(Paths(), Sources());
    CKeymap loaded;
    reader.LoadKeymap(L"Notepad", loaded, FALSE);
    int same = 0;
    for (int keyId = 0; keyId <= CMDSET_LAST_KEY; ++keyId) {
        tagWINCMD saved;
        tagWINCMD read;
        if (keys.Lookup(keyId, saved) && loaded.Lookup(keyId, read) && IsEqualWinCmd(saved, read))
            ++same;
    }
    EXPECT_EQ(bound, same);
}

// Keys set back to the preset leave the user file: a key whose English name
// has a blank, and a MIDI note whose key name is written padded.
TEST_F(CmdSetFileSafety, SetRestoredToItsPresetLeavesOnlyTheHeader) {
    WriteText(Paths().presetFile, kPreset);
    CCmdSetAdmin admin(Paths(), Sources());
    tagPRGINFO info;
    ASSERT_TRUE(admin.GetPrgInfo(L"Notepad", info, FALSE));
    CKeymap preset;
    admin.LoadKeymap(L"Notepad", preset, TRUE);
    CKeymap changed;
    changed.Copy(preset);
    for (int keyId : {222, 60}) {
        tagWINCMD cmd;
        ASSERT_TRUE(changed.Lookup(keyId, cmd)) << keyId;
        cmd.nSubType = 'Z';
        changed.SetAt(keyId, cmd);
    }
    admin.SaveKeymap(changed, &info);
    ASSERT_NE(L"", UserValue(L"Notepad", L"222"));
    ASSERT_NE(L"", UserValue(L"Notepad", L"60"));

    admin.SaveKeymap(preset, &info);
    EXPECT_EQ(L"", UserValue(L"Notepad", L"222")) << "a key whose English name has a blank";
    EXPECT_EQ(L"", UserValue(L"Notepad", L"60"));
    EXPECT_TRUE(admin.IsPresetUnchanged(L"Notepad"));

    // A user's MIDI line for a key no longer in the keymap goes as well.
    admin.SaveKeymap(changed, &info);
    ASSERT_NE(L"", UserValue(L"Notepad", L"60"));
    changed.RemoveKey(60);
    admin.SaveKeymap(changed, &info);
    EXPECT_EQ(L"", UserValue(L"Notepad", L"60"));
}

// --- writes that fail ---

TEST_F(CmdSetFileSafety, FailedWritesAreRecordedForTheUser) {
    WriteText(Paths().presetFile, kPreset);
    CCmdSetAdmin admin(Paths(), Sources());
    tagPRGINFO info;
    ASSERT_TRUE(admin.GetPrgInfo(L"Notepad", info, FALSE));
    CKeymap keys;
    admin.LoadKeymap(L"Notepad", keys, FALSE);
    tagLASTWRITEFAILURE failure;
    admin.SaveKeymap(keys, &info);
    EXPECT_FALSE(CQVLastWriteFailure::Get(failure)) << "writes that worked, deletes of absent keys included";

    CQVHandle held(CreateFileW(Paths().userFile.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held.IsValid());
    EXPECT_TRUE(admin.SaveKeymap(keys, &info)) << "the return value stays as it was";
    ASSERT_TRUE(CQVLastWriteFailure::Get(failure));
    EXPECT_EQ(Paths().userFile, failure.szTarget);
    EXPECT_NE(0u, failure.nCount);
}

}  // namespace
