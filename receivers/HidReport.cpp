#include "receivers/HidReport.h"

#include "receivers/RcKeys.h"

tagHIDKEYCODE DecodeHidReport(int hidType, const std::uint8_t (&report)[HID_REPORT_BYTES]) {
    tagHIDKEYCODE key = {NEC_CODE_IDLE, false, 0};
    switch (hidType) {
    case HIDTYPE_BITMAP:
        // Bit p of the report (byte index * 8 + bit) is key p - 7; the highest wins.
        for (int byte = 6; byte >= 1 && key.nCode == NEC_CODE_IDLE; --byte) {
            for (int bit = 7; bit >= 0; --bit) {
                if (report[byte] & (1u << bit)) {
                    key.nCode = static_cast<std::uint8_t>(byte * 8 + bit - 7);
                    break;
                }
            }
        }
        break;
    case HIDTYPE_NEC:
        key.nCode = report[1];
        key.fHasAddress = true;
        key.nAddress = (unsigned{report[2]} << 8) | report[3];
        break;
    case HIDTYPE_NONZERO: key.nCode = report[1] != 0 ? report[1] : NEC_CODE_IDLE; break;
    case HIDTYPE_BYTE: key.nCode = report[1]; break;
    default: break;
    }
    return key;
}
