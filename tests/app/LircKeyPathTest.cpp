// The whole key path from irsend SIMULATE to the target program: a private
// lircd (tests/receivers/lirc), Kanzo's LIRC receiver as the receiver manager
// creates it from the settings, the key-event worker, the dispatcher over
// temporary command-set files and KanzoTarget.exe.
#include "tests/receivers/lirc/LircdControl.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "receivers/RcKeys.h"
#include "tests/app/KeyPathRig.h"
#include "tests/cmdsets/CmdSetFiles.h"

namespace {

constexpr int kVkF5 = 116;
constexpr int kVkF6 = 117;
constexpr DWORD kWaitMs = 10000;

class LircKeyPath : public CmdSetFilesTest {
protected:
    void SetUp() override {
        ASSERT_FALSE(lirctest::Env(L"KANZO_LIRCCTL").empty()) << "run through CTest, which names the control script";
        CmdSetFilesTest::SetUp();
        m_port = lirctest::FreePort(SOCK_STREAM);
        m_udp = lirctest::FreePort(SOCK_DGRAM);
        ASSERT_NE(0u, m_port);
        m_settings.receiverSelection = RECEIVER_SELECTION_LIRC;
        wcscpy(m_settings.lircHost, L"127.0.0.1");
        m_settings.lircPort = m_port;
    }

    unsigned m_port = 0;
    unsigned m_udp = 0;
    tagSETTINGS m_settings;
};

TEST_F(LircKeyPath, ButtonsRunTheirCommandsInTheTargetAndAHeldButtonRepeatsUntilItsRelease) {
    lirctest::CLircd lircd;
    ASSERT_TRUE(lircd.Start(m_port, m_udp));
    keypath::CKeyPathRig rig(Paths(), KANZO_TARGET_DIR);
    ASSERT_EQ("", rig.Start({{KEYID_OK, keypath::Keystroke(kVkF5)},
                             {KEYID_POWER, keypath::MenuCommand(TARGET_ID_MENU_ONE)},
                             {KEYID_VOLUME_PLUS, keypath::Keystroke(kVkF6, true, 300, 100)}},
                            m_settings));
    ASSERT_TRUE(rig.WaitLircConnected(kWaitMs));
    cmdtest::CTargetRecord& record = rig.Record();

    // Presses of two buttons by turns (the same button again within the
    // release time would be the button held): a keystroke and a menu command.
    const std::wstring tapLine = keypath::KeyDownLine(kVkF5);
    const std::wstring menuLine = L"MENU " + std::to_wstring(TARGET_ID_MENU_ONE);
    constexpr std::size_t kPresses = 3;
    for (std::size_t i = 0; i < kPresses; ++i) {
        std::size_t from = record.Count();
        ASSERT_TRUE(lircd.Send(L"KEY_OK"));
        ASSERT_GE(record.WaitFor(tapLine, from, kWaitMs), 0) << i;
        from = record.Count();
        ASSERT_TRUE(lircd.Send(L"KEY_POWER"));
        ASSERT_GE(record.WaitFor(menuLine, from, kWaitMs), 0) << i;
    }
    // Each press ran its command once: the menu line of the last press comes
    // after any second keystroke of the presses before.
    EXPECT_EQ(kPresses, record.Matching(tapLine).size());

    // Held for 1.2 s: the keystroke at the press, after 300 ms, then every
    // 100 ms, from one key event (the receiver's reports of the held button
    // leave the worker's repetition alone) until the frames stop.
    const int eventsBefore = rig.Worker().GetEventsStarted();
    const std::wstring heldLine = keypath::KeyDownLine(kVkF6);
    const std::size_t from = record.Count();
    ASSERT_TRUE(lircd.Hold(L"KEY_VOLUMEUP", 1200));
    EXPECT_TRUE(rig.RepetitionEnds(RECEIVER_INDEX_LIRC, KEYID_VOLUME_PLUS, kVkF6, kWaitMs));
    const std::size_t held = record.Matching(heldLine, from).size();
    std::printf("button held 1.2 s (delay 300 ms, interval 100 ms): %zu keystrokes\n", held);
    EXPECT_GE(held, 5u);
    EXPECT_EQ(1, rig.Worker().GetEventsStarted() - eventsBefore);
    EXPECT_EQ(KEYID_NONE, rig.Manager().GetReceiver(RECEIVER_INDEX_LIRC)->GetKeyId());
}

}  // namespace
