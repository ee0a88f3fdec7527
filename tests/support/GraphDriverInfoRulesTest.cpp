// How a device path becomes an instance id, and what the hardware id says
// about the bus and the ids.

#include "support/GraphDriverInfoRules.h"

#include <gtest/gtest.h>

#include <cwchar>

namespace {

TEST(DriverInfoRules, DevicePathGivesTheInstanceIdUpToTheThirdHash) {
    std::wstring id;
    ASSERT_TRUE(DevicePathToInstanceId(L"\\\\?\\usb#vid_2b17&pid_0038#5&1a2b&0&1#{71985f48-1ca1-11d3-9cc8-00c04f7971e0}", &id));
    EXPECT_EQ(L"USB\\VID_2B17&PID_0038\\5&1A2B&0&1", id);
    ASSERT_TRUE(DevicePathToInstanceId(L"\\??\\HID#VID_845E&PID_0001#7&1#{guid}", &id));
    EXPECT_EQ(L"HID\\VID_845E&PID_0001\\7&1", id);
    // Not a path: taken as it is.
    ASSERT_TRUE(DevicePathToInstanceId(L"pci\\ven_1131&dev_7133\\3&1", &id));
    EXPECT_EQ(L"PCI\\VEN_1131&DEV_7133\\3&1", id);
    EXPECT_FALSE(DevicePathToInstanceId(L"\\\\?\\usb#vid_2b17&pid_0038", &id));
    EXPECT_FALSE(DevicePathToInstanceId(nullptr, &id));
}

struct tagBUSCASE {
    const wchar_t* hardwareId;
    int busKind;
    unsigned vendor, device, subsystemVendor, subsystem;
};

class DriverInfoBus : public ::testing::TestWithParam<tagBUSCASE> {};

TEST_P(DriverInfoBus, ReadsBusAndIds) {
    tagDRIVERINFO info = {};
    wcscpy(info.szHardwareId, GetParam().hardwareId);
    ApplyBusRules(info);
    EXPECT_EQ(GetParam().busKind, info.nBusKind);
    EXPECT_EQ(GetParam().vendor, info.wVendorId);
    EXPECT_EQ(GetParam().device, info.wDeviceId);
    EXPECT_EQ(GetParam().subsystemVendor, info.wSubsystemVendorId);
    EXPECT_EQ(GetParam().subsystem, info.wSubsystemId);
}

INSTANTIATE_TEST_SUITE_P(
    HardwareIds, DriverInfoBus,
    ::testing::Values(tagBUSCASE{L"PCI\\VEN_1131&DEV_7133&SUBSYS_12345678&REV_01", BUSKIND_PCI, 0x1131, 0x7133, 0x5678, 0x1234},
                      tagBUSCASE{L"pci\\ven_14f1&dev_8800&subsys_0001abcd", BUSKIND_PCI, 0x14F1, 0x8800, 0xABCD, 0x0001},
                      tagBUSCASE{L"USB\\VID_2B17&PID_0038&REV_0100", BUSKIND_USB, 0x2B17, 0x0038, 0, 0},
                      tagBUSCASE{L"HID\\VID_2B17&PID_0046&MI_01", BUSKIND_USB, 0x2B17, 0x0046, 0, 0},
                      tagBUSCASE{L"HID_DEVICE_SYSTEM_MOUSE", BUSKIND_SOFTWARE, 0, 0, 0, 0},
                      tagBUSCASE{L"NGENE\\VEN_18C3&DEV_0720&SUBSYS_DD001234", BUSKIND_PCI_BRIDGE, 0x18C3, 0x0720, 0x1234, 0xDD00},
                      tagBUSCASE{L"ROOT\\SWENUM\\X", BUSKIND_SOFTWARE, 0, 0, 0, 0},
                      tagBUSCASE{L"1394\\VEMTRA&SONEXA", BUSKIND_1394, 0, 0, 0, 0},
                      tagBUSCASE{L"ACPI\\PNP0303", BUSKIND_SOFTWARE, 0, 0, 0, 0},
                      tagBUSCASE{L"SW\\{1234}", BUSKIND_UNKNOWN, 0, 0, 0, 0}));

TEST(DriverInfoRules, ParentLookupEndsAtAKnownBus) {
    EXPECT_TRUE(HasKnownBusPrefix(L"usb\\vid_2b17&pid_0038"));
    EXPECT_TRUE(HasKnownBusPrefix(L"PCI\\VEN_1131"));
    EXPECT_FALSE(HasKnownBusPrefix(L"HID\\VID_2B17"));
    EXPECT_FALSE(HasKnownBusPrefix(L"X PCI\\VEN_1131"));
}

}  // namespace
