#include "app/replay/CaptureReader.h"
#include "app/replay/ReplayReceiver.h"
#include "receivers/RcKeys.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#ifndef KANZO_SOURCE_DIR
#error "KANZO_SOURCE_DIR must name the source tree"
#endif

namespace {

std::vector<tagCAPTUREFRAME> Frames(const std::string& text) {
    std::vector<tagCAPTUREFRAME> frames;
    std::vector<tagCAPTUREERROR> errors;
    CCaptureReader::Parse(text, frames, errors);
    EXPECT_TRUE(errors.empty());
    return frames;
}

std::string ReadSample() {
    std::ifstream in(KANZO_SOURCE_DIR "/resources/captures/sample.txt", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

// The shipped sample shows each part of the key path once; pin what it reports.
TEST(Replay, SampleCaptureGivesTheDocumentedEvents) {
    struct Expected {
        std::uint32_t ms;
        int key;
        int noAutoRepeat;
    };
    const Expected expected[] = {
        {0, KEYID_POWER, 0},                                 // tap
        {640, KEYID_UP, 0}, {1600, KEYID_UP, 0}, {2640, KEYID_UP, 0},  // held: about once a second
        {4960, KEYID_PREVIOUS, 1},                           // double-function tap, after the 800 ms wait
        {5780, KEYID_FREW, 1}, {6740, KEYID_FREW, 1},        // the same key held
        {8640, KEYID_PLAY, 0},                               // address 04EB switched the codes
        {9040, KEYID_PAUSE, 0},
    };
    const auto events = ReplayCapture(Frames(ReadSample()), RCTYPE_NONE);
    ASSERT_EQ(events.size(), std::size(expected));
    for (size_t i = 0; i < events.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(events[i].nTimeMs, expected[i].ms);
        EXPECT_EQ(events[i].nKeyId, expected[i].key);
        EXPECT_EQ(events[i].fNoAutoRepeat, expected[i].noAutoRepeat);
    }
}

// Frames of a remote whose address is unknown are dropped, and without an
// address no type is learnt, so nothing at all is reported.
TEST(Replay, UnknownAddressOrNoTypeReportsNothing) {
    EXPECT_TRUE(ReplayCapture(Frames("0 0A 1234\n80 FF\n400 0A\n"), RCTYPE_NONE).empty());
    EXPECT_TRUE(ReplayCapture(Frames("0 0A\n80 FF\n"), RCTYPE_NONE).empty());
}

// A type given up front serves frames that carry no address.
TEST(Replay, InitialTypeServesFramesWithoutAddress) {
    const auto events = ReplayCapture(Frames("0 0A\n80 FF\n400 FF\n"), RCTYPE_NEC_866B);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].nKeyId, KEYID_POWER);
}

// The double-function wait blocks the poll: the frames inside it are never
// seen as events of their own. Another key showing during the wait ends the
// press at once and is reported right after it.
TEST(Replay, AnotherKeyInsideTheDoubleFunctionWaitEndsItAndFollows) {
    const auto events = ReplayCapture(Frames("0 2C 866B\n100 0A 866B\n300 0A\n500 FF\n"), RCTYPE_NONE);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].nTimeMs, 100u);
    EXPECT_EQ(events[0].nKeyId, KEYID_PREVIOUS);
    EXPECT_EQ(events[1].nTimeMs, 100u);
    EXPECT_EQ(events[1].nKeyId, KEYID_POWER);
}

// Frame times are on the 32-bit millisecond clock: a capture that runs across
// its wrap plays every frame, in order.
TEST(Replay, FramesAcrossTheClockWrapArePlayed) {
    const std::uint32_t start = 0u - 500u;
    const std::vector<tagCAPTUREFRAME> frames = {
        {start, 0x0A}, {start + 80, 0xFF}, {start + 400, 0xFF},   // Power, before the wrap
        {start + 800, 0x14}, {start + 880, 0xFF},                  // Mute, after it
    };
    const auto events = ReplayCapture(frames, RCTYPE_NEC_866B);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].nKeyId, KEYID_POWER);
    EXPECT_EQ(events[1].nKeyId, KEYID_MUTE);
    EXPECT_EQ(events[1].nTimeMs, start + 800);
}
