#include "receivers/LircKeyMap.h"
#include "receivers/LircLine.h"
#include "receivers/RcKeys.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Records what the reader hands on, events as "button remote repeat".
struct RecordingSink : CLircLineReader::ISink {
    void OnLircEvent(const tagLIRCEVENT& event) override {
        lines.push_back(event.szButton + " " + event.szRemote + " " + std::to_string(event.nRepeat));
    }
    void OnLircRefused(const std::string& text) override { refused.push_back(text); }
    std::vector<std::string> lines;
    std::vector<std::string> refused;
};

struct LineCase {
    const char* line;
    bool accepted;
};

class LircLineParse : public ::testing::TestWithParam<LineCase> {};

TEST_P(LircLineParse, AcceptsOnlyWellFormedKeyLines) {
    tagLIRCEVENT event;
    event.szButton = "untouched";
    EXPECT_EQ(ParseLircLine(GetParam().line, event), GetParam().accepted) << GetParam().line;
    if (!GetParam().accepted) {
        EXPECT_EQ(event.szButton, "untouched");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LircLineParse,
    ::testing::Values(LineCase{"0000000000000001 00 KEY_POWER kanzo-test", true},
                      LineCase{"000000037ff07bfe 1a KEY_OK mceusb", true},
                      LineCase{"1\t0\tKEY_1\tremote", true},  // WinLIRC servers differ in padding
                      LineCase{"FFFFFFFFFFFFFFFF FFFFFFFF KEY_UP r", true},
                      LineCase{"10000000000000000 00 KEY_UP r", false},  // 17 digits
                      LineCase{"01 100000000 KEY_UP r", false},           // repeat beyond 32 bits
                      LineCase{"0g 00 KEY_UP r", false}, LineCase{"01 -1 KEY_UP r", false},
                      LineCase{"01 00 KEY_UP", false}, LineCase{"01 00 KEY_UP r extra", false},
                      LineCase{"01 00 KEY\x01UP r", false}, LineCase{"", false}, LineCase{"SIGHUP", false}));

TEST(LircLineParse, FieldsAndNumbersAreKept) {
    tagLIRCEVENT event;
    ASSERT_TRUE(ParseLircLine("000000037ff07bfe 1a KEY_OK mceusb", event));
    EXPECT_EQ(event.nCode, 0x37ff07bfeull);
    EXPECT_EQ(event.nRepeat, 0x1au);
    EXPECT_EQ(event.szButton, "KEY_OK");
    EXPECT_EQ(event.szRemote, "mceusb");
}

TEST(LircLineReader, LinesSplitAcrossReadsAndCrLfComeOutWhole) {
    const std::string stream = "0001 00 KEY_1 tv\r\n0001 01 KEY_1 tv\n\n0002 00 KEY_2 tv\n0003 00 KEY_3";
    for (std::size_t slice : {1u, 3u, 7u, 64u}) {
        CLircLineReader reader;
        RecordingSink sink;
        for (std::size_t at = 0; at < stream.size(); at += slice)
            reader.Feed(stream.data() + at, std::min(slice, stream.size() - at), sink);
        EXPECT_THAT(sink.lines, ::testing::ElementsAre("KEY_1 tv 0", "KEY_1 tv 1", "KEY_2 tv 0")) << slice;
        EXPECT_TRUE(sink.refused.empty());
        // The unfinished line belongs to the old connection.
        reader.Reset();
        reader.Feed("\n", 1, sink);
        EXPECT_EQ(sink.lines.size(), 3u);
        EXPECT_TRUE(sink.refused.empty());
    }
}

TEST(LircLineReader, AnEndlessLineIsRefusedOnceAndTheNextLineStillCounts) {
    CLircLineReader reader;
    RecordingSink sink;
    const std::string junk(10 * CLircLineReader::kMaxLineBytes, 'x');
    for (std::size_t at = 0; at < junk.size(); at += 100)
        reader.Feed(junk.data() + at, std::min<std::size_t>(100, junk.size() - at), sink);
    ASSERT_EQ(sink.refused.size(), 1u);
    EXPECT_LE(sink.refused[0].size(), 40u);
    reader.Feed(" tail\n0001 00 KEY_1 tv\n", 23, sink);
    EXPECT_THAT(sink.lines, ::testing::ElementsAre("KEY_1 tv 0"));
    EXPECT_EQ(sink.refused.size(), 1u);

    // A line of exactly the bound is still a line.
    std::string longest = "0001 00 KEY_1 ";
    longest += std::string(CLircLineReader::kMaxLineBytes - longest.size(), 'r');
    longest += '\n';
    reader.Feed(longest.data(), longest.size(), sink);
    EXPECT_EQ(sink.lines.size(), 2u);
}

TEST(LircLineReader, ReplyBlocksAreSkippedBadLinesRefusedPrintably) {
    CLircLineReader reader;
    RecordingSink sink;
    const std::string stream =
        "BEGIN\nSIGHUP\nEND\n"
        "BEGIN\nLIST\nSUCCESS\nDATA\n1\n0001 00 KEY_9 inside\nEND\n"
        "garbage\x01\xff line\n0001 00 KEY_1 tv\n";
    reader.Feed(stream.data(), stream.size(), sink);
    EXPECT_THAT(sink.lines, ::testing::ElementsAre("KEY_1 tv 0"));
    EXPECT_THAT(sink.refused, ::testing::ElementsAre("garbage?? line"));
}

TEST(LircLineReader, ABeginWithoutEndDoesNotSwallowTheStream) {
    CLircLineReader reader;
    RecordingSink sink;
    std::string stream = "BEGIN\n";
    for (std::size_t i = 0; i < CLircLineReader::kMaxReplyLines + 5; ++i)
        stream += "0001 00 KEY_1 tv\n";
    reader.Feed(stream.data(), stream.size(), sink);
    EXPECT_EQ(sink.lines.size(), 5u);
    EXPECT_EQ(sink.refused.size(), 1u);
}

TEST(LircBackoff, DoublesUpToTheCapAndStartsAgainAfterAConnection) {
    CLircBackoff backoff;
    std::vector<std::uint32_t> pauses;
    for (int i = 0; i < 8; ++i)
        pauses.push_back(backoff.Next());
    EXPECT_THAT(pauses, ::testing::ElementsAre(250, 500, 1000, 2000, 4000, 8000, 8000, 8000));
    backoff.Reset();
    EXPECT_EQ(backoff.Next(), CLircBackoff::kFirstMs);
}

TEST(LircKeyMap, RemoteEntriesBeatAnyRemoteEntriesWhichBeatTheBuiltInNames) {
    CLircKeyMap map;
    EXPECT_EQ(map.Find("whatever", "KEY_POWER"), KEYID_POWER);
    EXPECT_EQ(map.Find("whatever", "key_volumeup"), KEYID_VOLUME_PLUS);
    EXPECT_EQ(map.Find("whatever", "KEY_5"), KEYID_PROG_5);
    EXPECT_EQ(map.Find("whatever", "KEY_NOSUCH"), KEYID_NONE);

    ASSERT_TRUE(map.Add("*", "KEY_OK", KEYID_MENU));
    ASSERT_TRUE(map.Add("MCEUSB", "KEY_OK", KEYID_PLAY));
    ASSERT_TRUE(map.Add("", "Home", KEYID_TV));
    EXPECT_EQ(map.Find("mceusb", "key_ok"), KEYID_PLAY);
    EXPECT_EQ(map.Find("other", "KEY_OK"), KEYID_MENU);
    EXPECT_EQ(map.Find("other", "HOME"), KEYID_TV);

    EXPECT_FALSE(map.Add("*", "KEY_X", 60));  // a MIDI note
    EXPECT_FALSE(map.Add("*", "KEY_X", 150));  // no key
    EXPECT_FALSE(map.Add("*", "", KEYID_OK));
    map.SetUseDefaults(false);
    EXPECT_EQ(map.Find("other", "KEY_POWER"), KEYID_NONE);
    EXPECT_EQ(map.Find("other", "HOME"), KEYID_TV);
}

TEST(LircKeyMap, KeyTextIsANumberOrAnEnglishName) {
    EXPECT_EQ(LircKeyIdFromText(L"184"), KEYID_OK);
    EXPECT_EQ(LircKeyIdFromText(L"programme 5"), KEYID_PROG_5);
    EXPECT_EQ(LircKeyIdFromText(GetEnglishKeyName(KEYID_VOLUME_PLUS)), KEYID_VOLUME_PLUS);
    for (const wchar_t* bad : {L"", L"60", L"150", L"0184", L"99999999999", L"C#4", L"Nothing"})
        EXPECT_EQ(LircKeyIdFromText(bad), KEYID_NONE) << bad;
}

// Every mappable key survives the 8-bit code path of the receivers.
TEST(LircKeyMap, EveryMappableKeyCrossesTheCodePath) {
    int mappable = 0;
    for (int id = 0; id < KEYID_COUNT; ++id) {
        int back = KEYID_NONE;
        const bool known = IsLircMappableKey(id);
        if (!known)
            continue;
        ++mappable;
        const int code = id - LIRC_CODE_OFFSET;
        ASSERT_GE(code, 0);
        ASSERT_LT(code, NEC_CODE_REPEAT);
        ASSERT_TRUE(MapKeyCodeToKeyId(RCTYPE_LIRC, static_cast<std::uint8_t>(code), &back));
        EXPECT_EQ(back, id);
    }
    EXPECT_GT(mappable, 50);
    int none = 0;
    EXPECT_FALSE(MapKeyCodeToKeyId(RCTYPE_LIRC, 150 - LIRC_CODE_OFFSET, &none));
    EXPECT_FALSE(MapKeyCodeToKeyId(RCTYPE_LIRC, 0xFE, &none));
}

}  // namespace
