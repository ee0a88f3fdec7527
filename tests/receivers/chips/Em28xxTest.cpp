// The EM28xx receiver: the stick found among the receiver components by its
// catalogue row (a filter of the test's own with the stick's device path),
// the driver library's device object simulated: an I2C receiver or frames.

#include "receivers/chips/SrcRcTavora_EM28xx_BDA.h"
#include "tests/receivers/chips/ChipTestKit.h"
#include "tests/support/sim/SimCaptureFilter.h"

#include "support/GraphBase.h"

#include <array>
#include <deque>
#include <memory>
#include <stdexcept>

namespace {

using chipkit::CAtomicClock;
using chipkit::CSimRemote;
using keylog::CKeyEventLog;

// The stick as the library shows it. I2C: the register named by detection
// answers the held code (0xFF without a key). Frames: NEC frames from the
// remote at 0x04EB, unchanged while a key is held.
struct tagSIMSTICK {
    CSimRemote remote;
    std::string openedPath;
    bool fI2C = false;
    bool fOpens = true;
    bool fThrows = false;
    bool fNoFrames = false;  // only the fallback read answers
    int nCloses = 0;
    std::deque<std::array<BYTE, 5>> frames;  // scripted frames before the remote's
};
tagSIMSTICK* g_stick = nullptr;

class CSimBda2800 : public CBDA2800 {
public:
    BOOL OpenInterface(const char* path) override {
        g_stick->openedPath = path;
        return g_stick->fOpens;
    }
    void CloseInterface() override { ++g_stick->nCloses; }
    BOOL GetDeviceVIDPID(WORD* vendorId, WORD* productId) override {
        *vendorId = 0xEB1A;
        *productId = 0x2800;
        return TRUE;
    }
    BOOL DetectI2CEx(BYTE address, DWORD* value) override {
        *value = 0x1D00;
        return g_stick->fI2C && address == 0x60;
    }
    BOOL GetI2C(BYTE address, BYTE reg, BYTE* value) override {
        if (!g_stick->fI2C || address != 0x60 || reg != 0x1D)
            return FALSE;
        g_stick->remote.CountRead();
        *value = g_stick->remote.Held();
        return TRUE;
    }
    BOOL GetIRDataEx(BYTE* frame) override {
        if (g_stick->fThrows)
            throw std::runtime_error("device gone");
        if (g_stick->fNoFrames)
            return FALSE;
        g_stick->remote.CountRead();
        if (!g_stick->frames.empty()) {
            std::copy(g_stick->frames.front().begin(), g_stick->frames.front().end(), frame);
            g_stick->frames.pop_front();
            return TRUE;
        }
        const bool held = g_stick->remote.IsHeld();
        const BYTE bytes[5] = {BYTE(held ? 1 : 0), 0x04, 0xEB, g_stick->remote.Held(), 0};
        std::copy(bytes, bytes + 5, frame);
        return TRUE;
    }
    BOOL GetIRData3(DWORD* value) override {
        g_stick->remote.CountRead();
        *value = g_stick->remote.IsHeld() ? (DWORD{g_stick->remote.Held()} << 16) | 0x1401 : 0;
        return TRUE;
    }
};

std::unique_ptr<CBDA2800> MakeSimStick() { return std::make_unique<CSimBda2800>(); }

class Em28xx : public ::testing::Test {
protected:
    static void SetUpTestSuite() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    static void TearDownTestSuite() { CoUninitialize(); }
    void SetUp() override {
        g_stick = &m_stick;
        SetBDA2800Factory(&MakeSimStick);
        m_path = L"\\\\?\\usb#vid_eb1a&pid_2800#sim" + std::to_wstring(GetCurrentProcessId()) +
                 L"#{fd0a5af4-b41d-11d2-9c95-00c04f7971e0}";
        m_filter = std::make_unique<simfilter::CRegisteredFilter>(simfilter::UniqueName(L"Sim EM2800 BDA"),
                                                                  kCategoryBdaReceiverComponent, m_path);
        ASSERT_TRUE(m_filter->IsRegistered());
    }
    void TearDown() override {
        SetBDA2800Factory(nullptr);
        g_stick = nullptr;
    }

    CAtomicClock m_clock;
    CKeyEventLog m_events;
    tagSIMSTICK m_stick;
    std::wstring m_path;
    std::unique_ptr<simfilter::CRegisteredFilter> m_filter;
};

TEST_F(Em28xx, KeyIsTappedHeldAndReleasedInBothModes) {
    const struct {
        bool i2c;
        int rcType;
    } modes[] = {{true, RCTYPE_NEC_04FB}, {false, RCTYPE_NEC_04EB_ALT}};
    for (const auto& mode : modes) {
        m_stick.fI2C = mode.i2c;
        int keyId = KEYID_NONE;
        const std::uint8_t code = keylog::PlainKey(mode.rcType, &keyId);
        {
            CSrcRcTavora_EM28xx_BDA receiver(m_clock);
            ASSERT_EQ(1, receiver.Init(&m_events, &CKeyEventLog::Record));
            EXPECT_EQ(mode.i2c, receiver.IsI2CMode());
            EXPECT_EQ(std::string(m_path.begin(), m_path.end()), m_stick.openedPath);
            EXPECT_EQ(L"Vendor ID=0xEB1A Product ID=0x2800", receiver.GetDeviceName());
            chipkit::ExpectTapHeldRelease(receiver, m_stick.remote, m_clock, m_events, code, keyId);
            EXPECT_EQ(mode.rcType, m_events.At(m_events.Count() - 1).nRcType);
        }
        EXPECT_GE(m_stick.nCloses, 1);
    }
}

TEST_F(Em28xx, FramesRepeatsAndTheFallbackRead) {
    chipkit::CProbe<CSrcRcTavora_EM28xx_BDA> receiver(m_clock);
    ASSERT_EQ(1, receiver.Init(&m_events, &CKeyEventLog::Record));
    receiver.StopPollingNow();
    m_stick.frames = {{1, 0x04, 0xEB, 0x15, 0}, {1, 0x04, 0xEB, 0x15, 0}, {0, 0x14, 0xEB, 0x16, 0},
                      {1, 0x45, 0x00, 0x17, 0}, {1, 0x12, 0xEB, 0x18, 0}};
    EXPECT_EQ(0x15, receiver.GetCurrentKeyCode());
    EXPECT_EQ(RCTYPE_NEC_04EB_ALT, receiver.GetRcType());
    EXPECT_EQ(NEC_CODE_REPEAT, receiver.GetCurrentKeyCode());
    EXPECT_EQ(NEC_CODE_IDLE, receiver.GetCurrentKeyCode());  // no key bit
    EXPECT_EQ(RCTYPE_NEC_1400, receiver.GetRcType());
    EXPECT_EQ(0x17, receiver.GetCurrentKeyCode());  // byte 3 set: an extended frame
    EXPECT_EQ(RCTYPE_MORVANE, receiver.GetRcType());
    EXPECT_EQ(NEC_CODE_IDLE, receiver.GetCurrentKeyCode());  // unknown remote
    m_stick.fNoFrames = true;
    m_stick.remote.Press(0x21);
    EXPECT_EQ(0x21, receiver.GetCurrentKeyCode());
    EXPECT_EQ(NEC_CODE_REPEAT, receiver.GetCurrentKeyCode());
    m_stick.fNoFrames = false;
    m_stick.fThrows = true;
    EXPECT_EQ(NEC_CODE_IDLE, receiver.GetCurrentKeyCode());
}

TEST_F(Em28xx, InitFailsWithoutTheStickTheLibraryOrAnOpen) {
    m_stick.fOpens = false;
    CSrcRcTavora_EM28xx_BDA refused(m_clock);
    EXPECT_EQ(0, refused.Init(&m_events, &CKeyEventLog::Record));
    EXPECT_FALSE(m_stick.openedPath.empty());
    m_stick.fOpens = true;
    SetBDA2800Factory(nullptr);
    CSrcRcTavora_EM28xx_BDA noLibrary(m_clock);
    EXPECT_EQ(0, noLibrary.Init(&m_events, &CKeyEventLog::Record));
    SetBDA2800Factory(&MakeSimStick);
    m_filter.reset();
    m_stick.openedPath.clear();
    CSrcRcTavora_EM28xx_BDA absent(m_clock);
    EXPECT_EQ(0, absent.Init(&m_events, &CKeyEventLog::Record));
    EXPECT_TRUE(m_stick.openedPath.empty());
    EXPECT_EQ(nullptr, absent.GetPollThreadHandle());
}

TEST(Em28xxName, VendorWordAndProduct) {
    EXPECT_EQ(L"Vendor ID=0x1234 Product ID=0x5678", Em28xxDeviceName(0x1234, 0x5678));
    const std::wstring primary = Em28xxDeviceName(kVendorIdPrimary, 0x0046);
    EXPECT_EQ(L"VEMTRA USB IR receiver", primary);
    EXPECT_EQ(0u, Em28xxDeviceName(kVendorIdSecondary, 0x7777).find(L"Morvane Product ID=0x7777"));
}

}  // namespace
