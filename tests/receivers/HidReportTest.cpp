// The four report formats of the HID receiver.

#include "receivers/HidReport.h"
#include "receivers/RcKeys.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct tagREPORTCASE {
    int hidType;
    std::uint8_t report[HID_REPORT_BYTES];
    std::uint8_t code;
};

class HidReport : public ::testing::TestWithParam<tagREPORTCASE> {};

TEST_P(HidReport, GivesTheKeyCode) {
    const tagHIDKEYCODE key = DecodeHidReport(GetParam().hidType, GetParam().report);
    EXPECT_EQ(GetParam().code, key.nCode);
    EXPECT_EQ(GetParam().hidType == HIDTYPE_NEC, key.fHasAddress);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, HidReport,
    ::testing::Values(tagREPORTCASE{HIDTYPE_BITMAP, {0, 0x01, 0, 0, 0, 0, 0, 0}, 1},
                      tagREPORTCASE{HIDTYPE_BITMAP, {0, 0, 0, 0, 0, 0, 0x80, 0}, 48},
                      tagREPORTCASE{HIDTYPE_BITMAP, {0, 0x01, 0, 0, 0, 0, 0x80, 0}, 48},
                      tagREPORTCASE{HIDTYPE_BITMAP, {0, 0x00, 0x24, 0, 0, 0, 0, 0}, 14},
                      tagREPORTCASE{HIDTYPE_BITMAP, {0xFF, 0, 0, 0, 0, 0, 0, 0xFF}, NEC_CODE_IDLE},
                      tagREPORTCASE{HIDTYPE_NEC, {0, 0x1C, 0x45, 0x45, 0, 0, 0, 0}, 0x1C},
                      tagREPORTCASE{HIDTYPE_NONZERO, {0, 0, 0, 0, 0, 0, 0, 0}, NEC_CODE_IDLE},
                      tagREPORTCASE{HIDTYPE_NONZERO, {9, 0x33, 0, 0, 0, 0, 0, 0}, 0x33},
                      tagREPORTCASE{HIDTYPE_BYTE, {0, 0, 0, 0, 0, 0, 0, 0}, 0x00},
                      tagREPORTCASE{HIDTYPE_NONE, {0, 0x33, 0, 0, 0, 0, 0, 0}, NEC_CODE_IDLE},
                      tagREPORTCASE{-1, {0, 0x33, 0, 0, 0, 0, 0, 0}, NEC_CODE_IDLE}));

TEST(HidReportAddress, NecFormatCarriesTheAddressHighByteFirst) {
    const std::uint8_t report[HID_REPORT_BYTES] = {0, 0x10, 0x86, 0x6B, 0, 0, 0, 0};
    EXPECT_EQ(0x866Bu, DecodeHidReport(HIDTYPE_NEC, report).nAddress);
}

}  // namespace
