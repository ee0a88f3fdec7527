#include "tests/receivers/chips/PresentInterface.h"

#include <cwchar>
#include <cwctype>
#include <vector>

namespace chipkit {

namespace {

const GUID kMediaClass = {0x4d36e96c, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

// Every reference key of the interface's class key gets Control\Linked = 1.
void MarkLinked(const GUID& category, const std::wstring& path) {
    wchar_t guid[64] = {};
    StringFromGUID2(category, guid, 64);
    const std::wstring classKey = std::wstring(L"SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\") + guid;
    HKEY classes = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, classKey.c_str(), 0, KEY_READ, &classes) != ERROR_SUCCESS)
        return;
    const std::wstring wanted = Lower(path.substr(4));  // without "\\?\"
    wchar_t name[512];
    for (DWORD i = 0;; ++i) {
        DWORD length = 512;
        if (RegEnumKeyExW(classes, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        if (Lower(name).find(wanted) == std::wstring::npos)
            continue;
        HKEY item = nullptr;
        if (RegOpenKeyExW(classes, name, 0, KEY_READ, &item) != ERROR_SUCCESS)
            continue;
        wchar_t ref[256];
        for (DWORD j = 0;; ++j) {
            DWORD refLength = 256;
            if (RegEnumKeyExW(item, j, ref, &refLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            HKEY control = nullptr;
            const std::wstring sub = std::wstring(ref) + L"\\Control";
            if (RegCreateKeyExW(item, sub.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_WRITE, nullptr, &control,
                                nullptr) == ERROR_SUCCESS) {
                const DWORD linked = 1;
                RegSetValueExW(control, L"Linked", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&linked),
                               sizeof(linked));
                RegCloseKey(control);
            }
        }
        RegCloseKey(item);
    }
    RegCloseKey(classes);
}

}  // namespace

CPresentInterface::CPresentInterface(const std::wstring& instanceId, const std::wstring& hardwareId,
                                     const GUID& category) {
    m_set = SetupDiCreateDeviceInfoList(&kMediaClass, nullptr);
    m_data.cbSize = sizeof(m_data);
    if (m_set == INVALID_HANDLE_VALUE ||
        !SetupDiCreateDeviceInfoW(m_set, instanceId.c_str(), &kMediaClass, L"Sim stick", nullptr, 0, &m_data) ||
        !SetupDiRegisterDeviceInfo(m_set, &m_data, 0, nullptr, nullptr, nullptr))
        return;
    m_created = true;
    const std::wstring ids = hardwareId + L'\0' + L'\0';
    if (!SetupDiSetDeviceRegistryPropertyW(m_set, &m_data, SPDRP_HARDWAREID,
                                           reinterpret_cast<const BYTE*>(ids.c_str()),
                                           static_cast<DWORD>(ids.size() * sizeof(wchar_t))))
        return;
    SP_DEVICE_INTERFACE_DATA data = {};
    data.cbSize = sizeof(data);
    if (!SetupDiCreateDeviceInterfaceW(m_set, &m_data, &category, nullptr, 0, &data))
        return;
    DWORD bytes = 0;
    SetupDiGetDeviceInterfaceDetailW(m_set, &data, nullptr, 0, &bytes, nullptr);
    if (bytes < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W))
        return;
    std::vector<std::uint8_t> buffer(bytes, 0);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    if (!SetupDiGetDeviceInterfaceDetailW(m_set, &data, detail, bytes, nullptr, nullptr))
        return;
    MarkLinked(category, detail->DevicePath);
    m_path = detail->DevicePath;
}

bool CPresentInterface::AddDriverKey(const wchar_t* driverFile) {
    if (!m_created)
        return false;
    HKEY key = SetupDiCreateDevRegKeyW(m_set, &m_data, DICS_FLAG_GLOBAL, 0, DIREG_DRV, nullptr, nullptr);
    if (key == INVALID_HANDLE_VALUE)
        return false;
    const LONG result = RegSetValueExW(key, L"Driver", 0, REG_SZ, reinterpret_cast<const BYTE*>(driverFile),
                                       static_cast<DWORD>((wcslen(driverFile) + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

CPresentInterface::~CPresentInterface() {
    if (m_created)
        SetupDiRemoveDevice(m_set, &m_data);
    if (m_set != INVALID_HANDLE_VALUE)
        SetupDiDestroyDeviceInfoList(m_set);
}

}  // namespace chipkit
