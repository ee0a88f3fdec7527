// CCmdSetAdmin::UpgradeLayout: files of layouts 0 to 3 brought to layout 4.
#include "cmdsets/CmdSetAdmin.h"

#include "cmdsets/KeyLine.h"
#include "cmdsets/KeyNames.h"
#include "cmdsets/KnownCmdSets.h"
#include "support/QVDebug.h"

namespace {

constexpr DWORD UPGRADE_SECTION_NAMES_CHARS = 16384;
constexpr DWORD LINE_CHARS = 1024;
constexpr int RENUMBER_FIRST = 128;
constexpr int RENUMBER_LAST = 232;
constexpr int RENUMBER_PARK = 1000;  // old ids wait here so new ids never collide with old ones
constexpr int CONVERT_FIRST = KEYID_POWER;

std::wstring Decimal(int value) { return std::to_wstring(value); }

}  // namespace

std::vector<std::wstring> CCmdSetAdmin::SetSectionNames(const CProfileFile& file, DWORD initialChars) const {
    std::vector<std::wstring> sets;
    for (std::wstring& name : file.ReadSectionNames(initialChars)) {
        if (!IsReservedSection(name.c_str()))
            sets.push_back(std::move(name));
    }
    return sets;
}

BOOL CCmdSetAdmin::UpgradeLayout() {
    bool presetOk = UpgradeFile(m_preset);
    bool userOk = UpgradeFile(m_user);
    return presetOk && userOk ? TRUE : FALSE;
}

bool CCmdSetAdmin::UpgradeFile(const CProfileFile& file) {
    const bool preset = &file == &m_preset;
    if (preset && !file.Exists()) {
        // Stamping would create a preset that holds nothing; the program would
        // then run with an empty menu and no word why.
        m_status.fPresetMissing = true;
        TracePrint(QVL_ERR, QVC_COMMAND, L"CCmdSetAdmin::UpgradeLayout() - preset file %ls is missing\n",
                   file.GetPath().c_str());
        return false;
    }
    int version = DeclaredLayout(file);
    if (version >= CMDSET_LAYOUT_VERSION)
        return true;
    if (file.Exists() && HasOnlyCurrentKeyLines(file)) {
        // A cut or hand-edited stamp: renumbering these lines would move or drop keys.
        TracePrint(QVL_WRN, QVC_COMMAND, L"CCmdSetAdmin::UpgradeLayout() - %ls is in layout %d already\n",
                   file.GetPath().c_str(), CMDSET_LAYOUT_VERSION);
        version = CMDSET_LAYOUT_VERSION;
    }
    const wchar_t* path = file.GetPath().c_str();
    DWORD attributes = GetFileAttributesW(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesW(path, attributes & ~FILE_ATTRIBUTE_READONLY);

    bool ok = true;
    const bool converts = version >= 0 && version <= 3;
    std::wstring backup;
    if (converts && file.Exists()) {
        backup = KeepCopy(file.GetPath(), (L"layout" + Decimal(version)).c_str(), false);
        if (backup.empty()) {
            // Without a copy a failed conversion could not be undone: leave the file.
            if (attributes != INVALID_FILE_ATTRIBUTES)
                SetFileAttributesW(path, attributes);
            return false;
        }
        m_status.upgradeBackups.push_back(backup);
        TracePrint(QVL_INFO, QVC_COMMAND, L"CCmdSetAdmin::UpgradeLayout() - layout %d kept as %ls\n", version,
                   backup.c_str());
    }
    if (version >= 0 && version <= 2) {
        ok = RenumberKeys(file);
        ok = ConvertLines(file) && ok;
    } else if (version == 3) {
        ok = ConvertLines(file);
    }
    if (&file == &m_user)
        m_user.OpenForAppend();
    file.WriteString(L"Settings", L"RC Layout Version", Decimal(CMDSET_LAYOUT_VERSION).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesW(path, attributes);
    return ok;
}

bool CCmdSetAdmin::RenumberKeys(const CProfileFile& file) {
    if (!file.Exists())
        return false;
    for (const std::wstring& section : SetSectionNames(file, UPGRADE_SECTION_NAMES_CHARS)) {
        const wchar_t* name = section.c_str();
        for (int key = RENUMBER_FIRST; key <= RENUMBER_LAST; ++key) {
            std::wstring value = file.ReadString(name, Decimal(key).c_str(), LINE_CHARS);
            if (value.empty())
                continue;
            file.WriteString(name, Decimal(key + RENUMBER_PARK).c_str(), value.c_str());
            file.DeleteKey(name, Decimal(key).c_str());
        }
        for (int key = RENUMBER_FIRST; key <= RENUMBER_LAST; ++key) {
            const std::wstring parked = Decimal(key + RENUMBER_PARK);
            std::wstring value = file.ReadString(name, parked.c_str(), LINE_CHARS);
            if (value.empty())
                continue;
            int newKey = RenumberLegacyKey(key);
            if (newKey >= 0)
                file.WriteString(name, Decimal(newKey).c_str(), value.c_str());
            file.DeleteKey(name, parked.c_str());
        }
    }
    CKnownCmdSets::Instance().SetStale();
    return true;
}

bool CCmdSetAdmin::ConvertLines(const CProfileFile& file) {
    if (!file.Exists())
        return false;
    for (const std::wstring& section : SetSectionNames(file, UPGRADE_SECTION_NAMES_CHARS)) {
        const wchar_t* name = section.c_str();
        for (int key = CONVERT_FIRST; key <= CMDSET_LAST_KEY; ++key) {
            std::wstring value = file.ReadString(name, Decimal(key).c_str(), LINE_CHARS);
            if (value.empty())
                continue;
            tagWINCMD cmd = ParseLayout3KeyLine(value);
            cmd.fRepeat = 0;
            cmd.nRepeatDelay = 1000;
            cmd.nRepeatInterval = 200;
            file.WriteString(name, Decimal(key).c_str(), FormatKeyLine(key, cmd, GetKeyName(key, true)).c_str());
        }
    }
    CKnownCmdSets::Instance().SetStale();
    return true;
}
