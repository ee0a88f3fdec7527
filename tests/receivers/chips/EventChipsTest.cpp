// The event-driven SAA713x receivers: the WDM card through the chip vendor's
// COM device enumerator (a class of the test's own under the vendor's class
// id), the HT PCI card through the interrupt properties of a registered
// capture filter on a PCI device made present through SetupAPI. Frames come
// from the simulated driver's thread; the test moves the scheduler's clock.

#include "app/ReceiverEnvironment.h"
#include "receivers/chips/SrcRcTavora_SAA_HT_PCI.h"
#include "receivers/chips/SrcRcTavora_SAA_WDM.h"
#include "tests/receivers/chips/ChipTestKit.h"
#include "tests/receivers/chips/PresentInterface.h"
#include "tests/receivers/chips/SimEventChips.h"

#include "support/GraphBase.h"
#include "support/QVDebug.h"

#include <uuids.h>

#include <cstdio>
#include <functional>
#include <memory>

namespace {

using chipkit::CAtomicClock;
using keylog::CKeyEventLog;
using simfilter::CRegisteredFilter;

// The main thread stays attached to the trace log for the whole run, as the
// program's does: the driver threads here attach and detach all the time.
CQVTraceInit g_traceInit;

constexpr WORD kPrimary = 0x1E4A;  // the card maker's subsystem vendor

// A receiver that says when a code went through its event path.
template <class T>
class CWatched : public T {
public:
    using T::T;
    // The driver's calls end before this object's state goes.
    ~CWatched() override { this->CloseNow(); }
    int HandleIrEvent(std::uint8_t code) override {
        const int result = T::HandleIrEvent(code);
        {
            // Taken so that a waiter between its test and its wait still hears this.
            std::lock_guard<std::mutex> lock(m_lock);
        }
        m_changed.notify_all();
        return result;
    }
    bool WaitForKeyId(int keyId) {
        std::unique_lock<std::mutex> lock(m_lock);
        return m_changed.wait_for(lock, std::chrono::seconds(5), [&] { return this->GetKeyId() == keyId; });
    }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
};

// Pressed: reported at once, on the driver's thread. Held past the repeat
// window: again. Released: no event, and the key id goes once the release
// window has passed.
void ExpectTapHeldRelease(CSrc& receiver, simevent::CSimFrameSource& chip, CAtomicClock& clock,
                          CKeyEventLog& events, std::uint8_t code, int keyId,
                          const std::function<bool(int)>& waitForKeyId) {
    const std::size_t before = events.Count();
    chip.Press(code);
    ASSERT_TRUE(events.WaitFor(before + 1)) << "tap";
    EXPECT_EQ(keyId, events.At(before).nKeyId);
    EXPECT_EQ(&receiver, events.At(before).pSource);
    EXPECT_NE(GetCurrentThreadId(), events.At(before).dwThreadId);
    EXPECT_EQ(0, events.At(before).fNoAutoRepeat);

    clock.Advance(1100);
    ASSERT_TRUE(events.WaitFor(before + 2)) << "held";
    EXPECT_EQ(keyId, events.At(before + 1).nKeyId);

    chip.Release();
    ASSERT_TRUE(chip.WaitUntilReleased());
    EXPECT_EQ(keyId, receiver.GetKeyId()) << "released inside the release window: still held";
    clock.Advance(300);
    EXPECT_TRUE(waitForKeyId(KEYID_NONE)) << "release";
    EXPECT_EQ(before + 2, events.Count());
}

class ComSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    static void TearDownTestSuite() { CoUninitialize(); }
    CAtomicClock m_clock;
    CKeyEventLog m_events;
};

// --- WDM ---

template <class T>
class CClosable : public T {
public:
    using T::T;
    void CloseNow() { this->Close(); }
};
using CWdmReceiver = CWatched<CClosable<CSrcRcTavora_SAA_WDM>>;
using CHtReceiver = CWatched<CClosable<CSrcRcTavora_SAA_HT_PCI>>;

class SaaWdm : public ComSuite {
protected:
    void SetUp() override { ASSERT_TRUE(m_card.IsRegistered()); }
    void Tap(CWdmReceiver& receiver, std::uint8_t code, int keyId) {
        ExpectTapHeldRelease(receiver, m_card, m_clock, m_events, code, keyId,
                             [&](int id) { return receiver.WaitForKeyId(id); });
    }
    simevent::CSimSaaWdm m_card;
};

TEST_F(SaaWdm, KeyOnTheGpioPinsIsTappedHeldAndReleased) {
    int keyId = KEYID_NONE;
    const std::uint8_t code = keylog::PlainKey(RCTYPE_NEC_866B, &keyId, 5);
    ASSERT_LT(code, 0x40);
    CWdmReceiver receiver(0, m_clock);
    ASSERT_EQ(1, receiver.Init(&m_events, &CKeyEventLog::Record));
    EXPECT_EQ(1, m_card.Sinks());
    EXPECT_TRUE(m_card.IsEventEnabled());
    Tap(receiver, code, keyId);
    EXPECT_EQ(RCTYPE_NEC_866B, m_events.At(0).nRcType);
}

// A level-wired receiver raises the event only when the pins change: the
// watch reads the held key from the pins.
TEST_F(SaaWdm, KeyHeldWithoutFurtherEventsIsReadFromThePins) {
    m_card.fEdgesOnly = true;
    int keyId = KEYID_NONE;
    const std::uint8_t code = keylog::PlainKey(RCTYPE_NEC_866B, &keyId, 2);
    CWdmReceiver receiver(0, m_clock);
    ASSERT_EQ(1, receiver.Init(&m_events, &CKeyEventLog::Record));
    Tap(receiver, code, keyId);
}

// Cards whose type is the 04EB family still map the pins with the GPIO
// remote's table; the card's type is what the receiver reports.
TEST_F(SaaWdm, PinsAreMappedWithTheGpioRemoteOnEveryCard) {
    m_card.wSubsystem = 0x1163;
    int keyId = KEYID_NONE;
    const std::uint8_t code = keylog::PlainKey(RCTYPE_NEC_866B, &keyId, 7);
    CWdmReceiver receiver(0, m_clock);
    ASSERT_EQ(1, receiver.Init(&m_events, &CKeyEventLog::Record));
    m_card.Press(code);
    ASSERT_TRUE(m_events.WaitFor(1));
    EXPECT_EQ(keyId, m_events.At(0).nKeyId);
    EXPECT_EQ(RCTYPE_NEC_04EB, m_events.At(0).nRcType);
}

TEST_F(SaaWdm, DisabledKeyZeroIsIgnoredOtherKeysAreNot) {
    CWdmReceiver receiver(1, m_clock);
    ASSERT_EQ(1, receiver.Init(&m_events, &CKeyEventLog::Record));
    m_card.Press(0x00);
    ASSERT_TRUE(m_card.WaitForMoreFrames(3));
    m_clock.Advance(1100);
    ASSERT_TRUE(m_card.WaitForMoreFrames(3));
    EXPECT_EQ(0u, m_events.Count());
    EXPECT_EQ(KEYID_NONE, receiver.GetKeyId());

    int keyId = KEYID_NONE;
    const std::uint8_t code = keylog::PlainKey(RCTYPE_NEC_866B, &keyId, 1);
    ASSERT_NE(0, code);
    m_card.Press(code);
    ASSERT_TRUE(m_events.WaitFor(1));
    EXPECT_EQ(keyId, m_events.At(0).nKeyId);
}

TEST_F(SaaWdm, DeletedWhileTheDriverSendsLeavesNoSinkBehind) {
    int keyId = KEYID_NONE;
    const std::uint8_t code = keylog::PlainKey(RCTYPE_NEC_866B, &keyId);
    {
        CWdmReceiver receiver(0, m_clock);
        ASSERT_EQ(1, receiver.Init(&m_events, &CKeyEventLog::Record));
        m_card.Press(code);
        ASSERT_TRUE(m_events.WaitFor(1));
        ASSERT_TRUE(m_card.WaitForMoreFrames(2));
    }
    EXPECT_EQ(0, m_card.Sinks());
    EXPECT_FALSE(m_card.IsEventEnabled());
    ASSERT_TRUE(m_card.WaitForMoreFrames(2));
    EXPECT_EQ(1u, m_events.Count());
}

TEST_F(SaaWdm, MissingSilentOrEmptyDriverFailsInit) {
    m_card.nDevices = 0;
    {
        CWdmReceiver receiver(0, m_clock);
        EXPECT_EQ(0, receiver.Init(&m_events, &CKeyEventLog::Record)) << "no device";
    }
    m_card.nDevices = 1;
    m_card.fRefuseEvent = true;
    {
        CWdmReceiver receiver(0, m_clock);
        EXPECT_EQ(0, receiver.Init(&m_events, &CKeyEventLog::Record)) << "no interrupt event";
        EXPECT_EQ(0, m_card.Sinks());
        EXPECT_EQ(0, receiver.IsInitialized());
    }
}

TEST(SaaWdmAbsent, NoVendorClassFailsInit) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        CAtomicClock clock;
        CKeyEventLog events;
        CSrcRcTavora_SAA_WDM receiver(0, clock);
        EXPECT_EQ(0, receiver.Init(&events, &CKeyEventLog::Record));
    }
    CoUninitialize();
}

struct tagWDMCARD {
    WORD wVendor;
    WORD wSubsystem;
    int nRcType;  // RCTYPE_NONE: refused
};

class SaaWdmCards : public SaaWdm, public ::testing::WithParamInterface<tagWDMCARD> {};

TEST_P(SaaWdmCards, InitAcceptsWithItsTypeOrRefuses) {
    m_card.wVendor = GetParam().wVendor;
    m_card.wSubsystem = GetParam().wSubsystem;
    CWdmReceiver receiver(0, m_clock);
    const int accepted = GetParam().nRcType != RCTYPE_NONE;
    ASSERT_EQ(accepted, receiver.Init(&m_events, &CKeyEventLog::Record));
    EXPECT_EQ(accepted, m_card.Sinks());
    EXPECT_EQ(accepted != 0, m_card.IsEventEnabled());
    if (accepted) {
        EXPECT_EQ(GetParam().nRcType, receiver.GetRcType());
        EXPECT_EQ(GetParam().wSubsystem, receiver.GetSubsystemId());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Subsystems, SaaWdmCards,
    ::testing::Values(tagWDMCARD{kPrimary, 0x1142, RCTYPE_NEC_866B}, tagWDMCARD{kPrimary, 0x1143, RCTYPE_NEC_866B},
                      tagWDMCARD{kPrimary, 0x1158, RCTYPE_NEC_866B}, tagWDMCARD{kPrimary, 0x1154, RCTYPE_NEC_04EB},
                      tagWDMCARD{kPrimary, 0x1160, RCTYPE_NEC_04EB}, tagWDMCARD{kPrimary, 0x1163, RCTYPE_NEC_04EB},
                      tagWDMCARD{kPrimary, 0x1164, RCTYPE_NEC_04EB}, tagWDMCARD{kPrimary, 0x1152, RCTYPE_NONE},
                      tagWDMCARD{kPrimary, 0x1162, RCTYPE_NONE}, tagWDMCARD{kPrimary, 0x1999, RCTYPE_NONE},
                      tagWDMCARD{0x1131, 0x4EE9, RCTYPE_NONE}, tagWDMCARD{0x1131, 0x1142, RCTYPE_NONE},
                      tagWDMCARD{0x1E4B, 0x1142, RCTYPE_NONE}),
    [](const ::testing::TestParamInfo<tagWDMCARD>& info) {
        char name[32];
        std::snprintf(name, sizeof(name), "v%04X_id%04X", unsigned{info.param.wVendor},
                      unsigned{info.param.wSubsystem});
        return std::string(name);
    });

// --- HT PCI ---

class SaaHtPci : public ComSuite {
protected:
    // A card on the PCI bus with the chip maker's vendor id (or another's),
    // and its video-input filter with a device path on it.
    std::unique_ptr<CRegisteredFilter> AddCard(const wchar_t* hardwareId, int n) {
        // Process ids come again under Wine; the start time keeps a device
        // left by a run that crashed from getting in the way.
        static const std::wstring run = std::to_wstring(GetCurrentProcessId()) + std::to_wstring(GetTickCount());
        m_devices.push_back(std::make_unique<chipkit::CPresentInterface>(
            std::wstring(hardwareId) + L"\\4&" + run + L"&0&00E" + std::to_wstring(n), hardwareId,
            CLSID_VideoInputDeviceCategory));
        chipkit::CPresentInterface& device = *m_devices.back();
        EXPECT_TRUE(device.IsReady()) << "device " << n;
        if (!device.IsReady() || !device.AddDriverKey(L"simht.sys")) {
            ADD_FAILURE() << "driver key " << n;
            return nullptr;
        }
        return AddFilter(device.Path(), n);
    }
    std::unique_ptr<CRegisteredFilter> AddFilter(const std::wstring& path, int n) {
        auto filter = std::make_unique<CRegisteredFilter>(
            simfilter::UniqueName(CSrcRcTavora_SAA_HT_PCI::kModelName) + L" #" + std::to_wstring(n),
            CLSID_VideoInputDeviceCategory, path);
        if (!filter->IsRegistered()) {
            ADD_FAILURE() << "filter " << n;
            return nullptr;
        }
        filter->Script().SetChip(m_chip);
        return filter;
    }

    std::shared_ptr<simevent::CSimHtPci> m_chip = std::make_shared<simevent::CSimHtPci>();
    std::vector<std::unique_ptr<chipkit::CPresentInterface>> m_devices;
};

constexpr const wchar_t* kChipCard = L"PCI\\VEN_1131&DEV_7133&SUBSYS_11641E4A&REV_D1";
constexpr const wchar_t* kOtherCard = L"PCI\\VEN_14F1&DEV_8800&SUBSYS_11641E4A&REV_05";

TEST_F(SaaHtPci, DecodedFramesAreTappedHeldAndReleased) {
    auto filter = AddCard(kChipCard, 1);
    ASSERT_TRUE(filter);
    int keyId = KEYID_NONE;
    const std::uint8_t code = keylog::PlainKey(RCTYPE_NEC_866B, &keyId, 4);
    {
        CHtReceiver receiver(m_clock);
        ASSERT_EQ(1, receiver.Init(&m_events, &CKeyEventLog::Record));
        EXPECT_EQ(std::vector<DWORD>{7}, m_chip->Sets()) << "IR interrupt registered";
        ExpectTapHeldRelease(receiver, *m_chip, m_clock, m_events, code, keyId,
                             [&](int id) { return receiver.WaitForKeyId(id); });
        EXPECT_EQ(RCTYPE_NEC_866B, receiver.GetRcType());
    }
    EXPECT_EQ((std::vector<DWORD>{7, 6}), m_chip->Sets()) << "and unregistered";
    EXPECT_FALSE(m_chip->IsRegistered());
}

TEST_F(SaaHtPci, FramesOfAnUnknownRemoteAreDropped) {
    auto filter = AddCard(kChipCard, 1);
    ASSERT_TRUE(filter);
    m_chip->wAddress = 0x1234;
    CHtReceiver receiver(m_clock);
    ASSERT_EQ(1, receiver.Init(&m_events, &CKeyEventLog::Record));
    m_chip->Press(0x05);
    ASSERT_TRUE(m_chip->WaitForMoreFrames(3));
    EXPECT_EQ(0u, m_events.Count());
    EXPECT_EQ(RCTYPE_NONE, receiver.GetRcType());

    // The remote changes to a known one: its frames come through.
    m_chip->wAddress = 0x04EB;
    int keyId = KEYID_NONE;
    const std::uint8_t code = keylog::PlainKey(RCTYPE_NEC_04EB, &keyId);
    m_chip->Press(code);
    ASSERT_TRUE(m_events.WaitFor(1));
    EXPECT_EQ(keyId, m_events.At(0).nKeyId);
    EXPECT_EQ(RCTYPE_NEC_04EB, m_events.At(0).nRcType);
}

// Filters of the model on other buses or another chip are passed over.
TEST_F(SaaHtPci, WalkTakesTheFilterOnTheChipMakersPciCard) {
    auto usb = AddFilter(L"\\\\?\\usb#vid_1e4a&pid_1164#" + std::to_wstring(GetCurrentProcessId()) + L"#{x}", 1);
    auto other = AddCard(kOtherCard, 2);
    ASSERT_TRUE(usb && other);
    {
        CHtReceiver receiver(m_clock);
        EXPECT_EQ(0, receiver.Init(&m_events, &CKeyEventLog::Record)) << "no card of the chip maker";
        EXPECT_TRUE(m_chip->Sets().empty());
    }
    auto chip = AddCard(kChipCard, 3);
    ASSERT_TRUE(chip);
    CHtReceiver receiver(m_clock);
    ASSERT_EQ(1, receiver.Init(&m_events, &CKeyEventLog::Record));
    EXPECT_NE(std::wstring::npos, receiver.GetDeviceName().find(L" #3"));
}

TEST_F(SaaHtPci, MissingCardOrRefusedRegistrationFailsInit) {
    {
        CHtReceiver receiver(m_clock);
        EXPECT_EQ(0, receiver.Init(&m_events, &CKeyEventLog::Record)) << "no filter";
    }
    auto filter = AddCard(kChipCard, 1);
    ASSERT_TRUE(filter);
    m_chip->fRefuse = true;
    {
        CHtReceiver receiver(m_clock);
        EXPECT_EQ(0, receiver.Init(&m_events, &CKeyEventLog::Record)) << "registration refused";
        EXPECT_EQ(0, receiver.IsInitialized());
    }
    EXPECT_FALSE(m_chip->IsRegistered());
    filter.reset();
    EXPECT_EQ(0, CRegisteredFilter::LiveInstances());
}

TEST_F(SaaHtPci, CardRemovedEndsTheEventsQuietly) {
    auto filter = AddCard(kChipCard, 1);
    ASSERT_TRUE(filter);
    int keyId = KEYID_NONE;
    const std::uint8_t code = keylog::PlainKey(RCTYPE_NEC_866B, &keyId);
    CHtReceiver receiver(m_clock);
    ASSERT_EQ(1, receiver.Init(&m_events, &CKeyEventLog::Record));
    m_chip->Remove();
    m_chip->Press(code);
    ASSERT_TRUE(m_chip->WaitForMoreFrames(2));
    EXPECT_EQ(0u, m_events.Count());
}

TEST(InterruptInterface, OnlyTheDriversInterruptTypesAreRegistered) {
    auto chip = std::make_shared<simevent::CSimHtPci>();
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        CRegisteredFilter filter(simfilter::UniqueName(L"Sim interrupts"), CLSID_VideoInputDeviceCategory, L"");
        ASSERT_TRUE(filter.IsRegistered());
        filter.Script().SetChip(chip);
        CQVComPtr<IBaseFilter> bound;
        ASSERT_EQ(S_OK, CGraphBase::FindFilter(simfilter::UniqueName(L"Sim interrupts").c_str(),
                                               CLSID_VideoInputDeviceCategory, 0, bound.Put(), nullptr, nullptr));
        CQVComPtr<IKsPropertySet> set;
        ASSERT_EQ(S_OK, bound->QueryInterface(IID_IKsPropertySet, set.PutVoid()));
        CInterrupt_Interface interrupts(set.Get());
        ASSERT_TRUE(interrupts.Start());
        struct : CInterrupt_Handler {
            void OnInterrupt(const tagIRQEVENT&) override {}
        } handler;
        for (ULONG type : {0ul, 2ul, 17ul, 24ul})
            EXPECT_EQ(E_INVALIDARG, interrupts.RegisterHandler(type, &handler, true)) << type;
        EXPECT_TRUE(chip->Sets().empty()) << "nothing reaches the driver";
        EXPECT_EQ(S_OK, interrupts.RegisterHandler(16, &handler, true));
        interrupts.Stop();
        EXPECT_EQ((std::vector<DWORD>{7, 6}), chip->Sets());
    }
    CoUninitialize();
}

}  // namespace

namespace {

// The program's factory makes both for their slots; the WDM one with the
// "Disable key 0" setting.
TEST(EventReceiverSlots, FactoryMakesBothForTheirSlots) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        simevent::CSimSaaWdm card;
        CReceiverEnvironment environment(nullptr, [] { return 1u; });
        std::unique_ptr<CSrc> wdm = environment.CreateReceiver(RECEIVER_SLOT_SAA_WDM);
        ASSERT_NE(nullptr, dynamic_cast<CSrcRcTavora_SAA_WDM*>(wdm.get()));
        EXPECT_EQ(RECEIVER_SLOT_SAA_WDM, wdm->GetReceiverIndex());
        CKeyEventLog events;
        ASSERT_EQ(1, wdm->Init(&events, &CKeyEventLog::Record));
        card.Press(0x00);
        ASSERT_TRUE(card.WaitForMoreFrames(3));
        EXPECT_EQ(0u, events.Count()) << "key 0 disabled";
        wdm.reset();

        std::unique_ptr<CSrc> ht = environment.CreateReceiver(RECEIVER_SLOT_SAA_HT_PCI);
        ASSERT_NE(nullptr, dynamic_cast<CSrcRcTavora_SAA_HT_PCI*>(ht.get()));
        EXPECT_EQ(RECEIVER_SLOT_SAA_HT_PCI, ht->GetReceiverIndex());
    }
    CoUninitialize();
}

}  // namespace
