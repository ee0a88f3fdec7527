#pragma once
// The Windows side of multi-tap input: the key-event thread's stop event as
// the wait, and a keystroke typer that the dispatcher's own command execution
// replaces once it is plugged in.

#include "commands/MultiTapInput.h"

#include <windows.h>

// Waits on an event handle the caller owns.
class CMultiTapStopEvent final : public IMultiTapStop {
public:
    explicit CMultiTapStopEvent(HANDLE stopEvent) : m_event(stopEvent) {}
    MultiTapWait Wait(std::uint32_t timeoutMs) override;

private:
    HANDLE m_event;
};

// Types keystroke commands with SendInput: the modifiers of nValue, then the
// character of nSubType as a Unicode packet, so the keyboard layout and Caps
// Lock do not matter. Plays no sound.
class CMultiTapKeyTyper final : public IMultiTapActions {
public:
    // target: brought to the foreground before typing; null types into the
    // window that has the keyboard focus.
    explicit CMultiTapKeyTyper(HWND target = nullptr) : m_target(target) {}
    void PlayKeySound() override {}
    bool ExecuteCommand(const tagWINCMD& cmd) override;

private:
    HWND m_target;
};
