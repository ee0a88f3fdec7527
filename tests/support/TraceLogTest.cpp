// The trace log's lines as they reach a log file: prefixes, tags, indentation,
// the filter and every output operation.
#include "support/QVDebug.h"
#include "support/QVDebugWin.h"
#include "tests/support/TraceLineScenario.h"
#include "tests/support/TraceTestUtil.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <regex>
#include <thread>

using namespace tracetest;

namespace {

class TraceLog : public ::testing::Test {
protected:
    void SetUp() override {
        m_path = CurrentTestLogPath();
        DeleteFileW(m_path.c_str());
    }
    void TearDown() override {
        DetachCurrentThread();
        DeleteFileW(m_path.c_str());
    }
    // Attaches with the log file only; later lines are read by NewLines.
    void Attach(int level, unsigned contexts, int details) {
        ASSERT_EQ(1, TraceInitEx(QVOUT_FILE, m_path.c_str(), 0, level, contexts));
        ASSERT_EQ(1, TraceSetDetails(details));
        m_seen = ReadLines(m_path).size();
    }
    std::vector<std::wstring> NewLines() {
        std::vector<std::wstring> lines = ReadLines(m_path);
        lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(std::min(m_seen, lines.size())));
        m_seen += lines.size();
        return lines;
    }

    std::wstring m_path;
    std::size_t m_seen = 0;
};

TEST_F(TraceLog, BannerOfTheFirstAttachment) {
    ASSERT_EQ(1, TraceInitEx(QVOUT_FILE, m_path.c_str(), 0, 5, 0x14));
    const std::vector<std::wstring> lines = ReadLines(m_path);
    ASSERT_EQ(7u, lines.size());
    std::vector<std::wstring> texts;
    for (const std::wstring& line : lines)
        texts.push_back(AfterPrefix(line));
    EXPECT_EQ(L"MSG  --- QVDEBUG -----------------------------------------------", texts[0]);
    EXPECT_TRUE(std::regex_match(texts[1], std::wregex(LR"(MSG  Build time    = \w{3} [ \d]\d \d{4}, \d\d:\d\d:\d\d )"
                                                       LR"(\(last rebuild of QVDEBUG\))")))
        << texts[1];
    EXPECT_TRUE(std::regex_match(texts[2], std::wregex(LR"(MSG  Run time      = \d\d/\d\d/\d\d, \d\d:\d\d:\d\d)")))
        << texts[2];
    EXPECT_EQ(L"MSG  Logfile       = " + m_path + L"    ", texts[3]);
    EXPECT_EQ(L"MSG  Debug level   = 5    ", texts[4]);
    EXPECT_EQ(L"MSG  Context flags = 0x00000014", texts[5]);
    EXPECT_EQ(L"MSG  " + std::wstring(59, L'-'), texts[6]);
}

TEST_F(TraceLog, DetailsOneIsTagAndTextOnly) {
    Attach(7, QVC_ALL, 1);
    TracePrint(QVL_ERR, QVC_ALL, L"plain %d\n", 5);
    TracePrint(QVL_INFO, QVC_ALL, L"info\n");
    TracePrint(QVL_DETAIL, QVC_ALL, L"detail\n");
    TracePrint(QVL_MSG, QVC_ALL, L"first\nsecond\n");
    EXPECT_EQ((std::vector<std::wstring>{L"ERR  plain 5", L"     info", L"     detail", L"MSG  first", L"second"}),
              NewLines());
}

TEST_F(TraceLog, DetailsTwoShowsTheTimeOnly) {
    Attach(7, QVC_ALL, 2);
    TracePrint(QVL_WRN, QVC_ALL, L"warned\n");
    const std::vector<std::wstring> lines = NewLines();
    ASSERT_EQ(1u, lines.size());
    EXPECT_TRUE(std::regex_match(lines[0], std::wregex(LR"(\d{1,2}:\d\d:\d\d\.\d{3} 0x\?\?\?: WRN  warned)"))) << lines[0];
}

TEST_F(TraceLog, DetailsThreeShowsTimeMemoryAndIds) {
    Attach(7, QVC_ALL, 3);
    for (int i = 0; i < 3; ++i)
        TracePrint(QVL_USR, QVC_ALL, L"user\n");
    const std::wstring ids = Hex(GetCurrentProcessId(), 4) + L"-" + Hex(GetCurrentThreadId(), 4);
    // Memory as "%7dK(%+9d)", or 20 blanks when it did not change.
    const std::wregex format(LR"((\d{1,2}):(\d\d):(\d\d)\.(\d{3})( [ \d]{6}\dK\( *[+-]\d+\)| {20}) )" + ids +
                             LR"(: USR  user)");
    for (const std::wstring& line : NewLines()) {
        std::wsmatch match;
        ASSERT_TRUE(std::regex_match(line, match, format)) << line;
        EXPECT_LT(std::stoi(match[1].str()), 24);
        EXPECT_EQ(20u, match[5].length());
    }
}

// The same calls and lines as the native stand-in's test: the two builds
// share one line format.
TEST_F(TraceLog, EnterAndLeaveIndentWithOneBarPerLevel) {
    Attach(7, QVC_ALL, 1);
    tracescenario::WriteScopesAndTags();
    std::wstring expected;
    for (const std::wstring& line : tracescenario::ScopesAndTagsLines())
        expected += line;
    // The file ends each line with CR LF; the last one was cut before its break.
    std::wstring written;
    for (const std::wstring& line : NewLines())
        written += (written.empty() ? L"" : L"\n") + line;
    EXPECT_EQ(expected, written);
}

TEST_F(TraceLog, ScopeTimesItsFunctionAndStaysInactiveWhenFiltered) {
    Attach(6, QVC_DEVICE, 1);
    {
        CQVTraceScope scope(QVL_IO, QVC_DEVICE, L"CSrcHid::Init", L"index=1");
        TracePrint(QVL_INFO, QVC_DEVICE, L"inside\n");
        CQVTraceScope filtered(QVL_DETAIL, QVC_DEVICE, L"CSrcHid::Poll");
        TraceSetVerboseLevel(QVL_DETAIL);  // too late: the scope decided at construction
    }
    const std::vector<std::wstring> lines = NewLines();
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ(L"I_O \\ CSrcHid::Init(index=1)", lines[0]);
    EXPECT_EQ(L"    | inside", lines[1]);
    EXPECT_TRUE(std::regex_match(lines[2], std::wregex(LR"(I_O / CSrcHid::Init\(\) \(\d+\.\d{3} sec\))"))) << lines[2];
}

TEST_F(TraceLog, FilterByLevelContextsAndDetails) {
    Attach(QVL_WRN, QVC_DEVICE | QVC_COMMAND, 1);
    TracePrint(QVL_WRN, QVC_DEVICE, L"level equal\n");
    TracePrint(QVL_USR, QVC_DEVICE, L"level above\n");
    TracePrint(0, QVC_COMMAND, L"level zero\n");
    TracePrint(0, 0, L"mask zero\n");
    TracePrint(QVL_MSG, QVC_KEYNAMES, L"other context\n");
    TracePrint(QVL_MSG, QVC_ALL, L"all contexts\n");
    EXPECT_TRUE(TracePasses(0, QVC_DEVICE));
    EXPECT_FALSE(TracePasses(0, 0));
    EXPECT_FALSE(TracePasses(QVL_USR, QVC_ALL));
    TraceSetDetails(0);
    EXPECT_FALSE(TracePasses(QVL_MSG, QVC_ALL));
    TracePrint(QVL_MSG, QVC_ALL, L"details zero\n");
    EXPECT_EQ((std::vector<std::wstring>{L"WRN  level equal", L"     level zero", L"MSG  all contexts"}), NewLines());
}

TEST_F(TraceLog, NoOutputFlagsWritesNothing) {
    ASSERT_EQ(1, TraceInitEx(0, m_path.c_str(), 0, 7, QVC_ALL));
    TracePrint(QVL_MSG, QVC_ALL, L"nowhere\n");
    EXPECT_FALSE(TracePasses(QVL_MSG, QVC_ALL));
    EXPECT_FALSE(FileExists(m_path));
}

TEST_F(TraceLog, WideStringsWithSAndLsAndCutAt511) {
    Attach(7, QVC_ALL, 1);
    TracePrint(QVL_MSG, QVC_ALL, L"%s and %ls %d\n", L"wide", L"also wide", 3);
    const std::wstring longText(600, L'x');
    TracePrint(QVL_MSG, QVC_ALL, L"%s", longText.c_str());
    const std::vector<std::wstring> lines = NewLines();
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(L"MSG  wide and also wide 3", lines[0]);
    EXPECT_EQ(L"MSG  " + std::wstring(QVDEBUG_MAX_LINE - 5, L'x'), lines[1]);
}

TEST_F(TraceLog, ThreadThatNeverAttachedWritesNothing) {
    Attach(7, QVC_ALL, 1);
    bool passed = true;
    int level = -1;
    std::thread other([&] {
        TracePrint(QVL_MSG, QVC_ALL, L"from a stranger\n");
        passed = TracePasses(QVL_MSG, QVC_ALL);
        level = TraceGetVerboseLevel();
    });
    other.join();
    TracePrint(QVL_MSG, QVC_ALL, L"from the owner\n");
    EXPECT_FALSE(passed);
    EXPECT_EQ(0, level);
    EXPECT_EQ(std::vector<std::wstring>{L"MSG  from the owner"}, NewLines());
}

TEST_F(TraceLog, ResultOfSuccessFalseFailureAndPositiveCodes) {
    Attach(7, QVC_ALL, 1);
    TraceResult(QVL_ERR, QVC_ALL, L"Open\n", 0);
    TraceResult(QVL_ERR, QVC_ALL, L"Query", 1);
    TraceResult(QVL_ERR, QVC_ALL, L"Start", static_cast<long>(0x80004005));
    TraceResult(QVL_ERR, QVC_ALL, L"Read", ERROR_FILE_NOT_FOUND);
    TraceResult(QVL_ERR, QVC_ALL, std::wstring(200, L'a').c_str(), 0);
    const std::vector<std::wstring> lines = NewLines();
    ASSERT_EQ(7u, lines.size());
    EXPECT_EQ(L"ERR  Open -> S_OK", lines[0]);
    EXPECT_EQ(L"ERR  Query -> S_FALSE", lines[1]);
    EXPECT_EQ(L"ERR  Start -> FAILED", lines[2]);
    EXPECT_EQ(L"ERR  -> " + TraceFormatError(0x80004005), lines[3]);
    EXPECT_EQ(L"ERR  Read", lines[4]);
    EXPECT_EQ(L"ERR  -> " + TraceFormatError(ERROR_FILE_NOT_FOUND), lines[5]);
    EXPECT_EQ(L"ERR  " + std::wstring(127, L'a') + L" -> S_OK", lines[6]);
}

TEST(TraceFormatError, SingleLineMultiLineAndUnknownCodes) {
    const std::wstring single = TraceFormatError(ERROR_FILE_NOT_FOUND, FALSE);
    ASSERT_EQ(0u, single.find(L"Error 0x00000002: ")) << single;
    const std::wstring text = single.substr(18);
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(std::wstring::npos, text.find_last_of(L"\r\n", std::wstring::npos)) << "one trailing line break removed";
    EXPECT_EQ(L"Error 0x00000002:\n" + text, TraceFormatError(ERROR_FILE_NOT_FOUND, TRUE));
    EXPECT_EQ(L"Error 0x2000ABCD", TraceFormatError(0x2000ABCD));

    wchar_t small[12];
    EXPECT_EQ(small, TraceFormatError(small, ERROR_FILE_NOT_FOUND, 12, FALSE));
    EXPECT_STREQ(L"Error 0x000", small);
}

TEST_F(TraceLog, HexDumpRowsWithUnalignedStartAndBlankCells) {
    Attach(7, QVC_ALL, 3);
    unsigned char data[40];
    for (int i = 0; i < 40; ++i)
        data[i] = static_cast<unsigned char>(0x3A + i);  // ':' onwards, all printable
    data[6] = 0x07;
    data[20] = 0x80;
    TraceHexDump(data, 0x1000, 5, 20);
    TracePrint(QVL_MSG, QVC_ALL, L"prefix again\n");
    const std::vector<std::wstring> lines = NewLines();
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ(L"     00001000:" + std::wstring(15, L' ') +
                  L" 3f 07 41 42 43 44 45 46 47 48 49  |     ?.ABCDEFGHI",
              lines[0]);
    EXPECT_EQ(L"     00001010: 4a 4b 4c 4d 80 4f 50 51 52" + std::wstring(21, L' ') + L"  |JKLM.OPQR" +
                  std::wstring(7, L' '),
              lines[1]);
    EXPECT_EQ(L"MSG  prefix again", AfterPrefix(lines[2])) << "details restored after the dump";
    EXPECT_EQ(3, TraceGetDetails());
}

TEST_F(TraceLog, WindowMessagesAndMessageRecords) {
    Attach(7, QVC_ALL, 1);
    TraceWindowMessage(QVL_INFO, QVC_ALL, WM_CLOSE, L"Main ");
    TraceWindowMessage(QVL_INFO, QVC_ALL, WM_USER + 5, L"");
    MSG msg = {};
    msg.hwnd = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x1234));
    msg.message = WM_DEVICECHANGE;
    msg.wParam = 0x8000;
    msg.lParam = 0x2A;
    TraceMsgStruct(L"Dispatch", &msg, QVL_INFO, QVC_ALL);
    TraceMsgStruct(L"Null", nullptr, QVL_INFO, QVC_ALL);
    TraceWindowMessage(QVL_DETAIL + 1, QVC_ALL, WM_CLOSE, L"filtered");
    EXPECT_EQ((std::vector<std::wstring>{
                  L"    Main [0x00000010] WM_CLOSE",
                  L"    [0x00000405] WM_USER: 5 0x0005",
                  L"    Dispatch        : lParam=0x0000002a wParam=0x00008000 hwnd=0x00001234[0x00000219] WM_DEVICECHANGE",
              }),
              NewLines());
}

TEST(TraceMessageName, RangesAndSdkNames) {
    wchar_t name[64];
    EXPECT_STREQ(L"WM_CREATE", TraceMessageName(WM_CREATE, name, 64));
    EXPECT_STREQ(L"WM_IME_SETCONTEXT", TraceMessageName(WM_IME_SETCONTEXT, name, 64));
    EXPECT_STREQ(L"WM_USER: 0 0x0000", TraceMessageName(WM_USER, name, 64));
    EXPECT_STREQ(L"WM_USER: 31743 0x7BFF", TraceMessageName(0x7FFF, name, 64));
    EXPECT_STREQ(L"WM_APP: 0 0x0000", TraceMessageName(WM_APP, name, 64));
    EXPECT_STREQ(L"WM_APP: 16383 0x3FFF", TraceMessageName(0xBFFF, name, 64));
    EXPECT_STREQ(L"", TraceMessageName(0xC000, name, 64)) << "registered messages have no name";
    EXPECT_STREQ(L"", TraceMessageName(0x03FF, name, 64));
    EXPECT_STREQ(L"WM_USER: 3076 0x0C04", TraceMessageName(LVM_GETITEMCOUNT, name, 64));

    EXPECT_STREQ(L"LVM_GETITEMCOUNT", TraceLookupMessageName(LVM_GETITEMCOUNT));
    EXPECT_STREQ(L"LVM_GETCOLUMNA", TraceLookupMessageName(LVM_FIRST + 25));
    EXPECT_STREQ(L"NM_OUTOFMEMORY", TraceMessageName(NM_OUTOFMEMORY, name, 64));
    EXPECT_STREQ(L"NM_SETCURSOR", TraceMessageName(NM_SETCURSOR, name, 64));
    EXPECT_STREQ(L"LVN_ITEMCHANGED", TraceMessageName(LVN_ITEMCHANGED, name, 64));
    EXPECT_STREQ(L"(LVN_FIRST-7)", TraceMessageName(LVN_FIRST - 7, name, 64));
    EXPECT_STREQ(L"HDN_ITEMCLICKA", TraceMessageName(HDN_ITEMCLICKA, name, 64));
}

TEST_F(TraceLog, GuidsWithPaddedNames) {
    Attach(7, QVC_ALL, 1);
    const GUID capture = {0x65E8773D, 0x8F56, 0x11D0, {0xA3, 0xB9, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}};
    const GUID yuy2 = {0x32595559, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
    const GUID unknown = {0x0000ABCD, 0x0001, 0x0002, {0xFA, 0x0B, 1, 2, 3, 4, 5, 6}};
    TraceGuid(QVL_INFO, QVC_ALL, capture, L"Category");
    TraceGuid(QVL_INFO, QVC_ALL, yuy2, L"Subtype");
    TraceGuid(QVL_INFO, QVC_ALL, unknown, L"Other");
    EXPECT_EQ((std::vector<std::wstring>{
                  L"    Category GUID {65E8773D-8F56-11D0-A3B9-00A0C9223196} KSCATEGORY_CAPTURE (audio & video)",
                  L"    Subtype GUID {32595559-0000-0010-8000-00AA00389B71} MEDIASUBTYPE_YUY2                ",
                  L"    Other GUID {0000ABCD-0001-0002-FA0B-010203040506} ",
              }),
              NewLines());
    EXPECT_EQ(33u, std::wcslen(L"MEDIASUBTYPE_YUY2                "));
}

}  // namespace
