// The whole key path from a MIDI note to a keystroke in the target program:
// winmm with the test MIDI driver, the MIDI receiver in the receiver manager's
// slot 0, the key-event worker, the dispatcher over temporary command-set
// files and KanzoTarget.exe. Also prints the note-to-keystroke latency.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/app/KeyPathRig.h"
#include "tests/cmdsets/CmdSetFiles.h"
#include "tests/receivers/midi/MidiSimClient.h"

namespace {

constexpr int kTapNote = 60;   // F5 in the target, no repeat
constexpr int kHeldNote = 61;  // F6, repeated every 100 ms after 300 ms
constexpr int kVkF5 = 116;
constexpr int kVkF6 = 117;

DWORD NoteOn(int note) { return 0x9F | (static_cast<DWORD>(note) << 8) | (64u << 16); }
DWORD NoteOff(int note) { return 0x8F | (static_cast<DWORD>(note) << 8); }

class MidiKeyPath : public CmdSetFilesTest {
protected:
    static void SetUpTestSuite() { s_loaded = s_sim.Load(L"Kanzo Keys"); }

    void SetUp() override {
        CmdSetFilesTest::SetUp();
        ASSERT_TRUE(s_loaded) << std::string(s_sim.Error().begin(), s_sim.Error().end());
        m_settings.receiverSelection = 1u << RECEIVER_SLOT_MIDI;
        wcscpy(m_settings.midiDevice, L"Kanzo Keys");
    }

    static CMidiSimClient s_sim;
    static bool s_loaded;
    tagSETTINGS m_settings;
};
CMidiSimClient MidiKeyPath::s_sim;
bool MidiKeyPath::s_loaded = false;

TEST_F(MidiKeyPath, NotesBecomeKeystrokesAndAHeldNoteRepeatsUntilItsRelease) {
    keypath::CKeyPathRig rig(Paths(), KANZO_TARGET_DIR);
    ASSERT_EQ("", rig.Start({{kTapNote, keypath::Keystroke(kVkF5)},
                             {kHeldNote, keypath::Keystroke(kVkF6, true, 300, 100)}},
                            m_settings));
    ASSERT_TRUE(rig.Manager().IsOccupied(RECEIVER_SLOT_MIDI));
    cmdtest::CTargetRecord& record = rig.Record();

    // Taps: note on to the target's key-down line.
    const std::wstring tapLine = keypath::KeyDownLine(kVkF5);
    std::vector<double> latencies;
    for (int i = 0; i < 100; ++i) {
        const std::size_t from = record.Count();
        LARGE_INTEGER start;
        QueryPerformanceCounter(&start);
        ASSERT_EQ(MMSYSERR_NOERROR, s_sim.Send(0, NoteOn(kTapNote)));
        ASSERT_GE(record.WaitFor(tapLine, from, 10000), 0) << i;
        latencies.push_back(keypath::MsSince(start));
        s_sim.Send(0, NoteOff(kTapNote));
    }
    std::printf("MIDI note to keystroke in KanzoTarget (F5, no repeat): %s\n",
                keypath::LatencySummary(latencies).c_str());

    // Held: once, then again every interval until the note is released.
    const std::wstring heldLine = keypath::KeyDownLine(kVkF6);
    std::size_t from = record.Count();
    LARGE_INTEGER pressed;
    QueryPerformanceCounter(&pressed);
    ASSERT_EQ(MMSYSERR_NOERROR, s_sim.Send(0, NoteOn(kHeldNote)));
    std::printf("held note (delay 300 ms, interval 100 ms), keystrokes at:");
    for (int repeat = 0; repeat < 5; ++repeat) {
        const int at = record.WaitFor(heldLine, from, 10000);
        ASSERT_GE(at, 0) << "repetition " << repeat;
        from = static_cast<std::size_t>(at) + 1;
        std::printf(" %.0f", keypath::MsSince(pressed));
    }
    std::printf(" ms\n");
    s_sim.Send(0, NoteOff(kHeldNote));
    EXPECT_EQ(KEYID_NONE, rig.Manager().GetReceiver(RECEIVER_SLOT_MIDI)->GetKeyId());
    // The repetition ends at its next look at the key.
    EXPECT_TRUE(rig.RepetitionEnds(RECEIVER_SLOT_MIDI, kHeldNote, kVkF6, 5000));
}

}  // namespace
