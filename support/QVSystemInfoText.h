#pragma once
// The texts CQVSystemInfo composes from what the system reports: the
// operating-system display name, DirectX versions, proxy settings and free
// disk space.
//
// Pure logic: no Windows header.
#include <cstdint>
#include <string>

// What the display name is built from (the fields of the extended version
// information, the product type of the product-info function, and the native
// processor architecture).
struct tagQVOSVERSION {
    std::uint32_t dwPlatformId = 0;  // 2 = Windows NT family
    std::uint32_t dwMajor = 0;
    std::uint32_t dwMinor = 0;
    std::uint32_t dwBuild = 0;
    std::wstring servicePack;        // e.g. "Service Pack 1"; empty for none
    std::uint32_t wProductType = 1;  // 1 workstation, 2 domain controller, 3 server
    std::uint32_t wSuiteMask = 0;
    std::uint32_t dwProductInfo = 0;  // the product-info function's type (Vista and later)
    bool fServerR2 = false;           // the R2 system metric of Windows Server 2003
    std::uint32_t wArchitecture = 0;  // 0 x86, 6 Itanium, 9 x64, 12 ARM64
};

// Suite and architecture values used above (as the platform defines them).
constexpr std::uint32_t QVOS_SUITE_ENTERPRISE = 0x0002;
constexpr std::uint32_t QVOS_SUITE_DATACENTER = 0x0080;
constexpr std::uint32_t QVOS_SUITE_PERSONAL = 0x0200;
constexpr std::uint32_t QVOS_SUITE_BLADE = 0x0400;
constexpr std::uint32_t QVOS_SUITE_STORAGE_SERVER = 0x2000;
constexpr std::uint32_t QVOS_SUITE_COMPUTE_SERVER = 0x4000;
constexpr std::uint32_t QVOS_SUITE_WH_SERVER = 0x8000;
constexpr std::uint32_t QVOS_ARCH_INTEL = 0;
constexpr std::uint32_t QVOS_ARCH_IA64 = 6;
constexpr std::uint32_t QVOS_ARCH_AMD64 = 9;
constexpr std::uint32_t QVOS_ARCH_ARM64 = 12;

// "Microsoft Windows 7 Professional Service Pack 1 (build 7601), 64-bit";
// "Version of Windows not detected." for systems it does not know.
std::wstring FormatOSDisplayName(const tagQVOSVERSION& version);

// "%d.%d" or "%d.%d%c" (letter 0 or blank: none).
std::wstring FormatDirectXVersion(int major, int minor, wchar_t letter);
// The machine's "Version" value "a.b.c.d" as "b.c (a.bb.cc.dd)", with the
// letters c and b for 4.09.00.0904 and 4.09.00.0902; empty when it does not parse.
std::wstring FormatDirectXRegistryVersion(const wchar_t* version);

// Proxy settings: each part "not found" unless the server text names it. A
// server text without "=" serves every protocol.
struct tagQVPROXY {
    bool fEnabled = false;
    std::wstring http = L"not found";
    std::wstring https = L"not found";
    std::wstring ftp = L"not found";
    std::wstring socks = L"not found";
};
void ParseProxyServer(const wchar_t* server, tagQVPROXY* proxy);

// "%lu MB free on drive %s".
std::wstring FormatFreeDiskSpace(std::uint64_t freeBytes, const wchar_t* drive);

// The command line that opens the sound control panel on its recording or
// playback page (Vista and later), else the older multimedia panel.
std::wstring GetSoundControlPanelCommand(bool recording, bool vistaOrLater);
