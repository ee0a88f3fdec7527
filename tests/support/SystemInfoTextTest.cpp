// Texts of the system information: display names of known systems, DirectX
// versions, proxy settings, free disk space, sound control panel.

#include "support/QVSystemInfoText.h"

#include <gtest/gtest.h>

namespace {

tagQVOSVERSION Nt(std::uint32_t major, std::uint32_t minor, std::uint32_t build) {
    tagQVOSVERSION v;
    v.dwPlatformId = 2;
    v.dwMajor = major;
    v.dwMinor = minor;
    v.dwBuild = build;
    return v;
}

}  // namespace

TEST(SystemInfoText, VistaAndLaterNameProductEditionBuildAndBits) {
    tagQVOSVERSION v = Nt(6, 1, 7601);
    v.servicePack = L"Service Pack 1";
    v.dwProductInfo = 0x30;
    v.wArchitecture = QVOS_ARCH_AMD64;
    EXPECT_EQ(L"Microsoft Windows 7 Professional Service Pack 1 (build 7601), 64-bit", FormatOSDisplayName(v));

    v = Nt(6, 0, 6002);
    v.dwProductInfo = 0x01;
    v.wArchitecture = QVOS_ARCH_INTEL;
    EXPECT_EQ(L"Microsoft Windows Vista Ultimate Edition (build 6002), 32-bit", FormatOSDisplayName(v));

    v = Nt(6, 1, 7600);
    v.wProductType = 3;
    v.dwProductInfo = 0x08;
    v.wArchitecture = QVOS_ARCH_AMD64;
    EXPECT_EQ(L"Microsoft Windows Server 2008 R2 Datacenter Edition (build 7600), 64-bit", FormatOSDisplayName(v));

    v = Nt(10, 0, 22631);
    v.dwProductInfo = 0x30;
    v.wArchitecture = QVOS_ARCH_AMD64;
    EXPECT_EQ(L"Microsoft Windows 11 Professional (build 22631), 64-bit", FormatOSDisplayName(v));
    v.dwBuild = 19045;
    EXPECT_EQ(L"Microsoft Windows 10 Professional (build 19045), 64-bit", FormatOSDisplayName(v));
}

TEST(SystemInfoText, OlderSystemsUseTheirSuites) {
    tagQVOSVERSION v = Nt(5, 1, 2600);
    v.servicePack = L"Service Pack 3";
    v.wSuiteMask = QVOS_SUITE_PERSONAL;
    EXPECT_EQ(L"Microsoft Windows XP Home Edition Service Pack 3 (build 2600), 32-bit", FormatOSDisplayName(v));

    v = Nt(5, 2, 3790);
    v.wArchitecture = QVOS_ARCH_AMD64;
    EXPECT_EQ(L"Microsoft Windows XP Professional x64 Edition (build 3790), 64-bit", FormatOSDisplayName(v));

    v.wProductType = 3;
    v.fServerR2 = true;
    v.wSuiteMask = QVOS_SUITE_ENTERPRISE;
    EXPECT_EQ(L"Microsoft Windows Server 2003 R2, Enterprise x64 Edition (build 3790), 64-bit",
              FormatOSDisplayName(v));

    v = Nt(5, 2, 3790);
    v.wProductType = 3;
    v.wSuiteMask = QVOS_SUITE_BLADE;
    EXPECT_EQ(L"Microsoft Windows Server 2003, Web Edition (build 3790), 32-bit", FormatOSDisplayName(v));

    v = Nt(5, 0, 2195);
    v.wProductType = 2;
    v.wSuiteMask = QVOS_SUITE_DATACENTER;
    EXPECT_EQ(L"Microsoft Windows 2000 Datacenter Server (build 2195), 32-bit", FormatOSDisplayName(v));
}

TEST(SystemInfoText, UnknownSystemsAreNotDetected) {
    EXPECT_EQ(L"Version of Windows not detected.", FormatOSDisplayName(Nt(4, 0, 1381)));
    EXPECT_EQ(L"Version of Windows not detected.", FormatOSDisplayName(Nt(6, 9, 1)));
    tagQVOSVERSION v = Nt(6, 1, 7601);
    v.dwPlatformId = 1;
    EXPECT_EQ(L"Version of Windows not detected.", FormatOSDisplayName(v));
}

TEST(SystemInfoText, DirectXVersions) {
    EXPECT_EQ(L"9.0c", FormatDirectXVersion(9, 0, L'c'));
    EXPECT_EQ(L"11.1", FormatDirectXVersion(11, 1, 0));
    EXPECT_EQ(L"11.1", FormatDirectXVersion(11, 1, L' '));
    EXPECT_EQ(L"9.0c (4.09.00.904)", FormatDirectXRegistryVersion(L"4.09.00.0904"));
    EXPECT_EQ(L"9.0b (4.09.00.902)", FormatDirectXRegistryVersion(L"4.09.00.0902"));
    EXPECT_EQ(L"8.1 (4.08.01.881)", FormatDirectXRegistryVersion(L"4.08.01.0881"));
    EXPECT_EQ(L"", FormatDirectXRegistryVersion(L"garbage"));
    EXPECT_EQ(L"", FormatDirectXRegistryVersion(nullptr));
}

TEST(SystemInfoText, ProxyPartsByProtocol) {
    tagQVPROXY proxy;
    ParseProxyServer(L"http=web:80;https=secure:443;SOCKS=sock:1080", &proxy);
    EXPECT_EQ(L"web:80", proxy.http);
    EXPECT_EQ(L"secure:443", proxy.https);
    EXPECT_EQ(L"not found", proxy.ftp);
    EXPECT_EQ(L"sock:1080", proxy.socks);

    tagQVPROXY all;
    ParseProxyServer(L"proxy:8080", &all);
    EXPECT_EQ(L"proxy:8080", all.http);
    EXPECT_EQ(L"proxy:8080", all.ftp);

    tagQVPROXY none;
    ParseProxyServer(nullptr, &none);
    ParseProxyServer(L";;=;", &none);
    EXPECT_EQ(L"not found", none.http);
    EXPECT_EQ(L"not found", none.socks);
}

TEST(SystemInfoText, FreeSpaceAndControlPanel) {
    EXPECT_EQ(L"2048 MB free on drive C:\\", FormatFreeDiskSpace(2048ull * 1024 * 1024 + 5, L"C:\\"));
    EXPECT_EQ(L"0 MB free on drive D:", FormatFreeDiskSpace(1000, L"D:"));
    EXPECT_EQ(L"control.exe mmsys.cpl,@0,2", GetSoundControlPanelCommand(true, true));
    EXPECT_EQ(L"control.exe mmsys.cpl,@0,1", GetSoundControlPanelCommand(false, true));
    EXPECT_EQ(L"control.exe mmcpl.cpl", GetSoundControlPanelCommand(true, false));
}
