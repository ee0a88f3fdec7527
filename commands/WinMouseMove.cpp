#include "commands/WinMouseMove.h"

#include "commands/WinCommandRules.h"
#include "commands/WinCommands.h"

namespace {

// The timer procedure serves the first instance only (there is one, inside
// the dispatcher).
std::atomic<CWinMouseMove*> g_firstInstance{nullptr};
std::atomic<HWND> g_mainWindow{nullptr};

constexpr const wchar_t* kHiddenClass = L"KanzoMouseMoveOwner";

HWND CreateHiddenWindow() {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kHiddenClass;
    RegisterClassExW(&wc);  // fails harmlessly when already registered
    return CreateWindowExW(0, kHiddenClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
}

}  // namespace

CWinMouseMove::CWinMouseMove(IClock& clock) : m_clock(clock), m_hiddenWindow(CreateHiddenWindow()) {
    CWinMouseMove* expected = nullptr;
    g_firstInstance.compare_exchange_strong(expected, this);
}

CWinMouseMove::~CWinMouseMove() {
    Stop();
    CWinMouseMove* expected = this;
    g_firstInstance.compare_exchange_strong(expected, nullptr);
}

void CWinMouseMove::SetMainWindow(HWND mainWindow) {
    g_mainWindow = mainWindow;
}

HWND CWinMouseMove::OwnerWindow() const {
    HWND main = g_mainWindow;
    return main && IsWindow(main) ? main : m_hiddenWindow.Get();
}

void CWinMouseMove::Start(int dx, int dy) {
    if (m_running && dx == m_dx && dy == m_dy) {
        Stop();
        return;
    }
    m_dx = dx;
    m_dy = dy;
    m_startTick = m_clock.NowMs();
    if (m_running)
        return;
    m_running = true;
    m_timerWindow = OwnerWindow();
    m_timerId = SetTimer(m_timerWindow, WINCMD_MOUSE_TIMER_ID, WINCMD_MOUSE_TIMER_MS, &CWinMouseMove::TimerProc);
}

void CWinMouseMove::Stop() {
    if (m_timerId) {
        KillTimer(m_timerWindow, WINCMD_MOUSE_TIMER_ID);
        m_timerId = 0;
        m_timerWindow = nullptr;
    }
    m_running = false;
}

void CWinMouseMove::OnTimer() {
    if (!m_running)
        return;
    const std::uint32_t elapsed = m_clock.NowMs() - m_startTick;
    const int step = GetMouseSpeedStep(elapsed);
    CWinCommands::MouseStep(m_dx * step, m_dy * step);
}

void CALLBACK CWinMouseMove::TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
    CWinMouseMove* mover = g_firstInstance;
    if (mover && id == WINCMD_MOUSE_TIMER_ID)
        mover->OnTimer();
}
