#pragma once
// The driver-information record and the rules that read it out of a device's
// hardware id: the instance id of a device path, the bus, the ids.
//
// Pure logic: no Windows header, so it builds natively as well.

#include <cstdint>
#include <string>

constexpr int DRIVERINFO_TEXT_CHARS = 256;

enum {
    BUSKIND_UNKNOWN = -1,
    BUSKIND_SOFTWARE = 0,
    BUSKIND_ISAPNP = 1,
    BUSKIND_PCI = 2,
    BUSKIND_USB = 3,
    BUSKIND_1394 = 4,
    BUSKIND_PCI_BRIDGE = 5,  // PCI behind a multi-tuner bridge ("NGENE\VEN_")
    BUSKIND_HID = 7,         // provisional, resolved to USB or software
};

struct tagDRIVERINFO {
    wchar_t szDeviceDesc[DRIVERINFO_TEXT_CHARS];
    wchar_t szHardwareId[DRIVERINFO_TEXT_CHARS];
    wchar_t szService[DRIVERINFO_TEXT_CHARS];
    wchar_t szClassSubkey[DRIVERINFO_TEXT_CHARS];
    wchar_t szManufacturer[DRIVERINFO_TEXT_CHARS];
    wchar_t szInstanceId[DRIVERINFO_TEXT_CHARS];
    wchar_t szDriverFile[DRIVERINFO_TEXT_CHARS];
    wchar_t szDriverVersion[DRIVERINFO_TEXT_CHARS];
    wchar_t szDriverDate[DRIVERINFO_TEXT_CHARS];
    wchar_t szDriverDesc[DRIVERINFO_TEXT_CHARS];
    wchar_t szProviderName[DRIVERINFO_TEXT_CHARS];
    int nBusKind;
    std::uint16_t wVendorId;
    std::uint16_t wDeviceId;
    std::uint16_t wSubsystemVendorId;
    std::uint16_t wSubsystemId;
};

// ASCII upper case; the ids are ASCII.
std::wstring ToUpperAscii(std::wstring text);
// A device path ("\\?\" or "\??\") turned into its instance id: the text after
// the prefix up to its third "#", "#" replaced by "\". Any other text is taken
// as the instance id (upper-cased, at most 259 characters). False for a path
// with fewer than three "#".
bool DevicePathToInstanceId(const wchar_t* argument, std::wstring* instanceId);
// Whether an id starts (ignoring case) with one of the bus prefixes that end
// the parent lookup.
bool HasKnownBusPrefix(const wchar_t* id);
// Bus kind and ids from the hardware id, into the record (nBusKind, ids).
void ApplyBusRules(tagDRIVERINFO& info);
