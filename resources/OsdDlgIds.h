#pragma once
// Ids of the on-screen display's dialog template (resources/OsdDlg.rc).
#define IDD_OSD 100
#define IDC_OSD_TEXT 1000
