#include "receivers/UsbProductNames.h"

#include "receivers/DeviceCatalogue.h"

#include <gtest/gtest.h>

#include <string>

namespace {

int NamedProducts(std::uint16_t vendorId) {
    int count = 0;
    for (unsigned productId = 0; productId <= 0xFFFF; ++productId)
        if (GetProductName(vendorId, static_cast<std::uint16_t>(productId)))
            ++count;
    return count;
}

TEST(UsbProductNames, CountsPerMakerHoldDistinctProducts) {
    // A product id listed twice would count once here.
    EXPECT_EQ(NamedProducts(kVendorIdPrimary), 65);
    EXPECT_EQ(NamedProducts(kVendorIdSecondary), 27);
    EXPECT_EQ(NamedProducts(0x045E), 0);
    EXPECT_EQ(NamedProducts(0x0000), 0);
}

TEST(UsbProductNames, GenericReceiverHasItsName) {
    EXPECT_STREQ(GetProductName(kVendorIdPrimary, 0x0046), L"USB IR receiver");
}

TEST(UsbProductNames, EveryCataloguedProductOfTheMakersIsNamed) {
    for (int row = 0; row < GetCatalogueSize(); ++row) {
        const _IR_REMOVABLE_DEVICE& device = *GetCatalogueRow(row);
        const wchar_t* name = GetProductName(device.wVendorId, device.wProductId);
        if (device.wVendorId == kVendorIdPrimary || device.wVendorId == kVendorIdSecondary) {
            ASSERT_NE(name, nullptr) << "row " << row;
            EXPECT_NE(*name, L'\0') << "row " << row;
        } else {
            EXPECT_EQ(name, nullptr) << "row " << row;
        }
    }
}

TEST(UsbProductNames, DeviceNameNamesMakerAndProductOrTheirIds) {
    EXPECT_EQ(FormatUsbDeviceName(0xEB1A, 0x2800), L"Vendor ID=0xEB1A Product ID=0x2800");
    EXPECT_EQ(FormatUsbDeviceName(kVendorIdPrimary, 0x0046), L"VEMTRA USB IR receiver");
    ASSERT_EQ(GetProductName(kVendorIdPrimary, 0xFFFF), nullptr);
    EXPECT_EQ(FormatUsbDeviceName(kVendorIdPrimary, 0xFFFF), L"VEMTRA Product ID=0xFFFF");
    const wchar_t* name = GetProductName(kVendorIdSecondary, 0x0018);
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(FormatUsbDeviceName(kVendorIdSecondary, 0x0018), L"Morvane " + std::wstring(name));
}

// Product names may carry the maker's name; the device name shows it once, in capitals.
TEST(UsbProductNames, PrimaryMakerIsNamedOnce) {
    for (unsigned productId = 0; productId <= 0xFFFF; ++productId) {
        if (!GetProductName(kVendorIdPrimary, static_cast<std::uint16_t>(productId)))
            continue;
        const std::wstring name = FormatUsbDeviceName(kVendorIdPrimary, static_cast<std::uint16_t>(productId));
        EXPECT_EQ(name.rfind(L"VEMTRA ", 0), 0u) << productId;
        EXPECT_EQ(name.find(L"Vemtra"), std::wstring::npos) << productId;
        EXPECT_EQ(name.find(L"VEMTRA VEMTRA"), std::wstring::npos) << productId;
    }
}

}  // namespace
