#pragma once
// Display names of the two makers' USB products, and the device name a
// receiver shows for a USB device from its vendor and product id.
//
// Pure logic: no Windows header, so it builds natively as well.

#include <cstdint>
#include <string>

// The product's display name, or null for a pair the table does not know.
const wchar_t* GetProductName(std::uint16_t vendorId, std::uint16_t productId);

// "<vendor> <product>": the maker's word ("VEMTRA", "Morvane") or
// "Vendor ID=0x%04X", then the display name or "Product ID=0x%04X". The maker's
// name is written in capitals once, even where the product name repeats it.
std::wstring FormatUsbDeviceName(std::uint16_t vendorId, std::uint16_t productId);
