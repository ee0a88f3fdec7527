#pragma once
// CMultiTapInput: text typed with the digit keys the way a phone keypad does.
// Pressing a digit key again within the timeout steps through its characters;
// the character is typed when the timeout passes without another press, or at
// once when another key arrives. Runs on the key-event thread, whose stop
// event (set by every new key event) ends the wait early.
//
// Pure logic: time, the stop event, the display and the execution of the
// keystroke come in through the interfaces below.

#include "cmdsets/WinCmd.h"
#include "receivers/RcKeys.h"
#include "support/Clock.h"

#include <cstdint>
#include <string>

// Result flags of Input.
constexpr int MULTITAP_ABORTED = 1;  // a new key event ended the wait; the character is pending
constexpr int MULTITAP_NO_KEY = 2;   // not a multi-tap key: dispatch normally
constexpr int MULTITAP_TYPE = 4;     // the wait timed out; the record now types the character

constexpr std::uint32_t MULTITAP_TIMEOUT_MS = 1000;
constexpr std::uint32_t MULTITAP_FLASH_MS = 100;

enum class MultiTapWait { Signalled, TimedOut, Failed };

// The key-event thread's stop event.
class IMultiTapStop {
public:
    virtual ~IMultiTapStop() = default;
    virtual MultiTapWait Wait(std::uint32_t timeoutMs) = 0;
};

// What multi-tap needs of the on-screen display.
class IMultiTapDisplay {
public:
    virtual ~IMultiTapDisplay() = default;
    virtual void ShowText(const wchar_t* text) = 0;
    // true: apply the display settings with the text colour and background
    // colour 1 exchanged; false: apply them unchanged.
    virtual void SetColoursExchanged(bool exchanged) = 0;
};

// The caller's side: the key sound and the execution of a command record
// (the dispatcher's ExecuteCommand without a set record).
class IMultiTapActions {
public:
    virtual ~IMultiTapActions() = default;
    virtual void PlayKeySound() = 0;
    virtual bool ExecuteCommand(const tagWINCMD& cmd) = 0;
};

class CMultiTapInput {
public:
    explicit CMultiTapInput(IClock& clock, IMultiTapDisplay* display = nullptr);

    void SetDisplay(IMultiTapDisplay* display) { m_display = display; }
    void SetTimeout(std::uint32_t timeoutMs) { m_timeoutMs = timeoutMs; }

    // Keys KEYID_PROG_0 to KEYID_PROG_9 bound to a keystroke of a digit ("0" to "9" or a
    // numeric-keypad digit).
    static bool IsMultiTapKey(int keyId, const tagWINCMD& cmd);
    // Copies the waiting character's command out when one is pending and this
    // key will not continue its cycle (another key, or the same key after the
    // timeout); false otherwise.
    bool GetPendingCommand(int keyId, tagWINCMD& cmd) const;
    // One key press: a MULTITAP_* result, 0 when the wait failed. cmd becomes
    // the keystroke of the selected character.
    int Input(int keyId, tagWINCMD& cmd, IMultiTapStop& stop);
    // The key's characters for the display with the current one marked.
    std::wstring GetDisplayText(int keyId) const;

    // The caller's protocol around one key event of a set with multi-tap
    // input: the key sound, a pending character typed first, then Input, and
    // typing on time-out. true when the key event is finished; false: go on
    // with the normal dispatch.
    bool HandleKeyEvent(int keyId, tagWINCMD& cmd, IMultiTapStop& stop, IMultiTapActions& actions);

    int GetLastKey() const { return m_lastKey; }
    int GetIndex() const { return m_index; }
    int GetPendingKey() const { return m_pendingKey; }

private:
    void ConfirmChoice(int keyId);

    IClock& m_clock;
    IMultiTapDisplay* m_display;
    std::uint32_t m_lastPress = 0;
    int m_lastKey = KEYID_NONE;
    std::int8_t m_index = 0;
    int m_pendingKey = KEYID_NONE;
    tagWINCMD m_pending;
    std::uint32_t m_timeoutMs = MULTITAP_TIMEOUT_MS;
};
