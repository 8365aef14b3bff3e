// Resource and control IDs, shared by vantreth.rc and the code.
// Plain #defines only: windres reads this file too.
#pragma once

// Main dialog
#define IDD_MAIN 13
#define IDC_EXIT 1001
#define IDC_CLOSE 1003
#define IDC_OPTIONS 1021
#define IDC_SEED 1022
#define IDC_COUNT 1023
#define IDC_PASSPHRASE 1024
#define IDC_RESPONSE 1025
#define IDC_COMPUTE 1026
#define IDC_MD5 1030
#define IDC_MD4 1031
#define IDC_SHA1 1032
#define IDC_COPY 1033
#define IDC_SNK 1049
#define IDC_CHALLENGE_LABEL 1051
#define IDC_RESPONSE_LABEL 1052
#define IDC_CLEARALL 1060
#define IDC_LIST 1062
#define IDC_RENEW 1063
#define IDC_RENEW_LINE 1080
// The S/Key mode's labels, as the template starts. NOTE: "Challange" is spelt
// so on purpose; it stays.
#define LABEL_SKEY_CHALLENGE "S/Key Challange"
#define LABEL_SKEY_RESPONSE "S/Key Response"

// About dialog
#define IDD_ABOUT 105

// Options dialog
#define IDD_OPTIONS 119
#define IDC_OPT_ABOUT 1020
#define IDC_OPT_CLIPBOARD 1041
#define IDC_OPT_RETURN 1042
#define IDC_OPT_AUTODOCK 1043
#define IDC_OPT_DOCKTIME 1044
#define IDC_OPT_CLEARPASS 1047
#define IDC_OPT_DOCKTIME_LABEL 1048
#define IDC_OPT_SNK 1050
#define IDC_OPT_AUTODECR 1056
#define IDC_OPT_DECRTIME 1058
#define IDC_OPT_DECRTIME_LABEL 1059
#define IDC_OPT_STARTUP 1061
#define IDC_OPT_GUARD 1064

// List dialog: the responses ahead
#define IDD_LIST 121
#define IDC_LIST_LENGTH 1065
#define IDC_LIST_HEX 1066
#define IDC_LIST_TEXT 1067
#define IDC_LIST_COPY 1068
#define IDC_LIST_PRINT 1069

// Renew dialog
#define IDD_RENEW 122
#define IDC_RENEW_PASSPHRASE 1070
#define IDC_RENEW_CONFIRM 1071
#define IDC_RENEW_SEED 1072
#define IDC_RENEW_COUNT 1073
#define IDC_RENEW_HEX 1074
#define IDC_RENEW_NOTE 1075

// Login dialog: a challenge's pass phrase, or a server's own question, for the PuTTY plugin and
// the askpass mode
#define IDD_LOGIN 123
#define IDC_LOGIN_WHO 1076
#define IDC_LOGIN_QUESTION 1077
#define IDC_LOGIN_ANSWER 1078
#define IDC_LOGIN_SERVER 1079
#define IDC_LOGIN_LABEL 1080
#define IDC_LOGIN_PROGRESS 1081

// SNK Seed & Password dialog
#define IDD_SNK_SEED 120
#define IDC_SNK_SEED 1053
#define IDC_SNK_PASSWORD 1054
#define IDC_SNK_CONFIRM 1055

// Icons
#define IDI_TRAY 113
#define IDI_MAIN 114
#define IDI_TRAY_WAITING 115

// Tray menu
#define IDM_ABOUT 100
#define IDM_OPEN 101
#define IDM_EXIT 102
#define IDM_OPTIONS 103

// Timers
#define ID_TIMER_DOCK 100
#define ID_TIMER_DECR 101
#define ID_TIMER_ABOUT 102
#define ID_TIMER_OPTIONS 103
#define ID_TIMER_PROGRESS 104
#define ID_TIMER_ICON 105
#define ID_TIMER_LOGIN_PROGRESS 106
#define ID_TIMER_LOGIN_WATCH 107

// Private messages of the main dialog (WM_USER + 10, + 11)
#define WM_TRAYNOTIFY 1034
#define WM_SHOWMAIN 1035

#define TRAY_ICON_UID 11
