// Resource and control ids of Loscan, shared by loscan.rc and the program's logic.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_LOSCAN_DIALOG 102
#define IDR_MAINFRAME 128
#define IDD_STAFFROLL 1020

// Status-list images, in image-list order.
#define IDB_DRIVE_REMOVABLE 134
#define IDB_DRIVE_FIXED 135
#define IDB_DRIVE_CDROM 136
#define IDB_DRIVE_NETWORK 137
#define IDB_DRIVE_UNUSED 138
#define IDB_DRIVE_RAMDISK 139
#define IDB_DRIVE_UNKNOWN 140
#define IDB_DRIVE_RESERVED 145
#define IDB_BANNER 146

// System-menu command of the about box (the low four bits belong to Windows).
#define IDM_ABOUTBOX 0x0010

// Main dialog.
#define IDC_REFRESH 1000
#define IDC_CURRENT1 1001
#define IDC_CURRENT2 1002
#define IDC_CURRENT3 1003
#define IDC_CURRENT4 1004
#define IDC_NEWLETTER1 1005
#define IDC_NEWLETTER2 1006
#define IDC_NEWLETTER3 1007
#define IDC_NEWLETTER4 1008
#define IDC_LABEL1 1009
#define IDC_LABEL2 1010
#define IDC_LABEL3 1011
#define IDC_LABEL4 1012
#define IDC_STATUS_LIST 1013
#define IDC_LABEL5 1014
#define IDC_SET 1015
#define IDC_CURRENT5 1016
#define IDC_NEWLETTER5 1017
#define IDC_LABEL6 1018
#define IDC_CURRENT6 1019
#define IDC_NEWLETTER6 1020
#define IDC_DEVICE 1021

// About box: the button that opens the staff roll.
#define IDC_STAFFROLL 1022
