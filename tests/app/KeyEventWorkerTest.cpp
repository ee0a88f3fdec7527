// The key-event worker with a receiver, the dispatcher over temporary
// command-set files and a recording volume: when a key event starts a new
// worker and when the running repetition goes on.
#include <gtest/gtest.h>

#include <string>

#include "app/KeyEventWorker.h"
#include "cmdsets/KeyLine.h"
#include "cmdsets/KeyNames.h"
#include "tests/cmdsets/CmdSetFiles.h"
#include "tests/commands/WinCommandsFakes.h"
#include "tests/support/FakeClock.h"

namespace {

constexpr std::uint8_t kMuteCode = 0x14;   // RCTYPE_NEC_866B: Mute, bound below with a repeat
constexpr std::uint8_t kOtherCode = 0x2C;  // a key the set does not bind

class CHeldKeySrc : public CSrc {
public:
    explicit CHeldKeySrc(IClock& clock) : CSrc(0, clock) {
        m_rcType = RCTYPE_NEC_866B;
        m_kindName = L"Test IR";
    }
};

void KANZO_STDCALL CountRun(void* context, int, const tagWINCMD*, BOOL, int) {
    SetEvent(static_cast<HANDLE>(context));
}

class KeyEventWorkerTest : public CmdSetFilesTest {
protected:
    void SetUp() override {
        CmdSetFilesTest::SetUp();
        tagWINCMD volume;
        volume.nType = CMD_SYS;
        volume.nSubType = 1;  // volume change
        volume.nParam = 1;
        volume.fRepeat = 1;
        volume.nRepeatDelay = 1000;
        volume.nRepeatInterval = 200;
        const std::wstring line = FormatKeyLine(KEYID_MUTE, volume, GetKeyName(KEYID_MUTE, true));
        WriteText(Paths().presetFile, "[Settings]\nRC Layout Version=4\n[Software]\n0=Windows (Standard)\n"
                                      "[Windows (Standard)]\nExecutable=KanzoNoSuchProgram.exe\n" +
                                          std::to_string(KEYID_MUTE) + "=" + std::string(line.begin(), line.end()) +
                                          "\n");
    }

    // Feeds one frame at the fake clock's time and waits for the run it starts, if any.
    void Frame(std::uint8_t code, std::uint32_t advanceMs) {
        m_clock.Advance(advanceMs);
        m_src.HandleIrEvent(code);
    }
    bool WaitForRun() { return WaitForSingleObject(m_ran.Get(), 10000) == WAIT_OBJECT_0; }

    cmdtest::CFakeSeams m_seams;
    FakeClock m_clock{100000};
    CHeldKeySrc m_src{m_clock};
    CQVHandle m_ran{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
};

TEST_F(KeyEventWorkerTest, HeldKeyReportsKeepTheRepetitionAndNewEventsRestartIt) {
    CCmdSetHandler handler(Paths(), CAppPathSources());
    ASSERT_TRUE(handler.LoadCmdSetByName(L"Windows (Standard)"));
    CKeyEventWorker worker(handler, nullptr);
    tagKEYEVENTSETTINGS settings;
    settings.disableSound = TRUE;
    worker.SetSettings(settings);
    worker.SetObserver(CountRun, m_ran.Get());
    ASSERT_TRUE(m_src.Init(&worker, CKeyEventWorker::IrEventCallback));

    Frame(kMuteCode, 0);
    ASSERT_TRUE(WaitForRun());
    EXPECT_EQ(1, worker.GetEventsStarted());
    ASSERT_TRUE(worker.IsRepeating(&m_src, KEYID_MUTE)) << "waiting out the repeat delay";

    // The scheduler lets the held key through again at 240 ms, then once a second.
    Frame(kMuteCode, 240);
    Frame(kMuteCode, 1040);
    EXPECT_TRUE(m_src.IsHeldKeyReport());
    EXPECT_EQ(1, worker.GetEventsStarted()) << "the held key's repetition goes on";
    EXPECT_TRUE(worker.IsRepeating(&m_src, KEYID_MUTE));

    // Released and pressed again: a new press runs at once.
    Frame(0xFF, 300);
    Frame(kMuteCode, 100);
    EXPECT_FALSE(m_src.IsHeldKeyReport());
    EXPECT_EQ(2, worker.GetEventsStarted());
    ASSERT_TRUE(WaitForRun());

    // Another key stops the repetition at once.
    Frame(kOtherCode, 80);
    EXPECT_EQ(3, worker.GetEventsStarted());
    EXPECT_FALSE(worker.IsRepeating(&m_src, KEYID_MUTE));
    EXPECT_EQ(1, worker.Stop(5000));
}

}  // namespace
