#include "cmdsets/CmdSetAdmin.h"

#include <shlobj.h>

#include <cstring>

#include "cmdsets/KeyLine.h"
#include "cmdsets/KeyNames.h"
#include "cmdsets/KnownCmdSets.h"
#include "cmdsets/WinCmd.h"
#include "support/QVDebug.h"
#include "support/QVLastWriteFailure.h"

namespace {

constexpr DWORD SECTION_NAMES_CHARS = 4096;
constexpr DWORD MENU_SECTION_CHARS = 4096;
constexpr DWORD EXECUTABLE_CHARS = 260;
constexpr DWORD MENU_NAME_CHARS = 128;
constexpr wchar_t kSoftware[] = L"Software";

std::wstring ReplaceExtension(const std::wstring& path, const wchar_t* extension) {
    std::size_t slash = path.find_last_of(L"\\/");
    std::size_t dot = path.find_last_of(L'.');
    if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash))
        return path + extension;
    return path.substr(0, dot) + extension;
}

std::wstring FileNameOf(const std::wstring& path) {
    std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring KeyName3(int keyId) {
    wchar_t name[16];
    swprintf(name, 16, L"%3d", keyId);
    return name;
}

void CopyText(wchar_t (&dest)[PRGINFO_TEXT_LEN], const std::wstring& text) {
    CopyFixedText(dest, PRGINFO_TEXT_LEN, text.c_str());
}

// A folder of the user's data; a failure is recorded, since every later
// write into it fails silently.
void CreateDataFolder(const std::wstring& folder) {
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        CQVLastWriteFailure::Record(L"CreateDirectory", folder, GetLastError());
}

bool SameRecordBytes(const tagWINCMD& a, const tagWINCMD& b) {
    return std::memcmp(&a, &b, sizeof(tagWINCMD)) == 0;
}

}  // namespace

CCmdSetPaths CCmdSetPaths::ForProgram(const wchar_t* baseName) {
    CCmdSetPaths paths;
    std::wstring module(32768, L'\0');
    DWORD length = GetModuleFileNameW(nullptr, &module[0], static_cast<DWORD>(module.size()));
    module.resize(length);
    if (baseName) {
        std::size_t slash = module.find_last_of(L"\\/");
        module = (slash == std::wstring::npos ? std::wstring() : module.substr(0, slash + 1)) + baseName + L".exe";
    }
    paths.presetFile = ReplaceExtension(module, L".ini");
    paths.legacyUserFile = ReplaceExtension(module, L".usr");

    wchar_t appData[MAX_PATH] = {};
    std::wstring folder;
    if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData))) {
        folder = std::wstring(appData) + L"\\Vemtra";
        CreateDataFolder(folder);
        folder += L"\\Remote";
        CreateDataFolder(folder);
        folder += L"\\";
    }
    paths.userFile = folder + ReplaceExtension(FileNameOf(module), L".usr");
    return paths;
}

CCmdSetAdmin::CCmdSetAdmin() : CCmdSetAdmin(CCmdSetPaths::ForProgram(), CAppPathSources::System()) {}

CCmdSetAdmin::CCmdSetAdmin(const CCmdSetPaths& paths, const CAppPathSources& sources)
    : m_preset(paths.presetFile), m_user(paths.userFile), m_legacyUserFile(paths.legacyUserFile), m_sources(sources) {
    CopyLegacyUserFile();
    SetAsideUnreadableUserFile();
    if (!m_preset.Exists()) {
        m_status.fPresetMissing = true;
        TracePrint(QVL_ERR, QVC_COMMAND, L"CCmdSetAdmin - preset file %ls is missing\n", m_preset.GetPath().c_str());
    }
    LoadAppPaths(m_appPaths);
    InitMenuFromPreset();
    LoadAppList();
}

bool CCmdSetAdmin::IsReservedSection(const wchar_t* name) {
    return !name || wcscmp(name, L"Settings") == 0 || wcscmp(name, kSoftware) == 0 ||
           wcscmp(name, L"Key names") == 0;
}

void CCmdSetAdmin::CopyLegacyUserFile() {
    if (m_legacyUserFile.empty() || !IsExistingFile(m_legacyUserFile.c_str()) || m_user.Exists())
        return;
    if (!CopyFileW(m_legacyUserFile.c_str(), m_user.GetPath().c_str(), TRUE))
        return;
    DWORD attributes = GetFileAttributesW(m_user.GetPath().c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesW(m_user.GetPath().c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
}

BOOL CCmdSetAdmin::GetPrgInfo(const wchar_t* name, tagPRGINFO& info, BOOL fPresetOnly) {
    if (!name || wcscmp(name, kSoftware) == 0 || wcscmp(name, L"Key names") == 0)
        return FALSE;
    info = tagPRGINFO();
    CopyText(info.szName, name);

    const CProfileFile* file = &m_preset;
    if (!fPresetOnly && m_user.HasSection(name)) {
        file = &m_user;
        if (m_preset.HasSection(name))
            info.fModifiedPreset = 1;
    } else {
        info.fPreset = 1;
    }

    std::wstring executable = file->ReadString(name, L"Executable", EXECUTABLE_CHARS);
    if (executable.empty())
        executable = m_preset.ReadString(name, L"Executable", EXECUTABLE_CHARS);
    if (executable.empty())
        return FALSE;
    CopyText(info.szExecutable, executable);

    std::wstring appPath = file->ReadString(name, L"AppPath", PRGINFO_TEXT_LEN);
    if (appPath.empty()) {
        auto found = m_appPaths.find(ToLowerText(executable));
        if (found != m_appPaths.end())
            appPath = found->second;
    }
    CopyText(info.szAppPath, appPath);
    CopyText(info.szWindowCaption, file->ReadString(name, L"WindowCaption", PRGINFO_TEXT_LEN));
    std::wstring description = file->ReadString(name, L"Description", PRGINFO_TEXT_LEN);
    CopyText(info.szDescription, description.empty() ? executable : description);
    CopyText(info.szCommandLine, file->ReadString(name, L"CommandLine", PRGINFO_TEXT_LEN));
    info.fHideOsd = file->ReadInt(name, L"HideOsd", 0);
    info.fSmsInput = file->ReadInt(name, L"SmsInput", 0);
    info.fAlwaysActive = file->ReadInt(name, L"AlwaysActive", 0);
    return TRUE;
}

BOOL CCmdSetAdmin::LoadCmdSet(int n, CKeymap& keymap, tagPRGINFO& info) {
    if (n < 0 || n >= CMDSET_MENU_SLOTS)
        return FALSE;
    std::wstring name;
    if (!GetMenuEntry(n, name))
        return FALSE;
    if (!GetPrgInfo(name.c_str(), info, FALSE))
        return FALSE;
    return LoadKeymap(name.c_str(), keymap, FALSE);
}

BOOL CCmdSetAdmin::LoadKeymap(const wchar_t* name, CKeymap& keymap, BOOL fLoadFromPreset) {
    CQVTraceScope scope(QVL_IO, QVC_COMMAND, L"CCmdSetAdmin::LoadKeymap");
    if (!name)
        name = L"";
    TracePrint(QVL_DETAIL, QVC_COMMAND, L"    %s, fLoadFromPreset=%d\n", name, fLoadFromPreset);
    if (!fLoadFromPreset && !m_user.HasSection(name))
        fLoadFromPreset = TRUE;

    keymap.RemoveAll();
    keymap.LoadDefaults();

    CSectionEntries preset;
    CSectionEntries user;
    std::vector<wchar_t> text = m_preset.ReadSection(name, CSectionEntries::MAX_SECTION_CHARS);
    preset.Parse(text.data(), text.size());
    if (!fLoadFromPreset) {
        text = m_user.ReadSection(name, CSectionEntries::MAX_SECTION_CHARS);
        user.Parse(text.data(), text.size());
    }

    for (int keyId = 0; keyId <= CMDSET_LAST_KEY; ++keyId) {
        if (!IsValidKey(keyId))
            continue;
        std::wstring value;
        if (!(!fLoadFromPreset && user.Find(keyId, value)) && !preset.Find(keyId, value))
            continue;
        keymap.SetAt(keyId, ParseKeyLine(value));
    }
    return TRUE;
}

BOOL CCmdSetAdmin::SaveKeymap(const CKeymap& keymap, const tagPRGINFO* info) {
    if (!info)
        return FALSE;
    CQVTraceScope scope(QVL_IO, QVC_COMMAND, L"CCmdSetAdmin::SaveKeymap");
    const wchar_t* name = info->szName;
    m_user.OpenForAppend();
    m_user.WriteString(name, L"Description", info->szDescription);
    m_user.WriteString(name, L"Executable", info->szExecutable);
    m_user.WriteString(name, L"AppPath", info->szAppPath);
    m_user.WriteString(name, L"CommandLine", info->szCommandLine);
    m_user.WriteString(name, L"WindowCaption", info->szWindowCaption);
    m_user.WriteString(name, L"HideOsd", std::to_wstring(info->fHideOsd).c_str());
    m_user.WriteString(name, L"SmsInput", std::to_wstring(info->fSmsInput).c_str());

    CKeymap stored;
    LoadKeymap(name, stored, FALSE);
    CKeymap defaults;
    bool defaultsLoaded = false;

    for (int keyId = 0; keyId <= CMDSET_LAST_KEY; ++keyId) {
        if (!IsValidKey(keyId))
            continue;
        tagWINCMD cmd;
        bool bound = keymap.Lookup(keyId, cmd) != false;
        if (bound && (keyId == KEYID_POWER || keyId == KEYID_MENU))
            cmd.fRepeat = 0;
        tagWINCMD before;
        bool wasBound = stored.Lookup(keyId, before) != false;
        if (bound == wasBound && (!bound || SameRecordBytes(cmd, before)))
            continue;

        const std::wstring keyName = KeyName3(keyId);
        if (!bound) {
            m_user.DeleteKey(name, keyName.c_str());
            continue;
        }
        const std::wstring line = FormatKeyLine(keyId, cmd, GetKeyName(keyId, true));
        std::wstring presetLine = m_preset.ReadString(name, keyName.c_str(), 1024);
        if (presetLine.empty()) {
            if (!defaultsLoaded) {
                defaults.LoadDefaults();
                defaultsLoaded = true;
            }
            tagWINCMD builtIn;
            if (defaults.Lookup(keyId, builtIn) && IsEqualWinCmd(builtIn, cmd))
                presetLine = line;
        }
        if (RemoveBlanks(presetLine) == RemoveBlanks(line))
            m_user.DeleteKey(name, keyName.c_str());
        else
            m_user.WriteString(name, keyName.c_str(), line.c_str());
    }
    CKnownCmdSets::Instance().SetStale();
    return TRUE;
}

BOOL CCmdSetAdmin::GetMenuEntry(int n, std::wstring& name) {
    name.clear();
    if (n < 0 || n >= CMDSET_MENU_SLOTS)
        return FALSE;
    if (!m_user.OpenForAppend()) {
        // A write-protected user file: the menu is the list of installed applications.
        CKnownCmdSets::AppList apps = CKnownCmdSets::Instance().GetAppList();
        int index = 0;
        for (const tagPRGINFO& app : apps) {
            if (index++ == n) {
                name = app.szName;
                return TRUE;
            }
        }
        return FALSE;
    }
    std::wstring value = m_user.ReadString(kSoftware, std::to_wstring(n).c_str(), MENU_NAME_CHARS);
    if (value.empty() || value == L"---")
        return FALSE;
    name = value;
    return TRUE;
}

BOOL CCmdSetAdmin::SetMenuEntry(int n, const wchar_t* name) {
    if (n < 0 || n >= CMDSET_MENU_SLOTS || !name)
        return FALSE;
    const std::wstring key = std::to_wstring(n);
    if (m_user.ReadString(kSoftware, key.c_str(), MENU_NAME_CHARS) != name) {
        m_user.OpenForAppend();
        m_user.WriteString(kSoftware, key.c_str(), name);
        CKnownCmdSets::Instance().SetStale();
    }
    return TRUE;
}

void CCmdSetAdmin::InitMenuFromPreset() {
    std::vector<wchar_t> menu = m_user.ReadSection(kSoftware, MENU_SECTION_CHARS);
    if (menu[0] != L'\0')
        return;
    menu = m_preset.ReadSection(kSoftware, MENU_SECTION_CHARS);
    if (menu[0] == L'\0')
        return;
    m_user.OpenForAppend();
    m_user.WriteSection(kSoftware, menu.data());
    CKnownCmdSets::Instance().SetStale();
}

BOOL CCmdSetAdmin::DeleteCmdSet(const wchar_t* name) {
    // The reserved sections hold the layout version and the menu, not a set.
    if (IsReservedSection(name))
        return FALSE;
    m_user.DeleteSection(name);
    CKnownCmdSets::Instance().RemoveSet(name);
    CKnownCmdSets::Instance().SetStale();
    return TRUE;
}

BOOL CCmdSetAdmin::IsPresetUnchanged(const wchar_t* name) {
    tagPRGINFO preset;
    if (!GetPrgInfo(name, preset, TRUE))
        return FALSE;
    tagPRGINFO current;
    if (!GetPrgInfo(name, current, FALSE))
        return TRUE;
    preset.fPreset = preset.fModifiedPreset = 0;
    current.fPreset = current.fModifiedPreset = 0;
    if (std::memcmp(&preset, &current, sizeof(tagPRGINFO)) != 0)
        return FALSE;
    CKeymap presetKeys;
    CKeymap currentKeys;
    if (!LoadKeymap(name, presetKeys, TRUE))
        return FALSE;
    if (!LoadKeymap(name, currentKeys, FALSE))
        return TRUE;
    return presetKeys.IsEqual(currentKeys) ? TRUE : FALSE;
}

BOOL CCmdSetAdmin::LoadAppPaths(AppPathTable& table) {
    LoadAppPathsFrom(m_sources, table);
    return TRUE;
}

BOOL CCmdSetAdmin::LoadAppList() {
    CQVTraceScope scope(QVL_IO, QVC_COMMAND, L"CCmdSetAdmin::LoadAppList");
    CKnownCmdSets::Instance().RebuildIfStale([this](CKnownCmdSets::SetMap& sets, CKnownCmdSets::AppList& apps) {
        for (const CProfileFile* file : {&m_user, &m_preset}) {
            for (const std::wstring& name : file->ReadSectionNames(SECTION_NAMES_CHARS)) {
                if (IsReservedSection(name.c_str()) || sets.count(name))
                    continue;
                tagPRGINFO info;
                if (!GetPrgInfo(name.c_str(), info, FALSE))
                    continue;
                auto found = m_appPaths.find(ToLowerText(info.szExecutable));
                if (found != m_appPaths.end())
                    CopyText(info.szAppPath, found->second);
                sets[name] = info;
                if (IsExistingFile(info.szAppPath))
                    apps.push_back(info);
            }
        }
    });
    return TRUE;
}
