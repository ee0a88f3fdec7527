// CQVSystemInfo on the running system (Wine): what it reports is consistent
// with the platform's own answers.

#include "support/QVSystemInfo.h"

#include <gtest/gtest.h>

#include <cwchar>

TEST(SystemInfo, DisplayNameMatchesTheVersionFacts) {
    tagQVOSVERSION version;
    ASSERT_TRUE(CQVSystemInfo::GetOSVersion(&version));
    EXPECT_EQ(2u, version.dwPlatformId);
    const std::wstring name = CQVSystemInfo::GetOSDisplayName();
    EXPECT_EQ(FormatOSDisplayName(version), name);
    EXPECT_EQ(0u, name.find(L"Microsoft Windows")) << name;
    EXPECT_NE(std::wstring::npos, name.find(L", 64-bit")) << "a 64-bit build runs on a 64-bit system: " << name;
}

TEST(SystemInfo, VersionTestsAgreeWithTheReportedVersion) {
    tagQVOSVERSION version;
    ASSERT_TRUE(CQVSystemInfo::GetOSVersion(&version));
    EXPECT_TRUE(CQVSystemInfo::IsWindowsNT());
    EXPECT_TRUE(CQVSystemInfo::IsVersionOrLater(version.dwMajor, version.dwMinor, version.dwBuild));
    EXPECT_FALSE(CQVSystemInfo::IsVersionOrLater(version.dwMajor, version.dwMinor, version.dwBuild + 1));
    EXPECT_FALSE(CQVSystemInfo::IsVersionOrLater(version.dwMajor + 1, 0));
    EXPECT_TRUE(CQVSystemInfo::IsVersionOrLater(5, 0));
    EXPECT_EQ(version.dwMajor >= 6, CQVSystemInfo::IsVistaOrLater() != FALSE);
}

TEST(SystemInfo, AdministratorFollowsTheTokenGroups) {
    // Wine's user is a member of the Administrators group.
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID admins = nullptr;
    ASSERT_TRUE(AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0,
                                         0, 0, &admins));
    BOOL member = FALSE;
    CheckTokenMembership(nullptr, admins, &member);
    FreeSid(admins);
    EXPECT_EQ(member ? 1 : 0, CQVSystemInfo::IsAdministrator());
}

TEST(SystemInfo, DirectXVersionIsCached) {
    std::wstring first, second;
    const BOOL ok = CQVSystemInfo::GetDirectXVersion(&first);
    CQVSystemInfo::GetDirectXVersion(&second);
    EXPECT_FALSE(first.empty());
    EXPECT_EQ(first, second);
    if (ok) {
        EXPECT_TRUE(iswdigit(first[0])) << first;
    } else {
        EXPECT_EQ(L"Unknown", first);
    }
}

TEST(SystemInfo, SoundDevicesNameTheFirstDeviceOrSaySoneIsMissing) {
    std::wstring playback, record;
    CQVSystemInfo::GetDefaultSoundDevices(&playback, &record);
    EXPECT_FALSE(playback.empty());
    EXPECT_FALSE(record.empty());
    if (waveOutGetNumDevs() == 0) {
        EXPECT_EQ(L"No Wave Out device installed", playback);
    }
    if (waveInGetNumDevs() == 0) {
        EXPECT_EQ(L"No Wave In device installed", record);
    }
}

TEST(SystemInfo, FreeDiskSpaceOfTheSystemDrive) {
    const std::wstring text = CQVSystemInfo::GetFreeDiskSpace(L"C:\\");
    EXPECT_NE(std::wstring::npos, text.find(L" MB free on drive C:\\")) << text;
    EXPECT_EQ(L"", CQVSystemInfo::GetFreeDiskSpace(L"Q:\\no such drive\\"));
}

TEST(SystemInfo, TempFolderComesFromTheEnvironment) {
    wchar_t saved[MAX_PATH] = {};
    GetEnvironmentVariableW(L"TEMP", saved, MAX_PATH);
    std::wstring folder;
    ASSERT_TRUE(CQVSystemInfo::GetTempFolder(&folder));
    EXPECT_EQ(saved, folder);

    SetEnvironmentVariableW(L"TEMP", nullptr);
    SetEnvironmentVariableW(L"TMP", L"C:\\tmp-fallback");
    EXPECT_TRUE(CQVSystemInfo::GetTempFolder(&folder));
    EXPECT_EQ(L"C:\\tmp-fallback", folder);
    SetEnvironmentVariableW(L"TMP", nullptr);
    EXPECT_FALSE(CQVSystemInfo::GetTempFolder(&folder));
    EXPECT_EQ(L"", folder);
    SetEnvironmentVariableW(L"TEMP", saved);
}

TEST(SystemInfo, RegistryFactsFallBackToFixedTexts) {
    tagQVPROXY proxy;
    CQVSystemInfo::GetProxySettings(&proxy);
    EXPECT_FALSE(proxy.http.empty());
    EXPECT_FALSE(CQVSystemInfo::GetInternetExplorerVersion().empty());
    tagQVDISPLAYDRIVER driver;
    if (!CQVSystemInfo::GetDisplayDriver(&driver)) {
        EXPECT_EQ(L"Unknown", driver.driverDesc);
    } else {
        EXPECT_FALSE(driver.driverDesc.empty());
    }
}

TEST(SystemInfo, RedirectionIsOffOnlyForA32BitProcessOn64Bit) {
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    CQVFsRedirectionOff off;
    EXPECT_EQ(wow64 != FALSE, off.IsDisabled());
}
