// The whole key path from a MIDI note to a keystroke in the target program:
// winmm with the test MIDI driver, the MIDI receiver in the receiver manager's
// slot 0, the key-event worker, the dispatcher over temporary command-set
// files and KanzoTarget.exe. Also prints the note-to-keystroke latency.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/KeyEventWorker.h"
#include "app/ReceiverEnvironment.h"
#include "cmdsets/KeyLine.h"
#include "cmdsets/KeyNames.h"
#include "tests/cmdsets/CmdSetFiles.h"
#include "tests/commands/target/TargetClient.h"
#include "tests/receivers/midi/MidiSimClient.h"

namespace {

constexpr int kTapNote = 60;   // F5 in the target, no repeat
constexpr int kHeldNote = 61;  // F6, repeated every 100 ms after 300 ms
constexpr int kVkF5 = 116;
constexpr int kVkF6 = 117;

DWORD NoteOn(int note) { return 0x9F | (static_cast<DWORD>(note) << 8) | (64u << 16); }
DWORD NoteOff(int note) { return 0x8F | (static_cast<DWORD>(note) << 8); }

std::string KeyLine(int keyId, int vk, int repeat, int delay, int interval) {
    tagWINCMD cmd;
    cmd.nType = CMD_KEY;
    cmd.nSubType = vk;
    cmd.fRepeat = repeat;
    cmd.nRepeatDelay = delay;
    cmd.nRepeatInterval = interval;
    const std::wstring line = FormatKeyLine(keyId, cmd, GetKeyName(keyId, true));
    return std::to_string(keyId) + "=" + std::string(line.begin(), line.end()) + "\n";
}

double Milliseconds(LONGLONG ticks) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

class MidiKeyPath : public CmdSetFilesTest {
protected:
    static void SetUpTestSuite() { s_loaded = s_sim.Load(L"Kanzo Keys"); }

    void SetUp() override {
        CmdSetFilesTest::SetUp();
        ASSERT_TRUE(s_loaded) << std::string(s_sim.Error().begin(), s_sim.Error().end());
        WriteText(Paths().presetFile,
                  "[Settings]\nRC Layout Version=4\n[Software]\n0=Windows (Standard)\n1=Kanzo Target\n"
                  "[Windows (Standard)]\nExecutable=KanzoNoSuchProgram.exe\n"
                  "[Kanzo Target]\nExecutable=KanzoTarget.exe\nWindowCaption=Kanzo Command Target\n" +
                      KeyLine(kTapNote, kVkF5, 0, 1000, 200) + KeyLine(kHeldNote, kVkF6, 1, 300, 100));
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
    cmdtest::CTargetRecord record;
    cmdtest::CTargetProcess target(record, KANZO_TARGET_DIR);
    ASSERT_TRUE(target.Start()) << target.Failure();
    CCmdSetHandler handler(Paths(), CAppPathSources());
    ASSERT_TRUE(handler.LoadCmdSetByName(L"Kanzo Target"));
    CKeyEventWorker worker(handler, nullptr);
    tagKEYEVENTSETTINGS settings;
    settings.disableSound = TRUE;
    worker.SetSettings(settings);
    CReceiverEnvironment environment(nullptr);
    CReceiverManager manager(environment, worker, m_settings);
    ASSERT_TRUE(manager.InitReceivers());
    ASSERT_TRUE(manager.IsOccupied(RECEIVER_SLOT_MIDI));

    // Taps: note on to the target's key-down line.
    const std::wstring tapLine = L"KEYDOWN " + std::to_wstring(kVkF5) + L" ";
    std::vector<double> latencies;
    for (int i = 0; i < 100; ++i) {
        const std::size_t from = record.Count();
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        ASSERT_EQ(MMSYSERR_NOERROR, s_sim.Send(0, NoteOn(kTapNote)));
        ASSERT_GE(record.WaitFor(tapLine, from, 10000), 0) << i;
        QueryPerformanceCounter(&end);
        latencies.push_back(Milliseconds(end.QuadPart - start.QuadPart));
        s_sim.Send(0, NoteOff(kTapNote));
    }
    std::sort(latencies.begin(), latencies.end());
    std::printf("MIDI note to keystroke in KanzoTarget (F5, no repeat): N=%zu median %.2f ms, p99 %.2f ms, max %.2f ms\n",
                latencies.size(), latencies[latencies.size() / 2], latencies[latencies.size() * 99 / 100],
                latencies.back());

    // Held: once, then again every interval until the note is released.
    const std::wstring heldLine = L"KEYDOWN " + std::to_wstring(kVkF6) + L" ";
    std::size_t from = record.Count();
    LARGE_INTEGER pressed;
    QueryPerformanceCounter(&pressed);
    ASSERT_EQ(MMSYSERR_NOERROR, s_sim.Send(0, NoteOn(kHeldNote)));
    std::printf("held note (delay 300 ms, interval 100 ms), keystrokes at:");
    for (int repeat = 0; repeat < 5; ++repeat) {
        const int at = record.WaitFor(heldLine, from, 10000);
        ASSERT_GE(at, 0) << "repetition " << repeat;
        from = static_cast<std::size_t>(at) + 1;
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        std::printf(" %.0f", Milliseconds(now.QuadPart - pressed.QuadPart));
    }
    std::printf(" ms\n");
    s_sim.Send(0, NoteOff(kHeldNote));
    EXPECT_EQ(KEYID_NONE, manager.GetReceiver(RECEIVER_SLOT_MIDI)->GetKeyId());
    // The repetition ends at its next look at the key.
    EXPECT_TRUE(cmdtest::PumpUntil([&] { return !worker.IsRepeating(manager.GetReceiver(0).get(), kHeldNote); }, 5000));
    const std::size_t afterRelease = record.Matching(heldLine).size();
    worker.Stop(5000);
    EXPECT_EQ(afterRelease, record.Matching(heldLine).size());
}

}  // namespace
