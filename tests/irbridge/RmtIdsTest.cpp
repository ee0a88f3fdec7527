#include "irbridge/RmtIds.h"

#include <gtest/gtest.h>

using namespace irbrix;

namespace {

struct tagSUPPORT {
    std::uint32_t nVendor;
    std::uint32_t nSubsystem;
    bool fSupported;
};

class SupportedCard : public testing::TestWithParam<tagSUPPORT> {};

TEST_P(SupportedCard, PairIsMatchedOnItsFourHexDigits) {
    EXPECT_EQ(FindSupportedCard(GetParam().nVendor, GetParam().nSubsystem) != nullptr, GetParam().fSupported);
}

INSTANTIATE_TEST_SUITE_P(Ranges, SupportedCard,
                         testing::Values(tagSUPPORT{0x1421, 0x0350, true}, tagSUPPORT{0x1421, 0x0351, true},
                                         tagSUPPORT{0x1421, 0x0352, false}, tagSUPPORT{kPciVendorIdBridge, 0x0840, true},
                                         tagSUPPORT{kPciVendorIdBridge, 0x0845, true},
                                         tagSUPPORT{kPciVendorIdBridge, 0x0846, false},
                                         tagSUPPORT{kPciVendorIdPrimary, 0x0840, false},
                                         // Wider values do not alias a row through their low digits.
                                         tagSUPPORT{0x11421, 0x0305, false}, tagSUPPORT{0x1421, 0x10305, false}));

TEST(SupportedCard, RowCarriesChipModeAndBit) {
    const tagRMTCARD* gpio = FindSupportedCard(0x1462, 0x8624);
    ASSERT_NE(gpio, nullptr);
    EXPECT_EQ(gpio->chip, RmtChip::Cx2388x);
    EXPECT_EQ(gpio->nReadMode, kReadModeGpio);
    EXPECT_STREQ(gpio->szDefaultName, "MSI 8624 Video Capture");
    const tagRMTCARD* saa = FindSupportedCard(kPciVendorIdPrimary, 0x1160);
    ASSERT_NE(saa, nullptr);
    EXPECT_EQ(saa->chip, RmtChip::Saa713x);
    EXPECT_EQ(saa->nActivityBit, 6);
}

struct tagHWMATCH {
    const char* szHardwareId;
    tagRMTIDS ids;
    bool fMatch;
};

class HardwareId : public testing::TestWithParam<tagHWMATCH> {};

TEST_P(HardwareId, ComponentsAreFoundLeftToRight) {
    tagRMTIDS ids = GetParam().ids;
    EXPECT_EQ(MatchHardwareId(GetParam().szHardwareId, ids), GetParam().fMatch);
}

const char kSaaId[] = "PCI\\VEN_1131&DEV_7133&SUBSYS_11601E4A&REV_D1";

INSTANTIATE_TEST_SUITE_P(
    Ids, HardwareId,
    testing::Values(tagHWMATCH{kSaaId, {"PCI", "1131", "7133", "1160", "1e4a"}, true},
                    tagHWMATCH{kSaaId, {"PCI", "1131", "7133", "1161", "1e4a"}, false},
                    // Lower-case ids, 0x prefixes, a lower-case hardware id.
                    tagHWMATCH{"pci\\ven_1131&dev_7133&subsys_11601e4a", {"pci", "0x1131", "0X7133", "1160", "1E4A"}, true},
                    // The chip must be the one named after VEN_, not any 1131 in the id.
                    tagHWMATCH{"PCI\\VEN_14F1&DEV_7133&SUBSYS_11311E4A", {"PCI", "1131", "7133", "1E4A", "1E4A"}, false},
                    // Subsystem vendor before the subsystem id is not the order of a PCI id.
                    tagHWMATCH{kSaaId, {"PCI", "1131", "7133", "1E4A", "1160"}, false},
                    tagHWMATCH{"USB\\VID_1131&PID_7133&1160_1E4A", {"USB", "1131", "7133", "1160", "1E4A"}, true},
                    tagHWMATCH{kSaaId, {"USB", "1131", "7133", "1160", "1E4A"}, false}));

TEST(HardwareId, WildcardTakesTheCharactersAtItsPlace) {
    tagRMTIDS ids = {"PCI", "1131", "FFFF", "FFFF", "ffff"};
    ASSERT_TRUE(MatchHardwareId(kSaaId, ids));
    EXPECT_EQ(ids[kIdChipDevice], "7133");
    EXPECT_EQ(ids[kIdSubsystem], "1160");
    EXPECT_EQ(ids[kIdSubsysVendor], "1E4A");
    tagRMTIDS truncated = {"PCI", "1131", "7133", "1160", "FFFF"};
    EXPECT_FALSE(MatchHardwareId("PCI\\VEN_1131&DEV_7133&SUBSYS_11601E", truncated));
    EXPECT_EQ(truncated[kIdSubsysVendor], "FFFF");
}

TEST(FriendlyName, ContainsTheNameWithinItsFirst79Characters) {
    EXPECT_TRUE(FriendlyNameMatches("Vendor 713x BDA Analog Capture #2", "713X BDA ANALOG CAPTURE"));
    EXPECT_FALSE(FriendlyNameMatches("713X BDA Capture", "713X BDA ANALOG CAPTURE"));
    EXPECT_FALSE(FriendlyNameMatches(std::string(70, ' ') + "713X BDA ANALOG CAPTURE", "713X BDA ANALOG CAPTURE"));
    EXPECT_FALSE(FriendlyNameMatches("anything", ""));
}

}  // namespace
