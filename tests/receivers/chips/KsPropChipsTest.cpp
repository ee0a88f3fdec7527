// The receivers that read their chip through properties of a capture filter
// (CX2388x, Abilis, AF9135, Yuan, AME): each against a filter of the test's
// own, found by the real device enumeration, with a simulated chip behind it.

#include "receivers/chips/SrcAF9135.h"
#include "receivers/chips/SrcAbilis.h"
#include "receivers/chips/SrcRcTavora_AME.h"
#include "receivers/chips/SrcRcTavora_CX2388x.h"
#include "receivers/chips/SrcYuan.h"
#include "tests/receivers/chips/ChipTestKit.h"
#include "tests/receivers/chips/SimKsChips.h"

#include "support/GraphBase.h"
#include "support/QVRegistry.h"

#include <uuids.h>

#include <functional>
#include <memory>

namespace {

using chipkit::CAtomicClock;
using chipkit::CProbe;
using chipkit::CSimRemote;
using keylog::CKeyEventLog;
using simfilter::CRegisteredFilter;

constexpr const wchar_t* kSettingsKey = L"Software\\Vemtra Electronic GmbH\\Remote Control";

// One receiver of the family: how to make it, where its filter is listed and
// the chip behind it.
struct tagKSCASE {
    const char* szName;
    const wchar_t* szFilter;
    const GUID* pCategory;
    int nRcType;  // the type its remote's frames select
    std::function<std::unique_ptr<CSrc>(IClock&)> make;
    std::function<std::shared_ptr<simfilter::ISimChip>()> makeChip;
};

CSimRemote& RemoteOf(simfilter::ISimChip& chip) {
    if (auto* ks = dynamic_cast<simks::CSimKsChip*>(&chip))
        return ks->remote;
    return dynamic_cast<simks::CSimAme&>(chip).remote;
}

void Kill(simfilter::ISimChip& chip) {
    if (auto* ks = dynamic_cast<simks::CSimKsChip*>(&chip))
        ks->fDead = true;
    else
        dynamic_cast<simks::CSimAme&>(chip).fDead = true;
}

template <class T>
std::function<std::unique_ptr<CSrc>(IClock&)> Maker() {
    return [](IClock& clock) -> std::unique_ptr<CSrc> { return std::make_unique<T>(clock); };
}

template <class T>
std::function<std::shared_ptr<simfilter::ISimChip>()> ChipMaker() {
    return [] { return std::make_shared<T>(); };
}

const tagKSCASE kCases[] = {
    {"CX2388x", CSrcRcTavora_CX2388x::kModelName, &CLSID_VideoInputDeviceCategory, RCTYPE_NEC_04EB,
     Maker<CSrcRcTavora_CX2388x>(), ChipMaker<simks::CSimCx2388x>()},
    {"Abilis", L"Device model 11", &kCategoryBdaReceiverComponent, RCTYPE_NEC_04EB_ALT, Maker<CSrcAbilis>(),
     ChipMaker<simks::CSimAbilis>()},
    {"AF9135", L"Device model 10", &kCategoryBdaNetworkTuner, RCTYPE_2000, Maker<CSrcAF9135>(),
     ChipMaker<simks::CSimAF9135>()},
    {"Yuan", kYuanModels[1].szModel, kYuanModels[1].pCategory, RCTYPE_NEC_1400, Maker<CSrcYuan>(),
     ChipMaker<simks::CSimYuan>()},
    {"AME", kAmeModels[2], &kCategoryBdaReceiverComponent, RCTYPE_NEC_04EB, Maker<CSrcRcTavora_AME>(),
     ChipMaker<simks::CSimAme>()},
};

class KsChip : public ::testing::TestWithParam<tagKSCASE> {
protected:
    static void SetUpTestSuite() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    static void TearDownTestSuite() { CoUninitialize(); }
    void SetUp() override {
        m_filter = std::make_unique<CRegisteredFilter>(GetParam().szFilter, *GetParam().pCategory, L"");
        ASSERT_TRUE(m_filter->IsRegistered());
        m_chip = GetParam().makeChip();
        m_filter->Script().SetChip(m_chip);
    }
    void TearDown() override {
        m_filter.reset();
        EXPECT_EQ(0, CRegisteredFilter::LiveInstances());
    }

    CAtomicClock m_clock;
    CKeyEventLog m_events;
    std::unique_ptr<CRegisteredFilter> m_filter;
    std::shared_ptr<simfilter::ISimChip> m_chip;
};

TEST_P(KsChip, KeyIsTappedHeldAndReleased) {
    int keyId = KEYID_NONE;
    const std::uint8_t code = keylog::PlainKey(GetParam().nRcType, &keyId);
    ASSERT_NE(KEYID_NONE, keyId);
    std::unique_ptr<CSrc> receiver = GetParam().make(m_clock);
    ASSERT_EQ(1, receiver->Init(&m_events, &CKeyEventLog::Record));
    EXPECT_EQ(GetParam().szFilter, receiver->GetDeviceName());
    chipkit::ExpectTapHeldRelease(*receiver, RemoteOf(*m_chip), m_clock, m_events, code, keyId);
    EXPECT_EQ(GetParam().nRcType, m_events.At(0).nRcType);
    receiver.reset();
}

TEST_P(KsChip, SilentChipFailsInitAndLeavesNoThread) {
    Kill(*m_chip);
    auto receiver = GetParam().make(m_clock);
    EXPECT_EQ(0, receiver->Init(&m_events, &CKeyEventLog::Record));
    EXPECT_EQ(nullptr, static_cast<CSrcPoll*>(receiver.get())->GetPollThreadHandle());
    receiver.reset();
    EXPECT_EQ(0, CRegisteredFilter::LiveInstances());
}

TEST_P(KsChip, MissingFilterFailsInit) {
    m_filter.reset();
    auto receiver = GetParam().make(m_clock);
    EXPECT_EQ(0, receiver->Init(&m_events, &CKeyEventLog::Record));
    EXPECT_EQ(0, RemoteOf(*m_chip).Reads());
}

INSTANTIATE_TEST_SUITE_P(Family, KsChip, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<tagKSCASE>& info) { return info.param.szName; });

// Fixtures for one receiver each, with polling stopped after Init.
template <class T, class Chip>
class KsChipProbe : public ::testing::Test {
protected:
    static void SetUpTestSuite() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    static void TearDownTestSuite() { CoUninitialize(); }
    void Open(const wchar_t* name, const GUID& category) {
        m_filter = std::make_unique<CRegisteredFilter>(name, category, L"");
        ASSERT_TRUE(m_filter->IsRegistered());
        m_filter->Script().SetChip(m_chip);
        m_receiver = std::make_unique<CProbe<T>>(m_clock);
        ASSERT_EQ(1, m_receiver->Init(&m_events, &CKeyEventLog::Record));
        m_receiver->StopPollingNow();
    }
    void TearDown() override {
        m_receiver.reset();
        m_filter.reset();
    }

    CAtomicClock m_clock;
    CKeyEventLog m_events;
    std::shared_ptr<Chip> m_chip = std::make_shared<Chip>();
    std::unique_ptr<CRegisteredFilter> m_filter;
    std::unique_ptr<CProbe<T>> m_receiver;
};

using Cx2388x = KsChipProbe<CSrcRcTavora_CX2388x, simks::CSimCx2388x>;

TEST_F(Cx2388x, CaptureIsOnWhileAliveAndTheRepeatWordIsARepeat) {
    Open(CSrcRcTavora_CX2388x::kGenericName, CLSID_VideoInputDeviceCategory);
    EXPECT_EQ(CSrcRcTavora_CX2388x::kGenericName, m_receiver->GetDeviceName());
    EXPECT_EQ(1, m_chip->nCapture);
    m_chip->remote.Press(0x21);
    EXPECT_EQ(0x21, m_receiver->GetCurrentKeyCode());
    EXPECT_EQ(NEC_CODE_REPEAT, m_receiver->GetCurrentKeyCode());
    m_chip->remote.Release();
    EXPECT_EQ(NEC_CODE_IDLE, m_receiver->GetCurrentKeyCode());
    m_chip->fDead = true;
    EXPECT_EQ(NEC_CODE_IDLE, m_receiver->GetCurrentKeyCode());
    m_chip->fDead = false;
    m_receiver.reset();
    EXPECT_EQ(2, m_chip->nCapture);
}

using AF9135 = KsChipProbe<CSrcAF9135, simks::CSimAF9135>;

TEST_F(AF9135, TheAddressSelectsTheRemote) {
    Open(L"IT9135 BDA Filter", kCategoryBdaReceiverComponent);
    const struct {
        std::uint16_t address;
        std::uint8_t code;
        int rcType;
    } cases[] = {
        {0x02BD, 0x1A, RCTYPE_2000},
        {0x04EB, 0x1B, RCTYPE_NEC_04EB_ALT},
        {0x1234, NEC_CODE_IDLE, RCTYPE_NEC_04EB_ALT},  // unknown: dropped, type kept
    };
    for (const auto& c : cases) {
        m_chip->wAddress = c.address;
        m_chip->remote.Press(c.address == 0x1234 ? 0x1C : c.code);
        EXPECT_EQ(c.code, m_receiver->GetCurrentKeyCode()) << std::hex << c.address;
        EXPECT_EQ(c.rcType, m_receiver->GetRcType()) << std::hex << c.address;
    }
}

using Yuan = KsChipProbe<CSrcYuan, simks::CSimYuan>;

TEST_F(Yuan, RunningRemoteIsRestartedAndEveryFrameAcknowledged) {
    m_chip->fStillRunning = true;
    Open(kYuanModels[1].szModel, *kYuanModels[1].pCategory);
    EXPECT_EQ((std::vector<DWORD>{YUAN_CONTROL_OPTION, YUAN_CONTROL_START, YUAN_CONTROL_STOP, YUAN_CONTROL_START}),
              m_chip->Sets());
    // The driver's high byte names a remote the address table does not know.
    m_chip->wAddress = 0x1499;
    m_chip->remote.Press(0x31);
    EXPECT_EQ(0x31, m_receiver->GetCurrentKeyCode());
    EXPECT_EQ(RCTYPE_NEC_1400, m_receiver->GetRcType());
    EXPECT_EQ(0, m_chip->nUnacknowledged);
    m_chip->wAddress = 0x7777;
    EXPECT_EQ(NEC_CODE_IDLE, m_receiver->GetCurrentKeyCode());
    EXPECT_EQ(0, m_chip->nUnacknowledged);
    m_receiver.reset();
    EXPECT_FALSE(m_chip->fStarted);
}

TEST_F(Yuan, KeysCarryNoAutoRepeat) {
    Open(kYuanModels[1].szModel, *kYuanModels[1].pCategory);
    int keyId = KEYID_NONE;
    const std::uint8_t code = keylog::PlainKey(RCTYPE_NEC_1400, &keyId);
    ASSERT_EQ(1, m_receiver->HandleIrEvent(code));
    EXPECT_EQ(keyId, m_events.At(0).nKeyId);
    EXPECT_EQ(1, m_events.At(0).fNoAutoRepeat);
}

using Abilis = KsChipProbe<CSrcAbilis, simks::CSimAbilis>;

// The machine-wide setting chooses what the amplifier is set to.
TEST_F(Abilis, ElnaSettingIsAppliedAndCreatedWhenMissing) {
    const struct {
        bool stored;
        DWORD setting;
        DWORD applied;  // 7: untouched
    } cases[] = {{false, 0, ELNA_AUTO}, {true, ELNA_ON, ELNA_ON}, {true, ELNA_OFF, ELNA_OFF},
                 {true, ELNA_UNTOUCHED, 7}, {true, 9, ELNA_AUTO}};
    CQVRegistry settings(kSettingsKey, HKEY_LOCAL_MACHINE);
    for (const auto& c : cases) {
        RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kSettingsKey, L"Abilis eLNA");
        if (c.stored) {
            ASSERT_TRUE(settings.SetDword(c.setting, nullptr, L"Abilis eLNA"));
        }
        m_chip = std::make_shared<simks::CSimAbilis>();
        Open(L"Device model 11", kCategoryBdaReceiverComponent);
        EXPECT_EQ(c.applied, m_chip->dwElna) << c.setting;
        DWORD stored = 99;
        EXPECT_TRUE(settings.GetDword(L"Abilis eLNA", &stored));
        EXPECT_EQ(c.stored ? c.setting : DWORD{ELNA_DEFAULT}, stored);
        TearDown();
    }
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kSettingsKey, L"Abilis eLNA");
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kSettingsKey, L"Abilis eLNA - Usage");
}

TEST_F(Abilis, IdleFrameWithoutAddressKeepsTheRemoteSoTheReleaseIsSeen) {
    Open(L"Device model 11", kCategoryBdaReceiverComponent);
    int keyId = KEYID_NONE;
    const std::uint8_t code = keylog::PlainKey(RCTYPE_NEC_04EB_ALT, &keyId);
    m_chip->remote.Press(code);
    m_receiver->PollOnce(1);
    EXPECT_EQ(keyId, m_receiver->GetKeyId());
    m_chip->remote.Release();
    m_chip->wAddress = 0;
    m_clock.Advance(300);
    m_receiver->PollOnce(1);
    EXPECT_EQ(RCTYPE_NEC_04EB_ALT, m_receiver->GetRcType());
    EXPECT_EQ(KEYID_NONE, m_receiver->GetKeyId());
}

}  // namespace
