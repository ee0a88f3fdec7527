// The text of one trace line, as the Windows facility and the native stand-in
// both build it. Runs in every build: under Wine it also checks the prefix
// through the Windows C runtime's printf.
#include "support/QVDebugFormat.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

TEST(TraceLevelTag, FourCharactersPerLevelAndBlanksForTheRest) {
    const wchar_t* const expected[] = {L"    ", L"MSG ", L"ERR ", L"WRN ", L"USR ", L"    ", L"I_O ", L"    ", L"    "};
    for (int level = 0; level <= 8; ++level)
        EXPECT_STREQ(expected[level], QVLevelTag(level)) << "level " << level;
    EXPECT_STREQ(L"    ", QVLevelTag(-1));
}

TEST(TraceAssembleLine, PrefixTagIndentationMarkerTextAndTheCutAt511) {
    wchar_t line[QVLINE_UNITS];
    QVAssembleLine(line, QVLINE_UNITS, L"9:05:07.042 0x???: ", QVL_IO, L"||", QVMARK_ENTER, L"Init()\n");
    EXPECT_STREQ(L"9:05:07.042 0x???: I_O ||\\ Init()\n", line);
    QVAssembleLine(line, QVLINE_UNITS, L"", QVL_WRN, L"|", QVMARK_LEAVE, L"done\n");
    EXPECT_STREQ(L"WRN |/ done\n", line);
    QVAssembleLine(line, QVLINE_UNITS, L"", QVL_INFO, L"", QVMARK_TEXT, L"plain\n");
    EXPECT_STREQ(L"     plain\n", line);
    QVAssembleLine(line, QVLINE_UNITS, L"", QVL_INFO, L"|", QVMARK_NONE, L"Main [0x00000010] WM_CLOSE\n");
    EXPECT_STREQ(L"    |Main [0x00000010] WM_CLOSE\n", line);

    const std::wstring prefix = L"9:05:07.042 0x???: ";
    QVAssembleLine(line, QVLINE_UNITS, prefix.c_str(), QVL_MSG, L"|", QVMARK_TEXT, std::wstring(600, L'x').c_str());
    EXPECT_EQ(prefix + L"MSG | " + std::wstring(QVDEBUG_MAX_LINE - prefix.size() - 6, L'x'), line);
    // Deep indentation alone fills the line: the marker and text fall off.
    const std::wstring bars(QVINDENT_UNITS - 1, L'|');
    QVAssembleLine(line, QVLINE_UNITS, L"", QVL_IO, bars.c_str(), QVMARK_ENTER, L"lost\n");
    EXPECT_EQ(L"I_O " + std::wstring(QVDEBUG_MAX_LINE - 4, L'|'), line);

    wchar_t shortLine[8];
    QVAssembleLine(shortLine, 8, L"", QVL_ERR, L"||", QVMARK_ENTER, L"text");
    EXPECT_STREQ(L"ERR ||\\", shortLine);
}

TEST(TraceIndent, OneBarPerScopeWhileThereIsRoomAndNothingBelowDepthZero) {
    wchar_t indent[QVINDENT_UNITS] = L"";
    for (int i = 0; i < 600; ++i)
        QVIndentEnter(indent, QVINDENT_UNITS);
    EXPECT_EQ(std::wstring(QVINDENT_UNITS - 1, L'|'), indent);

    wchar_t small[4] = L"";
    QVIndentEnter(small, 4);
    QVIndentEnter(small, 4);
    EXPECT_STREQ(L"||", small);
    QVIndentEnter(small, 4);
    QVIndentEnter(small, 4);
    EXPECT_STREQ(L"|||", small);
    for (int i = 0; i < 3; ++i)
        QVIndentLeave(small, 4);
    EXPECT_STREQ(L"", small);
    QVIndentLeave(small, 4);
    EXPECT_STREQ(L"", small);
    QVIndentEnter(small, 4);
    EXPECT_STREQ(L"|", small);
}

TEST(TraceLinePrefix, ThreeStylesAndBlankMemoryColumns) {
    tagQVLINESTAMP stamp = {L"9:05:07.042", 5120, 12, 0x1C, 0x2A4};
    wchar_t prefix[QVLINE_UNITS];
    QVFormatLinePrefix(prefix, QVLINE_UNITS, 1, stamp);
    EXPECT_STREQ(L"", prefix);
    QVFormatLinePrefix(prefix, QVLINE_UNITS, 2, stamp);
    EXPECT_STREQ(L"9:05:07.042 0x???: ", prefix);
    QVFormatLinePrefix(prefix, QVLINE_UNITS, 3, stamp);
    EXPECT_STREQ(L"9:05:07.042    5120K(      +12) 001C-02A4: ", prefix);
    stamp.nDifferenceKB = -4096;
    QVFormatLinePrefix(prefix, QVLINE_UNITS, 7, stamp);
    EXPECT_STREQ(L"9:05:07.042    5120K(    -4096) 001C-02A4: ", prefix);
    stamp.nDifferenceKB = 0;
    QVFormatLinePrefix(prefix, QVLINE_UNITS, 3, stamp);
    EXPECT_EQ(L"9:05:07.042" + std::wstring(21, L' ') + L"001C-02A4: ", std::wstring(prefix));

    wchar_t cut[13];
    QVFormatLinePrefix(cut, 13, 2, stamp);
    EXPECT_STREQ(L"9:05:07.042 ", cut);
}

TEST(TraceResultText, OutcomeOfTheCodeAfterTheTextCutTo127) {
    wchar_t text[QVLINE_UNITS];
    EXPECT_FALSE(QVFormatResult(text, QVLINE_UNITS, L"Open\n", 0));
    EXPECT_STREQ(L"Open -> S_OK\n", text);
    EXPECT_FALSE(QVFormatResult(text, QVLINE_UNITS, L"Query\r\n", 1));
    EXPECT_STREQ(L"Query -> S_FALSE\n", text);
    // A failed code given as unsigned 32 bits is negative on every build.
    EXPECT_TRUE(QVFormatResult(text, QVLINE_UNITS, L"Start", static_cast<long>(0x80004005u)));
    EXPECT_STREQ(L"Start -> FAILED\n", text);
    EXPECT_TRUE(QVFormatResult(text, QVLINE_UNITS, L"Read", 2));
    EXPECT_STREQ(L"Read\n", text);
    EXPECT_FALSE(QVFormatResult(text, QVLINE_UNITS, std::wstring(200, L'a').c_str(), 0));
    EXPECT_EQ(std::wstring(127, L'a') + L" -> S_OK\n", text);
    EXPECT_FALSE(QVFormatResult(text, QVLINE_UNITS, nullptr, 0));
    EXPECT_STREQ(L" -> S_OK\n", text);
}

}  // namespace
