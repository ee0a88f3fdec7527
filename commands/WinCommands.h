#pragma once
// CWinCommands: carries out one command record against the desktop: picks the
// target window, synthesises keystrokes and mouse input, posts system commands
// and control notifications, changes the master volume, runs the power
// commands and starts or brings forward the set's application. Stateless
// apart from the two seams for power and volume.

#include "cmdsets/PrgInfo.h"
#include "cmdsets/WinCmd.h"
#include "commands/PowerControl.h"
#include "commands/VolumeControl.h"

#include <windows.h>

// "ERROR: Shutdown failed.\nUse Ctrl+Alt+Del to restart."
extern const wchar_t* const WINCMD_SHUTDOWN_FAILED;

class CWinCommands {
public:
    virtual ~CWinCommands() = default;

    // Every command type; the dispatcher handles the display commands and the
    // continuous mouse move itself. The result follows the command table.
    // setWindow: the set's window when the caller has already found it; a
    // command aimed at the set's window then takes it without a search.
    static BOOL Execute(const tagWINCMD& command, const tagPRGINFO* set, HWND setWindow = nullptr);

    // The window a command aims at (FindWindow with the command's or the
    // set's caption and the set's executable), else the foreground window.
    static HWND GetTargetWindow(const tagWINCMD& command, const tagPRGINFO* set, HWND setWindow = nullptr);

    // Brings the set's window to the top, or starts its application. TRUE.
    // notThis: a window that must not be taken for the set's window (one
    // asked to close that has not gone yet); the application is started instead.
    static BOOL StartOrActivateApp(const tagPRGINFO& set, HWND notThis = nullptr);
    static BOOL SendSysCommand(HWND window, int code);
    // key: a virtual key of the key table or a character.
    static BOOL SendKeystroke(HWND window, int key, BOOL alt, BOOL ctrl, BOOL shift);
    // Types the character itself (a Unicode packet) into the window with the
    // CMD_MOD_* modifiers; never a key of the virtual-key table.
    static BOOL TypeCharacter(HWND window, wchar_t character, int modifiers);
    // Text input (multi-tap): the CMD_KEY command's character typed into the
    // target window that Execute would choose for it.
    static BOOL TypeText(const tagWINCMD& command, const tagPRGINFO* set);
    static BOOL ClickButton(HWND window, int id);
    static BOOL SelectComboItem(HWND window, int id, int index);
    static BOOL MoveSlider(HWND window, int id, int percent);
    // value 0 screen saver, 1 standby, 2 hibernate, 3 power off.
    static BOOL PowerCommand(int value, BOOL warn);
    // operation 0 change by amount percent, 1 mute, 2 unmute, 3 toggle mute.
    static BOOL ChangeVolume(int operation, int amount);
    // value 0 left, 1 middle, 2 right, 3 double-click.
    static BOOL MouseClick(int value);
    static BOOL MouseStep(int dx, int dy);

    // Seams: tests put recording fakes here. Null restores the system's.
    // Each returns the previous one.
    static IPowerControl* SetPowerControl(IPowerControl* power);
    static IVolumeSystem* SetVolumeSystem(IVolumeSystem* volume);
};
