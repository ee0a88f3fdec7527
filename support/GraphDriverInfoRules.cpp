#include "support/GraphDriverInfoRules.h"

#include <cstdio>
#include <cwchar>

namespace {

const wchar_t* const kBusPrefixes[] = {L"ROOT\\SWENUM", L"ISAPNP\\", L"PCI\\VEN_", L"USB\\VID_", L"1394\\"};

// Hardware-id prefixes of the maker's own stream-class and AVStream TV-card
// drivers, which carry the PCI ids after their own prefix.
const wchar_t* const kOwnPciDriverPrefixes[] = {L"VEMTRA_STREAM\\VEN_", L"VEMTRA_AVS\\VEN_"};

bool Contains(const std::wstring& text, const wchar_t* part) { return text.find(part) != std::wstring::npos; }

bool StartsWith(const std::wstring& text, const wchar_t* prefix) { return text.compare(0, wcslen(prefix), prefix) == 0; }

// "VEN_%04X&DEV_%04X&SUBSYS_%08X" from `from` on; false unless all three are there.
bool ParsePciIds(const wchar_t* from, tagDRIVERINFO& info) {
    unsigned vendor = 0, device = 0, subsystem = 0;
    if (std::swscanf(from, L"VEN_%4X&DEV_%4X&SUBSYS_%8X", &vendor, &device, &subsystem) != 3)
        return false;
    info.wVendorId = static_cast<std::uint16_t>(vendor);
    info.wDeviceId = static_cast<std::uint16_t>(device);
    info.wSubsystemVendorId = static_cast<std::uint16_t>(subsystem & 0xFFFF);
    info.wSubsystemId = static_cast<std::uint16_t>(subsystem >> 16);
    return true;
}

bool ParseVidPid(const wchar_t* text, const wchar_t* format, tagDRIVERINFO& info) {
    unsigned vendor = 0, product = 0;
    if (std::swscanf(text, format, &vendor, &product) != 2)
        return false;
    info.wVendorId = static_cast<std::uint16_t>(vendor);
    info.wDeviceId = static_cast<std::uint16_t>(product);
    return true;
}

}  // namespace

std::wstring ToUpperAscii(std::wstring text) {
    for (wchar_t& c : text) {
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
    }
    return text;
}

bool DevicePathToInstanceId(const wchar_t* argument, std::wstring* instanceId) {
    if (!argument || !instanceId)
        return false;
    const std::wstring upper = ToUpperAscii(argument);
    std::size_t prefix = upper.find(L"\\\\?\\");
    if (prefix == std::wstring::npos)
        prefix = upper.find(L"\\??\\");
    if (prefix == std::wstring::npos) {
        *instanceId = upper.substr(0, 259);
        return true;
    }
    std::wstring id;
    int hashes = 0;
    for (std::size_t i = prefix + 4; i < upper.size(); ++i) {
        if (upper[i] == L'#' && ++hashes == 3) {
            *instanceId = id;
            return true;
        }
        id += upper[i] == L'#' ? L'\\' : upper[i];
    }
    return false;
}

bool HasKnownBusPrefix(const wchar_t* id) {
    if (!id)
        return false;
    const std::wstring upper = ToUpperAscii(id);
    for (const wchar_t* prefix : kBusPrefixes) {
        if (StartsWith(upper, prefix))
            return true;
    }
    return false;
}

void ApplyBusRules(tagDRIVERINFO& info) {
    const std::wstring id = ToUpperAscii(info.szHardwareId);
    const wchar_t* ownPrefix = nullptr;
    for (const wchar_t* prefix : kOwnPciDriverPrefixes) {
        if (Contains(id, prefix))
            ownPrefix = prefix;
    }
    int bus = BUSKIND_UNKNOWN;
    if (Contains(id, L"ROOT\\SWENUM"))
        bus = BUSKIND_SOFTWARE;
    else if (Contains(id, L"ISAPNP\\"))
        bus = BUSKIND_ISAPNP;
    else if (Contains(id, L"PCI\\VEN_"))
        bus = BUSKIND_PCI;
    else if (Contains(id, L"USB\\VID_"))
        bus = BUSKIND_USB;
    else if (Contains(id, L"1394\\"))
        bus = BUSKIND_1394;
    else if (Contains(id, L"HID"))
        bus = BUSKIND_HID;
    else if (Contains(id, L"ACPI\\PNP") || Contains(id, L"ROOT\\RDP_MOU") || Contains(id, L"ROOT\\RDP_KBD"))
        bus = BUSKIND_SOFTWARE;
    else if (Contains(id, L"NGENE\\VEN_"))
        bus = BUSKIND_PCI_BRIDGE;
    else if (ownPrefix)
        bus = BUSKIND_PCI;
    info.nBusKind = bus;

    switch (bus) {
    case BUSKIND_PCI:
    case BUSKIND_PCI_BRIDGE: {
        const std::size_t ven = id.find(L"VEN_");
        if (bus == BUSKIND_PCI_BRIDGE || ownPrefix) {
            if (ven != std::wstring::npos)
                ParsePciIds(id.c_str() + ven, info);
        } else if (StartsWith(id, L"PCI\\")) {
            ParsePciIds(id.c_str() + 4, info);
        }
        break;
    }
    case BUSKIND_USB: ParseVidPid(id.c_str(), L"USB\\VID_%4X&PID_%4X", info); break;
    case BUSKIND_HID: info.nBusKind = ParseVidPid(id.c_str(), L"HID\\VID_%4X&PID_%4X", info) ? BUSKIND_USB : BUSKIND_SOFTWARE; break;
    default: break;
    }
}
