#include "app/Settings.h"

#include "support/ProgramPath.h"

#include "cmdsets/AutoFindApps.h"
#include "support/QVDebug.h"
#include "support/QVRegKey.h"

#include <shlobj.h>

const wchar_t SETTINGS_KEY_PATH[] = L"Software\\Vemtra Electronic GmbH\\Remote Control";
const wchar_t SETTINGS_RUN_KEY_PATH[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t SETTINGS_RUN_VALUE[] = L"Remote Control Editor";

namespace {

const wchar_t kOldRunValue[] = L"Vemtra Remote Control";
const wchar_t kExclusiveApp[] = L"Exclusive Application";
const wchar_t kMidiDevice[] = L"MIDI device";
const wchar_t kSubKeyRc[] = L"RC";
const wchar_t kLircHost[] = L"LIRC Host";

bool ValueExists(HKEY root, const wchar_t* path, const wchar_t* name) {
    CQVRegKey key;
    if (RegOpenKeyExW(root, path, 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS)
        return false;
    return RegQueryValueExW(key.Get(), name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

// Gone afterwards is what a removal is for: a value that was never there is removed too.
bool RemoveValue(HKEY root, const wchar_t* name) {
    CQVRegistry run(SETTINGS_RUN_KEY_PATH, root);
    return run.DeleteValue(name) || !ValueExists(root, SETTINGS_RUN_KEY_PATH, name);
}

}  // namespace

CSettings::CSettings(CCmdSetAdmin& admin) : CSettings(FirstRunAction([&admin] { AutoFindApps(admin); })) {}

CSettings::CSettings(FirstRunAction firstRun)
    : m_settingsKey(SETTINGS_KEY_PATH, HKEY_CURRENT_USER),
      m_machineKey(SETTINGS_KEY_PATH, HKEY_LOCAL_MACHINE),
      m_firstRun(std::move(firstRun)) {}

void CSettings::LoadDwords(bool inSubKeys) {
    for (const tagSETTINGSDWORD& value : g_settingsDwords) {
        if ((value.szSubKey != nullptr) != inSubKeys)
            continue;
        // A failed read leaves read unchanged: the default stays when both keys lack the value.
        DWORD read = m_block.*value.pMember;
        if (m_settingsKey.GetDword(value.szName, &read, value.szSubKey) ||
            (value.fMachineFallback && m_machineKey.GetDword(value.szName, &read, value.szSubKey)))
            m_block.*value.pMember = read;
    }
}

void CSettings::SaveDwords(bool inSubKeys) {
    for (const tagSETTINGSDWORD& value : g_settingsDwords) {
        if ((value.szSubKey != nullptr) != inSubKeys)
            continue;
        if (!m_settingsKey.SetDword(m_block.*value.pMember, value.szSubKey, value.szName))
            TracePrint(QVL_WRN, QVC_DEVICE, L"%s(): \"%s\" not written\n", L"CRemoteApp::SettingsSave",
                       value.szName);
    }
}

void CSettings::SettingsDefaults() {
    ::SettingsDefaults(m_block);
}

BOOL CSettings::SettingsLoad() {
    CQVTraceScope scope(QVL_IO, QVC_DEVICE, L"CRemoteApp::SettingsLoad");
    if (!m_settingsNeedLoad)
        return 1;
    SettingsDefaults();

    if (!m_settingsKey.KeyExists(L"OSD")) {
        TracePrint(QVL_INFO, QVC_DEVICE, L"First run: filling the main menu\n");
        if (m_firstRun)
            m_firstRun();
    }

    LoadDwords(false);
    if (!m_settingsKey.GetStringValue(kExclusiveApp, m_block.exclusiveApp, SETTINGS_EXCLUSIVE_APP_CHARS))
        m_machineKey.GetStringValue(kExclusiveApp, m_block.exclusiveApp, SETTINGS_EXCLUSIVE_APP_CHARS);
    // "Selected" of older versions is obsolete.
    m_settingsKey.DeleteValue(L"Selected", kSubKeyRc);
    LoadDwords(true);
    m_settingsKey.GetStringValue(kMidiDevice, m_block.midiDevice, SETTINGS_MIDI_DEVICE_CHARS, kSubKeyRc);
    m_settingsKey.GetStringValue(kLircHost, m_block.lircHost, SETTINGS_LIRC_HOST_CHARS, kSubKeyRc);

    SettingsSave();
    return 1;
}

BOOL CSettings::SettingsSave() {
    CQVTraceScope scope(QVL_IO, QVC_DEVICE, L"CRemoteApp::SettingsSave");
    m_settingsKey.SetDword(SETTINGS_LAYOUT_VERSION, nullptr, L"RC Layout Version");
    SaveDwords(false);
    m_settingsKey.SetStringValue(kExclusiveApp, m_block.exclusiveApp);
    SaveDwords(true);
    m_settingsKey.SetStringValue(kMidiDevice, m_block.midiDevice, kSubKeyRc);
    m_settingsKey.SetStringValue(kLircHost, m_block.lircHost, kSubKeyRc);
    UpdateAutostart(m_block.autostart != 0);
    m_settingsNeedLoad = FALSE;
    if (m_onSaved)
        m_onSaved();
    return 1;
}

std::wstring CSettings::GetRunCommand() const {
    std::wstring path = m_modulePath.empty() ? GetProgramPath() : m_modulePath;
    // Unquoted, a path with blanks would be split at the first one.
    if (path.find(L' ') != std::wstring::npos)
        return L"\"" + path + L"\"";
    return path;
}

bool CSettings::UpdateAutostart(bool enable) {
    CQVTraceScope scope(QVL_IO, QVC_DEVICE, L"CRemoteApp::UpdateAutostart", enable ? L"1" : L"0");
    // Entries older versions left behind; the machine's need rights a user may lack.
    RemoveValue(HKEY_LOCAL_MACHINE, kOldRunValue);
    RemoveValue(HKEY_LOCAL_MACHINE, SETTINGS_RUN_VALUE);
    RemoveValue(HKEY_CURRENT_USER, kOldRunValue);
    if (!enable)
        return RemoveValue(HKEY_CURRENT_USER, SETTINGS_RUN_VALUE);
    CQVRegistry run(SETTINGS_RUN_KEY_PATH, HKEY_CURRENT_USER);
    if (run.SetStringValue(SETTINGS_RUN_VALUE, GetRunCommand().c_str()))
        return true;
    TracePrint(QVL_ERR, QVC_DEVICE, L"%s() FAILED to write the Run entry\n", L"CRemoteApp::UpdateAutostart");
    return false;
}

DWORD CSettings::GetLanguage(DWORD defaultLanguage) const {
    DWORD language = defaultLanguage;
    m_settingsKey.GetDword(L" Language", &language);
    return language;
}

BOOL CSettings::SetLanguage(DWORD language) {
    return m_settingsKey.SetDword(language, nullptr, L" Language");
}

std::wstring CSettings::GetEditorRcName() const {
    wchar_t name[256] = {};
    m_settingsKey.GetStringValue(L"RC Name (Editor)", name, 256);
    return name;
}

BOOL CSettings::SetEditorRcName(const wchar_t* name) {
    return m_settingsKey.SetStringValue(L"RC Name (Editor)", name ? name : L"");
}

DWORD CSettings::GetEditorRcType() const {
    DWORD rcType = SETTINGS_DEFAULT_RC_TYPE;
    m_settingsKey.GetDword(L"RC Type (Editor)", &rcType);
    return rcType;
}

BOOL CSettings::SetEditorRcType(DWORD rcType) {
    return m_settingsKey.SetDword(rcType, nullptr, L"RC Type (Editor)");
}

std::wstring GetUserDataFolder() {
    wchar_t appData[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData)))
        return std::wstring();
    std::wstring folder = appData;
    for (const wchar_t* name : {L"\\Vemtra", L"\\Remote"}) {
        folder += name;
        if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
            TracePrint(QVL_ERR, QVC_DEVICE, L"%s() FAILED to create %s\n", L"GetUserDataFolder", folder.c_str());
            return std::wstring();
        }
    }
    return folder;
}
