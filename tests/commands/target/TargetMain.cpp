// KanzoTarget.exe: the window the command tests act on. See TargetRecord.h.

#include "tests/commands/target/TargetClient.h"
#include "tests/commands/target/TargetRecord.h"

#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

tagTARGET_RECORD* g_record = nullptr;
HANDLE g_event = nullptr;
HANDLE g_lock = nullptr;  // shared by every target writing the same record
bool g_keepOpen = false;  // --keepopen: a close is recorded and refused
HWND g_main = nullptr;
HWND g_trackbar = nullptr;
HWND g_scrollbar = nullptr;
HWND g_combo = nullptr;
WNDPROC g_editProc = nullptr;

void Record(const wchar_t* format, ...) {
    if (!g_record)
        return;
    wchar_t line[256];
    va_list args;
    va_start(args, format);
    int n = _vsnwprintf(line, 254, format, args);
    va_end(args);
    if (n < 0)
        n = 254;
    line[n] = L'\n';
    line[n + 1] = 0;
    // Two targets may write one record (a test that starts a second program):
    // reading the length, copying and publishing it is one step.
    if (g_lock)
        WaitForSingleObject(g_lock, INFINITE);
    const LONG used = g_record->cchUsed;
    if (used + n + 1 < static_cast<LONG>(TARGET_RECORD_CHARS)) {
        std::wmemcpy(g_record->text + used, line, n + 1);
        InterlockedExchange(&g_record->cchUsed, used + n + 1);
    }
    if (g_lock)
        ReleaseMutex(g_lock);
    SetEvent(g_event);
}

void OpenRecord() {
    wchar_t name[200] = {};
    if (!GetEnvironmentVariableW(KANZO_TARGET_ENV, name, 200))
        return;
    HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, name);
    if (!mapping)
        return;
    g_record = static_cast<tagTARGET_RECORD*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(tagTARGET_RECORD)));
    g_record->dwProcessId = GetCurrentProcessId();
    const std::wstring eventName = std::wstring(name) + TARGET_EVENT_SUFFIX;
    g_event = OpenEventW(EVENT_MODIFY_STATE, FALSE, eventName.c_str());
    g_lock = CreateMutexW(nullptr, FALSE, (std::wstring(name) + TARGET_LOCK_SUFFIX).c_str());
}

std::wstring Modifiers() {
    std::wstring mods;
    if (GetKeyState(VK_MENU) < 0)
        mods += L'A';
    if (GetKeyState(VK_CONTROL) < 0)
        mods += L'C';
    if (GetKeyState(VK_SHIFT) < 0)
        mods += L'S';
    return mods.empty() ? L"-" : mods;
}

// With KANZO_TARGET_STAMP set, key lines end in " at=<ns since 1970>": the
// moment the window got the key, for benchmarks.
std::wstring Stamp() {
    static const bool stamping = GetEnvironmentVariableW(KANZO_TARGET_STAMP_ENV, nullptr, 0) != 0;
    if (!stamping)
        return std::wstring();
    return KANZO_TARGET_STAMP_FIELD + std::to_wstring(TargetClockNs());
}

LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    const int id = GetDlgCtrlID(hwnd);
    const wchar_t* kind = nullptr;
    switch (msg) {
    case WM_KEYDOWN: kind = L"KEYDOWN"; break;
    case WM_KEYUP: kind = L"KEYUP"; break;
    case WM_SYSKEYDOWN: kind = L"SYSKEYDOWN"; break;
    case WM_SYSKEYUP: kind = L"SYSKEYUP"; break;
    case WM_CHAR: Record(L"CHAR %u in=%d", static_cast<unsigned>(wp), id); break;
    default: break;
    }
    if (kind)
        Record(L"%ls %u %ls caps=%d in=%d%ls", kind, static_cast<unsigned>(wp), Modifiers().c_str(),
               GetKeyState(VK_CAPITAL) & 1, id, Stamp().c_str());
    return CallWindowProcW(g_editProc, hwnd, msg, wp, lp);
}

HWND MakeEdit(HWND parent, int id, int x, int y) {
    HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                                x, y, 300, 24, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr,
                                nullptr);
    WNDPROC old = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditProc)));
    if (!g_editProc)
        g_editProc = old;
    return edit;
}

void RecordScroll(const wchar_t* kind, WPARAM wp, LPARAM lp) {
    HWND control = reinterpret_cast<HWND>(lp);
    int position = 0;
    if (control == g_trackbar)
        position = static_cast<int>(SendMessageW(control, TBM_GETPOS, 0, 0));
    else if (control)
        position = GetScrollPos(control, SB_CTL);
    Record(L"%ls %d %u %d", kind, control ? GetDlgCtrlID(control) : 0, static_cast<unsigned>(LOWORD(wp)), position);
}

void RecordMouse(const wchar_t* kind, LPARAM lp) {
    Record(L"%ls %d %d", kind, static_cast<int>(static_cast<short>(LOWORD(lp))),
           static_cast<int>(static_cast<short>(HIWORD(lp))));
}

LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND: {
        const int id = LOWORD(wp);
        const int code = HIWORD(wp);
        if (lp == 0 && code == 0) {
            Record(L"MENU %d", id);
        } else if (id == TARGET_ID_COMBO && (code == CBN_SELCHANGE || code == CBN_SELENDOK)) {
            Record(L"COMBO %d %ls %d", id, code == CBN_SELCHANGE ? L"SELCHANGE" : L"SELENDOK",
                   static_cast<int>(SendMessageW(g_combo, CB_GETCURSEL, 0, 0)));
        } else if (lp != 0 && code == BN_CLICKED && id != TARGET_ID_COMBO && id != TARGET_ID_EDIT) {
            Record(L"BUTTON %d", id);
        }
        return 0;
    }
    case WM_HSCROLL: RecordScroll(L"HSCROLL", wp, lp); return 0;
    case WM_VSCROLL: RecordScroll(L"VSCROLL", wp, lp); return 0;
    case WM_SYSCOMMAND:
        Record(L"SYSCOMMAND 0x%04X lp=0x%X", static_cast<unsigned>(wp & 0xFFF0), static_cast<unsigned>(lp));
        if ((wp & 0xFFF0) == SC_SCREENSAVE)
            return 0;  // recorded only: no screen saver in a test session
        break;
    case WM_SIZE:
        if (hwnd == g_main)
            Record(L"SIZE %ls", wp == SIZE_MAXIMIZED ? L"max" : wp == SIZE_MINIMIZED ? L"min" : L"restored");
        break;
    case WM_LBUTTONDOWN: RecordMouse(L"LBUTTONDOWN", lp); break;
    case WM_LBUTTONUP: RecordMouse(L"LBUTTONUP", lp); break;
    case WM_LBUTTONDBLCLK: RecordMouse(L"LBUTTONDBLCLK", lp); break;
    case WM_MBUTTONDOWN: RecordMouse(L"MBUTTONDOWN", lp); break;
    case WM_MBUTTONUP: RecordMouse(L"MBUTTONUP", lp); break;
    case WM_RBUTTONDOWN: RecordMouse(L"RBUTTONDOWN", lp); break;
    case WM_RBUTTONUP: RecordMouse(L"RBUTTONUP", lp); break;
    case WM_CLOSE:
        if (hwnd == g_main)
            Record(L"CLOSE");
        if (!g_keepOpen)
            DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        if (hwnd == g_main)
            PostQuitMessage(0);
        return 0;
    default: break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

HMENU MakeMenu() {
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, TARGET_ID_MENU_ONE, L"Item &One");
    AppendMenuW(file, MF_STRING, TARGET_ID_MENU_TWO, L"Item &Two");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    return bar;
}

void MakeControls(HWND hwnd, int trackbarPos, int scrollPos) {
    auto child = [&](const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h, int id) {
        return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, hwnd,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    };
    child(L"BUTTON", L"Button A", BS_PUSHBUTTON | WS_TABSTOP, 10, 10, 100, 26, TARGET_ID_BUTTON_A);
    child(L"BUTTON", L"Button B", BS_PUSHBUTTON | WS_TABSTOP, 120, 10, 100, 26, TARGET_ID_BUTTON_B);
    g_combo = child(L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 10, 46, 150, 120, TARGET_ID_COMBO);
    for (const wchar_t* item : {L"Red", L"Green", L"Blue", L"Yellow"})
        SendMessageW(g_combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendMessageW(g_combo, CB_SETCURSEL, 0, 0);
    g_trackbar = child(TRACKBAR_CLASSW, L"", TBS_HORZ | WS_TABSTOP, 10, 80, 220, 30, TARGET_ID_TRACKBAR);
    SendMessageW(g_trackbar, TBM_SETRANGE, TRUE, MAKELPARAM(0, 50));
    SendMessageW(g_trackbar, TBM_SETPOS, TRUE, trackbarPos);
    g_scrollbar = child(L"SCROLLBAR", L"", SBS_VERT, 250, 10, 18, 120, TARGET_ID_SCROLLBAR);
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_POS;
    info.nMax = 100;
    info.nPos = scrollPos;
    SetScrollInfo(g_scrollbar, SB_CTL, &info, TRUE);
    HWND edit = MakeEdit(hwnd, TARGET_ID_EDIT, 10, 120);
    SetFocus(edit);
}

std::wstring Option(const std::wstring& commandLine, const wchar_t* name, bool* present) {
    const std::wstring key = std::wstring(L"--") + name;
    const std::size_t at = commandLine.find(key);
    *present = at != std::wstring::npos;
    if (!*present)
        return std::wstring();
    std::size_t start = at + key.size();
    if (start >= commandLine.size() || commandLine[start] != L'=')
        return std::wstring();
    ++start;
    if (start < commandLine.size() && commandLine[start] == L'"') {
        const std::size_t end = commandLine.find(L'"', start + 1);
        return commandLine.substr(start + 1, end == std::wstring::npos ? std::wstring::npos : end - start - 1);
    }
    const std::size_t end = commandLine.find(L' ', start);
    return commandLine.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
}

// The key that probes for Wine's keyboard report: one X knows and that has
// no lock state to leave changed.
constexpr WORD PROBE_KEY = VK_PAUSE;

void SendProbeKey(DWORD flags) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = PROBE_KEY;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(PROBE_KEY, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = flags;
    SendInput(1, &input, sizeof(input));
}

// Under Wine a window that gets the X keyboard focus is told a moment later
// which keys X holds down, and then takes the desktop's key state as its
// own. Keys a test has already queued but the window has not read yet would
// then count twice: a Caps Lock switched on for a letter is off again. So the
// window waits for that report before READY. A key held down here is what
// the report lets go of (X holds no key). Where no report comes, the key is
// let go here, and READY waits until the window has read that too, so that
// no line of it follows READY.
void AwaitKeyboardReport() {
    SendProbeKey(0);
    cmdtest::PumpUntil([] { return GetAsyncKeyState(PROBE_KEY) >= 0; }, 3000);
    if (GetAsyncKeyState(PROBE_KEY) < 0) {
        SendProbeKey(KEYEVENTF_KEYUP);
        cmdtest::PumpUntil([] { return GetKeyState(PROBE_KEY) >= 0; }, 3000);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    OpenRecord();

    const std::wstring commandLine = GetCommandLineW();
    bool present = false;
    std::wstring caption = Option(commandLine, L"caption", &present);
    if (!present || caption.empty())
        caption = KANZO_TARGET_CAPTION;
    const std::wstring trackbar = Option(commandLine, L"trackbar", &present);
    const int trackbarPos = present ? _wtoi(trackbar.c_str()) : 48;
    const std::wstring scroll = Option(commandLine, L"scroll", &present);
    const int scrollPos = present ? _wtoi(scroll.c_str()) : 20;
    bool second = false, popup = false, maximized = false, minimized = false;
    Option(commandLine, L"second", &second);
    Option(commandLine, L"popup", &popup);
    Option(commandLine, L"maximized", &maximized);
    Option(commandLine, L"minimized", &minimized);
    Option(commandLine, L"keepopen", &g_keepOpen);

    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = MainProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = KANZO_TARGET_CLASS;
    RegisterClassExW(&wc);
    wc.lpszClassName = KANZO_TARGET_POPUP_CLASS;
    RegisterClassExW(&wc);

    g_main = CreateWindowExW(0, KANZO_TARGET_CLASS, caption.c_str(), WS_OVERLAPPEDWINDOW, 100, 100, 420, 260,
                             nullptr, MakeMenu(), instance, nullptr);
    if (!g_main)
        return 1;
    MakeControls(g_main, trackbarPos, scrollPos);
    ShowWindow(g_main, maximized ? SW_SHOWMAXIMIZED : minimized ? SW_SHOWMINIMIZED : SW_SHOWNORMAL);
    UpdateWindow(g_main);
    SetForegroundWindow(g_main);
    if (second) {
        HWND other = CreateWindowExW(0, KANZO_TARGET_CLASS, (caption + L" 2").c_str(), WS_OVERLAPPEDWINDOW, 140,
                                     140, 300, 160, nullptr, nullptr, instance, nullptr);
        ShowWindow(other, SW_SHOWNOACTIVATE);
    }
    if (popup) {
        HWND owned = CreateWindowExW(0, KANZO_TARGET_POPUP_CLASS, L"Kanzo Target Popup",
                                     WS_POPUP | WS_CAPTION | WS_VISIBLE, 160, 160, 340, 80, g_main, nullptr,
                                     instance, nullptr);
        SetFocus(MakeEdit(owned, TARGET_ID_POPUP_EDIT, 10, 10));
    }
    AwaitKeyboardReport();
    Record(L"READY %p", static_cast<void*>(g_main));

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
