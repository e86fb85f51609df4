// Resource ids of Windows Purgix!, grouped by where they are used.
// The numbers are part of the program's interface: other programs and the
// end-to-end driver address controls by them.
#pragma once

// Dialog templates
#define IDD_ABOUTBOX 100
#define IDD_PURGIX_DIALOG 102
#define IDD_OPTIONS 134
#define IDD_OTHER_PROGRAMS 150
#define IDD_BROWSER_IN_USE 160

// Icons, sound and data
#define IDR_MAINFRAME 128
#define IDI_SMALL 132
#define IDR_START_SOUND 133
#define IDR_BUILTIN_RULES 141

// Main window (template 102)
#define IDC_RUN 1000
#define IDC_PROGRESS 1002
#define IDC_STATUS 1005
#define IDC_REPORT 1006
#define IDC_PREVIEW 1003
#define IDC_HELP_BUTTON 57670
#define IDC_OPTIONS 57671
#define IDM_ABOUTBOX 0x0010

// About box (template 100)
#define IDC_VERSION 1008
#define IDC_NOTICE 1009
#define IDC_DESCRIPTION 1010

// Options dialog (template 134)
#define IDC_LEVEL_SLIDER 1013
#define IDC_NEWSGROUPS 1014
#define IDC_COOKIES 1015
#define IDC_FAVORITES 1016
#define IDC_WIPE_CLEAN 1017
#define IDC_RESET_SCORES 1018
#define IDC_THOROUGH_AREA 1020
#define IDC_BASIC_AREA 1021
#define IDC_STANDARD_AREA 1022
#define IDC_CUSTOM_AREA 1023
#define IDC_OTHER_PROGRAMS 1024

// Options dialog: the free-space wipe's box, its tip and its warning
#define IDC_WIPE_FREE_SPACE 1025
#define IDS_TIP_WIPE_FREE_SPACE 57363
#define IDS_WIPE_FREE_SPACE_WARNING 57364

// Other programs dialog (template 150)
#define IDC_RULE_LIST 1030
#define IDC_RULE_COUNT 1031

// Browser in use question (template 160); Retry is IDRETRY
#define IDC_IN_USE_TEXT 1040
#define IDC_SKIP 1041

// String table: main window, About box and run lines
#define IDS_ABOUTBOX 101
#define IDS_DESCRIPTION 102
#define IDS_NOTICE 103
#define IDS_VERSION 104
#define IDS_PRODUCT_NAME 105
#define IDS_FINISHED_ON 107
#define IDS_STARTED_ON 108
#define IDS_RECOVERED_BYTES 109
#define IDS_RECOVERED_KB 110
#define IDS_RECOVERED_MB 111
#define IDS_RECOVERED_GB 112
#define IDS_CANCEL_QUESTION 113
// A preview's summary (in the run's order of sizes) and its first and last lines
#define IDS_PREVIEW_BYTES 114
#define IDS_PREVIEW_KB 115
#define IDS_PREVIEW_MB 116
#define IDS_PREVIEW_GB 117
#define IDS_PREVIEW_STARTED_ON 118
#define IDS_PREVIEW_FINISHED_ON 119

// String table: application messages
#define IDS_APP_TITLE 57344
#define IDS_ABORTING 57345
#define IDS_CANNOT_CREATE_DIALOG 57346
#define IDS_RESTART_QUESTION 57347
#define IDS_SHUTDOWN_FAILED 57348
#define IDS_HELP_TEXT 57349
#define IDS_LOGOFF_QUESTION 57351

// String table: Options dialog tooltips and warning
#define IDS_TIP_RESET_SCORES 57352
#define IDS_TIP_NEWSGROUPS 57353
#define IDS_TIP_COOKIES 57354
#define IDS_TIP_FAVORITES 57355
#define IDS_TIP_WIPE_CLEAN 57356
#define IDS_TIP_THOROUGH 57357
#define IDS_TIP_STANDARD 57358
#define IDS_TIP_BASIC 57359
#define IDS_FAVORITES_WARNING 57362

// String table: preferences rewrite
#define IDS_CANNOT_DELETE_TEMP 57360

// Cookies to keep dialog (template 151), and the Options button that opens it
#define IDD_KEEP_SITES 151
#define IDC_KEEP_SITES 1026
#define IDC_KEEP_STATUS 1040
#define IDC_KEEP_FOUND 1041
#define IDC_KEEP_LIST 1042
#define IDC_KEEP_ADD 1043
#define IDC_KEEP_REMOVE 1044
#define IDC_KEEP_TYPED 1045
