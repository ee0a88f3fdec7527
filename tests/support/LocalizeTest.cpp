// CQVLocalizeBase under Wine with real language files in a temporary folder,
// the program's own string tables (linked into this test) and a fixture module
// that holds only an English (US) table.

#include "support/QVDebug.h"
#include "support/QVLocalizeBase.h"
#include "support/QVRegKey.h"
#include "support/ScopedWin.h"
#include "resources/StringCatalogue.h"
#include "tests/support/LocalizeTestUtil.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using loctest::CTempFolder;
using loctest::WriteLngFile;

const wchar_t kPresetsText[] = L"Presets cannot be deleted!";  // string 4004 of the resources

class CRecordingLocalize : public CQVLocalizeBase {
public:
    using CQVLocalizeBase::CQVLocalizeBase;
    std::vector<std::pair<std::wstring, std::wstring>> reports;

protected:
    void ReportNotLocalized(const wchar_t* languageName, const wchar_t* text) override {
        reports.emplace_back(languageName, text);
        CQVLocalizeBase::ReportNotLocalized(languageName, text);
    }
};

tagQVLOCALIZE_SETUP MakeSetup(const CTempFolder& folder, LANGID uiLanguage, HMODULE resources = nullptr) {
    tagQVLOCALIZE_SETUP setup;
    setup.wUiLanguage = uiLanguage;
    setup.pszFolder = folder.Path().c_str();
    setup.hResources = resources;
    setup.hClassesRoot = nullptr;
    return setup;
}

class Localize : public ::testing::Test {
protected:
    void TearDown() override {
        // SetLanguage changes the process's C locale and the thread locale.
        _wsetlocale(LC_ALL, L"C");
        SetThreadLocale(m_threadLocale);
    }
    LCID m_threadLocale = GetThreadLocale();
};

// The module with only an English (US) string table: 100 and 4004.
class FixtureModule {
public:
    FixtureModule()
        : m_module(LoadLibraryExW((loctest::ProgramFolder() + L"\\kanzo_loc_fixture.dll").c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
    HMODULE Get() const { return m_module.Get(); }

private:
    CQVModule m_module;
};

TEST_F(Localize, ModeOneGermanFallsBackToEnglishResourceAndTracesGerman) {
    CTempFolder folder(L"mode1");
    CRecordingLocalize localize(MakeSetup(folder, 0x0407));
    ASSERT_EQ(0x0407, localize.GetLanguage());
    localize.SetSource(QVLOC_MODE_RESOURCES, nullptr);

    wchar_t log[MAX_PATH];
    std::swprintf(log, MAX_PATH, L"%ls\\trace.log", folder.Path().c_str());
    {
        CQVTraceInit trace(QVOUT_FILE, log, 0, QVL_WRN, QVC_ALL);
        EXPECT_EQ(kPresetsText, localize.GetString(4004));
        EXPECT_EQ(kPresetsText, localize.GetString(4004));  // cached: reported once
    }
    ASSERT_EQ(1u, localize.reports.size());
    EXPECT_EQ(L"German", localize.reports[0].first);
    EXPECT_EQ(kPresetsText, localize.reports[0].second);

    std::ifstream in(folder.File(L"trace.log").c_str(), std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(std::string::npos, text.find("QVLOC: German string NOT LOCALIZED: 'Presets cannot be deleted!'")) << text;
}

TEST_F(Localize, ExactFileBeatsResourcesInModeTwoAndLosesInModeThree) {
    CTempFolder folder(L"precedence");
    WriteLngFile(folder.File(L"English.lng"), {{4004, L"from the file"}});
    CRecordingLocalize localize(MakeSetup(folder, 0x0809));
    ASSERT_EQ(QVLOC_MODE_FILES_FIRST, localize.GetSourceMode());
    EXPECT_EQ(L"from the file", localize.GetString(4004));
    localize.SetSource(QVLOC_MODE_RESOURCES_FIRST, nullptr);
    EXPECT_EQ(kPresetsText, localize.GetString(4004));
    EXPECT_TRUE(localize.reports.empty());
}

TEST_F(Localize, FileEscapesKeepTheLength) {
    CTempFolder folder(L"escape");
    WriteLngFile(folder.File(L"German.lng"), {{4001, L"a\\nb"}, {4004, L"c:\\\\x\\ty"}});
    CQVLocalizeBase localize(MakeSetup(folder, 0x0407));
    EXPECT_EQ(std::wstring(L"a \nb"), localize.GetString(4001));
    EXPECT_EQ(std::wstring(L"c: \\x \ty"), localize.GetString(4004));
}

TEST_F(Localize, HexadecimalKeyWhenDecimalIsMissing) {
    CTempFolder folder(L"hex");
    std::wstring path = folder.File(L"German.lng");
    WriteLngFile(path, {{4004, L"decimal"}});
    WritePrivateProfileStringW(L"Strings", L"0xfa1", L"hexadecimal", path.c_str());  // 4001
    CQVLocalizeBase localize(MakeSetup(folder, 0x0407));
    localize.SetSource(QVLOC_MODE_FILES, nullptr);
    EXPECT_EQ(L"hexadecimal", localize.GetString(4001));
    EXPECT_EQ(L"decimal", localize.GetString(4004));
}

TEST_F(Localize, AustrianGermanSelectsGermanAndSetsLocales) {
    CTempFolder folder(L"austria");
    WriteLngFile(folder.File(L"German.lng"), {{4004, L"Vorgaben"}});
    CQVLocalizeBase localize(MakeSetup(folder, 0x0C07));
    EXPECT_EQ(0x0407, localize.GetLanguage());
    EXPECT_EQ(0x0407, LANGIDFROMLCID(GetThreadLocale()));
    const wchar_t* cLocale = _wsetlocale(LC_ALL, nullptr);
    ASSERT_NE(nullptr, cLocale);
    EXPECT_NE(nullptr, std::wcsstr(cLocale, L"German")) << cLocale;
    EXPECT_EQ(L"Vorgaben", localize.GetString(4004));
}

TEST_F(Localize, CanadianEnglishWithoutUkResourcesSelectsUs) {
    FixtureModule fixture;
    ASSERT_NE(nullptr, fixture.Get());
    CTempFolder folder(L"canada");
    CQVLocalizeBase usOnly(MakeSetup(folder, 0x1009, fixture.Get()));
    EXPECT_EQ(0x0409, usOnly.GetLanguage());
    CQVLocalizeBase program(MakeSetup(folder, 0x1009));
    EXPECT_EQ(0x0809, program.GetLanguage());
}

TEST_F(Localize, ExactUkEnglishAlsoTakesUsResources) {
    FixtureModule fixture;
    CTempFolder folder(L"ukus");
    CRecordingLocalize localize(MakeSetup(folder, 0x0809, fixture.Get()));
    localize.SetLanguage(0x0809);
    localize.SetSource(QVLOC_MODE_RESOURCES, nullptr);
    EXPECT_EQ(L"US fixture text", localize.GetString(4004));
    EXPECT_TRUE(localize.reports.empty());
}

TEST_F(Localize, PromptsAreTheResourceToolTipPart) {
    CTempFolder folder(L"prompt");
    WriteLngFile(folder.File(L"English.lng"), {{0xE141, L"file text is never used"}});
    CQVLocalizeBase localize(MakeSetup(folder, 0x0809));
    localize.SetSource(QVLOC_MODE_FILES, nullptr);
    EXPECT_EQ(L"Exit", localize.GetString(0xE141));
}

TEST_F(Localize, CacheEmptiedByLanguageAndSourceChanges) {
    CTempFolder folder(L"cache");
    std::wstring path = folder.File(L"German.lng");
    WriteLngFile(path, {{4001, L"first"}});
    CQVLocalizeBase localize(MakeSetup(folder, 0x0407));
    EXPECT_EQ(L"first", localize.GetString(4001));
    WriteLngFile(path, {{4001, L"second"}});
    EXPECT_EQ(L"first", localize.GetString(4001));
    localize.SetLanguage(0x0407);
    EXPECT_EQ(L"second", localize.GetString(4001));
    WriteLngFile(path, {{4001, L"third"}});
    localize.SetSource(QVLOC_MODE_FILES_FIRST, nullptr);
    EXPECT_EQ(L"third", localize.GetString(4001));
}

TEST_F(Localize, MissingTextLeavesBufferAndLongTextIsCut) {
    CTempFolder folder(L"buffer");
    CQVLocalizeBase localize(MakeSetup(folder, 0x0809));
    wchar_t buffer[8] = L"keep";
    EXPECT_EQ(0, localize.GetString(3999, buffer, 8));
    EXPECT_STREQ(L"keep", buffer);
    EXPECT_EQ(1, localize.GetString(4004, buffer, 8));
    EXPECT_STREQ(L"Presets", buffer);
    EXPECT_EQ(L"", localize.GetString(3999));
}

TEST_F(Localize, FileFallbacksWithPrefix) {
    CTempFolder folder(L"fallback");
    WriteLngFile(folder.File(L"Pre_German.lng"), {{4001, L"Deutsch"}});
    WriteLngFile(folder.File(L"Pre_English.lng"), {{4004, L"English file"}});
    WriteLngFile(folder.File(L"Pre_Neutral.lng"), {{4005, L"Neutral file"}});
    WriteLngFile(folder.File(L"German.lng"), {{4001, L"without prefix"}});
    CRecordingLocalize localize(MakeSetup(folder, 0x0407));
    localize.SetSource(QVLOC_MODE_FILES, L"Pre_");
    EXPECT_EQ(L"Deutsch", localize.GetString(4001));
    EXPECT_EQ(L"English file", localize.GetString(4004));
    EXPECT_EQ(L"Neutral file", localize.GetString(4005));
    EXPECT_EQ(L"", localize.GetString(4007));  // mode 0 never reads the resources
    ASSERT_EQ(2u, localize.reports.size());
    EXPECT_EQ(L"German", localize.reports[1].first);
}

TEST_F(Localize, SourceRefusesUnknownModeAndCutsPrefix) {
    CTempFolder folder(L"source");
    CQVLocalizeBase localize(MakeSetup(folder, 0x0809));
    localize.SetSource(7, L"x");
    EXPECT_EQ(QVLOC_MODE_FILES_FIRST, localize.GetSourceMode());
    EXPECT_STREQ(L"", localize.GetPrefix());
    localize.SetSource(QVLOC_MODE_FILES, L"0123456789012345678901234567890123456789");
    EXPECT_EQ(31u, std::wcslen(localize.GetPrefix()));
}

TEST_F(Localize, NonLatinTextsRoundTripThroughTheProfileFunctions) {
    // The shipped encoding: UTF-16LE with byte-order mark. Texts written by the
    // profile functions into such a file read back unchanged.
    CTempFolder folder(L"scripts");
    std::wstring path = folder.File(L"Russian.lng");
    WriteLngFile(path, {});
    const wchar_t* russian = L"\x0420\x0443\x0441\x0441\x043A\x0438\x0439 \x0442\x0435\x043A\x0441\x0442";
    const wchar_t* greek = L"\x0395\x03BB\x03BB\x03B7\x03BD\x03B9\x03BA\x03AC";
    const wchar_t* chinese = L"\x4E2D\x6587\x7B80\x4F53\x5B57";
    ASSERT_TRUE(WritePrivateProfileStringW(L"Strings", L"4001", russian, path.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringW(L"Strings", L"4004", greek, path.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringW(L"Strings", L"4005", chinese, path.c_str()));
    CQVLocalizeBase localize(MakeSetup(folder, 0x0419));
    ASSERT_EQ(0x0419, localize.GetLanguage());
    EXPECT_EQ(russian, localize.GetString(4001));
    EXPECT_EQ(greek, localize.GetString(4004));
    EXPECT_EQ(chinese, localize.GetString(4005));
    std::ifstream in(path.c_str(), std::ios::binary);
    char bom[2] = {};
    in.read(bom, 2);
    EXPECT_EQ('\xFF', bom[0]);
    EXPECT_EQ('\xFE', bom[1]);
}

TEST_F(Localize, ShippedEnglishFileReadsAsTheCatalogue) {
    tagQVLOCALIZE_SETUP setup;
    std::wstring source = loctest::SourceLanguageFolder();
    setup.pszFolder = source.c_str();
    setup.wUiLanguage = 0x0809;
    setup.hClassesRoot = nullptr;
    CQVLocalizeBase localize(setup);
    localize.SetLanguage(0x0809);
    localize.SetSource(QVLOC_MODE_FILES, nullptr);
    std::size_t count = 0;
    const tagSTRINGCATALOGUE_ENTRY* entries = GetStringCatalogue(&count);
    for (std::size_t i = 0; i < count; ++i) {
        if (entries[i].fFlags & STRINGCAT_RESOURCE_ONLY)
            continue;
        // Each escape reads as a blank followed by the character.
        std::wstring expected;
        for (const wchar_t* p = entries[i].pszEnglishUk; *p; ++p) {
            if (*p == L'\n' || *p == L'\t' || *p == L'\\')
                expected += L' ';
            expected += *p;
        }
        EXPECT_EQ(expected, localize.GetString(entries[i].nId)) << "id " << entries[i].nId;
    }
}

TEST_F(Localize, FormatStringRefusesTranslationWithOtherArguments) {
    CTempFolder folder(L"format");
    WriteLngFile(folder.File(L"German.lng"), {{4009, L"Datei %d gesperrt"}, {4003, L"Ger\x00E4t %s belegt"}});
    CQVLocalizeBase localize(MakeSetup(folder, 0x0407));
    std::wstring text = localize.FormatString(4009, L"C:\\x.usr");
    EXPECT_NE(std::wstring::npos, text.find(L"C:\\x.usr")) << text;
    EXPECT_EQ(0u, text.find(L"The file")) << text;
    EXPECT_EQ(L"Ger\x00E4t MIDI 1 belegt", localize.FormatString(4003, L"MIDI 1"));
}

TEST_F(Localize, AvailableLanguagesInTableOrder) {
    CTempFolder folder(L"listing");
    WriteLngFile(folder.File(L"Russian.lng"), {});
    WriteLngFile(folder.File(L"German.lng"), {});
    CQVLocalizeBase localize(MakeSetup(folder, 0x0809));
    // German and Russian by their files, both English by the program's resources.
    ASSERT_EQ(4, localize.GetAvailableLanguageCount());
    const LANGID expected[] = {0x0407, 0x0809, 0x0409, 0x0419};
    for (int i = 0; i < 4; ++i) {
        LANGID language = 0;
        wchar_t name[64];
        EXPECT_TRUE(localize.GetAvailableLanguage(i, &language, name, 64, TRUE));
        EXPECT_EQ(expected[i], language);
    }
    EXPECT_EQ(QVLOC_AVAIL_FILE, localize.GetAvailability(3));
    EXPECT_EQ(QVLOC_AVAIL_RESOURCE, localize.GetAvailability(5));
    wchar_t name[64];
    LANGID language = 1;
    localize.GetAvailableLanguage(0, &language, name, 64, TRUE);
    EXPECT_STREQ(L"Deutsch (Deutschland)", name);
    localize.GetAvailableLanguage(1, &language, name, 64, FALSE);
    EXPECT_STREQ(L"English (United Kingdom)", name);
    EXPECT_FALSE(localize.GetAvailableLanguage(4, &language, name, 64, TRUE));
    EXPECT_STREQ(L"???", name);
}

TEST_F(Localize, CLocaleFollowsTheLanguageIncludingShortenedNames) {
    CTempFolder folder(L"clocale");
    CQVLocalizeBase localize(MakeSetup(folder, 0x0809));
    const struct {
        LANGID language;
        const wchar_t* part;
    } cases[] = {{0x0426, L"Latvian"}, {0x0404, L"Traditional"}, {0x0804, L"Simplified"},
                 {0x0419, L"Russian"}, {0x0809, L"English"}};
    for (const auto& c : cases) {
        _wsetlocale(LC_ALL, L"C");
        localize.SetLanguage(c.language);
        const wchar_t* name = _wsetlocale(LC_ALL, nullptr);
        ASSERT_NE(nullptr, name);
        EXPECT_NE(nullptr, std::wcsstr(name, c.part)) << name;
    }
}

class FileAssociation : public ::testing::Test {
protected:
    void SetUp() override {
        std::swprintf(m_path, 96, L"Software\\KanzoTest\\Classes_%lu", GetCurrentProcessId());
        RegDeleteTreeW(HKEY_CURRENT_USER, m_path);
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, m_path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                                 m_root.Put(), nullptr));
    }
    void TearDown() override {
        m_root.Close();
        RegDeleteTreeW(HKEY_CURRENT_USER, m_path);
    }
    std::wstring Default(const wchar_t* path, DWORD* type = nullptr) {
        wchar_t text[128] = {};
        DWORD size = sizeof(text) - sizeof(wchar_t);
        DWORD stored = 0;
        CQVRegKey key;
        if (RegOpenKeyExW(m_root.Get(), path, 0, KEY_READ, key.Put()) != ERROR_SUCCESS ||
            RegQueryValueExW(key.Get(), nullptr, nullptr, &stored, reinterpret_cast<BYTE*>(text), &size) !=
                ERROR_SUCCESS)
            return L"<none>";
        if (type)
            *type = stored;
        return text;
    }
    wchar_t m_path[96] = {};
    CQVRegKey m_root;
};

TEST_F(FileAssociation, RegisteredWhenMissing) {
    CQVLocalizeBase::RegisterFileAssociation(m_root.Get());
    EXPECT_EQ(L"Vemtra.Language file", Default(L".lng"));
    EXPECT_EQ(L"Vemtra Language Support", Default(L"Vemtra.Language file"));
    EXPECT_EQ(L"notepad.exe %1", Default(L"Vemtra.Language file\\Shell\\Open\\Command"));
    DWORD type = 0;
    EXPECT_EQ(L"\"%systemroot%\\notepad.exe\",0", Default(L"Vemtra.Language file\\DefaultIcon", &type));
    EXPECT_EQ(static_cast<DWORD>(REG_EXPAND_SZ), type);
}

TEST_F(FileAssociation, ExistingKeyIsLeftAlone) {
    CQVRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(m_root.Get(), L".lng", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Put(),
                                             nullptr));
    const wchar_t mine[] = L"My.Editor";
    RegSetValueExW(key.Get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(mine), sizeof(mine));
    tagQVLOCALIZE_SETUP setup;
    setup.hClassesRoot = m_root.Get();
    CQVLocalizeBase localize(setup);
    EXPECT_EQ(L"My.Editor", Default(L".lng"));
    EXPECT_EQ(L"<none>", Default(L"Vemtra.Language file"));
}

}  // namespace
