#pragma once
// CWinMouseMove: continuous mouse movement while a mouse-move key is held.
// Start and Stop come from the key-event thread; the 80 ms timer ticks run on
// the owner window's thread, and the step grows the longer the move runs.

#include "support/Clock.h"
#include "support/ScopedWin.h"

#include <windows.h>

#include <atomic>

class CWinMouseMove {
public:
    // Construct on a thread that pumps messages (the user-interface thread):
    // until a main window is set, a hidden message window of that thread owns
    // the timer.
    explicit CWinMouseMove(IClock& clock = SystemClock());
    virtual ~CWinMouseMove();
    CWinMouseMove(const CWinMouseMove&) = delete;
    CWinMouseMove& operator=(const CWinMouseMove&) = delete;

    // The application's main window, once it exists (null: the hidden window again).
    static void SetMainWindow(HWND mainWindow);

    // Same direction while running: stop. Otherwise (re)start in that direction.
    void Start(int dx, int dy);
    void Stop();
    bool IsRunning() const { return m_running; }
    UINT_PTR GetTimerId() const { return m_timerId; }
    HWND GetTimerWindow() const { return m_timerWindow; }

    // One tick: a relative move of direction times the current step.
    void OnTimer();

private:
    static void CALLBACK TimerProc(HWND hwnd, UINT msg, UINT_PTR id, DWORD time);
    HWND OwnerWindow() const;

    IClock& m_clock;
    std::atomic<int> m_dx{0};
    std::atomic<int> m_dy{0};
    std::atomic<bool> m_running{false};
    std::atomic<std::uint32_t> m_startTick{0};
    UINT_PTR m_timerId = 0;
    HWND m_timerWindow = nullptr;
    CQVWindow m_hiddenWindow;
};
