#pragma once
// Resource and control ids. They are part of the program's contract with its dialog templates and with
// the test harness, which finds controls by these numbers.

#define IDR_MAINFRAME 128
#define IDD_CAPTURE_DIALOG 102
#define IDD_FRAME_POPUP 129
#define IDD_ABOUTBOX 130

#define IDC_WINDOW_LIST 1000
#define IDC_KEY_LIST 1001
#define IDC_CAPTURE 1002
#define IDC_REFRESH 1003
#define IDC_HELP_BUTTON 1004
#define IDC_ASSIGN_KEY 1005
#define IDC_SHIFT 1006
#define IDC_CTRL 1007
#define IDC_ALT 1008
#define IDC_CAPTURED_WINDOW 1009
#define IDC_CURRENT_KEY 1010
#define IDC_FRAME_EDIT 1011
#define IDC_OFFSET_SPIN 1016
#define IDC_OFFSET_EDIT 1015
#define IDC_FRAME_SPIN 1017
#define IDC_POPUP 1018
#define IDC_RETURN 1019
#define IDC_LAST_SESSION 1020
#define IDC_ABOUT_BUTTON 1021
#define IDC_GROUP_WINDOWS 1023
#define IDC_GROUP_KEY 1024
#define IDC_CURRENT_KEY_LABEL 1025
#define IDC_GROUP_INFO 1026
#define IDC_CAPTURED_LABEL 1027
#define IDC_LAST_SESSION_LABEL 1028
#define IDC_ABOUT_TEXT 1029
#define IDC_FRAME_LABEL 1030
#define IDC_OFFSET_LABEL 1031
#define IDC_LANGUAGE_LIST 1036
