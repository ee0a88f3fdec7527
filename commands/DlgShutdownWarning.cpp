#include "commands/DlgShutdownWarning.h"

#include "resources/DlgShutdownWarningIds.h"
#include "support/QVDebug.h"

#include <commctrl.h>

INT_PTR CDlgShutdownWarning::DoModal(HWND parent) {
    CQVTraceScope scope(QVL_IO, QVC_COMMAND, L"CDlgShutdownWarning::DoModal");
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    m_ticks = 0;
    const INT_PTR result = CQVDialog::DoModal(parent, IDD_SHUTDOWN_WARNING);
    if (result == -1 || result == 0)
        TracePrint(QVL_ERR, QVC_COMMAND, L"%ls() FAILED with error %lu\n", L"CDlgShutdownWarning::DoModal",
                   GetLastError());
    return result == 0 ? -1 : result;
}

BOOL CDlgShutdownWarning::OnMessage(UINT msg, WPARAM wp, LPARAM, INT_PTR&) {
    if (msg == WM_TIMER && wp == TIMER_ID) {
        OnTimer(m_hwnd);
        return TRUE;
    }
    if (msg == WM_SYSCOMMAND && (wp & 0xFFF0) == SC_CLOSE)
        KillCountdown(m_hwnd);  // the default handling then closes with IDCANCEL
    return FALSE;
}

BOOL CDlgShutdownWarning::OnCommand(UINT id, UINT, HWND) {
    if (id != IDOK && id != IDCANCEL)
        return FALSE;
    KillCountdown(m_hwnd);
    EndDialog(m_hwnd, id);
    return TRUE;
}

BOOL CDlgShutdownWarning::OnInitDialog() {
    HWND hwnd = m_hwnd;
    SetWindowTextW(hwnd, L"Shutdown");
    SetDlgItemTextW(hwnd, IDC_SHUTDOWN_TEXT, L"About to shutdown ... ");
    HWND progress = GetDlgItem(hwnd, IDC_SHUTDOWN_PROGRESS);
    SendMessageW(progress, PBM_SETRANGE, 0, MAKELPARAM(0, COUNTDOWN));
    SendMessageW(progress, PBM_SETPOS, 0, 0);
    m_timerId = SetTimer(hwnd, TIMER_ID, m_tickMs, nullptr);
    SetFocus(GetDlgItem(hwnd, IDCANCEL));
    if (m_onInit)
        m_onInit(hwnd);
    // Focus stays on Cancel: Enter must not proceed.
    return FALSE;
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
