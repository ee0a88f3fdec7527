#include "commands/DlgShutdownWarning.h"

#include "resources/DlgShutdownWarningIds.h"
#include "support/QVDebug.h"

#include <commctrl.h>

INT_PTR CDlgShutdownWarning::DoModal(HWND parent) {
    CQVTraceScope scope(QVL_IO, QVC_COMMAND, L"CDlgShutdownWarning::DoModal");
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    m_ticks = 0;
    const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SHUTDOWN_WARNING), parent,
                                           &CDlgShutdownWarning::DialogProc, reinterpret_cast<LPARAM>(this));
    if (result == -1 || result == 0)
        TracePrint(QVL_ERR, QVC_COMMAND, L"%ls() FAILED with error %lu\n", L"CDlgShutdownWarning::DoModal",
                   GetLastError());
    return result == 0 ? -1 : result;
}

INT_PTR CALLBACK CDlgShutdownWarning::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG)
        SetWindowLongPtrW(hwnd, DWLP_USER, lp);
    auto* self = reinterpret_cast<CDlgShutdownWarning*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    return self ? self->OnMessage(hwnd, msg, wp, lp) : FALSE;
}

INT_PTR CDlgShutdownWarning::OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
        OnInitDialog(hwnd);
        // Focus stays on Cancel: Enter must not proceed.
        return FALSE;
    case WM_TIMER:
        if (wp == TIMER_ID)
            OnTimer(hwnd);
        return TRUE;
    case WM_SYSCOMMAND:
        if ((wp & 0xFFF0) == SC_CLOSE)
            KillCountdown(hwnd);
        return FALSE;  // the default handling closes with IDCANCEL
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
            KillCountdown(hwnd);
            EndDialog(hwnd, LOWORD(wp));
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

void CDlgShutdownWarning::OnInitDialog(HWND hwnd) {
    SetWindowTextW(hwnd, L"Shutdown");
    SetDlgItemTextW(hwnd, IDC_SHUTDOWN_TEXT, L"About to shutdown ... ");
    HWND progress = GetDlgItem(hwnd, IDC_SHUTDOWN_PROGRESS);
    SendMessageW(progress, PBM_SETRANGE, 0, MAKELPARAM(0, COUNTDOWN));
    SendMessageW(progress, PBM_SETPOS, 0, 0);
    m_timerId = SetTimer(hwnd, TIMER_ID, m_tickMs, nullptr);
    SetFocus(GetDlgItem(hwnd, IDCANCEL));
    if (m_onInit)
        m_onInit(hwnd);
}

void CDlgShutdownWarning::OnTimer(HWND hwnd) {
    ++m_ticks;
    HWND progress = GetDlgItem(hwnd, IDC_SHUTDOWN_PROGRESS);
    const int position = static_cast<int>(SendMessageW(progress, PBM_GETPOS, 0, 0));
    if (position + 1 == COUNTDOWN) {
        KillCountdown(hwnd);
        EndDialog(hwnd, IDOK);
        return;
    }
    SendMessageW(progress, PBM_SETPOS, static_cast<WPARAM>(position + 1), 0);
}

void CDlgShutdownWarning::KillCountdown(HWND hwnd) {
    if (m_timerId) {
        KillTimer(hwnd, TIMER_ID);
        m_timerId = 0;
    }
}
