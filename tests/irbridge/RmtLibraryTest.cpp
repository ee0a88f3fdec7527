// The library over simulated cards: discovery, the device table, and keys
// read from both chips' receivers as the exports deliver them.
#include "irbridge/RmtLibrary.h"
#include "tests/irbridge/SimChips.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace irbrix;
using simchips::CSimCx2388x;
using simchips::CSimPlatform;
using simchips::CSimSaa713x;

namespace {

const char kSaaId[] = "PCI\\VEN_1131&DEV_7133&SUBSYS_11601E4A&REV_D1";
const char kSaaName[] = "713X BDA ANALOG CAPTURE";
const char kCxI2cId[] = "PCI\\VEN_14F1&DEV_8800&SUBSYS_03051421&REV_05";
const char kCxGpioId[] = "PCI\\VEN_14F1&DEV_8800&SUBSYS_86241462&REV_05";

struct tagPOLL {
    int nActive;
    int nCode;
    bool operator==(const tagPOLL& o) const { return nActive == o.nActive && nCode == o.nCode; }
};
std::ostream& operator<<(std::ostream& os, const tagPOLL& p) { return os << "{" << p.nActive << ", " << p.nCode << "}"; }

class Library : public testing::Test {
protected:
    // The caller's order per poll: activity first, then the code.
    tagPOLL Poll() {
        const int active = library.CheckAct();
        return {active, library.GetScanCode()};
    }
    void AddSaa() {
        platform.AddCard(kSaaId, "Vendor 713x BDA Analog Capture");
        platform.saa = saa;
    }
    void AddCx(const char* hardwareId, const char* name) {
        platform.AddCard(hardwareId, name);
        platform.cx = cx;
    }

    CSimPlatform platform;
    std::shared_ptr<CSimSaa713x> saa = std::make_shared<CSimSaa713x>();
    std::shared_ptr<CSimCx2388x> cx = std::make_shared<CSimCx2388x>();
    CRmtLibrary library{platform};
};

// --- discovery and the table ---

TEST_F(Library, EmptyTableGivesNeutralResults) {
    std::uint32_t vendor = 7, id = 7;
    EXPECT_EQ(library.GetActiveDevice(&vendor, &id), -1);
    EXPECT_EQ(vendor, 0u);
    EXPECT_EQ(id, 0u);
    EXPECT_EQ(Poll(), (tagPOLL{0, 0xFF}));
}

TEST_F(Library, CardThatIsNotThereIsNotRegistered) {
    AddSaa();
    platform.hardwareIds = {"PCI\\VEN_1131&DEV_7133&SUBSYS_11611E4A&REV_D1"};
    EXPECT_EQ(library.Initialization(kPciVendorIdPrimary, 0x1160, nullptr), 0) << "another subsystem";
    platform.hardwareIds = {kSaaId};
    EXPECT_EQ(library.Initialization(kPciVendorIdPrimary, 0x1160, "Some Other Capture"), 0) << "no such device";
    EXPECT_EQ(library.Initialization(kPciVendorIdPrimary, 0x1161, nullptr), 0) << "unsupported pair";
    platform.videoInputNames.clear();
    EXPECT_EQ(library.Initialization(kPciVendorIdPrimary, 0x1160, nullptr), 0) << "driver lists no capture device";
    std::uint32_t vendor = 0, id = 0;
    EXPECT_EQ(library.Count(), 0u);
    EXPECT_EQ(library.GetActiveDevice(&vendor, &id), -1);
}

TEST_F(Library, SameCardAndNameRegistersOnceAnotherNameAddsAnEntry) {
    AddSaa();
    ASSERT_EQ(library.Initialization(kPciVendorIdPrimary, 0x1160, nullptr), 1);
    EXPECT_EQ(library.Initialization(kPciVendorIdPrimary, 0x1160, "713x bda analog capture"), 1);
    EXPECT_EQ(library.Initialization(kPciVendorIdPrimary, 0x1160, ""), 1);
    EXPECT_EQ(library.Count(), 1u);

    ASSERT_EQ(library.Initialization(kPciVendorIdPrimary, 0x1160, "bda analog"), 1);
    EXPECT_EQ(library.Count(), 2u);
    std::uint32_t vendor = 0, id = 0;
    EXPECT_EQ(library.GetActiveDevice(&vendor, &id), 1);
    EXPECT_EQ(vendor, kPciVendorIdPrimary);
    EXPECT_EQ(id, 0x1160u);

    // Lookups address the first entry with the ids; unknown ids change nothing.
    const std::uint32_t known[2] = {kPciVendorIdPrimary, 0x1160}, unknown[2] = {0x1421, 0x0305};
    EXPECT_EQ(library.SetActiveDevice(&unknown[0], &unknown[1]), -1);
    EXPECT_EQ(library.GetActiveDevice(&vendor, &id), 1);
    EXPECT_EQ(library.GetDevice(&known[0], &known[1]), 0);
    EXPECT_EQ(library.GetActiveDevice(&vendor, &id), 1);
    EXPECT_EQ(library.SetActiveDevice(&known[0], &known[1]), 0);
    EXPECT_EQ(library.GetActiveDevice(&vendor, &id), 0);
    // Registering again re-selects without adding.
    EXPECT_EQ(library.Initialization(kPciVendorIdPrimary, 0x1160, "BDA ANALOG"), 1);
    EXPECT_EQ(library.GetActiveDevice(&vendor, &id), 1);
}

TEST_F(Library, TableHoldsTenEntries) {
    platform.AddCard(kSaaId, "Capture 0 1 2 3 4 5 6 7 8 9 10");
    for (int i = 0; i < 10; ++i)
        ASSERT_EQ(library.Initialization(kPciVendorIdPrimary, 0x1160, std::to_string(i).c_str()), 1) << i;
    EXPECT_EQ(library.Initialization(kPciVendorIdPrimary, 0x1160, "10"), 0);
    EXPECT_EQ(library.Initialization(kPciVendorIdPrimary, 0x1160, "3"), 1);
    EXPECT_EQ(library.Count(), 10u);
}

TEST_F(Library, DeviceWithoutControlPathStaysRegisteredAndAnswersNeutrally) {
    AddSaa();
    platform.saa = nullptr;
    EXPECT_EQ(library.Initialization(kPciVendorIdPrimary, 0x1160, nullptr), 1);
    EXPECT_EQ(Poll(), (tagPOLL{0, 0xFF}));
    platform.hardwareIds.push_back(kCxI2cId);
    EXPECT_EQ(library.Initialization(0x1421, 0x0305, nullptr), 0) << "no such capture device";
    platform.videoInputNames.push_back("Conexant 2388X Video Capture");
    EXPECT_EQ(library.Initialization(0x1421, 0x0305, nullptr), 1);
    EXPECT_EQ(Poll(), (tagPOLL{0, -1}));
}

// --- CX2388x with its receiver on I2C ---

class CxI2c : public Library {
protected:
    void SetUp() override {
        AddCx(kCxI2cId, "Conexant 2388X Video Capture");
        cx->registers[0x350010] = 0xFF;
        ASSERT_EQ(library.Initialization(0x1421, 0x0305, nullptr), 1);
    }
    // The key's line is activity bit 5, active low; its code comes over I2C.
    void Press(std::uint8_t code) {
        cx->remote.Press(code);
        cx->registers[0x350010] = 0xFF & ~0x20;
    }
    void Release() {
        cx->remote.Release();
        cx->registers[0x350010] = 0xFF;
    }
};

TEST_F(CxI2c, KeyTappedHeldAndReleased) {
    std::vector<tagPOLL> polls;
    polls.push_back(Poll());
    Press(0x15);
    polls.push_back(Poll());
    Release();
    polls.push_back(Poll());
    Press(0x2A);
    for (int i = 0; i < 3; ++i)
        polls.push_back(Poll());
    Release();
    polls.push_back(Poll());
    EXPECT_EQ(polls, (std::vector<tagPOLL>{{0, 0}, {1, 0x15}, {0, 0}, {1, 0x2A}, {1, 0x2A}, {1, 0x2A}, {0, 0}}));
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(CxI2c, ReadRunsTheBusSequenceAndLeavesTheSlowSetting) {
    Press(0x33);
    cx->commands.clear();
    EXPECT_EQ(library.GetScanCode(), 0x33);
    EXPECT_EQ(cx->commands, (std::vector<std::uint32_t>{
                                kCxI2cBus200k, kCxI2cApplyBus, kCxI2cStart, kCxI2cSetReadAddress, kCxI2cWriteByte,
                                kCxI2cReadByte, kCxI2cNack, kCxI2cStop, kCxI2cBus200k, kCxI2cApplyBus, kCxI2cBus100k,
                                kCxI2cApplyBus}));
    EXPECT_EQ(cx->busSpeed, 100000u);
}

struct tagI2CFAILURE {
    std::uint32_t nCommand;
    const char* szMessage;  // "" when the user is not told
};

class CxI2cFailure : public CxI2c, public testing::WithParamInterface<tagI2CFAILURE> {};

TEST_P(CxI2cFailure, FailedStepGivesNoKeyAndStopsTheRead) {
    Press(0x33);
    cx->commands.clear();
    cx->failCommand = GetParam().nCommand;
    EXPECT_EQ(library.GetScanCode(), 0xFF);
    const std::vector<std::string> expected =
        *GetParam().szMessage ? std::vector<std::string>{std::string("I2CSWRead: ") + GetParam().szMessage}
                              : std::vector<std::string>{};
    EXPECT_EQ(platform.messages, expected);
    // Nothing is sent on the bus after the failed step but the final setting.
    const auto failed = std::find(cx->commands.begin(), cx->commands.end(), GetParam().nCommand);
    ASSERT_NE(failed, cx->commands.end());
    if (GetParam().nCommand != kCxI2cStop && GetParam().nCommand != kCxI2cBus200k) {
        EXPECT_EQ(std::vector<std::uint32_t>(failed + 1, cx->commands.end()),
                  (std::vector<std::uint32_t>{kCxI2cBus100k, kCxI2cApplyBus}));
    }
}

INSTANTIATE_TEST_SUITE_P(Steps, CxI2cFailure,
                         testing::Values(tagI2CFAILURE{kCxI2cBus200k, ""},
                                         tagI2CFAILURE{kCxI2cStart, "Command I2C START failed!"},
                                         tagI2CFAILURE{kCxI2cSetReadAddress, "Command I2C SET READ ADDRESS failed!"},
                                         tagI2CFAILURE{kCxI2cWriteByte, ""},
                                         tagI2CFAILURE{kCxI2cReadByte, "Command I2C READ failed!"},
                                         tagI2CFAILURE{kCxI2cNack, "Command I2C NACK failed!"},
                                         tagI2CFAILURE{kCxI2cStop, ""}));

TEST_F(CxI2c, SilentReceiverGivesNoKeyWithoutTellingTheUser) {
    cx->remote.fPresent = false;
    Press(0x33);
    EXPECT_EQ(Poll(), (tagPOLL{1, 0xFF}));
    EXPECT_TRUE(platform.messages.empty());
}

TEST(CxI2cRead, AllButTheLastByteAreAcknowledged) {
    CSimPlatform platform;
    platform.AddCard(kCxI2cId, "Conexant 2388X Video Capture");
    platform.cx = std::make_shared<CSimCx2388x>();
    CRmtCx2388x device(platform, {"PCI", "14F1", "8800", "0305", "1421"}, "Conexant 2388X", kReadModeI2c, 5);
    ASSERT_TRUE(device.Found());
    device.Start();
    platform.cx->remote.Press(0x44);
    std::uint8_t bytes[3] = {};
    EXPECT_EQ(device.I2CSWRead(0x60, bytes, 3), 0);
    EXPECT_EQ(std::count(platform.cx->commands.begin(), platform.cx->commands.end(), kCxI2cAck), 2);
    EXPECT_EQ(bytes[2], 0x44);
    platform.cx->failCommand = kCxI2cAck;
    EXPECT_NE(device.I2CSWRead(0x60, bytes, 3), 0);
    EXPECT_EQ(platform.messages, (std::vector<std::string>{"I2CSWRead: Command I2C ACT failed!"}));
}

// --- CX2388x with its receiver on GPIO pins ---

struct tagGPIO {
    std::uint32_t nRegister;
    tagPOLL poll;
};

class CxGpio : public Library, public testing::WithParamInterface<tagGPIO> {};

// Activity bit 14: the pins of register 0x350014, line 0x40, code bits 0x3F and 0x80.
TEST_P(CxGpio, RegisterDecodesToActivityAndCode) {
    AddCx(kCxGpioId, "MSI 8624 Video Capture");
    cx->registers[0x350010] = 0;
    cx->registers[0x350014] = GetParam().nRegister;
    ASSERT_EQ(library.Initialization(0x1462, 0x8624, nullptr), 1);
    EXPECT_EQ(Poll(), GetParam().poll);
}

INSTANTIATE_TEST_SUITE_P(Values, CxGpio,
                         testing::Values(tagGPIO{0x85, {1, 0x45}}, tagGPIO{0x3F, {1, 0x3F}}, tagGPIO{0xC0, {0, 0x40}},
                                         tagGPIO{0x40, {0, 0x00}}));

TEST_F(Library, CxGpioFailedReadIsNoKey) {
    AddCx(kCxGpioId, "MSI 8624 Video Capture");
    cx->registers[0x350014] = 0x85;
    ASSERT_EQ(library.Initialization(0x1462, 0x8624, nullptr), 1);
    cx->failCommand = kCxRegRead;
    EXPECT_EQ(Poll(), (tagPOLL{0, 0xFF}));
}

// --- SAA713x ---

class Saa : public Library {
protected:
    void SetUp() override {
        AddSaa();
        ASSERT_EQ(library.Initialization(kPciVendorIdPrimary, 0x1160, nullptr), 1);
    }
};

TEST_F(Saa, KeyTappedHeldAndReleased) {
    // Activity on pin 6, active low; the pins carry the code as the bus does: no shift.
    std::vector<tagPOLL> polls;
    polls.push_back(Poll());
    saa->remote.Press(0x2A);
    saa->pins = 0x2A;
    for (int i = 0; i < 3; ++i)
        polls.push_back(Poll());
    saa->remote.Release();
    saa->pins = 0xFF;
    polls.push_back(Poll());
    saa->remote.Press(0x11);
    saa->pins = 0x00;
    polls.push_back(Poll());
    EXPECT_EQ(polls, (std::vector<tagPOLL>{{0, 0}, {1, 0x2A}, {1, 0x2A}, {1, 0x2A}, {0, 0}, {1, 0x11}}));
}

struct tagSHIFT {
    std::uint8_t nPins;
    int nUnreadablePin;
    std::uint8_t nFirst;
    int nFirstResult;
    int nLaterResult;  // of code 0x30, with other pins
};

class SaaShift : public Saa, public testing::WithParamInterface<tagSHIFT> {};

TEST_P(SaaShift, DecidedOnceFromThePinsAgainstTheFirstCode) {
    saa->remote.Press(0);
    EXPECT_EQ(library.GetScanCode(), 0) << "no code, no decision";
    saa->pins = GetParam().nPins;
    saa->failPin = GetParam().nUnreadablePin;
    saa->remote.Press(GetParam().nFirst);
    EXPECT_EQ(library.GetScanCode(), GetParam().nFirstResult);
    saa->pins = 0x30;
    saa->failPin = -1;
    saa->remote.Press(0x30);
    EXPECT_EQ(library.GetScanCode(), GetParam().nLaterResult);
}

INSTANTIATE_TEST_SUITE_P(Cases, SaaShift,
                         testing::Values(tagSHIFT{0x40, -1, 0x2A, 0x2A, 0x30}, tagSHIFT{0x2A, -1, 0x2A, 0x2A, 0x30},
                                         tagSHIFT{0x10, -1, 0x2A, 0x15, 0x18},
                                         // Pin 3 unreadable: 0x2A read as 0010010.
                                         tagSHIFT{0x2A, 3, 0x12, 0x12, 0x30}, tagSHIFT{0x2A, 3, 0x2A, 0x15, 0x18}));

TEST_F(Saa, SilentReceiverIsNoKeyEvenWhenCodesShift) {
    saa->remote.fPresent = false;
    saa->pins = 0x00;
    EXPECT_EQ(Poll(), (tagPOLL{1, 0xFF}));
    saa->remote.fPresent = true;
    saa->remote.Press(0x2A);
    EXPECT_EQ(library.GetScanCode(), 0x15) << "the decision waited for a real code";
    saa->remote.fPresent = false;
    EXPECT_EQ(library.GetScanCode(), 0xFF);
}

TEST(SaaDevice, I2cAndGpioOperations) {
    CSimPlatform platform;
    platform.AddCard(kSaaId, kSaaName);
    platform.saa = std::make_shared<CSimSaa713x>();
    CRmtSaa713x device(platform, {"PCI", "1131", "7133", "1160", "1E4A"}, kSaaName, kReadModeI2c, 6);
    std::uint8_t bytes[9] = {};
    EXPECT_EQ(device.I2CWrite(0x60, 0xFF, bytes, 1), 255) << "before start: no control interface";
    ASSERT_EQ(device.Start(), 1);
    EXPECT_EQ(device.I2CRead(0x60, 0xFF, bytes, 9), 255);
    EXPECT_EQ(platform.saa->i2cRequests, 0);
    platform.saa->remote.Press(0x5A);
    std::fill(bytes, bytes + 9, 0xEE);
    EXPECT_EQ(device.I2CRead(0x60, 0xFF, bytes, 8), 8);
    EXPECT_EQ(std::vector<int>(bytes, bytes + 9), (std::vector<int>{0x5A, 0, 0, 0, 0, 0, 0, 0, 0xEE}));
    EXPECT_EQ(device.I2CRead(0x62, 0xFF, bytes, 1), 0) << "nobody at 0x62";
    EXPECT_EQ(device.I2CWrite(0x60, 0x10, bytes, 2), 2);

    std::uint8_t level = 0;
    EXPECT_EQ(device.GpioWrite(2, 0), 1);
    EXPECT_EQ(device.GpioRead(2, &level), 1);
    EXPECT_EQ(level, 0);
    EXPECT_EQ(device.GpioWrite(2, 2), 0);
    EXPECT_EQ(device.GpioRead(2, &level), 1);
    EXPECT_EQ(level, 0);
    platform.saa->failPin = 2;
    EXPECT_EQ(device.GpioRead(2, &level), 0);
    EXPECT_EQ(level, 0xFF);
}

}  // namespace
