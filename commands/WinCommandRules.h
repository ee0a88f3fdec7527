#pragma once
// The arithmetic and choices behind the window-system commands: which system
// command a window command becomes, the mouse directions and speed table,
// slider steps and volume changes, and which window a command aims at.
//
// Pure logic: no Windows header.
#include "cmdsets/PrgInfo.h"
#include "cmdsets/WinCmd.h"

#include <cstdint>
#include <string>

// System-command codes (the values of SC_CLOSE and friends).
constexpr int WINCMD_SC_CLOSE = 0xF060;
constexpr int WINCMD_SC_MAXIMIZE = 0xF030;
constexpr int WINCMD_SC_MINIMIZE = 0xF020;
constexpr int WINCMD_SC_RESTORE = 0xF120;
constexpr int WINCMD_SC_SCREENSAVE = 0xF140;

// Subtypes of CMD_WIN and CMD_SYS.
enum : int {
    WINCMD_WIN_CLOSE = 0,
    WINCMD_WIN_MAXIMIZE = 1,
    WINCMD_WIN_MINIMIZE = 2,
    WINCMD_WIN_RESTORE = 3,
    WINCMD_WIN_TOGGLE_OPEN = 4,
    WINCMD_WIN_TOGGLE_MAXIMIZE = 5,
    WINCMD_WIN_TOGGLE_MINIMIZE = 6,
};
enum : int {
    WINCMD_SYS_POWER = 0,
    WINCMD_SYS_VOLUME = 1,
    WINCMD_SYS_MUTE = 2,
    WINCMD_SYS_MOUSE_CLICK = 3,
    WINCMD_SYS_MOUSE_MOVE = 4,
    WINCMD_SYS_CURSOR = 5,
};
enum : int {
    WINCMD_CTL_MENU = 0,
    WINCMD_CTL_BUTTON = 1,
    WINCMD_CTL_COMBO = 2,
    WINCMD_CTL_SLIDER = 3,
};
// Power values and volume operations.
enum : int { WINCMD_POWER_SCREENSAVER = 0, WINCMD_POWER_STANDBY = 1, WINCMD_POWER_HIBERNATE = 2, WINCMD_POWER_OFF = 3 };
enum : int { WINCMD_VOLUME_CHANGE = 0, WINCMD_VOLUME_MUTE = 1, WINCMD_VOLUME_UNMUTE = 2, WINCMD_VOLUME_TOGGLE = 3 };

// The system command of a CMD_WIN subtype for a window in the given state;
// 0 for subtypes without one.
int GetWindowSysCommand(int subType, bool maximized, bool minimized);

// Step signs of a mouse-move direction 0 to 7; false for other directions.
bool GetMouseDirection(int direction, int* dx, int* dy);

// Pixels per tick of a continuous mouse move that has run for elapsedMs.
int GetMouseSpeedStep(std::uint32_t elapsedMs);
constexpr int WINCMD_MOUSE_TIMER_ID = 293;
constexpr int WINCMD_MOUSE_TIMER_MS = 80;

// A slider or scroll-bar position moved by percent of its range and kept inside it.
int GetSliderPosition(int position, int minimum, int maximum, int percent);

// Endpoint scalar volume changed by amount percent, kept inside 0.0 to 1.0.
float GetChangedVolumeLevel(float level, int amount);
// One mixer channel value changed by amount percent of the control's range.
std::uint32_t GetChangedMixerValue(std::uint32_t value, std::uint32_t minimum, std::uint32_t maximum, int amount);

// Which window a command aims at: the command's caption, else the set's; the
// set's executable. Empty texts come back as null.
struct tagCOMMAND_TARGET {
    const wchar_t* pszCaption = nullptr;
    const wchar_t* pszExecutable = nullptr;
};
tagCOMMAND_TARGET GetCommandTarget(const tagWINCMD& command, const tagPRGINFO* set);
// Whether the command aims at the set's own window (its caption and
// executable), so that a window already found for the set serves it.
bool AimsAtSetWindow(const tagWINCMD& command, const tagPRGINFO* set);

// The working folder of a set's application: its path up to the last
// backslash, empty without one.
std::wstring GetAppFolder(const wchar_t* appPath);
