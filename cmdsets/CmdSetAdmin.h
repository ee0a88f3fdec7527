#pragma once
// The command-set administrator: the preset file that ships with the program
// (read-only), the user file that holds what the user changed, the main-menu
// order, the upgrade of older layouts and the application list.
//
// Every reader looks in the user file first and falls back to the preset; the
// writer puts into the user file only what differs from the preset. Nothing
// here throws: operations return FALSE or leave the target empty.
#include <windows.h>

#include <string>
#include <vector>

#include "cmdsets/AppPaths.h"
#include "cmdsets/Keymap.h"
#include "cmdsets/PrgInfo.h"
#include "cmdsets/ProfileFile.h"
#include "receivers/RcKeys.h"

constexpr int CMDSET_LAYOUT_VERSION = 4;
constexpr int CMDSET_MENU_SLOTS = 10;
constexpr int CMDSET_LAST_KEY = KEYID_BLUE_ANGLE;

// The three files of the administrator.
struct CCmdSetPaths {
    std::wstring presetFile;      // <program>.ini beside the program
    std::wstring userFile;        // AppData\Vemtra\Remote\<program>.usr
    std::wstring legacyUserFile;  // <program>.usr beside the program (older installations)

    // The paths of the running program; creates the user folders when missing.
    // baseName: the files of another program of the same folder (a tool that
    // works on Kanzo's sets passes L"Kanzo"); null: this program's own.
    static CCmdSetPaths ForProgram(const wchar_t* baseName = nullptr);
};

// What the administrator found wrong with the files, for the program to tell
// the user (the operations themselves keep their return values).
struct tagCMDSETFILESTATUS {
    bool fPresetMissing = false;             // the preset file is not there; never created by us
    std::wstring szUnreadableUserFile;       // a user file that yielded no valid section
    std::wstring szUnreadableMovedTo;        // where it was moved; empty: left as it was, not written
    std::vector<std::wstring> upgradeBackups;  // copies kept before a layout upgrade changed a file
};

class CCmdSetAdmin {
public:
    // The program's own files and the installed applications of this machine.
    CCmdSetAdmin();
    // Given files and application sources (tests, tools).
    CCmdSetAdmin(const CCmdSetPaths& paths, const CAppPathSources& sources);
    virtual ~CCmdSetAdmin() = default;
    CCmdSetAdmin(const CCmdSetAdmin&) = delete;
    CCmdSetAdmin& operator=(const CCmdSetAdmin&) = delete;

    // Menu slot n (0 to 9): the slot's set header and keymap. FALSE for a free slot.
    virtual BOOL LoadCmdSet(int n, CKeymap& keymap, tagPRGINFO& info);
    // The defaults, then the preset's lines, then (unless fLoadFromPreset) the
    // user's lines, per key. Always TRUE.
    virtual BOOL LoadKeymap(const wchar_t* name, CKeymap& keymap, BOOL fLoadFromPreset);
    // Writes info's header and the key lines that differ from the preset into
    // the user file. FALSE without a record.
    virtual BOOL SaveKeymap(const CKeymap& keymap, const tagPRGINFO* info);

    BOOL GetPrgInfo(const wchar_t* name, tagPRGINFO& info, BOOL fPresetOnly);
    BOOL GetMenuEntry(int n, std::wstring& name);
    BOOL SetMenuEntry(int n, const wchar_t* name);
    // Copies the preset's main menu into a user file that has none.
    void InitMenuFromPreset();
    BOOL DeleteCmdSet(const wchar_t* name);
    BOOL IsPresetUnchanged(const wchar_t* name);
    // Brings both files to the current layout; once at start-up, before any
    // keymap is loaded. FALSE when a file to convert does not exist. A copy of
    // a file is kept beside it before a conversion changes it; a file whose
    // key lines are all of the current layout is never converted, whatever
    // its stamp says; a missing preset file is reported, never created.
    BOOL UpgradeLayout();

    const tagCMDSETFILESTATUS& GetFileStatus() const { return m_status; }

    // Rebuilds the App Paths table of this object.
    BOOL LoadAppPaths(AppPathTable& table);
    // Rebuilds the shared set map and application list when they are stale.
    BOOL LoadAppList();

    const std::wstring& GetPresetFile() const { return m_preset.GetPath(); }
    const std::wstring& GetUserFile() const { return m_user.GetPath(); }
    const std::wstring& GetLegacyUserFile() const { return m_legacyUserFile; }
    const AppPathTable& GetAppPaths() const { return m_appPaths; }
    // Opens the user file for appending (creating it): false when write-protected.
    bool CanWriteUserFile() const { return m_user.OpenForAppend(); }

    // Not a command set: "Settings", "Software", "Key names" (case-sensitive).
    static bool IsReservedSection(const wchar_t* name);

private:
    void CopyLegacyUserFile();
    void SetAsideUnreadableUserFile();
    bool UpgradeFile(const CProfileFile& file);
    int DeclaredLayout(const CProfileFile& file) const;
    bool HasOnlyCurrentKeyLines(const CProfileFile& file) const;
    // Copies (or moves) path to "<path>.<tag>[.n].bak", never overwriting a
    // copy kept earlier; the new path, or empty when that failed.
    static std::wstring KeepCopy(const std::wstring& path, const wchar_t* tag, bool move);
    bool RenumberKeys(const CProfileFile& file);
    bool ConvertLines(const CProfileFile& file);
    std::vector<std::wstring> SetSectionNames(const CProfileFile& file, DWORD initialChars) const;

    CProfileFile m_preset;
    CProfileFile m_user;
    std::wstring m_legacyUserFile;
    CAppPathSources m_sources;
    AppPathTable m_appPaths;
    tagCMDSETFILESTATUS m_status;
};
