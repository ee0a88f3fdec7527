// The receiver manager with fake receivers, a fake worker and a fake clock:
// slots, masks and selection, the MIDI-last rule, power, device arrival and
// removal by path, and the lifetime of a receiver whose key is being repeated.
#include "app/ReceiverManager.h"

#include "receivers/DeviceCatalogue.h"
#include "tests/app/HoldingSrc.h"
#include "tests/support/FakeClock.h"
#ifndef _WIN32
#include "support/QVDebug.h"
#include "support/QVDebugHost.h"
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cwchar>
#include <map>
#include <thread>
#include <vector>

namespace {

std::atomic<int> g_alive{0};

// A receiver whose Init result the test chooses.
class CFakeSrc : public CSrc {
public:
    explicit CFakeSrc(int initResult, std::wstring port = std::wstring())
        : m_initResult(initResult), m_port(std::move(port)) {
        ++g_alive;
    }
    ~CFakeSrc() override {
        m_destroyedOn = std::this_thread::get_id();
        --g_alive;
    }
    int Init(void* owner, PFNIREVENTCALLBACK callback) override {
        CSrc::Init(owner, callback);
        return m_initResult;
    }
    int Report(int keyId) {
        m_keyId = keyId;
        return m_eventCallback ? m_eventCallback(m_owner, this, keyId, 0) : 0;
    }
    const std::wstring& Port() const { return m_port; }
    static std::thread::id m_destroyedOn;

private:
    int m_initResult;
    std::wstring m_port;
};
std::thread::id CFakeSrc::m_destroyedOn;

class CFakeEnvironment : public IReceiverEnvironment {
public:
    std::unique_ptr<CSrc> CreateReceiver(int slot) override {
        ++created[slot];
        auto found = initResults.find(slot);
        return found == initResults.end() ? nullptr : std::make_unique<CFakeSrc>(found->second);
    }
    std::unique_ptr<CSrc> CreateMidiReceiver(const std::wstring& port, std::uint8_t channel) override {
        ++created[RECEIVER_SLOT_MIDI];
        midiChannel = channel;
        return std::make_unique<CFakeSrc>(midiInitResult, port);
    }
    std::unique_ptr<CSrc> CreateLircReceiver(const std::wstring& host, unsigned port) override {
        lircServers.push_back(host + L":" + std::to_wstring(port));
        return lircInitResult < 0 ? nullptr : std::make_unique<CFakeSrc>(lircInitResult);
    }
    int GetMidiInputCount() override { return midiInputs; }
    void SaveSettings() override { ++saves; }
    void ExitProgram(int code) override { exitCodes.push_back(code); }

    std::map<int, int> initResults;  // slot -> Init result; slots not listed have no receiver
    int midiInputs = 0;
    int midiInitResult = 1;
    int lircInitResult = -1;  // -1: this build has no network receiver
    std::vector<std::wstring> lircServers;
    std::uint8_t midiChannel = 0;
    std::map<int, int> created;
    int saves = 0;
    std::vector<int> exitCodes;
};

class CFakeSink : public IKeyEventSink {
public:
    int PostKeyEvent(const SrcPtr& source, int keyId, int) override {
        if (!ready)
            return 1;
        posts.push_back({source, keyId});
        return 1;
    }
    void StopEventsOf(const CSrc* source) override {
        stops.push_back(source);
        // The worker lets go of the events of that receiver.
        posts.erase(std::remove_if(posts.begin(), posts.end(),
                                   [source](const tagPOST& post) { return post.source.get() == source; }),
                    posts.end());
    }
    void SetReady(bool value) override { ready = value; }

    struct tagPOST {
        SrcPtr source;
        int keyId;
    };
    std::vector<tagPOST> posts;
    std::vector<const CSrc*> stops;
    bool ready = false;
};

constexpr std::uint32_t Bit(int slot) { return 1u << slot; }

class ReceiverManagerTest : public ::testing::Test {
protected:
    void TearDown() override {
        m_manager.FreeReceivers();
        EXPECT_EQ(0, g_alive.load()) << "every receiver freed";
    }

    // A device path that names the first catalogue row of the slot.
    static std::wstring PathOfSlot(int slot, bool upper) {
        for (int row = 0; row < GetCatalogueSize(); ++row) {
            const _IR_REMOVABLE_DEVICE* device = GetCatalogueRow(row);
            if (device->nReceiverIndex != slot)
                continue;
            std::wstring part = FormatCatalogueDevicePath(*device);
            for (wchar_t& c : part)
                c = static_cast<wchar_t>(upper ? std::towupper(c) : std::towlower(c));
            return L"\\\\?\\" + part + L"7&1a2b3c4d&0&0000#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
        }
        return std::wstring();
    }

    CFakeEnvironment m_env;
    CFakeSink m_sink;
    tagSETTINGS m_settings;
    FakeClock m_clock{5000};
    CReceiverManager m_manager{m_env, m_sink, m_settings, m_clock};
};

TEST_F(ReceiverManagerTest, OnlySelectedReceiversStayButTheMaskShowsEveryWorkingOne) {
    m_env.initResults = {{3, 1}, {10, 1}, {12, 1}, {8, 0}};
    m_settings.receiverSelection = Bit(10);
    EXPECT_TRUE(m_manager.InitReceivers());
    EXPECT_EQ(Bit(3) | Bit(10) | Bit(12), m_manager.GetActiveMask());
    for (int slot = 0; slot < RECEIVER_SLOTS; ++slot)
        EXPECT_EQ(slot == 10, m_manager.IsOccupied(slot)) << slot;
    EXPECT_TRUE(m_manager.IsReady());
    EXPECT_TRUE(m_sink.ready);
    EXPECT_EQ(1, m_env.saves);
    EXPECT_EQ(10, m_manager.GetReceiver(10)->GetReceiverIndex());
    const std::vector<std::uint32_t> pauses = {150, 1000};  // the start, then the HID receiver's
    EXPECT_EQ(pauses, m_clock.Sleeps());
}

TEST_F(ReceiverManagerTest, NoActiveReceiverIsAnErrorAndKeysAreNotDispatched) {
    m_env.initResults = {{3, 0}};
    m_settings.receiverSelection = 0xFFFFFFFFu;
#ifndef _WIN32
    TraceInitEx(QVOUT_DEBUGGER, nullptr, 0, QVL_DETAIL, QVC_ALL);
    TraceHostTakeLines();
#endif
    EXPECT_FALSE(m_manager.InitReceivers());
    EXPECT_FALSE(m_sink.ready);
    EXPECT_EQ(0u, m_manager.GetActiveMask());
#ifndef _WIN32
    const std::vector<std::wstring> lines = TraceHostTakeLines();
    EXPECT_NE(lines.end(), std::find_if(lines.begin(), lines.end(), [](const std::wstring& line) {
                  return line.rfind(L"ERR ", 0) == 0 && line.find(L"ERROR: No active receiver!\n") != std::wstring::npos;
              }));
    TraceTerminateThread(TraceCurrentThreadId(), 1);
#endif
}

// The network receiver has a bit of the selection above the slots and an
// index of its own; it makes keys flow without hardware, follows the settings
// on every re-start and goes on suspend like the slot receivers.
TEST_F(ReceiverManagerTest, TheNetworkReceiverFollowsItsSelectionBitAndTheServerSetting) {
    m_env.lircInitResult = 1;
    m_settings.receiverSelection = RECEIVER_SELECTION_LIRC;
    SettingsCopyText(m_settings.lircHost, L"tv-box");
    m_settings.lircPort = 8766;
    EXPECT_FALSE(m_manager.InitReceivers()) << "no slot receiver";
    EXPECT_TRUE(m_sink.ready);
    EXPECT_EQ(0u, m_manager.GetActiveMask());
    ASSERT_EQ(std::vector<std::wstring>{L"tv-box:8766"}, m_env.lircServers);
    auto* lirc = static_cast<CFakeSrc*>(m_manager.GetReceiver(RECEIVER_INDEX_LIRC).get());
    ASSERT_NE(nullptr, lirc);
    EXPECT_EQ(RECEIVER_INDEX_LIRC, lirc->GetReceiverIndex());
    lirc->Report(KEYID_OK);
    ASSERT_EQ(1u, m_sink.posts.size());
    EXPECT_EQ(lirc, m_sink.posts[0].source.get());

    // A standing receiver that leaves does not take readiness with it.
    m_manager.AddStandingReceiver(std::make_shared<CFakeSrc>(1));
    m_manager.RemoveStandingReceivers();
    EXPECT_TRUE(m_sink.ready);

    m_manager.HandlePowerSuspend();
    EXPECT_EQ(nullptr, m_manager.GetReceiver(RECEIVER_INDEX_LIRC));
    m_manager.HandlePowerResume();
    EXPECT_NE(nullptr, m_manager.GetReceiver(RECEIVER_INDEX_LIRC));

    m_settings.receiverSelection = 0xFFFFFFFFu & ~RECEIVER_SELECTION_LIRC;
    EXPECT_EQ(0, m_manager.InitReceiver_LIRC());
    EXPECT_EQ(nullptr, m_manager.GetReceiver(RECEIVER_INDEX_LIRC));
    EXPECT_EQ(2u, m_env.lircServers.size()) << "not selected: not created";

    m_settings.receiverSelection = RECEIVER_SELECTION_LIRC;
    m_env.lircInitResult = 0;
    EXPECT_EQ(0, m_manager.InitReceiver_LIRC());
    EXPECT_EQ(nullptr, m_manager.GetReceiver(RECEIVER_INDEX_LIRC)) << "a failed Init leaves no receiver";
}

// A receiver of the command line (the capture replay) is outside the slots:
// no hardware is needed for keys to flow, and it outlives every re-start of
// the slot receivers, but not a suspend.
TEST_F(ReceiverManagerTest, AStandingReceiverMakesKeysFlowAndOutlivesTheSlotReceivers) {
    m_settings.receiverSelection = 0xFFFFFFFFu;
    EXPECT_FALSE(m_manager.InitReceivers());
    auto standing = std::make_shared<CFakeSrc>(1);
    const int index = m_manager.AddStandingReceiver(standing);
    EXPECT_EQ(RECEIVER_SLOTS, index);
    standing->Init(&m_manager, &CReceiverManager::IrEventCallback);
    EXPECT_TRUE(m_sink.ready);
    EXPECT_EQ(0u, m_manager.GetActiveMask()) << "no slot is taken";
    EXPECT_EQ(standing, m_manager.GetReceiver(index));

    m_manager.InitReceivers();
    standing->Report(KEYID_OK);
    ASSERT_EQ(1u, m_sink.posts.size());
    EXPECT_EQ(standing, m_sink.posts[0].source);

    m_manager.HandlePowerSuspend();
    standing->Report(KEYID_OK);
    EXPECT_EQ(1u, m_sink.posts.size()) << "asleep: nothing flows";
    m_manager.HandlePowerResume();
    standing->Report(KEYID_OK);
    EXPECT_EQ(2u, m_sink.posts.size());

    m_manager.RemoveStandingReceivers();
    EXPECT_FALSE(m_sink.ready);
    EXPECT_EQ(nullptr, m_manager.GetReceiver(index));
    EXPECT_EQ(0, standing->Report(KEYID_OK)) << "a receiver that left reports nothing";
    m_sink.posts.clear();
    standing.reset();
}

TEST_F(ReceiverManagerTest, SlotsWithoutAReceiverFail) {
    m_env.initResults = {{5, 1}, {14, 1}};
    for (int slot : {5, 14, 18, -1})
        EXPECT_EQ(0, m_manager.ReinitReceiver(slot, false)) << slot;
    EXPECT_EQ(0, m_env.created[5] + m_env.created[14]);
}

TEST_F(ReceiverManagerTest, ReinitDropsAFailedOrUnselectedReceiverOnlyWhenAsked) {
    m_env.initResults = {{3, 1}, {4, 0}};
    m_settings.receiverSelection = Bit(4);
    EXPECT_EQ(1, m_manager.ReinitReceiver(3, true));
    EXPECT_FALSE(m_manager.IsOccupied(3)) << "not selected";
    EXPECT_EQ(0, m_manager.ReinitReceiver(4, true));
    EXPECT_FALSE(m_manager.IsOccupied(4)) << "failed";
    EXPECT_EQ(1, m_manager.ReinitReceiver(3, false));
    EXPECT_TRUE(m_manager.IsOccupied(3));
    EXPECT_EQ(Bit(3), m_manager.GetActiveMask());
    m_manager.FreeReceiver(3);
    EXPECT_EQ(0u, m_manager.GetActiveMask());
}

// --- MIDI, always last ---

struct tagMIDICASE {
    const char* name;
    int inputs;
    bool firewire;        // slot 1 (the FireWire card, itself a MIDI device) occupied
    const wchar_t* port;  // midiDevice before
    bool created;
    bool kept;
    const wchar_t* portAfter;
};

class ReceiverManagerMidi : public ReceiverManagerTest, public ::testing::WithParamInterface<tagMIDICASE> {};

TEST_P(ReceiverManagerMidi, FollowsTheMidiLastRule) {
    const tagMIDICASE& c = GetParam();
    m_env.midiInputs = c.inputs;
    if (c.firewire)
        m_env.initResults = {{RECEIVER_SLOT_FIREWIRE, 1}};
    m_settings.receiverSelection = Bit(RECEIVER_SLOT_MIDI) | Bit(RECEIVER_SLOT_FIREWIRE);
    std::wcscpy(m_settings.midiDevice, c.port);
    m_manager.SetMidiChannel(3);
    m_manager.InitReceivers();
    EXPECT_EQ(c.created ? 1 : 0, m_env.created[RECEIVER_SLOT_MIDI]);
    EXPECT_EQ(c.kept, m_manager.IsOccupied(RECEIVER_SLOT_MIDI));
    EXPECT_STREQ(c.portAfter, m_settings.midiDevice);
    if (c.kept) {
        EXPECT_EQ(3, m_env.midiChannel);
    }
    // A port cleared or missing deselects MIDI input.
    EXPECT_EQ(c.portAfter[0] != 0 || !c.created, (m_settings.receiverSelection & Bit(RECEIVER_SLOT_MIDI)) != 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReceiverManagerMidi,
    ::testing::Values(tagMIDICASE{"NoInputs", 0, false, L"Keys", false, false, L"Keys"},
                      tagMIDICASE{"OnlyTheFirewireCard", 1, true, L"Keys", false, false, L"Keys"},
                      tagMIDICASE{"OneInput", 1, false, L"Keys", true, true, L"Keys"},
                      tagMIDICASE{"CardAndKeyboard", 2, true, L"Keys", true, true, L"Keys"},
                      tagMIDICASE{"NoPortChosen", 2, false, L"", true, false, L""},
                      tagMIDICASE{"FirewirePortChosen", 2, true, L"SonexaFW Remote Control", true, false, L""}),
    [](const ::testing::TestParamInfo<tagMIDICASE>& info) { return info.param.name; });

// --- power and devices ---

TEST_F(ReceiverManagerTest, SuspendFreesEverythingAndResumeStartsAgainAfterThreeSeconds) {
    m_env.initResults = {{3, 1}};
    m_settings.receiverSelection = Bit(3);
    ASSERT_TRUE(m_manager.InitReceivers());
    ASSERT_EQ(1, g_alive.load());
    m_manager.HandlePowerSuspend();
    EXPECT_EQ(0, g_alive.load());
    EXPECT_FALSE(m_sink.ready);
    EXPECT_EQ(0u, m_manager.GetActiveMask());
    const std::size_t before = m_clock.Sleeps().size();
    m_manager.HandlePowerResume();
    ASSERT_GT(m_clock.Sleeps().size(), before);
    EXPECT_EQ(3000u, m_clock.Sleeps()[before]);
    EXPECT_TRUE(m_manager.IsOccupied(3));
    EXPECT_TRUE(m_sink.ready);
}

TEST_F(ReceiverManagerTest, DeviceArrivalAndRemovalByPathReachTheCatalogueSlot) {
    m_env.initResults = {{3, 1}};
    m_settings.receiverSelection = Bit(3);
    const std::wstring path = PathOfSlot(3, true);
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(1, m_manager.HandleDeviceChange(RECEIVER_DEVICE_ARRIVAL, RECEIVER_DEVICE_TYPE_INTERFACE, path.c_str()));
    EXPECT_EQ(1, m_env.created[3]);
    EXPECT_TRUE(m_manager.IsOccupied(3));
    EXPECT_FALSE(m_sink.ready) << "an arrival does not make keys dispatched";
    EXPECT_EQ(1, m_manager.HandleDeviceChange(RECEIVER_DEVICE_REMOVE_COMPLETE, RECEIVER_DEVICE_TYPE_INTERFACE,
                                              PathOfSlot(3, false).c_str()));
    EXPECT_FALSE(m_manager.IsOccupied(3));
    EXPECT_EQ(0u, m_manager.GetActiveMask());
    // Other events, other device types and unknown devices change nothing.
    m_manager.HandleDeviceChange(0x0007, RECEIVER_DEVICE_TYPE_INTERFACE, path.c_str());
    m_manager.HandleDeviceChange(RECEIVER_DEVICE_ARRIVAL, 2, path.c_str());
    m_manager.HandleDeviceChange(RECEIVER_DEVICE_ARRIVAL, RECEIVER_DEVICE_TYPE_INTERFACE, L"\\\\?\\usb#vid_1234&pid_5678#x");
    EXPECT_EQ(1, m_env.created[3]);
}

TEST_F(ReceiverManagerTest, FirewireCardRemovalEndsTheProgramAndItsMidiArrivalReinitsSlot1) {
    m_env.initResults = {{RECEIVER_SLOT_FIREWIRE, 1}};
    m_settings.receiverSelection = Bit(RECEIVER_SLOT_FIREWIRE);
    const std::wstring card = std::wstring(L"\\\\?\\") + L"QV1394_ENUM#QV1394_AVS_0013F30200#MIDI#{x}";
    m_manager.HandleDeviceChange(RECEIVER_DEVICE_ARRIVAL, RECEIVER_DEVICE_TYPE_INTERFACE, card.c_str());
    EXPECT_TRUE(m_manager.IsOccupied(RECEIVER_SLOT_FIREWIRE));
    EXPECT_TRUE(m_env.exitCodes.empty());
    m_manager.HandleDeviceChange(RECEIVER_DEVICE_QUERY_REMOVE, RECEIVER_DEVICE_TYPE_INTERFACE,
                                 L"1394#Vemtra_Electronic_GmbH&SONEXA_7.1_FireWire#1");
    EXPECT_EQ(std::vector<int>{RECEIVER_FIREWIRE_EXIT_CODE}, m_env.exitCodes);
}

// --- events and lifetime ---

TEST_F(ReceiverManagerTest, EventsCarryTheSlotsReceiverAndStopBeforeItGoes) {
    m_env.initResults = {{3, 1}};
    m_settings.receiverSelection = Bit(3);
    ASSERT_TRUE(m_manager.InitReceivers());
    SrcPtr receiver = m_manager.GetReceiver(3);
    auto* fake = static_cast<CFakeSrc*>(receiver.get());
    EXPECT_EQ(1, fake->Report(KEYID_MUTE));
    ASSERT_EQ(1u, m_sink.posts.size());
    EXPECT_EQ(receiver, m_sink.posts[0].source);
    EXPECT_EQ(KEYID_MUTE, m_sink.posts[0].keyId);
    receiver.reset();

    m_manager.FreeReceiver(3);
    ASSERT_EQ(1u, m_sink.stops.size());
    EXPECT_EQ(fake, m_sink.stops[0]) << "the worker was told to let go";
    EXPECT_EQ(0, g_alive.load());
    EXPECT_EQ(std::this_thread::get_id(), CFakeSrc::m_destroyedOn) << "freed on the calling thread";
}

TEST_F(ReceiverManagerTest, AReceiverNoLongerInItsSlotReportsNothing) {
    CFakeSrc stray(1);
    stray.SetReceiverIndex(3);
    stray.Init(&m_manager, &CReceiverManager::IrEventCallback);
    EXPECT_EQ(0, stray.Report(KEYID_MUTE));
    EXPECT_TRUE(m_sink.posts.empty());
}

// --- removal while a key repeats, many times over ---


// A worker that repeats: its thread reads the source's key id until stopped.
class CRepeatingSink : public IKeyEventSink {
public:
    ~CRepeatingSink() override { Stop(); }
    int PostKeyEvent(const SrcPtr& source, int keyId, int) override {
        std::lock_guard<std::mutex> lock(m_lock);
        Stop();
        m_current = source.get();
        m_stop = false;
        m_thread = std::thread([this, source, keyId] {
            while (!m_stop && source->GetKeyId() == keyId)
                ++reads;
        });
        return 1;
    }
    void StopEventsOf(const CSrc* source) override {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_current == source)
            Stop();
    }
    void SetReady(bool) override {}

    std::atomic<long> reads{0};

private:
    void Stop() {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        m_current = nullptr;
    }
    std::mutex m_lock;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    const CSrc* m_current = nullptr;
};

class CHoldingEnvironment : public CFakeEnvironment {
public:
    std::unique_ptr<CSrc> CreateReceiver(int slot) override {
        return slot == 3 ? std::make_unique<CHoldingSrc>(KEYID_MUTE) : nullptr;
    }
};

TEST(ReceiverLifetime, TenThousandRemovalsWhileAKeyRepeats) {
    CHoldingEnvironment env;
    CRepeatingSink sink;
    tagSETTINGS settings;
    settings.receiverSelection = Bit(3);
    FakeClock clock;
    {
        CReceiverManager manager(env, sink, settings, clock);
        std::wstring path;
        for (int row = 0; row < GetCatalogueSize() && path.empty(); ++row)
            if (GetCatalogueRow(row)->nReceiverIndex == 3)
                path = L"\\\\?\\" + FormatCatalogueDevicePath(*GetCatalogueRow(row)) + L"1#{guid}";
        for (int cycle = 0; cycle < 10000; ++cycle) {
            manager.HandleDeviceChange(RECEIVER_DEVICE_ARRIVAL, RECEIVER_DEVICE_TYPE_INTERFACE, path.c_str());
            ASSERT_TRUE(manager.IsOccupied(3)) << cycle;
            manager.HandleDeviceChange(RECEIVER_DEVICE_REMOVE_COMPLETE, RECEIVER_DEVICE_TYPE_INTERFACE, path.c_str());
            ASSERT_FALSE(manager.IsOccupied(3)) << cycle;
        }
    }
    EXPECT_EQ(0, CHoldingSrc::Alive().load()) << "no receiver left behind";
    EXPECT_GT(sink.reads.load(), 0) << "the key was repeated meanwhile";
}

}  // namespace
