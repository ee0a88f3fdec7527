#include "commands/CmdSetHandler.h"

#include <mmsystem.h>

#include <atomic>
#include <ctime>
#include <cwchar>

#include "cmdsets/AppPaths.h"
#include "cmdsets/CmdSetText.h"
#include "cmdsets/KnownCmdSets.h"
#include "commands/ProcessNameTable.h"
#include "commands/ProcessNames.h"
#include "commands/QVFindWindow.h"
#include "commands/WinCommands.h"
#include "osd/OsdDlg.h"
#include "receivers/RcKeys.h"
#include "support/QVDebug.h"

namespace {

constexpr wchar_t kStandardSet[] = L"Windows (Standard)";
constexpr unsigned IDS_MENU_TITLE = 4461;  // "Application"

std::atomic<int> g_rememberedSlot{0};

const wchar_t* CaptionOf(const tagPRGINFO& info) { return info.szWindowCaption; }
const wchar_t* ExecutableOf(const tagPRGINFO& info) { return info.szExecutable; }

tagPRGINFO FreshRecord() {
    tagPRGINFO info;
    CopyFixedText(info.szExecutable, PRGINFO_TEXT_LEN, L"---.---");
    return info;
}

// The step signs of mouse-move directions 0 to 7.
bool MouseDirection(int direction, int& dx, int& dy) {
    static const int steps[8][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}, {-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
    if (direction < 0 || direction > 7)
        return false;
    dx = steps[direction][0];
    dy = steps[direction][1];
    return true;
}

// Waits until a window asked to close has gone (destroyed or hidden) or the
// time is up, handling this thread's messages meanwhile so that a window of
// this thread can close too. True when it has gone.
bool WaitForWindowGone(HWND window, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (!IsWindow(window) || !IsWindowVisible(window))
            return true;
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return false;
        const DWORD slice = timeoutMs - elapsed < 10 ? timeoutMs - elapsed : 10;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, slice, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                // Not ours to take: the caller's loop must still see it.
                PostQuitMessage(static_cast<int>(msg.wParam));
                return false;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

}  // namespace

int GetMenuCode(int keyId) {
    if (keyId >= KEYID_PROG_0 && keyId <= KEYID_PROG_9)
        return keyId - KEYID_PROG_0;
    switch (keyId) {
    case KEYID_LEFT: case KEYID_PREVIOUS: return MENU_CODE_PREVIOUS;
    case KEYID_RIGHT: case KEYID_NEXT: return MENU_CODE_NEXT;
    case KEYID_UP: case KEYID_PAUSE: return MENU_CODE_UP;
    case KEYID_DOWN: case KEYID_STOP: return MENU_CODE_DOWN;
    case KEYID_OK: case KEYID_OK2: case KEYID_PLAY: return MENU_CODE_CHOOSE;
    case KEYID_BACK: case KEYID_BACK2: return MENU_CODE_CLOSE;
    default: return MENU_CODE_NONE;
    }
}

CCmdSetHandler::CCmdSetHandler() : CCmdSetHandler(CCmdSetPaths::ForProgram(), CAppPathSources::System()) {}

CCmdSetHandler::CCmdSetHandler(const CCmdSetPaths& paths, const CAppPathSources& sources)
    : CCmdSetAdmin(paths, sources), m_current(FreshRecord()) {
    m_keymap.LoadDefaults();
}

CCmdSetHandler::~CCmdSetHandler() {
    CQVLock lock(m_lock);
    m_keymap.RemoveAll();
    CKnownCmdSets::Instance().Clear();
    m_mouseMove.Stop();
}

int CCmdSetHandler::GetRememberedSlot() { return g_rememberedSlot; }

void CCmdSetHandler::SetRememberedSlot(int slot) {
    if (slot >= 0 && slot < CMDSET_MENU_SLOTS)
        g_rememberedSlot = slot;
}

HWND CCmdSetHandler::FindSetWindow(const tagPRGINFO& info) const {
    return CQVFindWindow::FindWindow(CaptionOf(info), ExecutableOf(info), FALSE);
}

BOOL CCmdSetHandler::HandleCommandForKey(int keyId, BYTE allowFallback) {
    CQVLock lock(m_lock);
    return HandleCommandForKey_Intern(keyId, allowFallback);
}

BOOL CCmdSetHandler::ExecuteCommand(const tagWINCMD& cmd, const tagPRGINFO* set) {
    CQVLock lock(m_lock);
    return ExecuteCommand_Intern(cmd, set);
}

BOOL CCmdSetHandler::TypeText(const tagWINCMD& cmd) {
    CQVLock lock(m_lock);
    m_mouseMove.Stop();
    CQVUnlock unlocked(m_lock);
    return CWinCommands::TypeText(cmd, nullptr);
}

BOOL CCmdSetHandler::HandleCommandForKey_Intern(int keyId, BYTE allowFallback) {
    wchar_t detail[16];
    swprintf(detail, 16, L"%d", keyId);
    CQVTraceScope scope(QVL_INFO, QVC_COMMAND, L"CCmdSetHandler::HandleCommandForKey_Intern", detail);

    tagWINCMD cmd;
    if (m_fMenuShown) {
        if (m_keymap.Lookup(keyId, cmd) && cmd.nType == CMD_OSD && cmd.nSubType == 0) {
            TracePrint(QVL_INFO, QVC_COMMAND, L"CCmdSetHandler::HandleCommand() - hide OSD\n");
            return ExecuteCommand_Intern(cmd, &m_current);
        }
        int code = GetMenuCode(keyId);
        if (code == MENU_CODE_NONE)
            return FALSE;
        TracePrint(QVL_INFO, QVC_COMMAND, L"CCmdSetHandler::HandleCommand() - show OSD\n");
        return NavigateMenu(code);
    }

    HWND target = nullptr;
    if (LastTargetServes(m_current))
        target = m_lastTarget;
    else
        target = FindSetWindow(m_current);
    // The window found for the set that is current when the command runs.
    HWND setWindow = target;

    if (!target) {
        bool slotFound = false;
        LoadAppList();
        for (int slot = 0; slot < CMDSET_MENU_SLOTS && !slotFound; ++slot) {
            std::wstring name;
            tagPRGINFO info;
            if (!GetMenuEntry(slot, name) || !CKnownCmdSets::Instance().LookupSet(name, info))
                continue;
            HWND window = FindSetWindow(info);
            if (!window)
                continue;
            tagPRGINFO loaded;
            if (LoadCmdSet(slot, m_keymap, loaded)) {
                m_current = loaded;
                setWindow = window;
            }
            SetRememberedSlot(slot);
            target = window;
            slotFound = true;
        }
        if (!allowFallback && !m_current.fAlwaysActive)
            return FALSE;
        if (!slotFound && keyId == KEYID_POWER) {
            std::wstring name;
            GetMenuEntry(GetRememberedSlot(), name);
            if (COsdDlg* display = m_display) {
                CQVUnlock unlocked(m_lock);
                display->ShowText(name.c_str());
            }
            ActivateMenuEntryLocked(GetRememberedSlot());
            return TRUE;
        }
        m_lastTarget = target;
        if (!target && wcscmp(m_current.szName, kStandardSet) != 0) {
            tagPRGINFO standard;
            if (GetPrgInfo(kStandardSet, standard, FALSE))
                m_current = standard;
            LoadKeymap(kStandardSet, m_keymap, FALSE);
        }
    } else {
        m_lastTarget = target;
    }

    if (!m_keymap.Lookup(keyId, cmd))
        return FALSE;
    m_keyWindow = setWindow;
    const BOOL done = ExecuteCommand_Intern(cmd, &m_current);
    m_keyWindow = nullptr;
    return done;
}

BOOL CCmdSetHandler::NavigateMenu(int code) {
    COsdDlg* display = m_display;
    if (!m_fMenuShown || !display)
        return FALSE;
    int selection = -1;
    {
        CQVUnlock unlocked(m_lock);
        selection = display->GetMenuSelection();
    }
    switch (code) {
    case MENU_CODE_PREVIOUS:
    case MENU_CODE_UP: {
        CQVUnlock unlocked(m_lock);
        display->SelectMenuItem(selection < 0 ? 9 : (selection + 9) % 10);
        return TRUE;
    }
    case MENU_CODE_NEXT:
    case MENU_CODE_DOWN: {
        CQVUnlock unlocked(m_lock);
        display->SelectMenuItem(selection < 0 ? 0 : (selection + 1) % 10);
        return TRUE;
    }
    case MENU_CODE_CLOSE:
        HideMenu();
        return TRUE;
    default:
        break;
    }
    int slot = code == MENU_CODE_CHOOSE ? selection : code;
    if (slot < 0 || slot >= CMDSET_MENU_SLOTS)
        return TRUE;
    if (slot != 0)
        SetRememberedSlot(slot);
    ActivateMenuEntryLocked(slot);
    HideMenu();
    return TRUE;
}

void CCmdSetHandler::HideMenu() {
    m_fMenuShown = FALSE;
    if (COsdDlg* display = m_display) {
        CQVUnlock unlocked(m_lock);
        display->ShowMenu(FALSE);
    }
}

BOOL CCmdSetHandler::ActivateMenuEntry(int slot) {
    CQVLock lock(m_lock);
    return ActivateMenuEntryLocked(slot);
}

BOOL CCmdSetHandler::ActivateMenuEntryLocked(int slot) {
    CKeymap keymap;
    tagPRGINFO next;
    if (!LoadCmdSet(slot, keymap, next))
        return FALSE;
    m_keymap.Copy(keymap);
    HWND old = FindSetWindow(m_current);
    HWND closing = nullptr;
    if (old && wcscmp(m_current.szWindowCaption, next.szWindowCaption) != 0) {
        CWinCommands::SendSysCommand(old, SC_CLOSE);
        if (!WaitForWindowGone(old, m_closeWaitMs))
            closing = old;
    }
    m_current = next;
    // A window still closing (a "save changes?" prompt) is not the new set's
    // window, even when the search by executable alone would find it.
    return CWinCommands::StartOrActivateApp(m_current, closing);
}

BOOL CCmdSetHandler::ExecuteCommand_Intern(const tagWINCMD& cmd, const tagPRGINFO* set) {
    if (cmd.nType == CMD_OSD)
        return DisplayCommand(cmd);
    int dx = 0;
    int dy = 0;
    if (cmd.nType == CMD_SYS && cmd.nSubType == 4 && MouseDirection(cmd.nValue, dx, dy)) {
        m_mouseMove.Start(dx, dy);
        return TRUE;
    }
    m_mouseMove.Stop();
    // The command runs on copies: the set may change while the lock is let go.
    tagPRGINFO current;
    HWND setWindow = nullptr;
    if (set == &m_current) {
        current = m_current;
        set = &current;
        setWindow = m_keyWindow;
    }
    CQVUnlock unlocked(m_lock);
    return CWinCommands::Execute(cmd, set, setWindow);
}

BOOL CCmdSetHandler::DisplayCommand(const tagWINCMD& cmd) {
    COsdDlg* display = m_display;
    if (!display)
        return FALSE;
    switch (cmd.nSubType) {
    case 0:
        return ToggleMenu();
    case 1: {
        HideMenu();
        const std::wstring name = m_current.szName;
        CQVUnlock unlocked(m_lock);
        display->ShowText(name.c_str());
        return TRUE;
    }
    case 2: {
        HideMenu();
        wchar_t text[128] = {};
        std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_s(&local, &now);
        wcsftime(text, 128, L"%c", &local);
        CQVUnlock unlocked(m_lock);
        display->ShowText(text);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

BOOL CCmdSetHandler::ToggleMenu() {
    if (m_fMenuShown) {
        HideMenu();
        return TRUE;
    }
    struct tagITEM {
        std::wstring text;
        std::wstring description;
    };
    tagITEM items[CMDSET_MENU_SLOTS];
    CCmdSetAdmin& admin = m_menuAdmin ? *m_menuAdmin : *this;
    int selection = -1;
    for (int slot = 0; slot < CMDSET_MENU_SLOTS; ++slot) {
        std::wstring name;
        admin.GetMenuEntry(slot, name);
        if (!name.empty() && name == m_current.szName)
            selection = slot;
        items[slot].text = name;
        tagPRGINFO info;
        if (!name.empty() && admin.GetPrgInfo(name.c_str(), info, FALSE)) {
            // The file's path may be replaced by the installed one.
            tagPRGINFO known;
            if (CKnownCmdSets::Instance().LookupSet(name, known) && known.szAppPath[0])
                CopyFixedText(info.szAppPath, PRGINFO_TEXT_LEN, known.szAppPath);
            if (!IsExistingFile(info.szAppPath))
                items[slot].text += L"*";
            items[slot].description = info.szDescription;
        }
    }
    m_fMenuShown = TRUE;
    COsdDlg* display = m_display;
    CQVUnlock unlocked(m_lock);
    display->SetMenuTitle(GetCmdSetString(IDS_MENU_TITLE, false).c_str(), L"");
    for (int slot = 0; slot < CMDSET_MENU_SLOTS; ++slot)
        display->SetMenuItem(slot, items[slot].text.c_str(), items[slot].description.c_str());
    display->SelectMenuItem(selection);
    display->ShowMenu(TRUE);
    return TRUE;
}

BOOL CCmdSetHandler::LoadCmdSetByName(const wchar_t* name) {
    CQVLock lock(m_lock);
    return LoadCmdSetByNameLocked(name);
}

BOOL CCmdSetHandler::LoadCmdSetByNameLocked(const wchar_t* name) {
    tagPRGINFO info;
    if (!GetPrgInfo(name, info, FALSE)) {
        // Without a header there is no set: say so rather than run its defaults as if it were one.
        m_current = tagPRGINFO();
        m_keymap.LoadDefaults();
        return FALSE;
    }
    if (!LoadKeymap(name, m_keymap, FALSE)) {
        m_current = tagPRGINFO();
        return FALSE;
    }
    m_current = info;
    return TRUE;
}

BOOL CCmdSetHandler::SetCurrentSet(const tagPRGINFO& info, const CKeymap& keymap) {
    CQVLock lock(m_lock);
    m_current = info;
    m_keymap.Copy(keymap);
    return TRUE;
}

BOOL CCmdSetHandler::ReloadCurrentSet() {
    CQVLock lock(m_lock);
    const std::wstring name = m_current.szName;
    return LoadCmdSetByNameLocked(name.c_str());
}

void CCmdSetHandler::GetCurrentPrgInfo(tagPRGINFO& info) const {
    CQVLock lock(m_lock);
    info = m_current;
}

BOOL CCmdSetHandler::LookupCommand(int keyId, tagWINCMD& cmd) const {
    CQVLock lock(m_lock);
    return m_keymap.Lookup(keyId, cmd);
}

void PlayCommandSound(BOOL found, BOOL silent) {
    if (silent)
        return;
    const DWORD flags = SND_ASYNC | SND_NODEFAULT | SND_NOSTOP;
    if (found) {
        wchar_t windows[MAX_PATH] = {};
        GetWindowsDirectoryW(windows, MAX_PATH);
        std::wstring path = std::wstring(windows) + L"\\Media\\Start.wav";
        PlaySoundW(path.c_str(), nullptr, flags | SND_FILENAME);
    } else {
        PlaySoundW(L"WAV_CMDERROR", GetModuleHandleW(nullptr), flags | SND_RESOURCE);
    }
}

BOOL IsAnnouncedCommand(const tagWINCMD* cmd) {
    if (!cmd || cmd->fNoOsd == 1 || cmd->nType == CMD_OSD)
        return FALSE;
    if (cmd->nType == CMD_SYS)
        return (cmd->nSubType >= 0 && cmd->nSubType <= 2) || cmd->nSubType > 5;
    return TRUE;
}

namespace {

// The caption part of IsSameAppWindow: one question to the window rejects a changed title.
bool HasSetCaption(HWND window, const tagPRGINFO& info) {
    if (!info.szWindowCaption[0])
        return true;
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return _wcsicmp(text, info.szWindowCaption) == 0;
}

std::wstring WindowExecutableName(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    const std::wstring path = GetProcessExecutablePath(processId);
    return path.empty() ? path : ExecutableFileName(path);
}

bool IsSetExecutable(const std::wstring& name, const tagPRGINFO& info) {
    return !name.empty() && _wcsicmp(name.c_str(), info.szExecutable) == 0;
}

}  // namespace

BOOL IsSameAppWindow(HWND window, const tagPRGINFO& info) {
    return HasSetCaption(window, info) && IsSetExecutable(WindowExecutableName(window), info);
}

bool CCmdSetHandler::LastTargetServes(const tagPRGINFO& info) {
    if (!m_lastTarget || !IsWindow(m_lastTarget))
        return false;
    if (!HasSetCaption(m_lastTarget, info))
        return false;
    // A window's process never changes: its program is asked for once.
    if (m_lastTargetNamed != m_lastTarget) {
        m_lastTargetExe = WindowExecutableName(m_lastTarget);
        m_lastTargetNamed = m_lastTarget;
    }
    return IsSetExecutable(m_lastTargetExe, info);
}

namespace {

BOOL CALLBACK FindTvCheckBox(HWND child, LPARAM found) {
    if (GetDlgCtrlID(child) != 2023)
        return TRUE;
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
}

}  // namespace

BOOL IsTvControlChecked() {
    HWND control = ::FindWindowW(nullptr, L"Tavora Control");
    if (!control)
        return FALSE;
    HWND box = nullptr;
    EnumChildWindows(control, FindTvCheckBox, reinterpret_cast<LPARAM>(&box));
    return box && SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

BOOL IsTvTeletextOpen() { return ::FindWindowW(nullptr, L"Tavora Teletext") != nullptr; }
