#pragma once
// Resource ids of the options sheet and its pages (templates, controls, icons).

#define IDI_PROGRAM 200           // the program's icon (tray, sheet, executable)
#define IDI_APP_DEFAULT 205       // an application without an icon of its own

#define IDD_PAGE_MENU 101
#define IDD_PAGE_OPTIONS 103
#define IDD_PAGE_ABOUT 104

// Menu page
#define IDC_MENU_ROW_LABEL0 1200  // ... 1209
#define IDC_MENU_SELECTOR0 1210   // ... 1219
#define IDC_MENU_GROUP 1220
#define IDC_MENU_AUTOSELECT 1221

// Options page
#define IDC_OPT_OSD_GROUP 1400
#define IDC_OPT_OSD_ON 1401
#define IDC_OPT_TEXT_COLOUR 1403
#define IDC_OPT_BACK_COLOUR 1404
#define IDC_OPT_GRADIENT_COLOUR 1405
#define IDC_OPT_USE_GRADIENT 1406
#define IDC_OPT_PREVIEW 1407
#define IDC_OPT_TIME_LABEL 1408
#define IDC_OPT_TIME 1409
#define IDC_OPT_TIME_SPIN 1410
#define IDC_OPT_RECEIVER_GROUP 1420
#define IDC_OPT_DISABLE_KEY0 1423
#define IDC_OPT_MIDI_DEVICE 1427
#define IDC_OPT_LIRC_ON 1428
#define IDC_OPT_LIRC_HOST 1429
#define IDC_OPT_LIRC_PORT 1436
#define IDC_OPT_MISC_GROUP 1430
#define IDC_OPT_AUTOSTART 1431
#define IDC_OPT_DISABLE_SOUND 1432
#define IDC_OPT_SHOW_TRAY 1433
#define IDC_OPT_EXCLUSIVE 1434
#define IDC_OPT_EXCLUSIVE_APP 1435
#define IDC_OPT_STATUS 1452
#define IDC_OPT_RECEIVERS 2006

// About page
#define IDC_ABOUT_TEXT 1500
#define IDC_ABOUT_README 1501
