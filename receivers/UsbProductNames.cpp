#include "receivers/UsbProductNames.h"

#include "receivers/DeviceCatalogue.h"

#include <cwchar>

namespace {

struct tagPRODUCTNAME {
    std::uint16_t wProductId;
    const wchar_t* szName;
};

// Ascending product id, one row a product.
constexpr tagPRODUCTNAME kPrimaryProducts[] = {
    {0x0030, L"Vemtra Tavora model 01"},
    {0x0031, L"Vemtra Tavora model 02"},
    {0x0032, L"Vemtra Tavora model 03"},
    {0x0033, L"Vemtra Tavora model 04"},
    {0x0034, L"Vemtra Tavora model 05"},
    {0x0035, L"Vemtra Tavora model 06"},
    {0x0036, L"Vemtra Tavora model 07"},
    {0x0037, L"Vemtra Tavora model 08"},
    {0x0038, L"Vemtra Tavora model 09"},
    {0x0039, L"Vemtra Tavora model 10"},
    {0x003A, L"Vemtra Tavora model 11"},
    {0x003B, L"Vemtra Tavora model 12"},
    {0x003C, L"Vemtra Tavora model 13"},
    {0x003D, L"Vemtra Tavora model 14"},
    {0x003E, L"Vemtra Tavora model 15"},
    {0x003F, L"Vemtra Tavora model 16"},
    {0x0040, L"Vemtra Tavora model 17"},
    {0x0041, L"Vemtra Tavora model 18"},
    {0x0042, L"Vemtra Tavora model 19"},
    {0x0043, L"Vemtra Tavora model 20"},
    {0x0046, L"USB IR receiver"},
    {0x0047, L"Vemtra Tavora model 21"},
    {0x0048, L"Vemtra Tavora model 22"},
    {0x004C, L"Vemtra Tavora model 23"},
    {0x004F, L"Vemtra Tavora model 24"},
    {0x0058, L"Vemtra Tavora model 25"},
    {0x005A, L"Vemtra Tavora model 26"},
    {0x005E, L"Vemtra Tavora model 27"},
    {0x0060, L"Vemtra Tavora model 28"},
    {0x0062, L"Vemtra Tavora model 29"},
    {0x0064, L"Vemtra Tavora model 30"},
    {0x0065, L"Vemtra Tavora model 31"},
    {0x0066, L"Vemtra Tavora model 32"},
    {0x006B, L"Vemtra Tavora model 33"},
    {0x006C, L"Vemtra Tavora model 34"},
    {0x0072, L"Vemtra Tavora model 35"},
    {0x0073, L"Vemtra Tavora model 36"},
    {0x0075, L"Vemtra Tavora model 37"},
    {0x0078, L"Vemtra Tavora model 38"},
    {0x0081, L"Vemtra Tavora model 39"},
    {0x0086, L"Vemtra Tavora model 40"},
    {0x0087, L"Vemtra Tavora model 41"},
    {0x008E, L"Vemtra Tavora model 42"},
    {0x0092, L"Vemtra Tavora model 43"},
    {0x0098, L"Vemtra Tavora model 44"},
    {0x00A6, L"Vemtra Tavora model 45"},
    {0x00A8, L"Vemtra Tavora model 46"},
    {0x00AB, L"Vemtra Tavora model 47"},
    {0x00AC, L"Vemtra Tavora model 48"},
    {0x00B0, L"Vemtra Tavora model 49"},
    {0x00B2, L"Vemtra Tavora model 50"},
    {0x10A0, L"Vemtra Tavora model 51"},
    {0x10A1, L"Vemtra Tavora model 52"},
    {0x10A2, L"Vemtra Tavora model 53"},
    {0x10A3, L"Vemtra Tavora model 54"},
    {0x10A4, L"Vemtra Tavora model 55"},
    {0x10AC, L"Vemtra Tavora model 56"},
    {0x10AD, L"Vemtra Tavora model 57"},
    {0x10AE, L"Vemtra Tavora model 58"},
    {0x10B0, L"Vemtra Tavora model 59"},
    {0x10B2, L"Vemtra Tavora model 60"},
    {0x10B3, L"Vemtra Tavora model 61"},
    {0x10B4, L"Vemtra Tavora model 62"},
    {0x10B6, L"Vemtra Tavora model 63"},
    {0x10B7, L"Vemtra Tavora model 64"},
};

constexpr tagPRODUCTNAME kSecondaryProducts[] = {
    {0x0010, L"Lumivo model 01"},
    {0x0011, L"Lumivo model 02"},
    {0x0012, L"Lumivo model 03"},
    {0x0013, L"Lumivo model 04"},
    {0x0014, L"Lumivo model 05"},
    {0x0015, L"Lumivo model 06"},
    {0x0016, L"Lumivo model 07"},
    {0x0017, L"Lumivo model 08"},
    {0x0018, L"Lumivo model 09"},
    {0x0019, L"Lumivo model 10"},
    {0x001A, L"Lumivo model 11"},
    {0x001B, L"Lumivo model 12"},
    {0x001C, L"Lumivo model 13"},
    {0x001D, L"Lumivo model 14"},
    {0x0020, L"Lumivo model 15"},
    {0x0021, L"Lumivo model 16"},
    {0x0024, L"Lumivo model 17"},
    {0x0025, L"Lumivo model 18"},
    {0x0026, L"Lumivo model 19"},
    {0x0027, L"Lumivo model 20"},
    {0x002A, L"Lumivo model 21"},
    {0x002C, L"Lumivo model 22"},
    {0x0035, L"Lumivo model 23"},
    {0x0036, L"Lumivo model 24"},
    {0x003B, L"Lumivo model 25"},
    {0x003D, L"Lumivo model 26"},
    {0x003F, L"Lumivo model 27"},
};

static_assert(sizeof kPrimaryProducts / sizeof kPrimaryProducts[0] == 65, "product ids of the primary maker");
static_assert(sizeof kSecondaryProducts / sizeof kSecondaryProducts[0] == 27, "product ids of the secondary maker");

template <std::size_t N>
const wchar_t* FindName(const tagPRODUCTNAME (&table)[N], std::uint16_t productId) {
    for (const tagPRODUCTNAME& product : table)
        if (product.wProductId == productId)
            return product.szName;
    return nullptr;
}

void ReplaceAll(std::wstring& text, const std::wstring& from, const std::wstring& to) {
    for (std::size_t at = text.find(from); at != std::wstring::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

std::wstring HexId(const wchar_t* label, std::uint16_t id) {
    wchar_t text[32] = {};
    std::swprintf(text, sizeof text / sizeof text[0], L"%ls=0x%04X", label, unsigned{id});
    return text;
}

}  // namespace

const wchar_t* GetProductName(std::uint16_t vendorId, std::uint16_t productId) {
    if (vendorId == kVendorIdPrimary)
        return FindName(kPrimaryProducts, productId);
    if (vendorId == kVendorIdSecondary)
        return FindName(kSecondaryProducts, productId);
    return nullptr;
}

std::wstring FormatUsbDeviceName(std::uint16_t vendorId, std::uint16_t productId) {
    std::wstring name = vendorId == kVendorIdPrimary     ? L"VEMTRA"
                        : vendorId == kVendorIdSecondary ? L"Morvane"
                                                         : HexId(L"Vendor ID", vendorId);
    const wchar_t* product = GetProductName(vendorId, productId);
    name += L' ';
    name += product ? std::wstring(product) : HexId(L"Product ID", productId);
    ReplaceAll(name, L"Vemtra", L"VEMTRA");
    ReplaceAll(name, L"VEMTRA VEMTRA", L"VEMTRA");
    return name;
}
