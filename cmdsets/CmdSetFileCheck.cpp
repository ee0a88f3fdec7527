// CCmdSetAdmin: the checks that keep a user's files from being lost or
// rewritten behind the user's back.
#include "cmdsets/CmdSetAdmin.h"

#include "cmdsets/CmdSetFileRules.h"
#include "cmdsets/KeyLine.h"
#include "support/QVDebug.h"
#include "support/ScopedWin.h"

namespace {

constexpr DWORD STAMP_CHARS = 32;
constexpr int MAX_BACKUPS = 100;
constexpr DWORD MAX_CHECKED_BYTES = 1u << 20;

// True when the file holds more than a byte-order mark and white space.
bool HasContent(const std::wstring& path) {
    CQVHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
        return false;
    std::vector<BYTE> bytes(64 * 1024);
    DWORD total = 0;
    DWORD read = 0;
    while (total < MAX_CHECKED_BYTES && ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read,
                                                 nullptr) &&
           read > 0) {
        for (DWORD i = 0; i < read; ++i) {
            const BYTE b = bytes[i];
            const bool mark = total + i < 3 && (b == 0xFF || b == 0xFE || b == 0xEF || b == 0xBB || b == 0xBF);
            if (!mark && b != 0 && b != ' ' && b != '\t' && b != '\r' && b != '\n')
                return true;
        }
        total += read;
    }
    return false;
}

}  // namespace

std::wstring CCmdSetAdmin::KeepCopy(const std::wstring& path, const wchar_t* tag, bool move) {
    for (int n = 0; n < MAX_BACKUPS; ++n) {
        std::wstring target = path + L"." + tag;
        if (n > 0)
            target += L"." + std::to_wstring(n);
        target += L".bak";
        const BOOL done = move ? MoveFileW(path.c_str(), target.c_str())
                               : CopyFileW(path.c_str(), target.c_str(), TRUE);
        if (done)
            return target;
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            break;
    }
    TracePrint(QVL_ERR, QVC_COMMAND, L"CCmdSetAdmin::KeepCopy() FAILED for %ls with error %u\n", path.c_str(),
               static_cast<unsigned>(GetLastError()));
    return std::wstring();
}

void CCmdSetAdmin::SetAsideUnreadableUserFile() {
    const std::wstring& path = m_user.GetPath();
    if (!m_user.Exists() || !HasContent(path))
        return;
    for (const std::wstring& section : m_user.ReadSectionNames(4096)) {
        std::vector<wchar_t> text = m_user.ReadSection(section.c_str(), CSectionEntries::MAX_SECTION_CHARS);
        if (HasKnownEntry(text.data(), text.size()))
            return;
    }
    // Nothing in it that this program wrote: a damaged file, or not ours.
    // Starting over in it would append to the damage; keep it as it is.
    m_status.szUnreadableUserFile = path;
    m_status.szUnreadableMovedTo = KeepCopy(path, L"unreadable", true);
    if (m_status.szUnreadableMovedTo.empty()) {
        m_user.SetWriteBlocked(true);
        TracePrint(QVL_ERR, QVC_COMMAND, L"CCmdSetAdmin - user file %ls cannot be read; left as it is, not written\n",
                   path.c_str());
    } else {
        TracePrint(QVL_ERR, QVC_COMMAND, L"CCmdSetAdmin - user file %ls cannot be read; moved to %ls\n", path.c_str(),
                   m_status.szUnreadableMovedTo.c_str());
    }
}

int CCmdSetAdmin::DeclaredLayout(const CProfileFile& file) const {
    int version = 0;
    if (!ParseLayoutStamp(file.ReadString(L"Settings", L"RC Layout Version", STAMP_CHARS), version)) {
        TracePrint(QVL_WRN, QVC_COMMAND, L"CCmdSetAdmin::UpgradeLayout() - %ls has no layout stamp\n",
                   file.GetPath().c_str());
        version = 0;
    }
    return version;
}

bool CCmdSetAdmin::HasOnlyCurrentKeyLines(const CProfileFile& file) const {
    tagKEYLINECOUNT count;
    for (const std::wstring& section : SetSectionNames(file, 4096)) {
        std::vector<wchar_t> text = file.ReadSection(section.c_str(), CSectionEntries::MAX_SECTION_CHARS);
        CountKeyLines(text.data(), text.size(), count);
    }
    return count.nCurrent > 0 && count.nOther == 0;
}
