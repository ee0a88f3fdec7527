// Pure rules of the localization and of registry reads: language table and
// start language, C locale names, the language-file escapes, printf
// conversions, accelerator texts, and the checks of raw registry data.

#include "support/QVLocalizeTable.h"
#include "support/QVLocalizeText.h"
#include "support/QVRegistryValue.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct Availability {
    unsigned rows[QVLOC_LANGUAGE_COUNT] = {};
    Availability& With(QVLangId id, unsigned bits = QVLOC_AVAIL_FILE) {
        rows[QVLocFindRow(id)] = bits;
        return *this;
    }
};

TEST(LanguageTable, RowsInFixedOrder) {
    const tagQVLANGUAGE* table = QVLocLanguageTable();
    EXPECT_EQ(0x0000, table[0].wLangId);
    EXPECT_STREQ(L"Neutral.lng", table[0].pszFile);
    EXPECT_EQ(0x0407, table[3].wLangId);
    EXPECT_EQ(0x0809, table[5].wLangId);
    EXPECT_STREQ(L"English_US.lng", table[6].pszFile);
    EXPECT_STREQ(L"ChinTrad.lng", table[27].pszFile);
    EXPECT_STREQ(L"Belarus.lng", table[35].pszFile);
    EXPECT_EQ(0x0412, table[36].wLangId);
    for (int row = 0; row < QVLOC_LANGUAGE_COUNT; ++row)
        EXPECT_EQ(row, QVLocFindRow(table[row].wLangId)) << "duplicate LANGID in row " << row;
}

TEST(LanguageTable, FileByExactThenPrimaryLanguageElseEnglish) {
    EXPECT_STREQ(L"German.lng", QVLocFileForLanguage(0x0C07));      // Austria
    EXPECT_STREQ(L"English.lng", QVLocFileForLanguage(0x1009));     // Canada: first English row
    EXPECT_STREQ(L"English_US.lng", QVLocFileForLanguage(0x0409));
    EXPECT_STREQ(L"Portuguese.lng", QVLocFileForLanguage(0x0416));  // Brazil
    EXPECT_STREQ(L"Chinese.lng", QVLocFileForLanguage(0x1004));     // Singapore: first Chinese row
    EXPECT_STREQ(L"English.lng", QVLocFileForLanguage(0x041E));     // Thai has no row
}

TEST(LanguageTable, NameWithoutExtensionOrUnknown) {
    wchar_t name[32];
    QVLocLanguageName(0x0C07, name, 32);
    EXPECT_STREQ(L"German", name);
    QVLocLanguageName(0x041E, name, 32);
    EXPECT_STREQ(L"UNKNOWN", name);
    QVLocLanguageName(0x0409, name, 4);
    EXPECT_STREQ(L"Eng", name);
}

TEST(StartLanguage, AustrianGermanSelectsGermanyRow) {
    EXPECT_EQ(0x0407, QVLocChooseStartLanguage(0x0C07, Availability().With(0x0407).rows));
}

TEST(StartLanguage, CanadianEnglishWithoutUkSelectsUs) {
    EXPECT_EQ(0x0409, QVLocChooseStartLanguage(0x1009, Availability().With(0x0409, QVLOC_AVAIL_RESOURCE).rows));
}

TEST(StartLanguage, CanadianEnglishPrefersUkWhenAvailable) {
    EXPECT_EQ(0x0809, QVLocChooseStartLanguage(0x1009, Availability().With(0x0409).With(0x0809).rows));
}

TEST(StartLanguage, UsEnglishWithOnlyUkAvailableSelectsUk) {
    EXPECT_EQ(0x0809, QVLocChooseStartLanguage(0x0409, Availability().With(0x0809).rows));
}

TEST(StartLanguage, AvailableExactLanguageWins) {
    EXPECT_EQ(0x0419, QVLocChooseStartLanguage(0x0419, Availability().With(0x0419).With(0x0809).rows));
}

TEST(StartLanguage, UnavailableLanguageWithoutPreferenceStays) {
    // Russian without its file: nothing replaces it, the texts come from the fallbacks.
    EXPECT_EQ(0x0419, QVLocChooseStartLanguage(0x0419, Availability().With(0x0809).rows));
    // A language without a row is kept as it is.
    EXPECT_EQ(0x041E, QVLocChooseStartLanguage(0x041E, Availability().With(0x0809).rows));
}

TEST(StartLanguage, PreferredRowOnlyWhenAvailable) {
    // Brazilian Portuguese maps to the Portugal row; unavailable, it stays on that row.
    EXPECT_EQ(0x0816, QVLocChooseStartLanguage(0x0416, Availability().With(0x0809).rows));
    EXPECT_EQ(0x0816, QVLocChooseStartLanguage(0x0416, Availability().With(0x0816).rows));
    // Swiss French goes to the France row.
    EXPECT_EQ(0x040C, QVLocChooseStartLanguage(0x100C, Availability().With(0x040C).rows));
}

TEST(CLocaleName, ByPrimaryLanguage) {
    EXPECT_STREQ("german", QVLocCLocaleName(0x0C07));
    EXPECT_STREQ("chinese-traditional_taiwan.950", QVLocCLocaleName(0x0404));
    EXPECT_STREQ("chinese-simplified_pr-china.936", QVLocCLocaleName(0x0804));
    EXPECT_STREQ("chinese-simplified_pr-china.936", QVLocCLocaleName(0x0C04));
    EXPECT_STREQ("latvian ", QVLocCLocaleName(0x0426));
    EXPECT_STREQ("belarusian", QVLocCLocaleName(0x0423));
    EXPECT_STREQ("english", QVLocCLocaleName(0x0809));
    EXPECT_STREQ("english", QVLocCLocaleName(0x041E));
}

std::wstring Unescaped(const wchar_t* text) {
    std::wstring copy(text);
    QVLocUnescapeInPlace(&copy[0]);
    return copy;
}

TEST(LanguageFileEscapes, KeepTheTextLength) {
    EXPECT_EQ(std::wstring(L"a \nb"), Unescaped(L"a\\nb"));
    EXPECT_EQ(std::wstring(L"x \ty"), Unescaped(L"x\\ty"));
    EXPECT_EQ(std::wstring(L"c: \\dir"), Unescaped(L"c:\\\\dir"));
}

TEST(LanguageFileEscapes, ProducedBackslashStartsNoEscape) {
    // "\\n" is an escaped backslash followed by the letter n.
    EXPECT_EQ(std::wstring(L" \\n"), Unescaped(L"\\\\n"));
    EXPECT_EQ(std::wstring(L"a\\qb\\"), Unescaped(L"a\\qb\\"));
}

TEST(FormatConversions, ReducedToTheArgumentsTheyTake) {
    using V = std::vector<std::wstring>;
    EXPECT_EQ((V{L"s", L"d"}), QVLocFormatConversions(L"%-20s: %05d %%"));
    EXPECT_EQ((V{L"*", L"ls"}), QVLocFormatConversions(L"%*ls"));
    EXPECT_EQ((V{L"d"}), QVLocFormatConversions(L"%+02d %%"));
    EXPECT_EQ((V{L"I64u"}), QVLocFormatConversions(L"%I64u"));
    EXPECT_TRUE(QVLocFormatConversions(L"100%% sure").empty());
}

TEST(FormatConversions, SameArgumentsOrderMatters) {
    EXPECT_TRUE(QVLocSameConversions(L"Die Datei\\n\\n%s\\n\\nist schreibgesch\u00fctzt.", L"The file\\n\\n%s\\n\\nis"));
    EXPECT_TRUE(QVLocSameConversions(L"%10s", L"%s"));  // a width takes no argument
    EXPECT_FALSE(QVLocSameConversions(L"Datei", L"The file %s"));
    EXPECT_FALSE(QVLocSameConversions(L"%d %s", L"%s %d"));
    EXPECT_FALSE(QVLocSameConversions(L"%s %s", L"%s"));
    EXPECT_FALSE(QVLocSameConversions(L"%S", L"%s"));
    EXPECT_FALSE(QVLocSameConversions(L"%q", L"%s"));
    EXPECT_FALSE(QVLocSameConversions(L"50%", L"50"));  // a lone % at the end is broken
}

TEST(MenuAccelerator, MnemonicOnTheKeyLetter) {
    EXPECT_EQ(L"&Copy\tCtrl+C", QVLocMenuTextWithAccelerator(L"Copy", L"Ctrl", L"C"));
    EXPECT_EQ(L"R&un\tAlt+U", QVLocMenuTextWithAccelerator(L"Run", L"Alt", L"U"));
    EXPECT_EQ(L"&Kopieren\tStrg+C", QVLocMenuTextWithAccelerator(L"Kopieren", L"Strg", L"C"));
}

TEST(MenuAccelerator, NamedKeyPutsMnemonicAtTheStart) {
    EXPECT_EQ(L"&Delete\tDel", QVLocMenuTextWithAccelerator(L"Delete", nullptr, L"Del"));
    EXPECT_EQ(L"&Edit\tReturn", QVLocMenuTextWithAccelerator(L"Edit", L"", L"Return"));
}

TEST(MenuAccelerator, OwnMnemonicReplacedDoubledAmpersandKept) {
    EXPECT_EQ(L"&Copy\tCtrl+C", QVLocMenuTextWithAccelerator(L"Co&py", L"Ctrl", L"C"));
    EXPECT_EQ(L"R && &D\tD", QVLocMenuTextWithAccelerator(L"R && D", nullptr, L"D"));
}

TEST(Prompt, ToolTipPartAfterFirstLineFeed) {
    EXPECT_STREQ(L"Exit", QVLocToolTipPart(L"Quit the program\nExit"));
    EXPECT_STREQ(L"b\nc", QVLocToolTipPart(L"a\nb\nc"));
    EXPECT_STREQ(L"single", QVLocToolTipPart(L"single"));
}

TEST(BoundedCopy, CutsAndTerminates) {
    wchar_t buffer[4] = {L'x', L'x', L'x', L'x'};
    QVLocCopyBounded(buffer, 4, L"abcdef");
    EXPECT_STREQ(L"abc", buffer);
    QVLocCopyBounded(buffer, 0, L"z");  // no room: untouched
    EXPECT_STREQ(L"abc", buffer);
}

// Raw registry data as another program may have stored it.
std::string Utf16(const wchar_t* text, bool terminator) {
    std::string bytes;
    for (const wchar_t* p = text; *p; ++p) {
        bytes += static_cast<char>(*p & 0xFF);
        bytes += static_cast<char>((*p >> 8) & 0xFF);
    }
    if (terminator)
        bytes.append(2, '\0');
    return bytes;
}

TEST(RegistryText, FitsWithTerminator) {
    std::string data = Utf16(L"abc", true);
    wchar_t buffer[4] = {};
    EXPECT_EQ(1, QVRegCopyText(QVREG_SZ, data.data(), data.size(), buffer, 4));
    EXPECT_STREQ(L"abc", buffer);
}

TEST(RegistryText, TooLongLeavesBufferUnchanged) {
    std::string data = Utf16(L"abcd", true);
    wchar_t buffer[4] = {L'k', L'e', L'e', L'\0'};
    EXPECT_EQ(0, QVRegCopyText(QVREG_SZ, data.data(), data.size(), buffer, 4));
    EXPECT_STREQ(L"kee", buffer);
}

TEST(RegistryText, StoredWithoutTerminatorStillTerminated) {
    std::string data = Utf16(L"abc", false);
    wchar_t buffer[4];
    std::wmemset(buffer, L'#', 4);
    EXPECT_EQ(1, QVRegCopyText(QVREG_EXPAND_SZ, data.data(), data.size(), buffer, 4));
    EXPECT_STREQ(L"abc", buffer);
    // Exactly the buffer's length without terminator: no room for one.
    std::string four = Utf16(L"abcd", false);
    EXPECT_EQ(0, QVRegCopyText(QVREG_SZ, four.data(), four.size(), buffer, 4));
}

TEST(RegistryText, OddByteAndEmbeddedTerminator) {
    std::string data = Utf16(L"ab", false) + "c";  // odd trailing byte is ignored
    wchar_t buffer[8];
    EXPECT_EQ(1, QVRegCopyText(QVREG_SZ, data.data(), data.size(), buffer, 8));
    EXPECT_STREQ(L"ab", buffer);
    std::string two = Utf16(L"x", true) + Utf16(L"yyyyyyyyyy", true);
    EXPECT_EQ(1, QVRegCopyText(QVREG_SZ, two.data(), two.size(), buffer, 2));
    EXPECT_STREQ(L"x", buffer);
    EXPECT_EQ(1, QVRegCopyText(QVREG_SZ, nullptr, 0, buffer, 2));
    EXPECT_STREQ(L"", buffer);
}

TEST(RegistryText, OtherTypesFail) {
    unsigned char dword[4] = {1, 0, 0, 0};
    wchar_t buffer[8] = L"keep";
    EXPECT_EQ(0, QVRegCopyText(QVREG_DWORD, dword, 4, buffer, 8));
    EXPECT_EQ(0, QVRegCopyText(QVREG_BINARY, dword, 4, buffer, 8));
    EXPECT_EQ(0, QVRegCopyText(7 /* REG_MULTI_SZ */, dword, 4, buffer, 8));
    EXPECT_STREQ(L"keep", buffer);
}

TEST(RegistryDword, OnlyFourByteNumbers) {
    unsigned char bytes[8] = {0x78, 0x56, 0x34, 0x12, 0, 0, 0, 0};
    std::uint32_t value = 7;
    EXPECT_EQ(1, QVRegReadDword(QVREG_DWORD, bytes, 4, &value));
    EXPECT_EQ(0x12345678u, value);
    EXPECT_EQ(1, QVRegReadDword(QVREG_BINARY, bytes, 4, &value));
    value = 7;
    std::string text = Utf16(L"1", true);  // four bytes, but a text
    EXPECT_EQ(0, QVRegReadDword(QVREG_SZ, text.data(), text.size(), &value));
    EXPECT_EQ(0, QVRegReadDword(QVREG_BINARY, bytes, 8, &value));
    EXPECT_EQ(0, QVRegReadDword(QVREG_DWORD, bytes, 2, &value));
    EXPECT_EQ(7u, value);
}

}  // namespace
