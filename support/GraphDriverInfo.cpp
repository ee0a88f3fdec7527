#include "support/GraphDriverInfo.h"

#include "support/GraphBase.h"
#include "support/QVDebug.h"
#include "support/QVDebugWin.h"
#include "support/QVRegKey.h"
#include "support/ScopedSetupApi.h"

#include <cfgmgr32.h>

#include <cwchar>
#include <vector>

namespace {

constexpr const wchar_t* kQueryName = L"CGraphDriverInfo::QueryDriverInfo";

void CopyText(wchar_t (&target)[DRIVERINFO_TEXT_CHARS], const wchar_t* source) {
    wcsncpy(target, source ? source : L"", DRIVERINFO_TEXT_CHARS - 1);
    target[DRIVERINFO_TEXT_CHARS - 1] = L'\0';
}

// A device registry property, in a buffer that grows to what the system asks.
void ReadProperty(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property, wchar_t (&target)[DRIVERINFO_TEXT_CHARS]) {
    std::vector<BYTE> buffer(512);
    DWORD needed = 0;
    BOOL ok = SetupDiGetDeviceRegistryPropertyW(set, &device, property, nullptr, buffer.data(),
                                                static_cast<DWORD>(buffer.size()), &needed);
    if (!ok && GetLastError() == ERROR_INSUFFICIENT_BUFFER && needed > buffer.size()) {
        buffer.assign(needed, 0);
        ok = SetupDiGetDeviceRegistryPropertyW(set, &device, property, nullptr, buffer.data(),
                                               static_cast<DWORD>(buffer.size()), &needed);
    }
    if (!ok)
        return;
    buffer.resize(buffer.size() + sizeof(wchar_t), 0);  // a terminator even when the value has none
    CopyText(target, reinterpret_cast<const wchar_t*>(buffer.data()));
}

bool DeviceId(DEVINST instance, std::wstring* id) {
    wchar_t text[MAX_DEVICE_ID_LEN + 1] = {};
    if (CM_Get_Device_IDW(instance, text, MAX_DEVICE_ID_LEN, 0) != CR_SUCCESS)
        return false;
    *id = text;
    return true;
}

// The hardware id of the parent or grandparent when the device's own id names
// no known bus (a function of a composite device, a stream-class child).
void ApplyParentId(DEVINST instance, tagDRIVERINFO& info) {
    if (HasKnownBusPrefix(info.szHardwareId))
        return;
    DEVINST parent = 0;
    std::wstring id;
    if (CM_Get_Parent(&parent, instance, 0) != CR_SUCCESS || !DeviceId(parent, &id))
        return;
    if (!HasKnownBusPrefix(id.c_str())) {
        DEVINST grandparent = 0;
        if (CM_Get_Parent(&grandparent, parent, 0) != CR_SUCCESS || !DeviceId(grandparent, &id))
            return;
    }
    if (!HasKnownBusPrefix(id.c_str()))
        return;
    CopyText(info.szHardwareId, id.c_str());
    if (!HasKnownBusPrefix(info.szInstanceId))
        CopyText(info.szInstanceId, id.c_str());
}

void ReadDriverValue(HKEY key, const wchar_t* name, wchar_t (&target)[DRIVERINFO_TEXT_CHARS]) {
    DWORD bytes = sizeof(target) - sizeof(wchar_t);
    DWORD type = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(target), &bytes) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        target[0] = L'\0';
    target[DRIVERINFO_TEXT_CHARS - 1] = L'\0';
}

void TraceRecord(const tagDRIVERINFO& info) {
    TracePrint(QVL_IO, QVC_DEVICE, L"DeviceName       = %ls\n", info.szDeviceDesc);
    const struct {
        const wchar_t* format;
        const wchar_t* value;
    } lines[] = {
        {L"HardwareId       = %ls\n", info.szHardwareId},   {L"Service          = %ls\n", info.szService},
        {L"ClassSubkey      = %ls\n", info.szClassSubkey},  {L"Manufacturer     = %ls\n", info.szManufacturer},
        {L"InstanceId       = %ls\n", info.szInstanceId},   {L"InfDriverFile    = %ls\n", info.szDriverFile},
        {L"InfDriverVersion = %ls\n", info.szDriverVersion}, {L"InfDriverDate    = %ls\n", info.szDriverDate},
        {L"InfDriverDesc    = %ls\n", info.szDriverDesc},   {L"InfProviderName  = %ls\n", info.szProviderName},
    };
    for (const auto& line : lines)
        TracePrint(QVL_DETAIL, QVC_DEVICE, line.format, line.value);
}

}  // namespace

HRESULT CGraphDriverInfo::QueryDriverInfo(const wchar_t* argument, tagDRIVERINFO* info) {
    CQVTraceScope scope(QVL_IO, QVC_DEVICE, kQueryName, argument ? argument : L"");
    if (!argument || !info)
        return E_POINTER;
    *info = tagDRIVERINFO{};
    info->nBusKind = BUSKIND_UNKNOWN;
    std::wstring instanceId;
    if (!DevicePathToInstanceId(argument, &instanceId)) {
        TracePrint(QVL_ERR, QVC_DEVICE, L"CGraphDriverInfo::QueryDriverInfo DevPath2DevId - FAIL\n");
        return E_INVALIDARG;
    }

    CQVDevInfo set(SetupDiCreateDeviceInfoList(nullptr, nullptr));
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof(device);
    if (!set || !SetupDiOpenDeviceInfoW(set.Get(), instanceId.c_str(), nullptr, 0, &device)) {
        TracePrint(QVL_ERR, QVC_DEVICE, L"SetupDiOpenDeviceInfo() FAILED with ERROR '%ls'\n",
                   TraceFormatError(GetLastError()).c_str());
    } else {
        ReadProperty(set.Get(), device, SPDRP_DEVICEDESC, info->szDeviceDesc);
        ReadProperty(set.Get(), device, SPDRP_HARDWAREID, info->szHardwareId);
        ReadProperty(set.Get(), device, SPDRP_SERVICE, info->szService);
        ReadProperty(set.Get(), device, SPDRP_DRIVER, info->szClassSubkey);
        ReadProperty(set.Get(), device, SPDRP_MFG, info->szManufacturer);
        SetupDiGetDeviceInstanceIdW(set.Get(), &device, info->szInstanceId, DRIVERINFO_TEXT_CHARS - 1, nullptr);
        ApplyParentId(device.DevInst, *info);
    }

    if (info->szClassSubkey[0] == L'\0') {
        TracePrint(QVL_ERR, QVC_DEVICE, L"CGraphDriverInfo::QueryDriverInfo: pInfo->szClassSubkey EMPTY!!!\n");
        return E_FAIL;
    }
    const std::wstring classKey = std::wstring(L"System\\CurrentControlSet\\Control\\Class\\") + info->szClassSubkey;
    CQVRegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, classKey.c_str(), 0, KEY_READ, key.Put()) == ERROR_SUCCESS) {
        ReadDriverValue(key.Get(), L"Driver", info->szDriverFile);
        if (info->szDriverFile[0] == L'\0')
            ReadDriverValue(key.Get(), L"NTMPDriver", info->szDriverFile);
        ReadDriverValue(key.Get(), L"DriverVersion", info->szDriverVersion);
        ReadDriverValue(key.Get(), L"DriverDate", info->szDriverDate);
        ReadDriverValue(key.Get(), L"DriverDesc", info->szDriverDesc);
        ReadDriverValue(key.Get(), L"ProviderName", info->szProviderName);
    }

    ApplyBusRules(*info);
    if (info->nBusKind == BUSKIND_UNKNOWN) {
        TracePrint(QVL_WRN, QVC_DEVICE, L"CGraphDriverInfo::QueryDriverInfo: Bus could not be determined for %ls!!!\n",
                   info->szHardwareId);
        TracePrint(QVL_WRN, QVC_DEVICE, L"   %ls\n", argument);
    }
    TraceRecord(*info);
    return info->nBusKind == BUSKIND_UNKNOWN ? E_FAIL : S_OK;
}

HRESULT CGraphDriverInfo::FindFilterDriverInfo(const wchar_t* name, tagDRIVERINFO* info, const GUID& category) {
    if (!info)
        return E_POINTER;
    CQVComPtr<IBaseFilter> filter;
    std::wstring devicePath;
    HRESULT hr = CGraphBase::FindFilter(name, category, 0, filter.Put(), nullptr, &devicePath);
    if (hr != S_OK && IsEqualGUID(category, kCategoryBdaReceiverComponent))
        hr = CGraphBase::FindFilter(name, kCategoryKsCapture, 0, filter.Put(), nullptr, &devicePath);
    if (hr != S_OK)
        return hr;
    return QueryDriverInfo(devicePath.c_str(), info);
}
