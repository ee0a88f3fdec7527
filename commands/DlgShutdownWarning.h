#pragma once
// CDlgShutdownWarning: fifteen seconds to cancel a power command. A progress
// bar fills once per tick; when it is full the dialog ends with 1 (proceed).
// Cancel (the default button, so Enter cancels), Escape and the close box end
// it with 2. The template (109) is linked into the executable.

#include <windows.h>

#include "support/QVDialog.h"

#include <functional>

class CDlgShutdownWarning : private CQVDialog {
public:
    static constexpr UINT_PTR TIMER_ID = 819;
    static constexpr int COUNTDOWN = 15;

    // tickMs: time between ticks; tests run the countdown faster.
    explicit CDlgShutdownWarning(UINT tickMs = 1000) : m_tickMs(tickMs) {}
    virtual ~CDlgShutdownWarning() = default;
    CDlgShutdownWarning(const CDlgShutdownWarning&) = delete;
    CDlgShutdownWarning& operator=(const CDlgShutdownWarning&) = delete;

    // 1 proceed, 2 cancel; -1 when the dialog could not be created.
    INT_PTR DoModal(HWND parent);

    // Called once the dialog is initialised (tests drive it from here).
    void SetOnInit(std::function<void(HWND)> onInit) { m_onInit = std::move(onInit); }
    // The running timer (0 = none) and the ticks handled so far.
    UINT_PTR GetTimerId() const { return m_timerId; }
    int GetTicks() const { return m_ticks; }

private:
    BOOL OnInitDialog() override;
    BOOL OnCommand(UINT id, UINT code, HWND control) override;
    BOOL OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;
    void OnTimer(HWND hwnd);
    void KillCountdown(HWND hwnd);

    UINT m_tickMs;
    UINT_PTR m_timerId = 0;
    int m_ticks = 0;
    std::function<void(HWND)> m_onInit;
};
