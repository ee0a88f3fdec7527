// The T² receiver against a tuner filter of the test's own, registered with
// the system device enumerator under the catalogue's model name: found by
// the real enumeration, polled on its own thread, end to end into key events.

#include "receivers/SrcRcTavora_T2.h"
#include "tests/receivers/KeyEventLog.h"
#include "tests/support/sim/SimCaptureFilter.h"

#include "support/GraphBase.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

namespace {

using keylog::CKeyEventLog;
using simfilter::CRegisteredFilter;

// The slot's catalogue row whose model name the simulated tuner carries.
constexpr const wchar_t* kModelName = L"Device model 09";
constexpr HRESULT kNoFrameYet = static_cast<HRESULT>(0x8007001F);

std::uint32_t Frame(std::uint8_t addressHigh, std::uint8_t addressLow, std::uint8_t command) {
    return addressHigh | (addressLow << 8) | (command << 16);
}

// Polling stopped after Init, so the test reads frames itself.
class CT2Probe : public CSrcRcTavora_T2 {
public:
    void StopPollingNow() { StopPolling(); }
};

class TavoraT2 : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        s_filter = new CRegisteredFilter(kModelName, kCategoryBdaNetworkTuner, L"");
    }
    static void TearDownTestSuite() {
        delete s_filter;
        s_filter = nullptr;
        CoUninitialize();
    }
    void SetUp() override {
        ASSERT_TRUE(s_filter->IsRegistered());
        Script().Clear();
        Script().SetIdle(S_OK, 0xFF000000);
    }
    static simfilter::CScript& Script() { return s_filter->Script(); }

    CKeyEventLog m_events;
    static CRegisteredFilter* s_filter;
};
CRegisteredFilter* TavoraT2::s_filter = nullptr;

TEST_F(TavoraT2, PressedKeyArrivesFromThePollingThread) {
    int keyId = KEYID_NONE;
    const std::uint8_t code = keylog::PlainMorvaneKey(&keyId);
    ASSERT_NE(KEYID_NONE, keyId);
    auto receiver = std::make_unique<CSrcRcTavora_T2>();
    ASSERT_EQ(1, receiver->Init(&m_events, &CKeyEventLog::Record));
    EXPECT_EQ(kModelName, receiver->GetDeviceName());
    ASSERT_NE(nullptr, receiver->GetPollThreadHandle());

    Script().PushValue(Frame(0x45, 0x45, code));
    ASSERT_TRUE(m_events.WaitFor(1));
    const keylog::tagEVENT event = m_events.At(0);
    EXPECT_EQ(receiver.get(), event.pSource);
    EXPECT_EQ(keyId, event.nKeyId);
    EXPECT_EQ(GetThreadId(receiver->GetPollThreadHandle()), event.dwThreadId);
    EXPECT_EQ(RCTYPE_MORVANE, receiver->GetRcType());

    // Destroying the receiver stops the thread and lets the filter go.
    receiver.reset();
    EXPECT_EQ(0, CRegisteredFilter::LiveInstances());
}

TEST_F(TavoraT2, FrameReadFollowsTheDriverValues) {
    CT2Probe receiver;
    ASSERT_EQ(1, receiver.Init(&m_events, &CKeyEventLog::Record));
    receiver.StopPollingNow();
    struct {
        std::vector<std::pair<HRESULT, std::uint32_t>> answers;
        std::uint8_t code;
        int reads;
    } cases[] = {
        {{{S_OK, 0x00FFFFFF}, {S_OK, 0x12345678}}, NEC_CODE_REPEAT, 2},  // the pair's second frame is dropped
        {{{S_OK, 0xFFFFFFFF}}, NEC_CODE_REPEAT, 1},
        {{{S_OK, 0xFF000000}}, NEC_CODE_IDLE, 1},
        {{{S_OK, Frame(0x45, 0x45, 0x12)}}, 0x12, 1},
        {{{E_FAIL, 0}, {E_FAIL, 0}, {E_FAIL, 0}, {S_OK, Frame(0x45, 0x45, 0x13)}}, 0x13, 4},
        {{{E_FAIL, 0}, {E_FAIL, 0}, {E_FAIL, 0}, {E_FAIL, 0}, {S_OK, Frame(0x45, 0x45, 0x14)}}, NEC_CODE_IDLE, 4},
        {{{S_OK, Frame(0x12, 0x34, 0x15)}}, NEC_CODE_IDLE, 1},  // unknown address
    };
    for (const auto& c : cases) {
        Script().Clear();
        for (const auto& answer : c.answers)
            Script().Push(answer.first, answer.second);
        EXPECT_EQ(c.code, receiver.GetCurrentKeyCode()) << std::hex << c.answers.front().second;
        EXPECT_EQ(c.reads, Script().Reads()) << std::hex << c.answers.front().second;
    }
    EXPECT_EQ(RCTYPE_NONE, receiver.GetRcType());
    Script().Clear();
    Script().PushValue(Frame(0x45, 0x45, 0x16));
    EXPECT_EQ(0x16, receiver.GetCurrentKeyCode());
    EXPECT_EQ(RCTYPE_MORVANE, receiver.GetRcType());
}

TEST_F(TavoraT2, InitAcceptsOnlyADeviceThatAnswersTheProperty) {
    {
        Script().Push(kNoFrameYet, 0);
        CSrcRcTavora_T2 receiver;
        EXPECT_EQ(1, receiver.Init(&m_events, &CKeyEventLog::Record));
    }
    {
        Script().Clear();
        Script().Push(E_FAIL, 0);
        CSrcRcTavora_T2 receiver;
        EXPECT_EQ(0, receiver.Init(&m_events, &CKeyEventLog::Record));
        EXPECT_EQ(nullptr, receiver.GetPollThreadHandle());
        EXPECT_EQ(0, CRegisteredFilter::LiveInstances());
        EXPECT_EQ(0, receiver.PollForIrEvent(1));
    }
    CSrcRcTavora_T2 receiver;
    EXPECT_EQ(0, receiver.Init(&m_events, nullptr));
}

TEST(TavoraT2Absent, InitFailsWithoutTheTuner) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        CKeyEventLog events;
        CSrcRcTavora_T2 receiver;
        EXPECT_EQ(0, receiver.Init(&events, &CKeyEventLog::Record));
        EXPECT_EQ(0xFF, receiver.GetCurrentKeyCode());
        EXPECT_EQ(nullptr, receiver.GetPollThreadHandle());
    }
    CoUninitialize();
}

}  // namespace
