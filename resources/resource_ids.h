// Ids of the program's resources, shared by kv.rc and the C++ code.
//
// Plain #defines only: windres reads this file as well as the compiler, so it
// must not include <windows.h> nor use anything but integer and string
// literals. OK and Cancel are the dialog manager's own IDOK (1) and IDCANCEL (2).
#ifndef KV_RESOURCES_RESOURCE_IDS_H
#define KV_RESOURCES_RESOURCE_IDS_H

// Resource names. Windows looks names up without regard to case, so the
// program may load the accelerators as "KvAcc".
#define IDR_MAIN_MENU "KV"
#define IDR_NOTIFICATION_MENU "KV_NOTIFY"
#define IDR_ACCELERATORS "KVACC"
#define IDI_PROGRAM "KV"
#define IDD_ENTRY "KV_ENTRY"
#define IDD_SETTINGS "SETTINGS"
#define IDD_ABOUT "ABOUT"
#define IDD_HISTORY "HISTORY"

// Menu commands (menu "KV"; the accelerators give some of them too).
#define IDM_NEW 2000
#define IDM_OPEN 2001
#define IDM_SAVE 2002
#define IDM_SAVE_AS 2003
#define IDM_ABOUT 2004
#define IDM_EXIT 2005
#define IDM_ADD 2010
#define IDM_EDIT 2011
#define IDM_DELETE 2012
#define IDM_SETTINGS 2013
#define IDM_ASSOCIATION_WARNING 2014
#define IDM_HIDE_ICON 2015
#define IDM_TEST_ENTRY 2016
#define IDM_RUN_MISSED_STARTS 2017
#define IDM_START_AT_LOGON 2018
#define IDM_HISTORY 2020
#define IDM_SKIP_WHILE_RUNNING 2024
#define IDM_NOTIFY_ON_FAILURE 2025
#define IDM_WAKE_TO_RUN 2026
// The View menu: how the main window lists the entries.
#define IDM_VIEW_ROWS 2027
#define IDM_VIEW_DETAILS 2028
// The notification-area icon's menu.
#define IDM_OPEN_KIVRO 2019
#define IDM_CUT 2021
#define IDM_COPY 2022
#define IDM_PASTE 2023
#define IDM_HELP_CONTENTS 3000
#define IDM_HELP_SEARCH 3001
#define IDM_HELP_ON_HELP 3002

// Posted by the About box and the entry dialog to themselves after a paint,
// so that the icon is drawn over what the dialog manager painted.
#define IDM_DRAW_ICON 5000

// The notification-area icon tells the main window of clicks with this
// message (WM_APP + 1).
#define WM_NOTIFICATION_ICON 0x8001

// Window timers of the main window.
#define ID_CHECK_TIMER 102
#define ID_HIDE_TIMER 103

// The main window's visible lists (the Rows view's list box and the Details
// view's list view, one shown at a time), and its status bar.
#define IDC_LIST 101
#define IDC_STATUS_BAR 104
#define IDC_DETAILS 105

// Entry dialog (KV_ENTRY). An arrow pair steps the edit whose id is one less.
#define IDC_STARTING_LABEL 100
#define IDC_START_MONTH 138
#define IDC_START_DAY 208
#define IDC_START_DAY_ARROWS 209
#define IDC_START_YEAR 214
#define IDC_START_YEAR_ARROWS 215
#define IDC_START_AT_LABEL 106
#define IDC_START_HOUR_ARROWS 211
#define IDC_START_HOUR 210
#define IDC_START_MINUTE 212
#define IDC_START_MINUTE_ARROWS 213
#define IDC_START_AM 147
#define IDC_START_PM 148
#define IDC_ENDING_LABEL 139
#define IDC_END_MONTH 300
#define IDC_END_DAY 200
#define IDC_END_DAY_ARROWS 201
#define IDC_END_YEAR 206
#define IDC_END_YEAR_ARROWS 207
#define IDC_END_AT_LABEL 140
#define IDC_END_HOUR_ARROWS 203
#define IDC_END_HOUR 202
#define IDC_END_MINUTE 204
#define IDC_END_MINUTE_ARROWS 205
#define IDC_END_AM 158
#define IDC_END_PM 159
#define IDC_FREQUENCY_LABEL 101
#define IDC_FREQUENCY 102
#define IDC_DESCRIPTION_LABEL 99
#define IDC_DESCRIPTION 89
#define IDC_COMMAND_LINE_LABEL 97
#define IDC_COMMAND_LINE 160
#define IDC_WORKING_DIR_LABEL 96
#define IDC_WORKING_DIR 95
#define IDC_RUN_MODE_LABEL 94
#define IDC_RUN_MODE 93
#define IDC_PRINT_FILE 113
#define IDC_BACKGROUND 104
#define IDC_BROWSE 107
#define IDC_HELP_BUTTON 91
#define IDC_START_COLON 137
#define IDC_END_COLON 133
#define IDC_ICON_PREVIEW 90

// Settings dialog (SETTINGS).
#define IDC_CHECK_INTERVAL 201
#define IDC_SETTINGS_TEXT 101

// About box (ABOUT).
#define IDC_ABOUT_PRODUCT 100
#define IDC_ABOUT_VERSION 101
#define IDC_ABOUT_ICON 108

// History window (HISTORY).
#define IDC_HISTORY_LIST 100
#define IDC_HISTORY_NOTE 101
#define IDC_HISTORY_REFRESH 102
#define IDC_HISTORY_COPY 103

// String table.
#define IDS_START_AFTER_END 114
#define IDS_START_AFTER_END_CAPTION 115
// Month m (1 to 12) of a language is IDS_MONTH_BASE + language base + m,
// with the language bases 100 (English) to 1400 (Hungarian).
#define IDS_MONTH_BASE 10000
#define IDS_VERSION 20000
#define IDS_PRODUCT_NAME 20001

#endif  // KV_RESOURCES_RESOURCE_IDS_H
