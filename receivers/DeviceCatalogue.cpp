#include "receivers/DeviceCatalogue.h"

#include <cwchar>

namespace {

constexpr std::uint16_t P = kVendorIdPrimary;
constexpr std::uint16_t S = kVendorIdSecondary;
constexpr const wchar_t* kNone = L"";
constexpr const wchar_t* kMi01 = L"&MI_01";  // the remote-control interface of a composite device

// Order matters: receivers try their rows in this order, so a device listed
// under two model names is looked for under the first one first.
constexpr _IR_REMOVABLE_DEVICE kCatalogue[DEVICE_CATALOGUE_SIZE] = {
    {10, 0x0419, 0x0001, kNone, nullptr},
    {10, 0x045E, 0x006D, kNone, nullptr},
    {14, 0x045E, 0x006D, kNone, nullptr},
    {9, 0xEB1A, 0x2800, kNone, L"Device model 01"},
    {10, S, 0x0011, kNone, nullptr},
    {9, S, 0x0018, kNone, L"Device model 12"},
    {13, S, 0x0020, kNone, nullptr},
    {10, S, 0x0021, kNone, nullptr},
    {9, S, 0x0024, kNone, L"Device model 12"},
    {3, S, 0x003B, kNone, L"Device model 15"},
    {10, S, 0x0025, kNone, L"Device model 14"},
    {3, S, 0x0025, kNone, L"Device model 14"},
    {10, S, 0x0026, kNone, nullptr},
    {9, S, 0x0027, kNone, L"Device model 12"},
    {10, S, 0x002A, kNone, L"Device model 14"},
    {3, S, 0x002A, kNone, L"Device model 14"},
    {15, S, 0x002C, kNone, L"Device model 11"},
    {3, S, 0x0035, kNone, L"Device model 13"},
    {3, S, 0x0036, kNone, L"Device model 14"},
    {3, S, 0x003D, kNone, L"Device model 13"},
    {10, S, 0x003F, kNone, nullptr},
    {9, P, 0x0036, kMi01, L"Device model 02"},
    {9, P, 0x0037, kMi01, L"Device model 02"},
    {3, P, 0x0038, kNone, L"Device model 09"},
    {4, P, 0x003A, kNone, nullptr},
    {4, P, 0x003B, kMi01, nullptr},
    {4, P, 0x0040, kMi01, nullptr},
    {4, P, 0x0041, kMi01, nullptr},
    {9, P, 0x0042, kNone, L"Device model 04"},
    {9, P, 0x0042, kMi01, L"Device model 04"},
    {9, P, 0x0047, kNone, L"Device model 16"},
    {9, P, 0x0047, kMi01, L"Device model 16"},
    {4, P, 0x0048, kNone, nullptr},
    {9, P, 0x004C, kNone, L"Device model 04"},
    {9, P, 0x004C, kMi01, L"Device model 04"},
    {9, P, 0x004F, kNone, L"Device model 03"},
    {9, P, 0x004F, kMi01, L"Device model 03"},
    {10, P, 0x0058, kNone, nullptr},
    {10, P, 0x0058, kMi01, nullptr},
    {9, P, 0x005E, kNone, L"Device model 04"},
    {10, P, 0x005A, kNone, nullptr},
    {10, P, 0x005A, kMi01, nullptr},
    {10, P, 0x0060, kNone, nullptr},
    {10, P, 0x0060, kMi01, nullptr},
    {10, P, 0x0062, kNone, nullptr},
    {10, P, 0x0062, kMi01, nullptr},
    {12, P, 0x0064, kNone, nullptr},
    {4, P, 0x0065, kNone, nullptr},
    {4, P, 0x0066, kNone, nullptr},
    {4, P, 0x006B, kNone, nullptr},
    {4, P, 0x006C, kNone, nullptr},
    {9, P, 0x0072, kNone, L"Device model 05"},
    {4, P, 0x0073, kNone, nullptr},
    {4, P, 0x0075, kNone, nullptr},
    {13, P, 0x0078, kNone, nullptr},
    {10, P, 0x0081, kNone, nullptr},
    {10, P, 0x0081, kMi01, nullptr},
    {10, P, 0x0086, kNone, nullptr},
    {4, P, 0x0087, kNone, nullptr},
    {9, P, 0x008E, kNone, L"Device model 07"},
    {9, P, 0x0092, kNone, L"Device model 05"},
    {13, P, 0x10A0, kNone, nullptr},
    {10, P, 0x10A1, kNone, nullptr},
    {9, P, 0x10A2, kNone, L"Device model 17"},
    {10, P, 0x10A3, kNone, nullptr},
    {10, P, 0x10A4, kNone, nullptr},
    {10, P, 0x00A6, kNone, nullptr},
    {13, P, 0x00AB, kNone, nullptr},
    {9, P, 0x00AC, kNone, L"Device model 07"},
    {10, P, 0x10AC, kNone, nullptr},
    {9, P, 0x10AD, kNone, L"Device model 17"},
    {16, P, 0x00A8, kNone, L"Device model 08"},
    {17, P, 0x0098, kNone, L"Device model 10"},
    {17, 0x048D, 0x9135, kNone, L"Device model 10"},
    {17, 0x048D, 0x9135, kNone, L"IT9135 BDA Filter"},
    {16, P, 0x00B0, kNone, L"Device model 08"},
    {17, P, 0x10AE, kNone, L"Device model 18"},
    {17, P, 0x10AE, kNone, L"DEVICE MODEL 18"},
    {10, P, 0x10B0, kNone, nullptr},
    {9, P, 0x00B2, kNone, L"Device model 06"},
    {9, P, 0x10B2, kNone, L"Device model 17"},
    {9, P, 0x10B2, kNone, L"DEVICE MODEL 17"},
    {17, P, 0x10B3, kNone, L"DEVICE MODEL 20"},
    {10, P, 0x10B4, kNone, nullptr},
    {17, P, 0x10B7, kNone, L"DEVICE MODEL 19"},
    {9, P, 0x10B6, kNone, L"DEVICE MODEL 17"},
};

// The text a row is looked for is ASCII; folding only ASCII letters keeps the
// native and the Windows builds alike.
wchar_t FoldAscii(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

std::wstring ToLowerAscii(std::wstring text) {
    for (wchar_t& c : text)
        c = FoldAscii(c);
    return text;
}

bool ContainsRow(const std::wstring& lowerPath, const _IR_REMOVABLE_DEVICE& row) {
    return lowerPath.find(ToLowerAscii(FormatCatalogueDevicePath(row))) != std::wstring::npos;
}

}  // namespace

int GetCatalogueSize() { return DEVICE_CATALOGUE_SIZE; }

const _IR_REMOVABLE_DEVICE* GetCatalogueRow(int row) {
    if (row < 0 || row >= DEVICE_CATALOGUE_SIZE)
        return nullptr;
    return &kCatalogue[row];
}

void AppendCatalogueRowsForSlot(int receiverIndex, IR_REMOVABLE_DEVICE_LIST& list) {
    for (const _IR_REMOVABLE_DEVICE& row : kCatalogue)
        if (row.nReceiverIndex == receiverIndex)
            list.push_back(row);
}

std::wstring FormatCatalogueDevicePath(const _IR_REMOVABLE_DEVICE& row) {
    wchar_t ids[32] = {};
    std::swprintf(ids, sizeof ids / sizeof ids[0], L"USB#VID_%04x&PID_%04x", unsigned{row.wVendorId},
                  unsigned{row.wProductId});
    return ids + std::wstring(row.szInterfaceSuffix ? row.szInterfaceSuffix : L"") + L"#";
}

bool DevicePathMatchesRow(const wchar_t* devicePath, const _IR_REMOVABLE_DEVICE& row) {
    return devicePath && ContainsRow(ToLowerAscii(devicePath), row);
}

std::uint32_t GetCatalogueSlotsForDevicePath(const wchar_t* devicePath) {
    if (!devicePath)
        return 0;
    const std::wstring lowerPath = ToLowerAscii(devicePath);
    std::uint32_t slots = 0;
    for (const _IR_REMOVABLE_DEVICE& row : kCatalogue)
        if (row.nReceiverIndex >= 0 && row.nReceiverIndex < 32 && ContainsRow(lowerPath, row))
            slots |= std::uint32_t{1} << row.nReceiverIndex;
    return slots;
}

bool MatchesModelName(const _IR_REMOVABLE_DEVICE& row, const wchar_t* friendlyName) {
    return row.szModelName && friendlyName && std::wcscmp(row.szModelName, friendlyName) == 0;
}
