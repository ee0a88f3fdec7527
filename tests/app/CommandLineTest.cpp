// The command line: options as substrings anywhere, the window options in any
// case, the MIDI channel's one digit, the replay file.
#include <gtest/gtest.h>

#include "app/CommandLine.h"

namespace {

struct tagLINECASE {
    const wchar_t* line;
    bool hidden;
    int channel;
    const wchar_t* replay;
};

class CommandLineTest : public ::testing::TestWithParam<tagLINECASE> {};

TEST_P(CommandLineTest, ReadsTheLine) {
    const tagLINECASE& c = GetParam();
    const tagCOMMANDLINE parsed = ParseCommandLine(c.line);
    EXPECT_EQ(parsed.fStartHidden, c.hidden);
    EXPECT_EQ(parsed.nMidiChannel, c.channel);
    EXPECT_EQ(parsed.szReplayFile, c.replay);
}

INSTANTIATE_TEST_SUITE_P(Lines, CommandLineTest, ::testing::Values(
    tagLINECASE{L"", true, 15, L""},
    tagLINECASE{L"/edit -SHOW", false, 15, L""},
    tagLINECASE{L"x-EDITx", false, 15, L""},
    tagLINECASE{L"-c", false, 15, L""},
    tagLINECASE{L"-show", false, 15, L""},
    tagLINECASE{L"-midi:a", true, 10, L""},
    tagLINECASE{L"-midi:0", true, 0, L""},
    tagLINECASE{L"-midi:f-EDIT", false, 15, L""},   // f is channel 15: no channel
    tagLINECASE{L"-midi:9", true, 9, L""},
    tagLINECASE{L"-midi:G", true, 15, L""},
    tagLINECASE{L"-midi:A", true, 15, L""},         // the option's letters are lower case
    tagLINECASE{L"-midi:", true, 15, L""},
    tagLINECASE{L"-MIDI:3", true, 15, L""},
    // The replay file is never read as another option ("-c" in "my-capture").
    tagLINECASE{L"-replay:Z:\\caps\\my-capture.txt", true, 15, L"Z:\\caps\\my-capture.txt"},
    tagLINECASE{L"-replay:\"C:\\My Captures\\a-c.txt\" -EDIT", false, 15, L"C:\\My Captures\\a-c.txt"},
    tagLINECASE{L"-replay:\"unclosed -c", true, 15, L"unclosed -c"},
    tagLINECASE{L"-midi:2 -replay:n.txt -SHOW", false, 2, L"n.txt"}));

}  // namespace
