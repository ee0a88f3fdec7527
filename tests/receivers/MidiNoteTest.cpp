#include "receivers/MidiNote.h"

#include "receivers/RcKeys.h"

#include <gtest/gtest.h>

namespace {

struct tagDECODECASE {
    std::uint32_t nMessage;
    std::uint8_t nChannel;
    bool fNote;
    std::uint8_t nNote;
    int fPressed;
};

class MidiNoteDecode : public ::testing::TestWithParam<tagDECODECASE> {};

TEST_P(MidiNoteDecode, OnlyNoteOnAndOffOfTheChannel) {
    const tagDECODECASE& c = GetParam();
    tagMIDINOTE note = {0xEE, 7};
    ASSERT_EQ(c.fNote, DecodeMidiNote(c.nMessage, c.nChannel, &note)) << std::hex << c.nMessage;
    if (c.fNote) {
        EXPECT_EQ(c.nNote, note.nNote);
        EXPECT_EQ(c.fPressed, note.fPressed);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Messages, MidiNoteDecode,
    ::testing::Values(tagDECODECASE{0x40459F, 15, true, 69, 1},      // note on, velocity 64
                      tagDECODECASE{0x00459F, 15, true, 69, 0},      // velocity 0 is a release
                      tagDECODECASE{0x40458F, 15, true, 69, 0},      // note off
                      tagDECODECASE{0x7F0093, 3, true, 0, 1},        // note 0 on channel 3
                      tagDECODECASE{0x7F7F90, 0, true, 127, 1},      // the highest note
                      tagDECODECASE{0x40459E, 15, false, 0, 0},      // another channel
                      tagDECODECASE{0x40459F, 3, false, 0, 0},
                      tagDECODECASE{0x4045BF, 15, false, 0, 0},      // control change
                      tagDECODECASE{0x4045AF, 15, false, 0, 0},      // aftertouch
                      tagDECODECASE{0x00007F, 15, false, 0, 0},      // a data byte, no status
                      tagDECODECASE{0x408C9F, 15, false, 0, 0},      // "note" 0x8C would be Power
                      tagDECODECASE{0xC0459F, 15, false, 0, 0},      // velocity with the high bit
                      tagDECODECASE{0xFF40459F, 15, true, 69, 1}));  // the fourth byte is not looked at

TEST(MidiNoteDecode, NullOutputIsNoNote) { EXPECT_FALSE(DecodeMidiNote(0x40459F, 15, nullptr)); }

struct tagFIREWIRENOTE {
    std::uint8_t nNote;
    int nKeyId;
};

class FirewireNoteMap : public ::testing::TestWithParam<tagFIREWIRENOTE> {};

TEST_P(FirewireNoteMap, NotesUpTo35AreKeys) {
    EXPECT_EQ(GetParam().nKeyId, MapFirewireNoteToKeyId(GetParam().nNote)) << int{GetParam().nNote};
}

// Ends of the card's range, keys in the middle, and codes that the remote's
// infrared table has but the card does not send as notes.
INSTANTIATE_TEST_SUITE_P(Notes, FirewireNoteMap,
                         ::testing::Values(tagFIREWIRENOTE{0, 200}, tagFIREWIRENOTE{9, 209}, tagFIREWIRENOTE{10, 140},
                                           tagFIREWIRENOTE{18, 210}, tagFIREWIRENOTE{25, 186},
                                           tagFIREWIRENOTE{35, 261}, tagFIREWIRENOTE{36, KEYID_NONE},
                                           tagFIREWIRENOTE{0x28, KEYID_NONE}, tagFIREWIRENOTE{0x4D, KEYID_NONE},
                                           tagFIREWIRENOTE{127, KEYID_NONE}));

}  // namespace
