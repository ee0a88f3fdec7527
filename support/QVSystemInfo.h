#pragma once
// CQVSystemInfo: descriptive facts about the machine for display and for
// version-dependent decisions. Changes nothing on the system; every query
// falls back to a fixed text or an empty one and reports nothing to the user.

#include "support/QVSystemInfoText.h"

#include <windows.h>

#include <string>

struct tagQVDISPLAYDRIVER {
    std::wstring matchingDeviceId;
    std::wstring driverDate;
    std::wstring driverDesc = L"Unknown";
};

class CQVSystemInfo {
public:
    // The running system's version facts (the true version, whatever the
    // executable's manifest says).
    static BOOL GetOSVersion(tagQVOSVERSION* version);
    // "Microsoft Windows ..." or "Version of Windows not detected.".
    static std::wstring GetOSDisplayName();

    // Version tests: the system is at least the given version.
    static BOOL IsWindowsNT();
    static BOOL IsVersionOrLater(DWORD major, DWORD minor, DWORD build = 0);
    static BOOL IsWindowsXPOrLater() { return IsVersionOrLater(5, 1); }
    static BOOL IsVistaOrLater() { return IsVersionOrLater(6, 0); }
    static BOOL IsWindows7OrLater() { return IsVersionOrLater(6, 1); }

    // 1 when the process token's groups include the built-in Administrators group.
    static int IsAdministrator();

    // "9.0c" and the like; cached after the first success. FALSE and "Unknown"
    // when neither the diagnostic object nor the registry tells.
    static BOOL GetDirectXVersion(std::wstring* text);

    // Names of the default playback and recording devices; "n.a." when unknown.
    static void GetDefaultSoundDevices(std::wstring* playback, std::wstring* record);

    // The first display adapter of the device class key that describes its driver.
    static BOOL GetDisplayDriver(tagQVDISPLAYDRIVER* driver);

    // Internet Explorer's "Version", "not found" when absent.
    static std::wstring GetInternetExplorerVersion();
    static void GetProxySettings(tagQVPROXY* proxy);

    // "%lu MB free on drive %s" for a root such as "C:\"; empty on failure.
    static std::wstring GetFreeDiskSpace(const wchar_t* drive);

    // Opens the sound control panel (recording or playback page).
    static BOOL OpenSoundControlPanel(BOOL recording);

    // From %TEMP%, else %TMP%; FALSE and empty when neither is set.
    static BOOL GetTempFolder(std::wstring* folder);

    // The system's product identifier, read as information only.
    static BOOL GetProductId(std::wstring* productId);
};

// File-system redirection of a 32-bit process on a 64-bit system switched off
// for the lifetime of the object (around file probes); nothing elsewhere.
class CQVFsRedirectionOff {
public:
    CQVFsRedirectionOff();
    ~CQVFsRedirectionOff();
    CQVFsRedirectionOff(const CQVFsRedirectionOff&) = delete;
    CQVFsRedirectionOff& operator=(const CQVFsRedirectionOff&) = delete;
    bool IsDisabled() const { return m_disabled; }

private:
    void* m_oldValue = nullptr;
    bool m_disabled = false;
};
