// Filter lookup through the real device enumerator with capture filters of
// the test's own, and driver information of a device made through SetupAPI.

#include "support/GraphBase.h"
#include "support/GraphDriverInfo.h"
#include "support/ScopedWin.h"
#include "tests/support/sim/SimCaptureFilter.h"

#include <gtest/gtest.h>

#include <objbase.h>
#include <setupapi.h>

#include <set>
#include <string>

namespace {

using simfilter::CRegisteredFilter;
using simfilter::UniqueName;

class GraphTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
    void TearDown() override { CoUninitialize(); }
};

TEST_F(GraphTest, FindFilterCountsMatchesByIndexAndReportsNoMatch) {
    const std::wstring base = UniqueName(L"Kanzo Sim Tuner");
    CRegisteredFilter first(base + L" A", kCategoryBdaNetworkTuner, L"");
    CRegisteredFilter second(base + L" B", kCategoryBdaNetworkTuner, L"");
    ASSERT_TRUE(first.IsRegistered() && second.IsRegistered());

    std::set<std::wstring> names;
    for (int index = 0; index < 2; ++index) {
        CQVComPtr<IBaseFilter> filter;
        wchar_t name[64] = {};
        ASSERT_EQ(S_OK, CGraphBase::FindFilter(name, base.c_str(), kCategoryBdaNetworkTuner, filter.Put(), 64, index));
        EXPECT_TRUE(filter);
        names.insert(name);
    }
    EXPECT_EQ((std::set<std::wstring>{base + L" A", base + L" B"}), names);

    IBaseFilter* none = reinterpret_cast<IBaseFilter*>(1);
    EXPECT_EQ(GRAPH_E_NOT_FOUND, CGraphBase::FindFilter(nullptr, base.c_str(), kCategoryBdaNetworkTuner, &none, 0, 2));
    EXPECT_EQ(nullptr, none);
    EXPECT_EQ(GRAPH_E_NOT_FOUND,
              CGraphBase::FindFilter(nullptr, base.c_str(), kCategoryBdaReceiverComponent, &none, 0, 0));
    // A short buffer gets the start of the name.
    CQVComPtr<IBaseFilter> filter;
    wchar_t shortName[6] = {};
    ASSERT_EQ(S_OK, CGraphBase::FindFilter(shortName, base.c_str(), kCategoryBdaNetworkTuner, filter.Put(), 6, 0));
    EXPECT_STREQ(L"Kanzo", shortName);
}

TEST_F(GraphTest, DevicePathsOfACategoryAreListedAndSearched) {
    const std::wstring path = L"\\\\?\\usb#vid_2b17&pid_0038#" + std::to_wstring(GetCurrentProcessId()) +
                              L"#{fd0a5af4-b41d-11d2-9c95-00c04f7971e0}";
    CRegisteredFilter filter(UniqueName(L"Kanzo Sim Receiver"), kCategoryBdaReceiverComponent, path);
    ASSERT_TRUE(filter.IsRegistered());
    DEVICE_PATH_LIST list;
    ASSERT_EQ(0, CGraphBase::ListDevicePaths(list, kCategoryBdaReceiverComponent));
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(L"---", list[0]);
    const wchar_t* found = CGraphBase::FindDevicePath(list, L"USB#VID_2B17&PID_0038", 1);
    ASSERT_NE(nullptr, found);
    EXPECT_EQ(path, found);
    EXPECT_EQ(nullptr, CGraphBase::FindDevicePath(list, L"USB#VID_2B17&PID_0038", 0));
}

// A PCI device with a driver key, made through SetupAPI and removed afterwards.
class CSetupDevice {
public:
    CSetupDevice(const std::wstring& instanceId, const wchar_t* hardwareId) {
        m_set = SetupDiCreateDeviceInfoList(&kMediaClass, nullptr);
        m_data.cbSize = sizeof(m_data);
        if (m_set == INVALID_HANDLE_VALUE ||
            !SetupDiCreateDeviceInfoW(m_set, instanceId.c_str(), &kMediaClass, L"Sim TV card", nullptr, 0, &m_data) ||
            !SetupDiRegisterDeviceInfo(m_set, &m_data, 0, nullptr, nullptr, nullptr))
            return;
        m_created = true;
        std::wstring multi = std::wstring(hardwareId) + L'\0';
        SetProperty(SPDRP_HARDWAREID, multi.c_str(), (multi.size() + 1) * sizeof(wchar_t));
        SetText(SPDRP_DEVICEDESC, L"Sim TV card");
        SetText(SPDRP_MFG, L"Sim maker");
        SetText(SPDRP_SERVICE, L"simtv");
        HKEY key = SetupDiCreateDevRegKeyW(m_set, &m_data, DICS_FLAG_GLOBAL, 0, DIREG_DRV, nullptr, nullptr);
        if (key == INVALID_HANDLE_VALUE)
            return;
        const struct {
            const wchar_t* name;
            const wchar_t* value;
        } values[] = {{L"NTMPDriver", L"simtv.sys"}, {L"DriverVersion", L"1.2.3.4"}, {L"DriverDate", L"12-8-2026"},
                      {L"DriverDesc", L"Sim TV driver"}, {L"ProviderName", L"Sim provider"}};
        for (const auto& v : values)
            RegSetValueExW(key, v.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(v.value),
                           static_cast<DWORD>((wcslen(v.value) + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
        m_ready = true;
    }
    ~CSetupDevice() {
        if (m_created)
            SetupDiRemoveDevice(m_set, &m_data);
        if (m_set != INVALID_HANDLE_VALUE)
            SetupDiDestroyDeviceInfoList(m_set);
    }
    bool IsReady() const { return m_ready; }

private:
    static constexpr GUID kMediaClass = {0x4d36e96c, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};
    void SetText(DWORD property, const wchar_t* text) {
        SetProperty(property, text, (wcslen(text) + 1) * sizeof(wchar_t));
    }
    void SetProperty(DWORD property, const wchar_t* data, std::size_t bytes) {
        SetupDiSetDeviceRegistryPropertyW(m_set, &m_data, property, reinterpret_cast<const BYTE*>(data),
                                          static_cast<DWORD>(bytes));
    }

    HDEVINFO m_set = INVALID_HANDLE_VALUE;
    SP_DEVINFO_DATA m_data = {};
    bool m_created = false;
    bool m_ready = false;
};

TEST(DriverInfo, ReadsADeviceMadeThroughSetupApiByInstanceIdAndByPath) {
    const std::wstring instance = L"PCI\\VEN_1131&DEV_7133&SUBSYS_12345678&REV_01\\4&" +
                                  std::to_wstring(GetCurrentProcessId()) + L"&0&00E0";
    CSetupDevice device(instance, L"PCI\\VEN_1131&DEV_7133&SUBSYS_12345678&REV_01");
    ASSERT_TRUE(device.IsReady());

    tagDRIVERINFO info;
    ASSERT_EQ(S_OK, CGraphDriverInfo::QueryDriverInfo(instance.c_str(), &info));
    EXPECT_STREQ(L"Sim TV card", info.szDeviceDesc);
    EXPECT_STREQ(L"PCI\\VEN_1131&DEV_7133&SUBSYS_12345678&REV_01", info.szHardwareId);
    EXPECT_STREQ(L"simtv", info.szService);
    EXPECT_STREQ(L"Sim maker", info.szManufacturer);
    EXPECT_STREQ(instance.c_str(), info.szInstanceId);
    EXPECT_STREQ(L"simtv.sys", info.szDriverFile);  // no "Driver" value: "NTMPDriver"
    EXPECT_STREQ(L"1.2.3.4", info.szDriverVersion);
    EXPECT_STREQ(L"Sim TV driver", info.szDriverDesc);
    EXPECT_STREQ(L"Sim provider", info.szProviderName);
    EXPECT_EQ(BUSKIND_PCI, info.nBusKind);
    EXPECT_EQ(0x1131, info.wVendorId);
    EXPECT_EQ(0x7133, info.wDeviceId);
    EXPECT_EQ(0x5678, info.wSubsystemVendorId);
    EXPECT_EQ(0x1234, info.wSubsystemId);

    // The same device through a device path of one of its interfaces.
    const std::wstring path = L"\\\\?\\pci#ven_1131&dev_7133&subsys_12345678&rev_01#4&" +
                              std::to_wstring(GetCurrentProcessId()) + L"&0&00e0#{65e8773d-8f56-11d0-a3b9-00a0c9223196}";
    tagDRIVERINFO byPath;
    ASSERT_EQ(S_OK, CGraphDriverInfo::QueryDriverInfo(path.c_str(), &byPath)) << path;
    EXPECT_EQ(0x5678, byPath.wSubsystemVendorId);
}

TEST(DriverInfo, RefusesMissingArgumentsBadPathsAndUnknownDevices) {
    tagDRIVERINFO info;
    EXPECT_EQ(E_POINTER, CGraphDriverInfo::QueryDriverInfo(nullptr, &info));
    EXPECT_EQ(E_POINTER, CGraphDriverInfo::QueryDriverInfo(L"PCI\\X", nullptr));
    EXPECT_EQ(E_INVALIDARG, CGraphDriverInfo::QueryDriverInfo(L"\\\\?\\usb#vid_2b17", &info));
    EXPECT_EQ(E_FAIL, CGraphDriverInfo::QueryDriverInfo(L"PCI\\VEN_FFFF&DEV_FFFF\\NOT&THERE", &info));
    EXPECT_EQ(L'\0', info.szHardwareId[0]);
}

}  // namespace
