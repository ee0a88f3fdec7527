// The receivers that talk to their driver by I/O codes (the Universe sound
// card, Montage sticks, the S USB box): found for real where the system can
// list them (a SetupAPI interface, a registered filter), opened through the
// driver port onto simulated drivers.

#include "receivers/chips/SrcMontage.h"
#include "receivers/chips/SrcRcSonexaUniverse.h"
#include "receivers/chips/SrcRcTavora_S_USB.h"
#include "tests/receivers/chips/ChipTestKit.h"
#include "tests/receivers/chips/PresentInterface.h"
#include "tests/receivers/chips/SimDrivers.h"
#include "tests/support/sim/SimCaptureFilter.h"

#include "support/GraphBase.h"

#include <memory>

namespace {

using chipkit::CAtomicClock;
using keylog::CKeyEventLog;

const std::wstring kSonexaPath = L"\\\\.\\QVP9Cntrl";

class DevIoChip : public ::testing::Test {
protected:
    static void SetUpTestSuite() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    static void TearDownTestSuite() { CoUninitialize(); }

    CAtomicClock m_clock;
    CKeyEventLog m_events;
    simdrv::CSimPort m_port;
};

// --- the Universe sound card ---
using SonexaUniverse = DevIoChip;

TEST_F(SonexaUniverse, KeyIsTappedHeldAndReleasedThroughTheDriversWait) {
    auto driver = std::make_shared<simdrv::CSimSonexa>();
    m_port.Add(kSonexaPath, driver);
    int keyId = KEYID_NONE;
    const std::uint8_t code = keylog::PlainKey(RCTYPE_NEC_866B, &keyId);
    CSrcRcSonexaUniverse receiver(m_clock);
    ASSERT_EQ(1, receiver.Init(&m_events, &CKeyEventLog::Record));
    EXPECT_TRUE(m_port.fLastOverlapped);
    EXPECT_EQ(CSrcRcSonexaUniverse::kModelText, receiver.GetDeviceName());
    chipkit::ExpectTapHeldRelease(receiver, driver->remote, m_clock, m_events, code, keyId);
}

TEST_F(SonexaUniverse, DestroyEndsAQueuedWaitAndCancelsIt) {
    auto driver = std::make_shared<simdrv::CSimSonexa>();
    driver->fQuiet = true;
    m_port.Add(kSonexaPath, driver);
    {
        CSrcRcSonexaUniverse receiver(m_clock);
        ASSERT_EQ(1, receiver.Init(&m_events, &CKeyEventLog::Record));
        while (driver->nWaits == 0)
            SwitchToThread();
    }
    EXPECT_EQ(1, driver->nCancels);
    EXPECT_EQ(0, driver->remote.Reads());
    EXPECT_EQ(0u, m_events.Count());
}

TEST_F(SonexaUniverse, InitFailsWithoutTheDriverOrTheCard) {
    CSrcRcSonexaUniverse absent(m_clock);
    EXPECT_EQ(0, absent.Init(&m_events, &CKeyEventLog::Record));
    auto driver = std::make_shared<simdrv::CSimSonexa>();
    m_port.Add(kSonexaPath, driver);
    driver->nDevices = 0;
    CSrcRcSonexaUniverse none(m_clock);
    EXPECT_EQ(0, none.Init(&m_events, &CKeyEventLog::Record));
    driver->nDevices = 1;
    driver->wCard = 0x1154;
    CSrcRcSonexaUniverse other(m_clock);
    EXPECT_EQ(0, other.Init(&m_events, &CKeyEventLog::Record));
    EXPECT_EQ(nullptr, other.GetPollThreadHandle());
}

// --- Montage sticks ---
class Montage : public DevIoChip {
protected:
    void Present(std::uint16_t productId) {
        const std::wstring pid = std::to_wstring(GetCurrentProcessId());
        wchar_t hardware[64] = {};
        swprintf(hardware, 64, L"USB\\VID_%04X&PID_%04X&REV_0100", unsigned{kVendorIdPrimary}, unsigned{productId});
        wchar_t instance[96] = {};
        swprintf(instance, 96, L"USB\\VID_%04X&PID_%04X\\SIM%ls", unsigned{kVendorIdPrimary}, unsigned{productId},
                 pid.c_str());
        m_device = std::make_unique<chipkit::CPresentInterface>(instance, hardware, kCategoryBdaReceiverComponent);
        ASSERT_TRUE(m_device->IsReady());
        m_port.Add(m_device->Path(), m_driver);
    }

    std::shared_ptr<simdrv::CSimMontage> m_driver = std::make_shared<simdrv::CSimMontage>();
    std::unique_ptr<chipkit::CPresentInterface> m_device;
};

TEST_F(Montage, KeyIsTappedHeldAndReleasedOnEitherProduct) {
    for (std::uint16_t productId : CSrcMontage::kProductIds) {
        Present(productId);
        int keyId = KEYID_NONE;
        const std::uint8_t code = keylog::PlainKey(RCTYPE_NEC_02BD, &keyId);
        auto receiver = std::make_unique<CSrcMontage>(m_clock);
        ASSERT_EQ(1, receiver->Init(&m_events, &CKeyEventLog::Record)) << productId;
        EXPECT_EQ(CSrcMontage::kModelText, receiver->GetDeviceName());
        chipkit::ExpectTapHeldRelease(*receiver, m_driver->remote, m_clock, m_events, code, keyId);
        receiver.reset();
        m_device.reset();
    }
}

TEST_F(Montage, InitFailsForAnotherStickOrAFailingRead) {
    Present(0x00A9);
    CSrcMontage other(m_clock);
    EXPECT_EQ(0, other.Init(&m_events, &CKeyEventLog::Record));
    EXPECT_EQ(0, m_driver->remote.Reads());
    m_device.reset();

    Present(0x00A8);
    m_driver->fDead = true;
    CSrcMontage silent(m_clock);
    EXPECT_EQ(0, silent.Init(&m_events, &CKeyEventLog::Record));
    EXPECT_EQ(nullptr, silent.GetPollThreadHandle());
}

// --- the S USB box ---
class SUsb : public DevIoChip {
protected:
    void SetUp() override {
        m_filter = std::make_unique<simfilter::CRegisteredFilter>(CSrcRcTavora_S_USB::kModelText,
                                                                  kCategoryBdaReceiverComponent, L"");
        ASSERT_TRUE(m_filter->IsRegistered());
        m_port.filterDriver = m_driver;
    }

    std::shared_ptr<simdrv::CSimSUsb> m_driver = std::make_shared<simdrv::CSimSUsb>();
    std::unique_ptr<simfilter::CRegisteredFilter> m_filter;
};

TEST_F(SUsb, KeyIsTappedHeldAndReleased) {
    int keyId = KEYID_NONE;
    const std::uint8_t code = keylog::PlainKey(RCTYPE_NEC_1400, &keyId);
    {
        CSrcRcTavora_S_USB receiver(m_clock);
        ASSERT_EQ(1, receiver.Init(&m_events, &CKeyEventLog::Record));
        chipkit::ExpectTapHeldRelease(receiver, m_driver->remote, m_clock, m_events, code, keyId);
    }
    EXPECT_EQ(0, simfilter::CRegisteredFilter::LiveInstances());
}

TEST_F(SUsb, FailingRequestsGiveNoKeyAndASilentBoxFailsInit) {
    chipkit::CProbe<CSrcRcTavora_S_USB> receiver(m_clock);
    ASSERT_EQ(1, receiver.Init(&m_events, &CKeyEventLog::Record));
    receiver.StopPollingNow();
    m_driver->remote.Press(0x12);
    EXPECT_EQ(0x12, receiver.GetCurrentKeyCode());
    m_driver->fDead = true;
    EXPECT_EQ(NEC_CODE_IDLE, receiver.GetCurrentKeyCode());

    CSrcRcTavora_S_USB silent(m_clock);
    EXPECT_EQ(0, silent.Init(&m_events, &CKeyEventLog::Record));
    m_filter.reset();
    m_driver->fDead = false;
    CSrcRcTavora_S_USB absent(m_clock);
    EXPECT_EQ(0, absent.Init(&m_events, &CKeyEventLog::Record));
}

}  // namespace
