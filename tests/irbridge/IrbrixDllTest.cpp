// The built Irbrix.dll over the real system: its exports resolve by their
// plain names, and a card made present through SetupAPI with its capture
// device in the system device enumerator is discovered.
#include "irbridge/Irbrix.h"
#include "irbridge/RmtIds.h"
#include "tests/support/sim/SimCaptureFilter.h"

#include <windows.h>
#include <setupapi.h>
#include <uuids.h>

#include <gtest/gtest.h>

#include <string>

namespace {

class IrbrixDll : public testing::Test {
protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        m_module = LoadLibraryW(IRBRIX_DLL_PATH);
        ASSERT_NE(m_module, nullptr) << GetLastError();
        Resolve(init, "PXRmtInitialization");
        Resolve(checkAct, "PXRmtCheckAct");
        Resolve(scanCode, "PXRmtGetScanCode");
        Resolve(getActive, "PXRmtGetActiveDevice");
        Resolve(setActive, "PXRmtSetActiveDevice");
        Resolve(getDevice, "PXRmtGetDevice");
    }
    void TearDown() override {
        if (m_module)
            FreeLibrary(m_module);
        CoUninitialize();
    }
    template <class F>
    void Resolve(F& f, const char* name) {
        f = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(m_module, name)));
        ASSERT_NE(f, nullptr) << name;
    }

    HMODULE m_module = nullptr;
    PFNPXRMTINITIALIZATION init = nullptr;
    PFNPXRMTCHECKACT checkAct = nullptr;
    PFNPXRMTGETSCANCODE scanCode = nullptr;
    PFNPXRMTGETACTIVEDEVICE getActive = nullptr;
    PFNPXRMTSETACTIVEDEVICE setActive = nullptr;
    PFNPXRMTGETDEVICE getDevice = nullptr;
};

// A present PCI device with only a hardware id, removed afterwards.
class CPresentDevice {
public:
    CPresentDevice(const std::wstring& instanceId, const std::wstring& hardwareId) {
        m_set = SetupDiCreateDeviceInfoList(&kMediaClass, nullptr);
        m_data.cbSize = sizeof m_data;
        if (m_set == INVALID_HANDLE_VALUE ||
            !SetupDiCreateDeviceInfoW(m_set, instanceId.c_str(), &kMediaClass, nullptr, nullptr, 0, &m_data) ||
            !SetupDiRegisterDeviceInfo(m_set, &m_data, 0, nullptr, nullptr, nullptr))
            return;
        m_created = true;
        const std::wstring multi = hardwareId + L'\0';
        m_ready = SetupDiSetDeviceRegistryPropertyW(m_set, &m_data, SPDRP_HARDWAREID,
                                                    reinterpret_cast<const BYTE*>(multi.c_str()),
                                                    static_cast<DWORD>((multi.size() + 1) * sizeof(wchar_t)));
    }
    ~CPresentDevice() {
        if (m_created)
            SetupDiRemoveDevice(m_set, &m_data);
        if (m_set != INVALID_HANDLE_VALUE)
            SetupDiDestroyDeviceInfoList(m_set);
    }
    CPresentDevice(const CPresentDevice&) = delete;
    CPresentDevice& operator=(const CPresentDevice&) = delete;
    bool IsReady() const { return m_ready; }

private:
    static constexpr GUID kMediaClass = {0x4d36e96c, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};
    HDEVINFO m_set = INVALID_HANDLE_VALUE;
    SP_DEVINFO_DATA m_data = {};
    bool m_created = false;
    bool m_ready = false;
};

// One test: the library's table lives as long as the process.
TEST_F(IrbrixDll, ExportsResolveAndAPresentCardIsDiscovered) {
    DWORD vendor = 7, id = 7;
    EXPECT_EQ(getActive(&vendor, &id), -1);
    EXPECT_EQ(vendor, 0u);
    EXPECT_EQ(id, 0u);
    EXPECT_EQ(checkAct(), 0);
    EXPECT_EQ(scanCode(), 0xFF);
    EXPECT_EQ(init(0x1421, 0x0306, nullptr), 0) << "unsupported";
    EXPECT_EQ(init(irbrix::kPciVendorIdPrimary, 0x1160, nullptr), 0) << "no such card here";

    const std::wstring pid = std::to_wstring(GetCurrentProcessId());
    CPresentDevice card(L"PCI\\VEN_1131&DEV_7133&SUBSYS_11601E4A&REV_D1\\4&" + pid + L"&0&00E0",
                        L"PCI\\VEN_1131&DEV_7133&SUBSYS_11601E4A&REV_D1");
    ASSERT_TRUE(card.IsReady());
    EXPECT_EQ(init(irbrix::kPciVendorIdPrimary, 0x1160, nullptr), 0) << "no capture device yet";

    simfilter::CRegisteredFilter capture(simfilter::UniqueName(L"Sim 713X BDA Analog Capture"),
                                         CLSID_VideoInputDeviceCategory, L"\\\\?\\pci#sim713x#" + pid);
    ASSERT_TRUE(capture.IsRegistered());
    ASSERT_EQ(init(irbrix::kPciVendorIdPrimary, 0x1160, nullptr), 1);
    EXPECT_EQ(getActive(&vendor, &id), 0);
    EXPECT_EQ(vendor, irbrix::kPciVendorIdPrimary);
    EXPECT_EQ(id, 0x1160u);
    const DWORD ids[2] = {irbrix::kPciVendorIdPrimary, 0x1160}, other[2] = {0x1421, 0x0305};
    EXPECT_EQ(getDevice(&ids[0], &ids[1]), 0);
    EXPECT_EQ(setActive(&other[0], &other[1]), -1);
    // The simulated filter has no kernel-streaming control: registered, but quiet.
    EXPECT_EQ(checkAct(), 0);
    EXPECT_EQ(scanCode(), 0xFF);
    EXPECT_EQ(init(irbrix::kPciVendorIdPrimary, 0x1160, "713x bda analog capture"), 1);
    EXPECT_EQ(getActive(&vendor, &id), 0);
}

}  // namespace
