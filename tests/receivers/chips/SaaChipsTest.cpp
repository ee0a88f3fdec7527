// The SAA713x receivers: the BDA card found by its "VampType" capture device,
// its registers behind a simulated driver, and bridge mode through the real
// Irbrix.dll beside the suite over a card made present through SetupAPI.

#include "receivers/chips/SrcRcTavora_SAA_BDA.h"
#include "tests/receivers/chips/ChipTestKit.h"
#include "tests/receivers/chips/PresentInterface.h"
#include "tests/receivers/chips/SimDrivers.h"
#include "tests/support/sim/SimCaptureFilter.h"

#include "support/GraphBase.h"

#include <uuids.h>

#include <memory>

namespace {

using chipkit::CAtomicClock;
using keylog::CKeyEventLog;
using simfilter::CRegisteredFilter;

TEST(SaaDecode, RawValuesByCard) {
    const struct {
        std::uint16_t id;
        std::uint32_t raw;
        unsigned option;
        std::uint32_t at;
        std::uint8_t code;
    } steps[] = {
        {0x1142, 0x00000005, 0, 1000, 0x05},
        {0x1142, 0x00000005, 0, 1080, 0xFF},  // equal to the last fresh code
        {0x1142, 0x00000005, 0, 1160, 0x05},
        {0x1142, 0x00040000, 0, 1260, 0x05},  // held, 100 ms after the fresh code
        {0x1142, 0x00040000, 0, 1360, 0xFF},  // held, 200 ms after
        {0x1158, 0x00000000, 1, 1400, 0xFF},  // key 0 disabled: nothing recorded
        {0x1158, 0x00040000, 1, 1420, 0xFF},  // so the held window still counts from 1160
        {0x1143, 0x00000000, 0, 1500, 0x00},
        {0x1143, 0x0FFBFF83, 0, 1580, 0x03},  // only the GPIO bits count
        {0x1160, 0x0000007F, 0, 0, 0xFF},
        {0x1160, 0x00000085, 0, 0, 0x05},
        {0x1154, 0x00001234, 0, 0, 0x34},
    };
    tagSAAFRESH fresh;
    for (const auto& step : steps)
        EXPECT_EQ(step.code, DecodeSaaRaw(step.id, step.raw, step.option, step.at, fresh)) << step.at;
}

TEST(SaaDecode, DriverFilesOfTheCard) {
    EXPECT_TRUE(IsSaa713xDriverFile(L"\\SystemRoot\\system32\\DRIVERS\\3xHybrid.sys"));
    EXPECT_TRUE(IsSaa713xDriverFile(L"vm3xhybr.sys"));
    EXPECT_TRUE(IsSaa713xDriverFile(L"PH3XIB32.SYS"));
    EXPECT_FALSE(IsSaa713xDriverFile(L"cx88bda.sys"));
    EXPECT_FALSE(IsSaa713xDriverFile(nullptr));
}

class SaaBda : public ::testing::Test {
protected:
    static void SetUpTestSuite() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    static void TearDownTestSuite() { CoUninitialize(); }
    void SetUp() override {
        CSrcRcTavora_SAA_BDA::ResetFreshCode();
        m_name = simfilter::UniqueName(L"Sim 713X BDA Analog Capture");
        m_path = L"\\\\?\\pci#sim713x#" + std::to_wstring(GetCurrentProcessId());
        m_capture = std::make_unique<CRegisteredFilter>(m_name, kCategoryKsCapture, m_path,
                                                        std::vector<std::pair<std::wstring, std::wstring>>{
                                                            {L"VampType", L"1"}});
        ASSERT_TRUE(m_capture->IsRegistered());
        m_port.Add(m_path, m_driver);
    }

    CAtomicClock m_clock;
    CKeyEventLog m_events;
    simdrv::CSimPort m_port;
    std::shared_ptr<simdrv::CSimSaaRegisters> m_driver = std::make_shared<simdrv::CSimSaaRegisters>();
    std::wstring m_name, m_path;
    std::unique_ptr<CRegisteredFilter> m_capture;
};

TEST_F(SaaBda, GpioCardKeyIsTappedAndReleased) {
    const std::uint16_t cards[][2] = {{0x1E4A, 0x1142}, {0x1E4A, 0x1158}};
    for (const auto& card : cards) {
        m_driver->wVendor = card[0];
        m_driver->wSubsystem = card[1];
        int keyId = KEYID_NONE;
        const std::uint8_t code = keylog::PlainKey(RCTYPE_NEC_866B, &keyId, 3);
        ASSERT_LT(code, 0x40);
        CSrcRcTavora_SAA_BDA receiver(0, m_clock);
        ASSERT_EQ(1, receiver.Init(&m_events, &CKeyEventLog::Record));
        EXPECT_EQ(m_name, receiver.GetDeviceName());
        EXPECT_EQ(RCTYPE_NEC_866B, receiver.GetRcType());
        chipkit::ExpectTapHeldRelease(receiver, m_driver->remote, m_clock, m_events, code, keyId, false);
    }
}

TEST_F(SaaBda, InitFailsForOtherCardsAndASilentDriver) {
    const std::uint16_t refused[][2] = {{0x1E4A, 0x1999}, {0x1131, 0x1142}, {0x1E4B, 0x1142}};
    for (const auto& card : refused) {
        m_driver->wVendor = card[0];
        m_driver->wSubsystem = card[1];
        CSrcRcTavora_SAA_BDA receiver(0, m_clock);
        EXPECT_EQ(0, receiver.Init(&m_events, &CKeyEventLog::Record)) << std::hex << card[0] << " " << card[1];
        EXPECT_EQ(nullptr, receiver.GetPollThreadHandle());
    }
    m_driver->wVendor = 0x1E4A;
    m_driver->wSubsystem = 0x1142;
    m_driver->fDead = true;
    CSrcRcTavora_SAA_BDA silent(0, m_clock);
    EXPECT_EQ(0, silent.Init(&m_events, &CKeyEventLog::Record));
    m_capture.reset();
    m_driver->fDead = false;
    CSrcRcTavora_SAA_BDA absent(0, m_clock);
    EXPECT_EQ(0, absent.Init(&m_events, &CKeyEventLog::Record));
}

TEST_F(SaaBda, DisabledKeyZeroIsNeverReported) {
    m_driver->wSubsystem = 0x1143;
    CSrcRcTavora_SAA_BDA receiver(1, m_clock);
    ASSERT_EQ(1, receiver.Init(&m_events, &CKeyEventLog::Record));
    m_driver->remote.Press(0x00);
    ASSERT_TRUE(m_driver->remote.WaitForMoreReads(3));
    EXPECT_EQ(0u, m_events.Count());
    EXPECT_EQ(KEYID_NONE, receiver.GetKeyId());
}

// The bridge cards: subsystem 0x1160 itself, and the two ids mapped onto it.
TEST_F(SaaBda, BridgeModeLoadsTheLibraryForThePresentCard) {
    const std::wstring pid = std::to_wstring(GetCurrentProcessId());
    chipkit::CPresentInterface card(L"PCI\\VEN_1131&DEV_7133&SUBSYS_11601E4A&REV_D1\\4&" + pid + L"&0&00E8",
                                    L"PCI\\VEN_1131&DEV_7133&SUBSYS_11601E4A&REV_D1", kCategoryKsCapture);
    ASSERT_TRUE(card.IsReady());
    CRegisteredFilter video(m_name, CLSID_VideoInputDeviceCategory, m_path);
    ASSERT_TRUE(video.IsRegistered());
    const std::uint16_t cards[][2] = {{0x1E4A, 0x1160}, {0x1131, 0x0000}, {0x1E4B, 0x7131}};
    for (const auto& ids : cards) {
        m_driver->wVendor = ids[0];
        m_driver->wSubsystem = ids[1];
        CSrcRcTavora_SAA_BDA receiver(0, m_clock);
        ASSERT_EQ(1, receiver.Init(&m_events, &CKeyEventLog::Record)) << std::hex << ids[0];
        EXPECT_EQ(CSrcRcTavora_SAA_BDA::kBridgeSubsystem, receiver.GetSubsystemId());
        EXPECT_EQ(RCTYPE_NEC_04EB, receiver.GetRcType());
        // The simulated filter has no kernel-streaming control: the card is quiet.
        EXPECT_EQ(NEC_CODE_IDLE, receiver.GetCurrentKeyCode());
    }
    EXPECT_EQ(0, m_driver->remote.Reads()) << "bridge mode never reads the IR registers";
}

TEST_F(SaaBda, BridgeModeWithoutItsCardFails) {
    m_driver->wSubsystem = 0x1160;
    CSrcRcTavora_SAA_BDA receiver(0, m_clock);
    EXPECT_EQ(0, receiver.Init(&m_events, &CKeyEventLog::Record));
    EXPECT_EQ(nullptr, GetModuleHandleW(CSrcRcTavora_SAA_BDA::kBridgeLibrary));
}

}  // namespace
