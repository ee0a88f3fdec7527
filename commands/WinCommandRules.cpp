#include "commands/WinCommandRules.h"

#include <cwchar>
#include <string>

int GetWindowSysCommand(int subType, bool maximized, bool minimized) {
    switch (subType) {
    case WINCMD_WIN_CLOSE:
    case WINCMD_WIN_TOGGLE_OPEN:
        return WINCMD_SC_CLOSE;
    case WINCMD_WIN_MAXIMIZE:
        return WINCMD_SC_MAXIMIZE;
    case WINCMD_WIN_MINIMIZE:
        return WINCMD_SC_MINIMIZE;
    case WINCMD_WIN_RESTORE:
        return WINCMD_SC_RESTORE;
    case WINCMD_WIN_TOGGLE_MAXIMIZE:
        return maximized ? WINCMD_SC_RESTORE : WINCMD_SC_MAXIMIZE;
    case WINCMD_WIN_TOGGLE_MINIMIZE:
        return minimized ? WINCMD_SC_RESTORE : WINCMD_SC_MINIMIZE;
    default:
        return 0;
    }
}

bool GetMouseDirection(int direction, int* dx, int* dy) {
    static const int kSteps[8][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}, {-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
    if (direction < 0 || direction > 7)
        return false;
    *dx = kSteps[direction][0];
    *dy = kSteps[direction][1];
    return true;
}

int GetMouseSpeedStep(std::uint32_t elapsedMs) {
    struct Row {
        std::uint32_t ms;
        int step;
    };
    static const Row kSpeed[] = {{500, 1}, {1000, 1}, {1500, 2}, {2000, 3}, {3000, 4}, {4000, 6}, {5000, 8}};
    for (const Row& row : kSpeed) {
        if (row.ms > elapsedMs)
            return row.step;
    }
    return kSpeed[6].step;
}

int GetSliderPosition(int position, int minimum, int maximum, int percent) {
    if (maximum < minimum)
        return position;
    // 64-bit so that a wide range times a large percentage cannot overflow.
    const long long delta = static_cast<long long>(percent) * (static_cast<long long>(maximum) - minimum) / 100;
    long long target = position + delta;
    if (target < minimum)
        target = minimum;
    if (target > maximum)
        target = maximum;
    return static_cast<int>(target);
}

float GetChangedVolumeLevel(float level, int amount) {
    float target = level + static_cast<float>(amount) / 100.0f;
    if (target < 0.0f)
        target = 0.0f;
    if (target > 1.0f)
        target = 1.0f;
    return target;
}

std::uint32_t GetChangedMixerValue(std::uint32_t value, std::uint32_t minimum, std::uint32_t maximum, int amount) {
    if (maximum < minimum)
        return value;
    const long long delta = (static_cast<long long>(maximum) - minimum) * amount / 100;
    long long target = static_cast<long long>(value) + delta;
    if (target < minimum)
        target = minimum;
    if (target > maximum)
        target = maximum;
    return static_cast<std::uint32_t>(target);
}

tagCOMMAND_TARGET GetCommandTarget(const tagWINCMD& command, const tagPRGINFO* set) {
    tagCOMMAND_TARGET target;
    if (command.szWindowCaption[0])
        target.pszCaption = command.szWindowCaption;
    else if (set && set->szWindowCaption[0])
        target.pszCaption = set->szWindowCaption;
    if (set && set->szExecutable[0])
        target.pszExecutable = set->szExecutable;
    return target;
}

bool AimsAtSetWindow(const tagWINCMD& command, const tagPRGINFO* set) {
    if (!set)
        return false;
    return !command.szWindowCaption[0] || std::wcscmp(command.szWindowCaption, set->szWindowCaption) == 0;
}

std::wstring GetAppFolder(const wchar_t* appPath) {
    if (!appPath)
        return std::wstring();
    const std::wstring path(appPath);
    const std::size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}
