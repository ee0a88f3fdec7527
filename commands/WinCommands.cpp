#include "commands/WinCommands.h"

#include "commands/KeyboardInput.h"
#include "commands/QVFindWindow.h"
#include "commands/VirtualKeyNames.h"
#include "commands/WinCommandRules.h"
#include "support/QVDebug.h"
#include "support/QVSystemInfo.h"

#include <commctrl.h>
#include <shellapi.h>

#include <atomic>
#include <string>
#include <vector>

const wchar_t* const WINCMD_SHUTDOWN_FAILED = L"ERROR: Shutdown failed.\nUse Ctrl+Alt+Del to restart.";

namespace {

CSystemPowerControl g_systemPower;
CSystemVolume g_systemVolume;
std::atomic<IPowerControl*> g_power{&g_systemPower};
std::atomic<IVolumeSystem*> g_volume{&g_systemVolume};

std::wstring LowerClassName(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    CharLowerW(name);
    return name;
}

struct tagCHILD_SEARCH {
    int id;
    HWND found;
};

BOOL CALLBACK FindChildProc(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<tagCHILD_SEARCH*>(param);
    if (GetDlgCtrlID(hwnd) == search->id) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// The first descendant with the id (EnumChildWindows visits every level).
HWND FindDescendant(HWND window, int id) {
    tagCHILD_SEARCH search = {id, nullptr};
    EnumChildWindows(window, FindChildProc, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

struct tagPOPUP_SEARCH {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindPopupProc(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<tagPOPUP_SEARCH*>(param);
    // The parent first: it rejects nearly every window with one question.
    // For a top-level window the style alone says visible and enabled.
    if (hwnd == search->owner || GetParent(hwnd) != search->owner)
        return TRUE;
    const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    if (!(style & WS_POPUP) || !(style & WS_VISIBLE) || (style & WS_DISABLED))
        return TRUE;
    search->found = hwnd;
    return FALSE;
}

// An enabled pop-up of the target (its owner is the target), first in z-order.
// The walk covers every top-level window, for a pop-up may be made by another
// thread than its owner's, and goes on past the owner: without a window
// manager to keep them above it, an owned window may lie below its owner.
HWND FindEnabledPopup(HWND target) {
    tagPOPUP_SEARCH search = {target, nullptr};
    EnumWindows(FindPopupProc, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Where typed input of a command goes: the target window, or the enabled
// pop-up it shows (a dialog of the application).
HWND GetKeyTarget(const tagWINCMD& command, const tagPRGINFO* set, HWND setWindow) {
    HWND target = CWinCommands::GetTargetWindow(command, set, setWindow);
    if (!target)
        return nullptr;
    HWND popup = FindEnabledPopup(target);
    return popup ? popup : target;
}

void PlaceNotTopmost(HWND window) {
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

// Whether input sent now reaches the window: it is in front and its thread
// has taken the activation (focus is set there, not still elsewhere).
bool ReadyForInput(HWND window) {
    HWND top = GetAncestor(window, GA_ROOT);
    if (GetForegroundWindow() != top)
        return false;
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info))
        return true;
    return info.hwndActive == top && info.hwndFocus && (info.hwndFocus == top || IsChild(top, info.hwndFocus));
}

// Brings the window forward and waits briefly until it takes input, so that
// synthesised input reaches it. A busy application gets half a second.
void ActivateAndWait(HWND window) {
    SetForegroundWindow(window);
    SetActiveWindow(window);
    for (int i = 0; i < 50 && !ReadyForInput(window); ++i)
        Sleep(10);
}

// Focus to a control of another thread: focus is per input queue.
void FocusControl(HWND control) {
    const DWORD self = GetCurrentThreadId();
    const DWORD owner = GetWindowThreadProcessId(control, nullptr);
    const bool attach = owner != self && AttachThreadInput(self, owner, TRUE);
    SetFocus(control);
    if (attach)
        AttachThreadInput(self, owner, FALSE);
}

void KeyInput(WORD vk, bool up) {
    SendVirtualKey(vk, up);
}

void KeyPress(WORD vk) {
    KeyInput(vk, false);
    KeyInput(vk, true);
}

bool CapsLockOn() {
    return (GetKeyState(VK_CAPITAL) & 1) != 0;
}

void MouseInput(DWORD flags, LONG dx = 0, LONG dy = 0) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = dx;
    input.mi.dy = dy;
    input.mi.dwFlags = flags;
    SendInputs(&input, 1);
}

BOOL ExecuteSys(const tagWINCMD& command) {
    switch (command.nSubType) {
    case WINCMD_SYS_POWER:
        CWinCommands::PowerCommand(command.nValue, TRUE);
        return TRUE;
    case WINCMD_SYS_VOLUME:
        CWinCommands::ChangeVolume(WINCMD_VOLUME_CHANGE, command.nValue);
        return TRUE;
    case WINCMD_SYS_MUTE:
        if (command.nValue == 0) {
            // The toggle answers FALSE so that a held key does not flap the state.
            CWinCommands::ChangeVolume(WINCMD_VOLUME_TOGGLE, 0);
            return FALSE;
        }
        if (command.nValue == 1 || command.nValue == 2) {
            CWinCommands::ChangeVolume(command.nValue == 1 ? WINCMD_VOLUME_MUTE : WINCMD_VOLUME_UNMUTE, 0);
            return TRUE;
        }
        return FALSE;
    case WINCMD_SYS_MOUSE_CLICK:
        CWinCommands::MouseClick(command.nValue);
        return TRUE;
    case WINCMD_SYS_MOUSE_MOVE: {
        int dx = 0, dy = 0;
        if (!GetMouseDirection(command.nValue, &dx, &dy))
            return FALSE;
        CWinCommands::MouseStep(dx, dy);
        return TRUE;
    }
    case WINCMD_SYS_CURSOR:
        if (command.nValue == 0) {
            SetCursor(nullptr);
        } else if (command.nValue == 1) {
            SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        } else if (command.nValue == 2) {
            SetCursor(GetCursor() ? nullptr : LoadCursorW(nullptr, IDC_ARROW));
        } else {
            return FALSE;
        }
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL ExecuteCtl(const tagWINCMD& command, HWND target) {
    if (!target)
        return FALSE;
    switch (command.nSubType) {
    case WINCMD_CTL_MENU:
        PostMessageW(target, WM_COMMAND, static_cast<WPARAM>(command.nValue), 0);
        return TRUE;
    case WINCMD_CTL_BUTTON:
        CWinCommands::ClickButton(target, command.nValue);
        return TRUE;
    case WINCMD_CTL_COMBO:
        CWinCommands::SelectComboItem(target, command.nValue, command.nParam);
        return TRUE;
    case WINCMD_CTL_SLIDER:
        CWinCommands::MoveSlider(target, command.nValue, command.nParam);
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL ChangeEndpointVolume(IVolumeEndpoint& endpoint, int operation, int amount) {
    HRESULT hr = E_INVALIDARG;
    switch (operation) {
    case WINCMD_VOLUME_CHANGE: {
        float level = 0.0f;
        hr = endpoint.GetLevel(&level);
        if (SUCCEEDED(hr))
            hr = endpoint.SetLevel(GetChangedVolumeLevel(level, amount));
        break;
    }
    case WINCMD_VOLUME_MUTE:
        hr = endpoint.SetMute(TRUE);
        break;
    case WINCMD_VOLUME_UNMUTE:
        hr = endpoint.SetMute(FALSE);
        break;
    case WINCMD_VOLUME_TOGGLE: {
        BOOL mute = FALSE;
        hr = endpoint.GetMute(&mute);
        if (SUCCEEDED(hr))
            hr = endpoint.SetMute(!mute);
        break;
    }
    default:
        break;
    }
    if (FAILED(hr))
        TracePrint(QVL_ERR, QVC_COMMAND, L"%ls() FAILED with hr = 0x%08X\n", L"CWinCommands::ChangeVolume",
                   static_cast<unsigned>(hr));
    return SUCCEEDED(hr);
}

// Reads a control per channel, or as one uniform channel when that fails.
BOOL ReadMixerControl(IVolumeMixer& mixer, VolumeMixerControl control, std::vector<DWORD>* values, DWORD* minimum,
                      DWORD* maximum) {
    if (mixer.GetControl(control, mixer.GetChannelCount(), values, minimum, maximum))
        return TRUE;
    return mixer.GetControl(control, 1, values, minimum, maximum);
}

BOOL ChangeMixerVolume(IVolumeMixer& mixer, int operation, int amount) {
    std::vector<DWORD> values;
    DWORD minimum = 0, maximum = 0;
    if (operation == WINCMD_VOLUME_CHANGE) {
        if (!ReadMixerControl(mixer, VolumeMixerControl::Volume, &values, &minimum, &maximum))
            return FALSE;
        for (DWORD& value : values)
            value = GetChangedMixerValue(value, minimum, maximum, amount);
        return mixer.SetControl(VolumeMixerControl::Volume, values);
    }
    if (operation < WINCMD_VOLUME_MUTE || operation > WINCMD_VOLUME_TOGGLE)
        return FALSE;
    if (!ReadMixerControl(mixer, VolumeMixerControl::Mute, &values, &minimum, &maximum) || values.empty())
        return FALSE;
    const DWORD mute = operation == WINCMD_VOLUME_TOGGLE ? (values[0] ? 0 : 1) : (operation == WINCMD_VOLUME_MUTE);
    for (DWORD& value : values)
        value = mute;
    return mixer.SetControl(VolumeMixerControl::Mute, values);
}

// The window of the command's names only (no foreground fallback).
HWND FindCommandWindow(const tagWINCMD& command, const tagPRGINFO* set, HWND setWindow) {
    if (setWindow && IsWindow(setWindow) && AimsAtSetWindow(command, set))
        return setWindow;
    const tagCOMMAND_TARGET names = GetCommandTarget(command, set);
    if (!names.pszCaption && !names.pszExecutable)
        return nullptr;
    return CQVFindWindow::FindWindow(names.pszCaption, names.pszExecutable, FALSE);
}

}  // namespace

IPowerControl* CWinCommands::SetPowerControl(IPowerControl* power) {
    return g_power.exchange(power ? power : &g_systemPower);
}

IVolumeSystem* CWinCommands::SetVolumeSystem(IVolumeSystem* volume) {
    return g_volume.exchange(volume ? volume : &g_systemVolume);
}

HWND CWinCommands::GetTargetWindow(const tagWINCMD& command, const tagPRGINFO* set, HWND setWindow) {
    HWND target = FindCommandWindow(command, set, setWindow);
    return target ? target : GetForegroundWindow();
}

BOOL CWinCommands::Execute(const tagWINCMD& command, const tagPRGINFO* set, HWND setWindow) {
    CQVTraceScope scope(QVL_IO, QVC_COMMAND, L"CWinCommands::Execute");
    switch (command.nType) {
    case CMD_OSD:
        return TRUE;
    case CMD_SYS:
        return ExecuteSys(command);
    case CMD_KEY: {
        HWND target = GetKeyTarget(command, set, setWindow);
        if (!target)
            return FALSE;
        const int mods = command.nValue;
        SendKeystroke(target, command.nSubType & 0xFFFF, (mods & CMD_MOD_ALT) != 0, (mods & CMD_MOD_CTRL) != 0,
                      (mods & CMD_MOD_SHIFT) != 0);
        return TRUE;
    }
    case CMD_WIN: {
        // Toggle open/close of a set's application: when its window is not
        // there, start it rather than close whatever window is in front.
        const bool startable = set && set->szExecutable[0] && command.nSubType == WINCMD_WIN_TOGGLE_OPEN;
        HWND target =
            startable ? FindCommandWindow(command, set, setWindow) : GetTargetWindow(command, set, setWindow);
        if (!target) {
            if (startable)
                StartOrActivateApp(*set);
            return FALSE;
        }
        const int code = GetWindowSysCommand(command.nSubType, IsZoomed(target) != FALSE, IsIconic(target) != FALSE);
        if (code)
            SendSysCommand(target, code);
        return TRUE;
    }
    case CMD_CTL:
        return ExecuteCtl(command, GetTargetWindow(command, set, setWindow));
    default:
        return FALSE;
    }
}

BOOL CWinCommands::SendSysCommand(HWND window, int code) {
    if (!window || !IsWindow(window))
        return FALSE;
    if (code == WINCMD_SC_MINIMIZE && IsIconic(window))
        code = WINCMD_SC_RESTORE;
    if (code == WINCMD_SC_MAXIMIZE) {
        if (IsZoomed(window)) {
            code = WINCMD_SC_RESTORE;
        } else {
            PostMessageW(window, WM_SYSCOMMAND, WINCMD_SC_MAXIMIZE, 0);
            const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS;
            SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, flags);
            SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, flags);
            // Out of the way of the maximised window's content.
            SetCursorPos(GetSystemMetrics(SM_CXMAXIMIZED), GetSystemMetrics(SM_CYMAXIMIZED));
            SetCursor(nullptr);
            return TRUE;
        }
    }
    const LPARAM lParam = code == WINCMD_SC_SCREENSAVE ? WINCMD_SC_SCREENSAVE : 0;
    return PostMessageW(window, WM_SYSCOMMAND, static_cast<WPARAM>(code), lParam);
}

BOOL CWinCommands::SendKeystroke(HWND window, int key, BOOL alt, BOOL ctrl, BOOL shift) {
    if (!window || !IsWindow(window))
        return FALSE;
    ActivateAndWait(window);

    // Which virtual key types the character, and which modifiers it needs.
    WORD vk = 0;
    BOOL needShift = FALSE, needCtrl = FALSE, needAlt = FALSE;
    const bool upperLetter = key >= 'A' && key <= 'Z';
    // Only a one-byte value can be a virtual key: a wider character whose low
    // byte happens to be a table code (U+4E2D and Insert) must be typed.
    if (key <= 0xFF && IsVirtualKeyInTable(key)) {
        vk = static_cast<WORD>(key & 0xFF);
    } else {
        const SHORT scan = VkKeyScanW(static_cast<wchar_t>(key));
        if (scan == -1) {
            // The keyboard layout cannot produce this character.
            TracePrint(QVL_WRN, QVC_COMMAND, L"CWinCommands::SendKeystroke() - no key for 0x%04X\n", key);
            return FALSE;
        }
        vk = static_cast<WORD>(scan & 0xFF);
        // Upper-case letters come from Caps Lock below; other characters
        // need the modifiers the layout puts them on ('?' is Shift+/).
        if (!upperLetter) {
            needShift = (scan & 0x100) != 0;
            needCtrl = (scan & 0x200) != 0;
            needAlt = (scan & 0x400) != 0;
        }
    }
    const BOOL useAlt = alt || needAlt;
    const BOOL useCtrl = ctrl || needCtrl;
    const BOOL useShift = shift || needShift;

    const bool capsBefore = CapsLockOn();
    const bool capsSwitched = upperLetter && !capsBefore;
    if (capsSwitched)
        KeyPress(VK_CAPITAL);
    if (useAlt)
        KeyInput(VK_MENU, false);
    if (useCtrl)
        KeyInput(VK_CONTROL, false);
    if (useShift)
        KeyInput(VK_SHIFT, false);
    KeyPress(vk);
    if (useShift)
        KeyInput(VK_SHIFT, true);
    if (useCtrl)
        KeyInput(VK_CONTROL, true);
    if (useAlt)
        KeyInput(VK_MENU, true);
    // Switched on here, it differs now. The read below is this thread's own
    // key state, which need not have followed keys sent to another thread's
    // window: trusting it alone could leave Caps Lock on.
    if (capsSwitched || CapsLockOn() != capsBefore)
        KeyPress(VK_CAPITAL);
    return TRUE;
}

BOOL CWinCommands::TypeCharacter(HWND window, wchar_t character, int modifiers) {
    if (!window || !IsWindow(window))
        return FALSE;
    ActivateAndWait(window);
    return TypeUnicodeCharacter(character, modifiers) ? TRUE : FALSE;
}

BOOL CWinCommands::TypeText(const tagWINCMD& command, const tagPRGINFO* set) {
    if (command.nType != CMD_KEY)
        return FALSE;
    HWND target = GetKeyTarget(command, set, nullptr);
    if (!target)
        return FALSE;
    return TypeCharacter(target, static_cast<wchar_t>(command.nSubType & 0xFFFF), command.nValue);
}

BOOL CWinCommands::ClickButton(HWND window, int id) {
    if (!window || !IsWindow(window))
        return FALSE;
    HWND control = FindDescendant(window, id);
    if (!control)
        control = GetDlgItem(window, id);
    if (!control || LowerClassName(control) != L"button")
        return FALSE;
    PlaceNotTopmost(window);
    ActivateAndWait(window);
    FocusControl(control);
    Sleep(10);
    return PostMessageW(control, BM_CLICK, 0, 0);
}

BOOL CWinCommands::SelectComboItem(HWND window, int id, int index) {
    if (!window || !IsWindow(window))
        return FALSE;
    HWND control = FindDescendant(window, id);
    if (!control || LowerClassName(control) != L"combobox")
        return FALSE;
    PlaceNotTopmost(window);
    ActivateAndWait(window);
    const LRESULT count = SendMessageW(control, CB_GETCOUNT, 0, 0);
    if (index >= count)
        return FALSE;
    SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    HWND parent = GetParent(control);
    if (parent) {
        const LPARAM lParam = reinterpret_cast<LPARAM>(control);
        PostMessageW(parent, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), lParam);
        PostMessageW(parent, WM_COMMAND, MAKEWPARAM(id, CBN_SELENDOK), lParam);
    }
    return TRUE;
}

BOOL CWinCommands::MoveSlider(HWND window, int id, int percent) {
    if (!window || !IsWindow(window))
        return FALSE;
    HWND control = FindDescendant(window, id);
    if (!control)
        return FALSE;
    ActivateAndWait(window);
    const std::wstring cls = LowerClassName(control);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    int position = 0;
    bool vertical = false;
    if (cls == L"msctls_trackbar32") {
        const int minimum = static_cast<int>(SendMessageW(control, TBM_GETRANGEMIN, 0, 0));
        const int maximum = static_cast<int>(SendMessageW(control, TBM_GETRANGEMAX, 0, 0));
        const int current = static_cast<int>(SendMessageW(control, TBM_GETPOS, 0, 0));
        position = GetSliderPosition(current, minimum, maximum, percent);
        SendMessageW(control, TBM_SETPOS, TRUE, position);
        vertical = (style & TBS_VERT) != 0;
    } else if (cls == L"scrollbar") {
        SCROLLINFO info = {};
        info.cbSize = sizeof(info);
        info.fMask = SIF_RANGE | SIF_POS;
        if (!SendMessageW(control, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&info)))
            return FALSE;
        position = GetSliderPosition(info.nPos, info.nMin, info.nMax, percent);
        SendMessageW(control, SBM_SETPOS, static_cast<WPARAM>(position), TRUE);
        vertical = (style & SBS_VERT) != 0;
    } else {
        return FALSE;
    }
    HWND parent = GetParent(control);
    if (parent) {
        const UINT message = vertical ? WM_VSCROLL : WM_HSCROLL;
        const LPARAM lParam = reinterpret_cast<LPARAM>(control);
        PostMessageW(parent, message, MAKEWPARAM(SB_THUMBTRACK, position), lParam);
        PostMessageW(parent, message, MAKEWPARAM(SB_ENDSCROLL, 0), lParam);
    }
    return TRUE;
}

BOOL CWinCommands::StartOrActivateApp(const tagPRGINFO& set, HWND notThis) {
    CQVTraceScope scope(QVL_IO, QVC_COMMAND, L"CWinCommands::StartOrActivateApp", set.szName);
    const wchar_t* caption = set.szWindowCaption[0] ? set.szWindowCaption : nullptr;
    const wchar_t* executable = set.szExecutable[0] ? set.szExecutable : nullptr;
    HWND window = (caption || executable) ? CQVFindWindow::FindWindow(caption, executable, FALSE) : nullptr;
    if (window && window == notThis)
        window = nullptr;
    if (window) {
        const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
        const bool topmost = (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, flags);
        if (!topmost)
            SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, flags);
        wchar_t text[260] = {};
        GetWindowTextW(window, text, 260);
        if (lstrcmpW(text, L"Windows Media Center") == 0)
            ShowWindow(window, SW_SHOWMAXIMIZED);
        return TRUE;
    }
    const std::wstring folder = GetAppFolder(set.szAppPath);
    const wchar_t* parameters = set.szCommandLine[0] ? set.szCommandLine : nullptr;
    HINSTANCE result;
    if (folder.size() > 1)
        result = ShellExecuteW(nullptr, L"open", set.szAppPath, parameters, folder.c_str(), SW_SHOWNORMAL);
    else
        result = ShellExecuteW(nullptr, L"open", set.szExecutable, parameters, nullptr, SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(result) <= 32)
        TracePrint(QVL_ERR, QVC_COMMAND, L"%ls() FAILED with error %d\n", L"ShellExecuteW",
                   static_cast<int>(reinterpret_cast<INT_PTR>(result)));
    return TRUE;
}

BOOL CWinCommands::PowerCommand(int value, BOOL warn) {
    CQVTraceScope scope(QVL_IO, QVC_COMMAND, L"CWinCommands::PowerCommand");
    IPowerControl& power = *g_power.load();
    if (value == WINCMD_POWER_SCREENSAVER) {
        power.StartScreenSaver();
        return TRUE;
    }
    // Unknown values must not end in a warning for nothing.
    if (value < WINCMD_POWER_STANDBY || value > WINCMD_POWER_OFF)
        return FALSE;
    if (warn && power.RunShutdownWarning() == IDCANCEL)
        return FALSE;
    if (CQVSystemInfo::IsWindowsNT() && !power.EnableShutdownPrivilege()) {
        power.ReportFailure(WINCMD_SHUTDOWN_FAILED);
        return FALSE;
    }
    BOOL done = FALSE;
    if (value == WINCMD_POWER_STANDBY)
        done = power.Suspend(FALSE);
    else if (value == WINCMD_POWER_HIBERNATE)
        done = power.Suspend(TRUE);
    else
        done = power.PowerOff();
    if (!done) {
        TracePrint(QVL_ERR, QVC_COMMAND, L"%ls() FAILED with error %lu\n", L"CWinCommands::PowerCommand",
                   GetLastError());
        power.ReportFailure(WINCMD_SHUTDOWN_FAILED);
    }
    return done;
}

BOOL CWinCommands::ChangeVolume(int operation, int amount) {
    CQVTraceScope scope(QVL_IO, QVC_COMMAND, L"CWinCommands::ChangeVolume");
    IVolumeSystem& volume = *g_volume.load();
    if (volume.UseEndpoint()) {
        std::unique_ptr<IVolumeEndpoint> endpoint = volume.OpenEndpoint();
        return endpoint && ChangeEndpointVolume(*endpoint, operation, amount);
    }
    std::unique_ptr<IVolumeMixer> mixer = volume.OpenMixer();
    return mixer && ChangeMixerVolume(*mixer, operation, amount);
}

BOOL CWinCommands::MouseClick(int value) {
    switch (value) {
    case 0:
        MouseInput(MOUSEEVENTF_LEFTDOWN);
        MouseInput(MOUSEEVENTF_LEFTUP);
        return TRUE;
    case 1:
        MouseInput(MOUSEEVENTF_MIDDLEDOWN);
        MouseInput(MOUSEEVENTF_MIDDLEUP);
        return TRUE;
    case 2:
        MouseInput(MOUSEEVENTF_RIGHTDOWN);
        MouseInput(MOUSEEVENTF_RIGHTUP);
        return TRUE;
    case 3:
        for (int i = 0; i < 2; ++i) {
            MouseInput(MOUSEEVENTF_LEFTDOWN);
            MouseInput(MOUSEEVENTF_LEFTUP);
        }
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CWinCommands::MouseStep(int dx, int dy) {
    MouseInput(MOUSEEVENTF_MOVE, dx, dy);
    return TRUE;
}
