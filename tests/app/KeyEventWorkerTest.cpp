// The key-event worker with a receiver, the dispatcher over temporary
// command-set files and a recording volume: when a key event starts a new
// worker and when the running repetition goes on.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "app/KeyEventWorker.h"
#include "app/ReceiverEnvironment.h"

#include <dbt.h>
#include <tlhelp32.h>
#include "cmdsets/KeyLine.h"
#include "cmdsets/KeyNames.h"
#include "tests/cmdsets/CmdSetFiles.h"
#include "tests/commands/WinCommandsFakes.h"
#include "receivers/DeviceCatalogue.h"
#include "tests/app/HoldingSrc.h"
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

void CountRun(void* context, int, const tagWINCMD*, BOOL, int) {
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

    // The dispatcher on the general set and a silent worker that signals each run.
    void StartWorker() {
        m_handler = std::make_unique<CCmdSetHandler>(Paths(), CAppPathSources());
        ASSERT_TRUE(m_handler->LoadCmdSetByName(L"Windows (Standard)"));
        m_worker = std::make_unique<CKeyEventWorker>(*m_handler, nullptr);
        tagKEYEVENTSETTINGS settings;
        settings.disableSound = TRUE;
        m_worker->SetSettings(settings);
        m_worker->SetObserver(CountRun, m_ran.Get());
    }

    cmdtest::CFakeSeams m_seams;
    FakeClock m_clock{100000};
    CHeldKeySrc m_src{m_clock};
    CQVHandle m_ran{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    std::unique_ptr<CCmdSetHandler> m_handler;
    std::unique_ptr<CKeyEventWorker> m_worker;  // goes before the dispatcher it uses
};

TEST_F(KeyEventWorkerTest, HeldKeyReportsKeepTheRepetitionAndNewEventsRestartIt) {
    ASSERT_NO_FATAL_FAILURE(StartWorker());
    CKeyEventWorker& worker = *m_worker;
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
    EXPECT_FALSE(worker.IsBusy());

    // A stopped worker starts its thread again for the next event.
    Frame(kMuteCode, 80);
    ASSERT_TRUE(WaitForRun()) << "the event after Stop runs";
    EXPECT_EQ(4, worker.GetEventsStarted());
    EXPECT_EQ(1, worker.Stop(5000)) << "and its repetition ends with the next Stop";
    EXPECT_FALSE(worker.IsRepeating(&m_src, KEYID_MUTE));
}

// --- receivers removed while their key repeats, with the real worker ---

class CHoldingEnvironment : public CReceiverEnvironment {
public:
    CHoldingEnvironment() : CReceiverEnvironment(nullptr) {}
    std::unique_ptr<CSrc> CreateReceiver(int slot) override {
        return slot == 3 ? std::make_unique<CHoldingSrc>(KEYID_MUTE) : nullptr;
    }
    int GetMidiInputCount() override { return 0; }
};

int ThreadsOfThisProcess() {
    CQVHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    int count = 0;
    for (BOOL more = Thread32First(snapshot.Get(), &entry); more; more = Thread32Next(snapshot.Get(), &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId())
            ++count;
    return count;
}

// WM_DEVICECHANGE's broadcast record of a device interface with this path.
std::vector<BYTE> InterfaceBroadcast(const std::wstring& path) {
    std::vector<BYTE> record(sizeof(DEV_BROADCAST_DEVICEINTERFACE_W) + path.size() * sizeof(wchar_t));
    auto* device = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(record.data());
    device->dbcc_size = static_cast<DWORD>(record.size());
    device->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    wmemcpy(device->dbcc_name, path.c_str(), path.size() + 1);
    return record;
}

TEST_F(KeyEventWorkerTest, ReceiversRemovedWhileTheirKeyRepeatsLeaveNothingBehind) {
    ASSERT_NO_FATAL_FAILURE(StartWorker());
    CKeyEventWorker& worker = *m_worker;
    CHoldingEnvironment environment;
    tagSETTINGS block;
    block.receiverSelection = 1u << 3;
    FakeClock pauses;
    CReceiverManager manager(environment, worker, block, pauses);
    manager.InitReceivers();
    ASSERT_TRUE(manager.IsReady());

    std::wstring path;
    for (int row = 0; row < GetCatalogueSize() && path.empty(); ++row)
        if (GetCatalogueRow(row)->nReceiverIndex == 3)
            path = L"\\\\?\\" + FormatCatalogueDevicePath(*GetCatalogueRow(row)) + L"6&2f1e&0&1#{guid}";
    const std::vector<BYTE> broadcast = InterfaceBroadcast(path);
    const LPARAM data = reinterpret_cast<LPARAM>(broadcast.data());
    auto cycle = [&] {
        HandleDeviceChangeMessage(manager, DBT_DEVICEREMOVECOMPLETE, data);
        ASSERT_FALSE(manager.IsOccupied(3));
        HandleDeviceChangeMessage(manager, DBT_DEVICEARRIVAL, data);
        ASSERT_TRUE(manager.IsOccupied(3));
        // Removed only once its key is being repeated. A run of the receiver
        // before may have signalled too: wait for the run of this one.
        bool repeating = false;
        for (int run = 0; run < 3 && !repeating; ++run) {
            ASSERT_TRUE(WaitForRun());
            repeating = worker.IsRepeating(manager.GetReceiver(3).get(), KEYID_MUTE);
        }
        ASSERT_TRUE(repeating);
    };
    cycle();
    worker.Stop(5000);
    // Wine keeps no handle count; a leak shows as ever higher values of new handles.
    auto nextHandle = [] {
        CQVHandle probe(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        return reinterpret_cast<std::uintptr_t>(probe.Get());
    };
    const std::uintptr_t handlesBefore = nextHandle();
    const int threadsBefore = ThreadsOfThisProcess();

    const int kCycles = 300;
    for (int i = 0; i < kCycles; ++i) {
        cycle();
        if (HasFatalFailure())
            return;
    }
    EXPECT_GE(worker.GetEventsStarted(), kCycles) << "every arrival's key reached the worker";
    manager.FreeReceiver(3);
    worker.Stop(5000);
    EXPECT_EQ(0, CHoldingSrc::Alive().load());
    const std::uintptr_t handlesAfter = nextHandle();
    EXPECT_LE(handlesAfter, handlesBefore + 16) << "handles left by " << kCycles << " cycles";
    EXPECT_LE(ThreadsOfThisProcess(), threadsBefore) << "threads left behind";
    std::printf("%d removal/arrival cycles while a key repeated: %d events, next handle 0x%llx -> 0x%llx, "
                "threads %d -> %d\n",
                kCycles, worker.GetEventsStarted(), static_cast<unsigned long long>(handlesBefore),
                static_cast<unsigned long long>(handlesAfter), threadsBefore, ThreadsOfThisProcess());
}

}  // namespace
