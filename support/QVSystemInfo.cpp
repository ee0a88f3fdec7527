#include "support/QVSystemInfo.h"

#include "support/ComApartment.h"
#include "support/QVDebug.h"
#include "support/QVRegistry.h"
#include "support/ScopedWin.h"

#include <initguid.h>

#include <dxdiag.h>
#include <mmsystem.h>
#include <oleauto.h>
#include <shellapi.h>

#include <cwchar>
#include <mutex>
#include <vector>

namespace {

using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOEXW*);
using GetProductInfoFn = BOOL(WINAPI*)(DWORD, DWORD, DWORD, DWORD, DWORD*);
using Wow64DisableFn = BOOL(WINAPI*)(PVOID*);
using Wow64RevertFn = BOOL(WINAPI*)(PVOID);

template <class Fn>
Fn Resolve(const wchar_t* module, const char* name) {
    HMODULE handle = GetModuleHandleW(module);
    if (!handle)
        return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(handle, name)));
}

// GetVersionExW reports the version of the executable's manifest; the loader's
// own function reports the true one.
BOOL QueryVersion(OSVERSIONINFOEXW* info) {
    ZeroMemory(info, sizeof(*info));
    info->dwOSVersionInfoSize = sizeof(*info);
    if (auto rtl = Resolve<RtlGetVersionFn>(L"ntdll.dll", "RtlGetVersion"))
        return rtl(info) == 0;
    return FALSE;
}

std::wstring ReadString(HKEY root, const wchar_t* path, const wchar_t* name) {
    CQVRegistry key(path, root);
    wchar_t buffer[512] = {};
    if (!key.GetStringValue(name, buffer, 512))
        return std::wstring();
    return buffer;
}

BOOL DirectXFromDiagnostics(std::wstring* text) {
    CQVComApartment com;
    CQVComPtr<IDxDiagProvider> provider;
    if (FAILED(CoCreateInstance(CLSID_DxDiagProvider, nullptr, CLSCTX_INPROC_SERVER, IID_IDxDiagProvider,
                                provider.PutVoid())))
        return FALSE;
    DXDIAG_INIT_PARAMS params = {};
    params.dwSize = sizeof(params);
    params.dwDxDiagHeaderVersion = DXDIAG_DX9_SDK_VERSION;
    params.bAllowWHQLChecks = FALSE;
    if (FAILED(provider->Initialize(&params)))
        return FALSE;
    CQVComPtr<IDxDiagContainer> root;
    CQVComPtr<IDxDiagContainer> system;
    if (FAILED(provider->GetRootContainer(root.Put())) ||
        FAILED(root->GetChildContainer(L"DxDiag_SystemInfo", system.Put())))
        return FALSE;
    VARIANT major, minor, letter;
    VariantInit(&major);
    VariantInit(&minor);
    VariantInit(&letter);
    BOOL ok = FALSE;
    if (SUCCEEDED(system->GetProp(L"dwDirectXVersionMajor", &major)) &&
        SUCCEEDED(system->GetProp(L"dwDirectXVersionMinor", &minor)) && major.vt == VT_UI4 && minor.vt == VT_UI4) {
        wchar_t ch = 0;
        if (SUCCEEDED(system->GetProp(L"szDirectXVersionLetter", &letter)) && letter.vt == VT_BSTR && letter.bstrVal)
            ch = letter.bstrVal[0];
        *text = FormatDirectXVersion(static_cast<int>(major.ulVal), static_cast<int>(minor.ulVal), ch);
        ok = TRUE;
    }
    VariantClear(&major);
    VariantClear(&minor);
    VariantClear(&letter);
    return ok;
}

}  // namespace

BOOL CQVSystemInfo::GetOSVersion(tagQVOSVERSION* version) {
    OSVERSIONINFOEXW info;
    if (!QueryVersion(&info))
        return FALSE;
    version->dwPlatformId = info.dwPlatformId;
    version->dwMajor = info.dwMajorVersion;
    version->dwMinor = info.dwMinorVersion;
    version->dwBuild = info.dwBuildNumber;
    version->servicePack = info.szCSDVersion;
    version->wProductType = info.wProductType;
    version->wSuiteMask = info.wSuiteMask;
    version->fServerR2 = GetSystemMetrics(SM_SERVERR2) != 0;
    SYSTEM_INFO system = {};
    GetNativeSystemInfo(&system);
    version->wArchitecture = system.wProcessorArchitecture;
    version->dwProductInfo = 0;
    if (info.dwMajorVersion >= 6) {
        if (auto productInfo = Resolve<GetProductInfoFn>(L"kernel32.dll", "GetProductInfo")) {
            DWORD type = 0;
            if (productInfo(info.dwMajorVersion, info.dwMinorVersion, 0, 0, &type))
                version->dwProductInfo = type;
        }
    }
    return TRUE;
}

std::wstring CQVSystemInfo::GetOSDisplayName() {
    tagQVOSVERSION version;
    if (!GetOSVersion(&version))
        return L"Version of Windows not detected.";
    return FormatOSDisplayName(version);
}

BOOL CQVSystemInfo::IsWindowsNT() {
    OSVERSIONINFOEXW info;
    return QueryVersion(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

BOOL CQVSystemInfo::IsVersionOrLater(DWORD major, DWORD minor, DWORD build) {
    OSVERSIONINFOEXW info;
    if (!QueryVersion(&info))
        return FALSE;
    if (info.dwMajorVersion != major)
        return info.dwMajorVersion > major;
    if (info.dwMinorVersion != minor)
        return info.dwMinorVersion > minor;
    return info.dwBuildNumber >= build;
}

int CQVSystemInfo::IsAdministrator() {
    if (!IsWindowsNT())
        return 1;
    CQVHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Put()))
        return 0;
    std::vector<BYTE> buffer(1024);
    DWORD needed = 0;
    if (!GetTokenInformation(token.Get(), TokenGroups, buffer.data(), static_cast<DWORD>(buffer.size()), &needed)) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed == 0)
            return 0;
        buffer.resize(needed);
        if (!GetTokenInformation(token.Get(), TokenGroups, buffer.data(), needed, &needed))
            return 0;
    }
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0,
                                  0, 0, &administrators))
        return 0;
    const TOKEN_GROUPS* groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer.data());
    int result = 0;
    for (DWORD i = 0; i < groups->GroupCount && !result; ++i) {
        if (EqualSid(groups->Groups[i].Sid, administrators))
            result = 1;
    }
    FreeSid(administrators);
    return result;
}

BOOL CQVSystemInfo::GetDirectXVersion(std::wstring* text) {
    static std::mutex lock;
    static std::wstring cached;
    std::lock_guard<std::mutex> guard(lock);
    if (!cached.empty()) {
        *text = cached;
        return TRUE;
    }
    std::wstring found;
    if (!(IsVersionOrLater(5, 1) && DirectXFromDiagnostics(&found)))
        found = FormatDirectXRegistryVersion(
            ReadString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\DirectX", L"Version").c_str());
    if (found.empty()) {
        *text = L"Unknown";
        return FALSE;
    }
    cached = found;
    *text = found;
    return TRUE;
}

void CQVSystemInfo::GetDefaultSoundDevices(std::wstring* playback, std::wstring* record) {
    *playback = L"n.a.";
    *record = L"n.a.";
    const wchar_t* mapper = L"Software\\Microsoft\\Multimedia\\Sound Mapper";
    const std::wstring play = ReadString(HKEY_CURRENT_USER, mapper, L"Playback");
    const std::wstring rec = ReadString(HKEY_CURRENT_USER, mapper, L"Record");
    if (!play.empty()) {
        *playback = play;
    } else {
        WAVEOUTCAPSW caps = {};
        *playback = waveOutGetNumDevs() > 0 && waveOutGetDevCapsW(0, &caps, sizeof(caps)) == MMSYSERR_NOERROR
                        ? std::wstring(caps.szPname)
                        : std::wstring(L"No Wave Out device installed");
    }
    if (!rec.empty()) {
        *record = rec;
    } else {
        WAVEINCAPSW caps = {};
        *record = waveInGetNumDevs() > 0 && waveInGetDevCapsW(0, &caps, sizeof(caps)) == MMSYSERR_NOERROR
                      ? std::wstring(caps.szPname)
                      : std::wstring(L"No Wave In device installed");
    }
}

BOOL CQVSystemInfo::GetDisplayDriver(tagQVDISPLAYDRIVER* driver) {
    const wchar_t* classKey = L"System\\CurrentControlSet\\Control\\Class\\{4D36E968-E325-11CE-BFC1-08002BE10318}";
    CQVRegistry key(classKey, HKEY_LOCAL_MACHINE);
    wchar_t name[256];
    for (DWORD i = 0; key.EnumSubKeyName(nullptr, i, name, 256); ++i) {
        const std::wstring path = std::wstring(classKey) + L"\\" + name;
        const std::wstring desc = ReadString(HKEY_LOCAL_MACHINE, path.c_str(), L"DriverDesc");
        if (desc.empty())
            continue;
        driver->driverDesc = desc;
        driver->matchingDeviceId = ReadString(HKEY_LOCAL_MACHINE, path.c_str(), L"MatchingDeviceId");
        driver->driverDate = ReadString(HKEY_LOCAL_MACHINE, path.c_str(), L"DriverDate");
        return TRUE;
    }
    return FALSE;
}

std::wstring CQVSystemInfo::GetInternetExplorerVersion() {
    const std::wstring version =
        ReadString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Internet Explorer", L"Version");
    return version.empty() ? std::wstring(L"not found") : version;
}

void CQVSystemInfo::GetProxySettings(tagQVPROXY* proxy) {
    const wchar_t* path = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
    CQVRegistry key(path, HKEY_CURRENT_USER);
    DWORD enabled = 0;
    proxy->fEnabled = key.GetDword(L"ProxyEnable", &enabled) && enabled != 0;
    ParseProxyServer(ReadString(HKEY_CURRENT_USER, path, L"ProxyServer").c_str(), proxy);
}

std::wstring CQVSystemInfo::GetFreeDiskSpace(const wchar_t* drive) {
    ULARGE_INTEGER available = {};
    if (!drive || !GetDiskFreeSpaceExW(drive, &available, nullptr, nullptr))
        return std::wstring();
    return FormatFreeDiskSpace(available.QuadPart, drive);
}

BOOL CQVSystemInfo::OpenSoundControlPanel(BOOL recording) {
    std::wstring command = GetSoundControlPanelCommand(recording != FALSE, IsVistaOrLater() != FALSE);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        TracePrint(QVL_ERR, QVC_ALL, L"%ls() FAILED with error %lu\n", L"CQVSystemInfo::OpenSoundControlPanel",
                   GetLastError());
        return FALSE;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return TRUE;
}

BOOL CQVSystemInfo::GetTempFolder(std::wstring* folder) {
    for (const wchar_t* name : {L"TEMP", L"TMP"}) {
        wchar_t buffer[MAX_PATH + 1] = {};
        const DWORD n = GetEnvironmentVariableW(name, buffer, MAX_PATH + 1);
        if (n > 0 && n <= MAX_PATH) {
            *folder = buffer;
            return TRUE;
        }
    }
    folder->clear();
    return FALSE;
}

BOOL CQVSystemInfo::GetProductId(std::wstring* productId) {
    *productId = ReadString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", L"ProductId");
    return !productId->empty();
}

CQVFsRedirectionOff::CQVFsRedirectionOff() {
    if (auto disable = Resolve<Wow64DisableFn>(L"kernel32.dll", "Wow64DisableWow64FsRedirection"))
        m_disabled = disable(&m_oldValue) != FALSE;
}

CQVFsRedirectionOff::~CQVFsRedirectionOff() {
    if (!m_disabled)
        return;
    if (auto revert = Resolve<Wow64RevertFn>(L"kernel32.dll", "Wow64RevertWow64FsRedirection"))
        revert(m_oldValue);
}
