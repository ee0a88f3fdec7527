#include "app/replay/CaptureReader.h"

#include <gtest/gtest.h>

namespace {

struct Parsed {
    std::vector<tagCAPTUREFRAME> frames;
    std::vector<tagCAPTUREERROR> errors;
};

Parsed Parse(const std::string& text) {
    Parsed p;
    CCaptureReader::Parse(text, p.frames, p.errors);
    return p;
}

}  // namespace

TEST(CaptureReader, TimesAccumulateAndAddressesAreOptional) {
    const Parsed p = Parse("# comment\n\n0 0A 866B\n80 fe\r\n120 0xFF 0x04eb  # trailing comment\n");
    ASSERT_TRUE(p.errors.empty());
    ASSERT_EQ(p.frames.size(), 3u);
    EXPECT_EQ(p.frames[0].nTimeMs, 0u);
    EXPECT_EQ(p.frames[0].bCode, 0x0A);
    EXPECT_TRUE(p.frames[0].fHasAddress);
    EXPECT_EQ(p.frames[0].wAddress, 0x866B);
    EXPECT_EQ(p.frames[0].nLine, 3);
    EXPECT_EQ(p.frames[1].nTimeMs, 80u);
    EXPECT_EQ(p.frames[1].bCode, 0xFE);
    EXPECT_FALSE(p.frames[1].fHasAddress);
    EXPECT_EQ(p.frames[2].nTimeMs, 200u);
    EXPECT_EQ(p.frames[2].wAddress, 0x04EB);
    EXPECT_EQ(p.frames[2].nLine, 5);
}

// Every kind of bad line is reported with its line number and skipped,
// and the good lines around it survive.
TEST(CaptureReader, BadLinesAreReportedWithTheirNumberAndSkipped) {
    const Parsed p = Parse(
        "0 10\n"
        "abc 10\n"          // 2: time not a number
        "80\n"              // 3: no code
        "80 100\n"          // 4: code above FF
        "80 1G\n"           // 5: not hexadecimal
        "80 10 10000\n"     // 6: address above FFFF
        "80 10 866B 1\n"    // 7: too many fields
        "-5 10\n"           // 8: negative time
        "99999999999 10\n"  // 9: would overflow
        "80 11\n");
    ASSERT_EQ(p.frames.size(), 2u);
    EXPECT_EQ(p.frames[1].bCode, 0x11);
    EXPECT_EQ(p.frames[1].nTimeMs, 80u);  // skipped lines add no time
    ASSERT_EQ(p.errors.size(), 8u);
    for (size_t i = 0; i < p.errors.size(); ++i) {
        EXPECT_EQ(p.errors[i].nLine, static_cast<int>(i) + 2);
        EXPECT_FALSE(p.errors[i].szMessage.empty());
    }
    EXPECT_NE(p.errors[2].szMessage.find(L"80 100"), std::wstring::npos);  // the line is quoted
}

TEST(CaptureReader, BinaryGarbageDoesNotCrash) {
    std::string junk;
    for (int i = 0; i < 512; ++i)
        junk += static_cast<char>((i * 37) & 0xFF);
    const Parsed p = Parse(junk);
    EXPECT_FALSE(p.errors.empty());
}
