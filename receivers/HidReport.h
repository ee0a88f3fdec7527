#pragma once
// The HID source record of the device table and the four report formats of
// the HID receiver.
//
// Pure logic: no Windows header, so it builds natively as well.

#include <cstdint>

constexpr int HIDSOURCE_TABLE_SIZE = 128;
constexpr int HIDSOURCE_NAME_CHARS = 128;
constexpr int HID_REPORT_BYTES = 8;
// The fixed vendor usage page of the receivers this program serves.
constexpr std::uint16_t HID_USAGE_PAGE_VEMTRA = 0xFFCC;

enum {
    HIDTYPE_NONE = 0,
    HIDTYPE_BITMAP = 1,     // highest set bit of bytes 1 to 6
    HIDTYPE_NEC = 2,        // byte 1 command, bytes 2 and 3 the NEC address
    HIDTYPE_NONZERO = 3,    // byte 1, zero means no key
    HIDTYPE_BYTE = 4,       // byte 1, zero included
};

struct tagHIDSOURCE {
    int nHidType;
    std::uint16_t wVid;
    std::uint16_t wPid;
    int nRcType;
    std::uint32_t dwTimeout;  // ms one read waits for a report
    std::uint16_t wUsagePage;
    wchar_t szName[HIDSOURCE_NAME_CHARS + 1];
};

struct tagHIDKEYCODE {
    std::uint8_t nCode;     // 0xFF: no key
    bool fHasAddress;       // format 2: nAddress must be known for the code to count
    unsigned nAddress;
};

// The key code of the first 8 bytes of an input report (byte 0: report id).
tagHIDKEYCODE DecodeHidReport(int hidType, const std::uint8_t (&report)[HID_REPORT_BYTES]);
