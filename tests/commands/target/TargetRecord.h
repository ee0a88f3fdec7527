#pragma once
// The command-test target: a small Win32 program (KanzoTarget.exe, caption
// "Kanzo Command Target") with a menu, push buttons, a combo box, a trackbar,
// a scroll bar, an edit field and, on request, an owned enabled pop-up. It
// writes one line for everything it receives into a named shared record that
// the test creates and reads back.
//
// Start it with tests/commands/target/TargetClient.h (CTargetProcess), or by
// hand: set KANZO_TARGET_RECORD to the name of a record made by
// CTargetRecord::Create before the program starts (it inherits the variable),
// then read the lines with CTargetRecord. Command line options:
//   --caption=<text>   caption of the main window (default below)
//   --second           a second top-level window of the same process, caption + " 2"
//   --popup            an owned, enabled pop-up with its own edit field (id 2001)
//   --trackbar=<n>     start position of the trackbar (range 0 to 50, default 48)
//   --scroll=<n>       start position of the scroll bar (range 0 to 100, default 20)
//   --maximized / --minimized   initial show state
//   --keepopen         WM_CLOSE is recorded but the window stays (a "save changes?" prompt)
//
// Record lines (one per event, in arrival order; ids below):
//   READY <hwnd hex>                    main window created and shown, and (under Wine) the late
//                                       report of its keyboard focus read; the lines of the Pause
//                                       key that waits for that report come before READY
//   MENU <id>                           WM_COMMAND from a menu (lParam 0)
//   BUTTON <id>                         BN_CLICKED
//   COMBO <id> <SELCHANGE|SELENDOK> <selection>
//   HSCROLL|VSCROLL <id> <code> <position of the control>
//   KEYDOWN|KEYUP|SYSKEYDOWN|SYSKEYUP <vk> <mods> caps=<0|1> in=<edit id>
//        mods: "-" or letters A (Alt), C (Ctrl), S (Shift) held at that moment
//   CHAR <code> in=<edit id>
//   SYSCOMMAND 0x<code> lp=0x<lParam>   WM_SYSCOMMAND (low 4 bits of the code cleared);
//                                       the screen saver's is recorded, not carried out
//   SIZE <max|min|restored>
//   CLOSE
//   LBUTTONDOWN|LBUTTONUP|MBUTTONDOWN|MBUTTONUP|RBUTTONDOWN|RBUTTONUP|LBUTTONDBLCLK <x> <y>   in the client area

#include <windows.h>

constexpr const wchar_t* KANZO_TARGET_EXE = L"KanzoTarget.exe";
constexpr const wchar_t* KANZO_TARGET_CAPTION = L"Kanzo Command Target";
constexpr const wchar_t* KANZO_TARGET_CLASS = L"KanzoTargetWindow";
constexpr const wchar_t* KANZO_TARGET_POPUP_CLASS = L"KanzoTargetPopup";
constexpr const wchar_t* KANZO_TARGET_ENV = L"KANZO_TARGET_RECORD";
// Set: key lines end in " at=<ns since 1970>", when the window got the key.
constexpr const wchar_t* KANZO_TARGET_STAMP_ENV = L"KANZO_TARGET_STAMP";
constexpr const wchar_t* KANZO_TARGET_STAMP_FIELD = L" at=";

// The wall clock of the stamps in nanoseconds since 1970: the clock that
// `date +%s%N` reads outside Wine.
inline unsigned long long TargetClockNs() {
    FILETIME now;
    GetSystemTimePreciseAsFileTime(&now);
    const unsigned long long ticks = (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return (ticks - 116444736000000000ull) * 100ull;  // from 1601 in 100 ns to 1970 in ns
}

// Control and menu ids.
constexpr int TARGET_ID_MENU_ONE = 40001;
constexpr int TARGET_ID_MENU_TWO = 40002;
constexpr int TARGET_ID_BUTTON_A = 1001;
constexpr int TARGET_ID_BUTTON_B = 1002;
constexpr int TARGET_ID_COMBO = 1003;      // 4 items: "Red", "Green", "Blue", "Yellow"
constexpr int TARGET_ID_TRACKBAR = 1004;   // horizontal, 0 to 50
constexpr int TARGET_ID_SCROLLBAR = 1005;  // vertical, 0 to 100
constexpr int TARGET_ID_EDIT = 1006;
constexpr int TARGET_ID_POPUP_EDIT = 2001;
constexpr int TARGET_COMBO_ITEMS = 4;

// Layout of the shared record: a header and UTF-16 lines ending in '\n'.
constexpr DWORD TARGET_RECORD_CHARS = 64 * 1024;
struct tagTARGET_RECORD {
    volatile LONG cchUsed;  // characters of text written so far; set after the text
    DWORD dwProcessId;      // the target that writes
    wchar_t text[TARGET_RECORD_CHARS];
};
// The event set after each line: the record's name with this suffix.
constexpr const wchar_t* TARGET_EVENT_SUFFIX = L".Event";
// The mutex that serialises writers: the record's name with this suffix.
constexpr const wchar_t* TARGET_LOCK_SUFFIX = L".Lock";
