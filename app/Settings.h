#pragma once
// CSettings: the settings block with its load and save sequences, the
// start-with-Windows entry, the first-run filling of the main menu and the few
// values the program keeps beside the block in the same registry key. The
// application object holds one and works on its block in place; everything
// runs on the user-interface thread.
//
// Registry: "Software\Vemtra Electronic GmbH\Remote Control" under the current
// user (subkeys "OSD" and "RC"); the same path under the machine key is read,
// never written, for the general values the user's key lacks.

#include "app/SettingsBlock.h"
#include "support/QVRegistry.h"

#include <windows.h>

#include <functional>
#include <string>

class CCmdSetAdmin;

extern const wchar_t SETTINGS_KEY_PATH[];     // the settings key under both roots
extern const wchar_t SETTINGS_RUN_KEY_PATH[]; // "...\CurrentVersion\Run"
extern const wchar_t SETTINGS_RUN_VALUE[];    // "Remote Control Editor"
constexpr DWORD SETTINGS_LAYOUT_VERSION = 4;
constexpr DWORD SETTINGS_DEFAULT_RC_TYPE = 2;

class CSettings {
public:
    using FirstRunAction = std::function<void()>;

    // The first run fills the administrator's main menu (AutoFindApps).
    explicit CSettings(CCmdSetAdmin& admin);
    // Any first-run action (null: none).
    explicit CSettings(FirstRunAction firstRun);
    CSettings(const CSettings&) = delete;
    CSettings& operator=(const CSettings&) = delete;

    tagSETTINGS& Block() { return m_block; }
    const tagSETTINGS& Block() const { return m_block; }
    // True until the first save: after it the block in memory is authoritative.
    BOOL NeedsLoad() const { return m_settingsNeedLoad; }

    void SettingsDefaults();
    // Reads the registry into the block once per process, then saves. Always 1.
    BOOL SettingsLoad();
    // Writes the whole block (values that cannot be written are skipped) and
    // the Run entry. Always 1.
    BOOL SettingsSave();
    // Removes the Run entries of older versions, then writes or removes ours.
    // The result of that last write or removal (a value already absent counts
    // as removed).
    bool UpdateAutostart(bool enable);

    // The program the Run entry starts (default: this executable).
    void SetModulePath(const std::wstring& path) { m_modulePath = path; }
    std::wstring GetRunCommand() const;

    // The values beside the block.
    DWORD GetLanguage(DWORD defaultLanguage) const;   // " Language"
    BOOL SetLanguage(DWORD language);
    std::wstring GetEditorRcName() const;             // "RC Name (Editor)", empty when missing
    BOOL SetEditorRcName(const wchar_t* name);
    DWORD GetEditorRcType() const;                    // "RC Type (Editor)", 2 when missing
    BOOL SetEditorRcType(DWORD rcType);

    // The user's key (the application's settingsKey).
    CQVRegistry& Key() { return m_settingsKey; }
    // Called after every save (the program hands the new values on to its threads).
    void SetOnSaved(std::function<void()> onSaved) { m_onSaved = std::move(onSaved); }

private:
    // The block's numbers of the settings key itself or of its subkeys.
    void LoadDwords(bool inSubKeys);
    void SaveDwords(bool inSubKeys);

    tagSETTINGS m_block;
    BOOL m_settingsNeedLoad = TRUE;
    CQVRegistry m_settingsKey;
    CQVRegistry m_machineKey;
    FirstRunAction m_firstRun;
    std::wstring m_modulePath;
    std::function<void()> m_onSaved;
};

// The per-user data folder: the application-data folder, then "Vemtra" and
// "Remote", each created when missing. Empty when there is no such folder.
std::wstring GetUserDataFolder();
