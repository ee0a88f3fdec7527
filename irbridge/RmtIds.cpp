#include "irbridge/RmtIds.h"

#include <cctype>
#include <cstdio>

namespace irbrix {
namespace {

constexpr tagRMTCARD kCards[] = {
    {0x1421, 0x0305, 0x0305, RmtChip::Cx2388x, "Conexant 2388X Video Capture", kReadModeI2c, 5},
    {0x1421, 0x0334, 0x0334, RmtChip::Cx2388x, "DVBT 2388X Video Capture", kReadModeGpio, 14},
    {0x1421, 0x0341, 0x0341, RmtChip::Cx2388x, "Conexant 2388X Video Capture", kReadModeI2c, 0},
    {0x1421, 0x0350, 0x0351, RmtChip::Saa713x, "Philips Cap713X Video Capture", kReadModeI2c, 6},
    {0x1421, 0x0370, 0x0370, RmtChip::Saa713x, "713X BDA ANALOG CAPTURE", kReadModeI2c, 6},
    {0x1462, 0x8624, 0x8624, RmtChip::Cx2388x, "MSI 8624 Video Capture", kReadModeGpio, 14},
    {kPciVendorIdPrimary, 0x1160, 0x1160, RmtChip::Saa713x, "713X BDA ANALOG CAPTURE", kReadModeI2c, 6},
    {kPciVendorIdBridge, 0x0840, 0x0845, RmtChip::Cx2388x, "Conexant 2388X Video Capture", kReadModeI2c, 14},
    {kPciVendorIdBridge, 0x7131, 0x7131, RmtChip::Saa713x, "713X BDA ANALOG CAPTURE", kReadModeI2c, 6},
    {kPciVendorIdBridge, 0x7135, 0x7135, RmtChip::Saa713x, "713X BDA ANALOG CAPTURE", kReadModeI2c, 6},
    {kPciVendorIdBridge, 0xA8A6, 0xA8A6, RmtChip::Cx2388x, "DVBT 2388X Video Capture", kReadModeGpio, 14},
};

constexpr std::size_t kFriendlyNameChars = 79;
const char kWildcard[] = "FFFF";

}  // namespace

std::string Hex4(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%04x", static_cast<unsigned>(value));
    return text;
}

const tagRMTCARD* FindSupportedCard(std::uint32_t vendor, std::uint32_t subsystem) {
    // The table is matched on the text the ids format to, so a value above
    // 0xFFFF never aliases a row through truncation.
    const std::string vendorText = Hex4(vendor);
    const std::string idText = Hex4(subsystem);
    for (const tagRMTCARD& card : kCards) {
        if (vendorText != Hex4(card.nVendor))
            continue;
        for (std::uint32_t id = card.nSubsysFirst; id <= card.nSubsysLast; ++id) {
            if (idText == Hex4(id))
                return &card;
        }
    }
    return nullptr;
}

const char* ChipVendorId(RmtChip chip) { return chip == RmtChip::Cx2388x ? "14F1" : "1131"; }
const char* ChipDeviceId(RmtChip chip) { return chip == RmtChip::Cx2388x ? "8800" : "7133"; }

std::string ToUpper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

bool EqualsNoCase(const std::string& a, const std::string& b) { return ToUpper(a) == ToUpper(b); }

std::string NormalizeId(const std::string& id) {
    std::string upper = ToUpper(id);
    const std::size_t x = upper.find('X');
    return x == std::string::npos ? upper : upper.substr(x + 1);
}

bool MatchHardwareId(const std::string& hardwareId, tagRMTIDS& ids) {
    const std::string text = ToUpper(hardwareId);
    tagRMTIDS normal;
    for (int i = 0; i < kIdCount; ++i)
        normal[i] = NormalizeId(ids[i]);
    const bool usb = normal[kIdBus] == "USB";
    // The prefix each component follows; a wildcard takes the four
    // characters after it (after the previous component for the vendor).
    const char* prefixes[kIdCount] = {"", usb ? "VID_" : "VEN_", usb ? "PID_" : "DEV_", usb ? "" : "SUBSYS_", ""};
    tagRMTIDS found = normal;
    std::size_t pos = 0;
    for (int i = 0; i < kIdCount; ++i) {
        if (normal[i] == kWildcard) {
            std::size_t at = pos;
            if (*prefixes[i] != '\0') {
                at = text.find(prefixes[i], pos);
                if (at == std::string::npos)
                    return false;
                at += std::string(prefixes[i]).size();
            }
            if (at + 4 > text.size())
                return false;
            found[i] = text.substr(at, 4);
            pos = at + 4;
            continue;
        }
        const std::string wanted = (i == kIdChipVendor || i == kIdChipDevice) ? prefixes[i] + normal[i] : normal[i];
        const std::size_t at = text.find(wanted, pos);
        if (at == std::string::npos)
            return false;
        pos = at + wanted.size();
    }
    for (int i = 0; i < kIdCount; ++i) {
        if (normal[i] == kWildcard)
            ids[i] = found[i];
    }
    return true;
}

bool FriendlyNameMatches(const std::string& friendlyName, const std::string& nameUpper) {
    if (nameUpper.empty())
        return false;
    return ToUpper(friendlyName.substr(0, kFriendlyNameChars)).find(nameUpper) != std::string::npos;
}

}  // namespace irbrix
