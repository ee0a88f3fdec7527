#include "commands/PowerControl.h"

#include "commands/DlgShutdownWarning.h"
#include "support/QVDebug.h"
#include "support/ScopedWin.h"

void CSystemPowerControl::StartScreenSaver() {
    PostMessageW(GetDesktopWindow(), WM_SYSCOMMAND, SC_SCREENSAVE, SC_SCREENSAVE);
}

INT_PTR CSystemPowerControl::RunShutdownWarning() {
    CDlgShutdownWarning dialog;
    return dialog.DoModal(nullptr);
}

BOOL CSystemPowerControl::EnableShutdownPrivilege() {
    CQVHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.Put())) {
        TracePrint(QVL_ERR, QVC_COMMAND, L"%ls() FAILED with error %lu\n", L"OpenProcessToken", GetLastError());
        return FALSE;
    }
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid))
        return FALSE;
    // Success of the call alone does not mean the privilege was granted.
    AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, nullptr, nullptr);
    const DWORD error = GetLastError();
    if (error != ERROR_SUCCESS) {
        TracePrint(QVL_ERR, QVC_COMMAND, L"%ls() FAILED with error %lu\n", L"AdjustTokenPrivileges", error);
        return FALSE;
    }
    return TRUE;
}

BOOL CSystemPowerControl::Suspend(BOOL hibernate) {
    // The first argument selects suspend (TRUE) or hibernate (FALSE).
    return SetSystemPowerState(hibernate ? FALSE : TRUE, FALSE);
}

BOOL CSystemPowerControl::PowerOff() {
    return ExitWindowsEx(EWX_POWEROFF, SHTDN_REASON_MAJOR_OTHER | SHTDN_REASON_FLAG_PLANNED);
}

void CSystemPowerControl::ReportFailure(const wchar_t* text) {
    MessageBoxW(nullptr, text, L"Shutdown", MB_OK | MB_ICONERROR | MB_TOPMOST | MB_SETFOREGROUND);
}
