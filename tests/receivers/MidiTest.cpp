// The MIDI receivers through the real winmm, with winesim.drv as the MIDI
// input driver (tests/receivers/midi). Messages are sent from a thread of the
// test's own, as a driver's thread would deliver them: the receiver's
// callback runs on that thread before the send returns.

#include "receivers/SrcMidi.h"
#include "receivers/SrcRcSonexaFirewire.h"
#include "tests/receivers/midi/MidiSimClient.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr auto kEventTimeout = std::chrono::seconds(5);
constexpr UINT kMidiInUseText = 4003;
constexpr MMRESULT kDelivered = MMSYSERR_NOERROR;
constexpr MMRESULT kPortClosed = MMSYSERR_INVALHANDLE;

// The driver's ports as every test starts; the FireWire tests rename 1 to 3.
constexpr UINT kPortCount = 4;
constexpr const wchar_t* kPortNames[kPortCount] = {L"Kanzo Keys", L"Second Keys", L"Spare 2", L"Spare 3"};
constexpr const wchar_t* kPortList = L"Kanzo Keys|Second Keys|Spare 2|Spare 3";

DWORD ShortMessage(unsigned status, unsigned data1, unsigned data2) { return status | (data1 << 8) | (data2 << 16); }
DWORD NoteOn(unsigned channel, unsigned note, unsigned velocity = 64) {
    return ShortMessage(0x90 | channel, note, velocity);
}
DWORD NoteOff(unsigned channel, unsigned note) { return ShortMessage(0x80 | channel, note, 64); }

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

struct tagKEYEVENT {
    void* pOwner;
    CSrc* pSource;
    int nKeyId;
    int fNoAutoRepeat;
    DWORD dwThreadId;
};

// The owner's side: records every event and wakes whoever waits for one.
class CEventLog {
public:
    static int KANZO_STDCALL Record(void* owner, CSrc* source, int keyId, int noAutoRepeat) {
        auto* log = static_cast<CEventLog*>(owner);
        std::lock_guard<std::mutex> lock(log->m_lock);
        log->m_events.push_back({owner, source, keyId, noAutoRepeat, GetCurrentThreadId()});
        log->m_changed.notify_all();
        return 1;
    }
    bool WaitForCount(std::size_t count) {
        std::unique_lock<std::mutex> lock(m_lock);
        return m_changed.wait_for(lock, kEventTimeout, [&] { return m_events.size() >= count; });
    }
    std::vector<tagKEYEVENT> Events() {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_events;
    }
    std::vector<int> KeyIds() {
        std::vector<int> keyIds;
        for (const tagKEYEVENT& event : Events())
            keyIds.push_back(event.nKeyId);
        return keyIds;
    }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<tagKEYEVENT> m_events;
};

struct tagMESSAGE {
    UINT nTextId;
    std::wstring strArgument;
};

class MidiReceivers : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!s_loaded)
            s_loaded = s_sim.Load(kPortList);
    }

    void SetUp() override {
        ASSERT_TRUE(s_loaded) << Narrow(s_sim.Error());
        for (UINT port = 0; port < kPortCount; ++port) {
            s_sim.SetPortName(port, kPortNames[port]);
            s_sim.SetInUse(port, false);
        }
        s_sim.ResetCounts();
    }

    // Init with the message box replaced by a record.
    int InitReceiver(CSrcMidi& src, const wchar_t* portName) {
        src.SetMessageFunction([this](UINT textId, const wchar_t* argument) {
            m_messages.push_back({textId, argument ? argument : L""});
        });
        if (portName)
            src.SetDeviceName(portName);
        return src.Init(&m_log, &CEventLog::Record);
    }

    // Sends the messages from a thread of its own; returns that thread's id.
    static DWORD SendFromThread(UINT port, const std::vector<DWORD>& messages) {
        DWORD threadId = 0;
        std::thread sender([&] {
            threadId = GetCurrentThreadId();
            for (DWORD message : messages)
                EXPECT_EQ(kDelivered, s_sim.Send(port, message)) << std::hex << message;
        });
        sender.join();
        return threadId;
    }

    // Key ids of the events that the messages caused.
    std::vector<int> KeyIdsOf(UINT port, const std::vector<DWORD>& messages) {
        const std::size_t before = m_log.Events().size();
        SendFromThread(port, messages);
        std::vector<int> keyIds = m_log.KeyIds();
        keyIds.erase(keyIds.begin(), keyIds.begin() + static_cast<std::ptrdiff_t>(before));
        return keyIds;
    }

    static CMidiSimClient s_sim;
    static bool s_loaded;
    CEventLog m_log;
    std::vector<tagMESSAGE> m_messages;
};

CMidiSimClient MidiReceivers::s_sim;
bool MidiReceivers::s_loaded = false;

TEST_F(MidiReceivers, NoteOnIsReportedOnTheDeliveringThread) {
    CSrcMidi src;
    ASSERT_EQ(1, InitReceiver(src, L"Kanzo Keys"));
    EXPECT_EQ(1, src.IsInitialized());
    EXPECT_EQ(L"Kanzo Keys", src.GetDeviceName());
    EXPECT_EQ(RCTYPE_MIDI, src.GetRcType());

    const DWORD sender = SendFromThread(0, {NoteOn(15, 69, 64)});
    ASSERT_TRUE(m_log.WaitForCount(1));
    const tagKEYEVENT event = m_log.Events()[0];
    EXPECT_EQ(&m_log, event.pOwner);
    EXPECT_EQ(&src, event.pSource);
    EXPECT_EQ(69, event.nKeyId);
    EXPECT_EQ(0, event.fNoAutoRepeat);
    EXPECT_EQ(sender, event.dwThreadId);
    EXPECT_EQ(69, src.GetKeyId());
}

// A held note stays the key id until its release, which reports nothing.
class MidiRelease : public MidiReceivers, public ::testing::WithParamInterface<DWORD> {};

TEST_P(MidiRelease, KeyIdStaysTheHeldNoteUntilReleased) {
    CSrcMidi src;
    ASSERT_EQ(1, InitReceiver(src, L"Kanzo Keys"));
    SendFromThread(0, {NoteOn(15, 69)});
    ASSERT_TRUE(m_log.WaitForCount(1));

    EXPECT_TRUE(KeyIdsOf(0, {ShortMessage(0xBF, 7, 100), NoteOff(14, 69)}).empty());
    EXPECT_EQ(69, src.GetKeyId()) << "another message is no release";

    EXPECT_TRUE(KeyIdsOf(0, {GetParam()}).empty());
    EXPECT_EQ(KEYID_NONE, src.GetKeyId());
}

INSTANTIATE_TEST_SUITE_P(VelocityZeroAndNoteOff, MidiRelease,
                         ::testing::Values(NoteOn(15, 69, 0), NoteOff(15, 69)));

struct tagCHANNELCASE {
    const char* szName;
    int nSetChannel;  // -1: not called
    DWORD dwMessage;
    std::vector<int> keyIds;
};
void PrintTo(const tagCHANNELCASE& c, std::ostream* os) { *os << c.szName; }

class MidiChannel : public MidiReceivers, public ::testing::WithParamInterface<tagCHANNELCASE> {};

TEST_P(MidiChannel, OnlyNotesOfTheChannelCount) {
    CSrcMidi src;
    ASSERT_EQ(1, InitReceiver(src, L"Kanzo Keys"));
    // As at start-up: the command line's channel comes after Init.
    if (GetParam().nSetChannel >= 0)
        src.SetChannel(GetParam().nSetChannel);
    EXPECT_EQ(GetParam().keyIds, KeyIdsOf(0, {GetParam().dwMessage}));
}

INSTANTIATE_TEST_SUITE_P(
    Messages, MidiChannel,
    ::testing::Values(tagCHANNELCASE{"Channel15ByDefault", -1, NoteOn(15, 60), {60}},
                      tagCHANNELCASE{"Channel14Ignored", -1, NoteOn(14, 60), {}},
                      tagCHANNELCASE{"Channel0Ignored", -1, NoteOn(0, 60), {}},
                      tagCHANNELCASE{"Channel3Chosen", 3, NoteOn(3, 60), {60}},
                      tagCHANNELCASE{"Channel15NoLongerCounts", 3, NoteOn(15, 60), {}},
                      tagCHANNELCASE{"Channel16RefusedKeeps15", 16, NoteOn(15, 60), {60}},
                      tagCHANNELCASE{"DataByteWithHighBitIsNoPowerKey", -1, NoteOn(15, 0x8C), {}}),
    [](const ::testing::TestParamInfo<tagCHANNELCASE>& info) { return std::string(info.param.szName); });

TEST_F(MidiReceivers, InitWithoutPortNameOnlyTellsThatInputExists) {
    CSrcMidi src;
    EXPECT_EQ(1, InitReceiver(src, nullptr));
    EXPECT_EQ(0, src.IsInitialized()) << "the callback is not stored";
    EXPECT_EQ(L"", src.GetDeviceName());
    for (UINT port = 0; port < kPortCount; ++port)
        EXPECT_EQ(0, s_sim.PortState(port).nOpens) << "port " << port;
}

struct tagNAMECASE {
    const wchar_t* szName;
    int nPort;  // the port opened, -1 for none
};

class MidiPortName : public MidiReceivers, public ::testing::WithParamInterface<tagNAMECASE> {};

// A port of exactly that name opens and starts; any other name fails silently.
TEST_P(MidiPortName, InitOpensOnlyThePortOfThatName) {
    CSrcMidi src;
    src.SetDeviceName(GetParam().szName);
    EXPECT_EQ(GetParam().nPort >= 0, src.IsDevicePresent());
    EXPECT_EQ(GetParam().nPort >= 0 ? 1 : 0, InitReceiver(src, nullptr));
    EXPECT_TRUE(m_messages.empty());
    for (UINT port = 0; port < kPortCount; ++port) {
        const tagMIDISIM_PORTSTATE state = s_sim.PortState(port);
        const bool chosen = static_cast<int>(port) == GetParam().nPort;
        EXPECT_EQ(chosen, state.fOpen != FALSE) << "port " << port;
        EXPECT_EQ(chosen, state.fStarted != FALSE) << "port " << port;
    }
}

INSTANTIATE_TEST_SUITE_P(Names, MidiPortName,
                         ::testing::Values(tagNAMECASE{L"Second Keys", 1}, tagNAMECASE{L"Kanzo Keys", 0},
                                           tagNAMECASE{L"Second", -1}, tagNAMECASE{L"second keys", -1},
                                           tagNAMECASE{L"Second Keys ", -1}, tagNAMECASE{L"Not There", -1}));

TEST_F(MidiReceivers, PortInUseShowsTheMessageAndFails) {
    s_sim.SetInUse(0, true);
    CSrcMidi src;
    EXPECT_EQ(0, InitReceiver(src, L"Kanzo Keys"));
    EXPECT_EQ(0, src.IsInitialized());
    ASSERT_EQ(1u, m_messages.size());
    EXPECT_EQ(kMidiInUseText, m_messages[0].nTextId);
    EXPECT_EQ(L"Kanzo Keys", m_messages[0].strArgument);
    EXPECT_FALSE(s_sim.PortState(0).fOpen);

    // Nothing of the failed attempt stays: once free, the port opens.
    s_sim.SetInUse(0, false);
    EXPECT_EQ(1, InitReceiver(src, L"Kanzo Keys"));
    EXPECT_EQ(1u, m_messages.size());
    EXPECT_EQ(1, s_sim.PortState(0).nOpens);
}

TEST_F(MidiReceivers, InitWithoutCallbackLeavesThePortClosed) {
    CSrcMidi src;
    src.SetDeviceName(L"Kanzo Keys");
    EXPECT_EQ(0, src.Init(&m_log, nullptr));
    const tagMIDISIM_PORTSTATE state = s_sim.PortState(0);
    EXPECT_FALSE(state.fOpen);
    EXPECT_EQ(0, state.nStarts);
}

struct tagFIREWIRECASE {
    const char* szName;
    const wchar_t* szPorts[3];  // names of ports 1 to 3
    int nPort;                  // the port opened, -1 for none
};
void PrintTo(const tagFIREWIRECASE& c, std::ostream* os) { *os << c.szName; }

class FirewirePort : public MidiReceivers, public ::testing::WithParamInterface<tagFIREWIRECASE> {};

TEST_P(FirewirePort, FirstCardNameThatExistsIsOpened) {
    for (UINT port = 1; port <= 3; ++port)
        s_sim.SetPortName(port, GetParam().szPorts[port - 1]);
    CSrcRcSonexaFirewire src;
    const int opened = GetParam().nPort;
    EXPECT_EQ(opened >= 0 ? 1 : 0, InitReceiver(src, L"Kanzo Keys")) << "the name set before is not used";
    EXPECT_EQ(opened >= 0 ? GetParam().szPorts[opened - 1] : L"", src.GetDeviceName());
    for (UINT port = 0; port < kPortCount; ++port)
        EXPECT_EQ(static_cast<int>(port) == opened, s_sim.PortState(port).fOpen != FALSE) << "port " << port;
}

INSTANTIATE_TEST_SUITE_P(
    CardNames, FirewirePort,
    ::testing::Values(
        tagFIREWIRECASE{"ThirdNameAlone", {L"Spare 1", L"Spare 2", L"BridgeCo D0 Midi In 1"}, 3},
        tagFIREWIRECASE{"SecondBeforeThird", {L"BridgeCo D0 Midi In 1", L"SonexaFW Remote Control", L"Spare 3"}, 2},
        tagFIREWIRECASE{"FirstBeforeAll",
                        {L"BridgeCo D0 Midi In 1", L"SonexaFW Remote Control", L"Sonexa 7.1 FW Midi Remote"},
                        3},
        tagFIREWIRECASE{"NoCardName", {L"Sonexa 7.1 FW Midi", L"SonexaFW Remote", L"BridgeCo D0 Midi In 2"}, -1}),
    [](const ::testing::TestParamInfo<tagFIREWIRECASE>& info) { return std::string(info.param.szName); });

struct tagNOTECASE {
    const char* szName;
    std::vector<DWORD> messages;
    std::vector<int> keyIds;
    int nKeyIdAfter;
};
void PrintTo(const tagNOTECASE& c, std::ostream* os) { *os << c.szName; }

class FirewireNote : public MidiReceivers, public ::testing::WithParamInterface<tagNOTECASE> {};

TEST_P(FirewireNote, NotesOfTheRemoteBecomeItsKeys) {
    s_sim.SetPortName(1, L"SonexaFW Remote Control");
    CSrcRcSonexaFirewire src;
    ASSERT_EQ(1, InitReceiver(src, nullptr));
    EXPECT_EQ(GetParam().keyIds, KeyIdsOf(1, GetParam().messages));
    EXPECT_EQ(GetParam().nKeyIdAfter, src.GetKeyId());
}

INSTANTIATE_TEST_SUITE_P(
    Notes, FirewireNote,
    ::testing::Values(tagNOTECASE{"Note10IsPower", {NoteOn(15, 10)}, {140}, 140},
                      tagNOTECASE{"Note36IsNoKey", {NoteOn(15, 10), NoteOn(15, 36)}, {140}, KEYID_NONE},
                      tagNOTECASE{"ReleaseEndsTheKey", {NoteOn(15, 10), NoteOff(15, 10)}, {140}, KEYID_NONE},
                      tagNOTECASE{"OtherChannelIgnored", {NoteOn(14, 10)}, {}, KEYID_NONE}),
    [](const ::testing::TestParamInfo<tagNOTECASE>& info) { return std::string(info.param.szName); });

struct tagKINDCASE {
    const char* szName;
    std::function<std::unique_ptr<CSrcMidi>()> create;
    UINT nPort;
    DWORD dwNote;
};
void PrintTo(const tagKINDCASE& c, std::ostream* os) { *os << c.szName; }

class MidiDestruction : public MidiReceivers, public ::testing::WithParamInterface<tagKINDCASE> {};

// Notes keep coming while the receiver goes: none reaches it afterwards.
TEST_P(MidiDestruction, DestructorClosesThePortBeforeTheReceiverGoes) {
    s_sim.SetPortName(2, L"Sonexa 7.1 FW Midi Remote");
    std::unique_ptr<CSrcMidi> src = GetParam().create();
    src->SetDeviceName(L"Kanzo Keys");
    ASSERT_EQ(1, InitReceiver(*src, nullptr));

    const UINT port = GetParam().nPort;
    MMRESULT last = kDelivered;
    std::thread sender([&] {
        const auto deadline = std::chrono::steady_clock::now() + kEventTimeout;
        while (last == kDelivered && std::chrono::steady_clock::now() < deadline)
            last = s_sim.Send(port, GetParam().dwNote);
    });
    const bool delivered = m_log.WaitForCount(1);
    src.reset();
    const std::size_t eventsAtDestruction = m_log.Events().size();
    sender.join();

    EXPECT_TRUE(delivered);
    EXPECT_NE(kDelivered, last) << "the port still delivers";
    EXPECT_EQ(kPortClosed, s_sim.Send(port, GetParam().dwNote)) << "the port is closed";
    EXPECT_EQ(eventsAtDestruction, m_log.Events().size()) << "an event after the destructor";
    const tagMIDISIM_PORTSTATE state = s_sim.PortState(port);
    EXPECT_FALSE(state.fOpen);
    EXPECT_EQ(1, state.nStops);
    EXPECT_EQ(1, state.nResets);
    EXPECT_EQ(1, state.nCloses);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, MidiDestruction,
    ::testing::Values(tagKINDCASE{"MidiInput", [] { return std::make_unique<CSrcMidi>(); }, 0, NoteOn(15, 60)},
                      tagKINDCASE{"Firewire", [] { return std::make_unique<CSrcRcSonexaFirewire>(); }, 2,
                                  NoteOn(15, 10)}),
    [](const ::testing::TestParamInfo<tagKINDCASE>& info) { return std::string(info.param.szName); });

// winmm counts the ports once per process: only a process of its own sees a
// driver without any. Exit code 0 when Init failed as it must.
[[noreturn]] void InitWithoutAnyInput() {
    CMidiSimClient sim;
    if (!sim.Load(L""))
        std::exit(10);
    if (HasMidiInputs())
        std::exit(11);
    CEventLog log;
    CSrcMidi src;
    std::exit(src.Init(&log, &CEventLog::Record) == 0 ? 0 : 12);
}

TEST(MidiWithoutInputsDeathTest, InitWithoutPortNameFails) {
    EXPECT_EXIT(InitWithoutAnyInput(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
