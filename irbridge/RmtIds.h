#pragma once
// Supported cards and how a card is recognised: its PCI hardware id and the
// friendly name of its capture device. 8-bit text throughout.

#include <array>
#include <cstdint>
#include <string>

namespace irbrix {

// Subsystem vendor ids of the two card makers that build on both chips.
constexpr std::uint32_t kPciVendorIdPrimary = 0x1E4A;
constexpr std::uint32_t kPciVendorIdBridge = 0x1E4B;

enum class RmtChip { Cx2388x, Saa713x };

enum RmtReadMode : int { kReadModeGpio = 1, kReadModeI2c = 2 };

struct tagRMTCARD {
    std::uint32_t nVendor;
    std::uint32_t nSubsysFirst;  // a row covers the ids nSubsysFirst..nSubsysLast
    std::uint32_t nSubsysLast;
    RmtChip chip;
    const char* szDefaultName;
    int nReadMode;
    int nActivityBit;
};

// The row for the pair, matched on the four hexadecimal digits of each value
// (as "%04x" formats them); null when the pair is not supported.
const tagRMTCARD* FindSupportedCard(std::uint32_t vendor, std::uint32_t subsystem);

// Chip vendor and device ids as matched in hardware ids.
const char* ChipVendorId(RmtChip chip);
const char* ChipDeviceId(RmtChip chip);

// "%04x" of the value.
std::string Hex4(std::uint32_t value);

// Upper-cased, and without anything up to and including an "X", so that
// "0x14f1" and "14F1" are the same id.
std::string NormalizeId(const std::string& id);

// Identification slots in the order the hardware id carries them: bus, chip
// vendor, chip device, subsystem id, subsystem vendor. "FFFF" is a wildcard.
enum { kIdBus, kIdChipVendor, kIdChipDevice, kIdSubsystem, kIdSubsysVendor, kIdCount };
using tagRMTIDS = std::array<std::string, kIdCount>;

// True when the hardware id carries the (normalised) components left to
// right; each wildcard component is replaced in ids by the four characters
// found at its place.
bool MatchHardwareId(const std::string& hardwareId, tagRMTIDS& ids);

// The friendly name, upper-cased and cut to 79 characters, contains nameUpper.
bool FriendlyNameMatches(const std::string& friendlyName, const std::string& nameUpper);

std::string ToUpper(std::string text);
bool EqualsNoCase(const std::string& a, const std::string& b);

}  // namespace irbrix
