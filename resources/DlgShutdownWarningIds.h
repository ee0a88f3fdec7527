#pragma once
// Ids of the shutdown warning dialog (resources/DlgShutdownWarning.rc).
#define IDD_SHUTDOWN_WARNING 109
#define IDC_SHUTDOWN_PROGRESS 1001
#define IDC_SHUTDOWN_TEXT 1002
