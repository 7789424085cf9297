// Resource ids of Tavrik, for tavrik.rc. The program's code names the same numbers in
// tavrik/ejector_dlg.h (icons, the version dialog) and tavrik/win32/ejector_window.cpp (the
// main window), where these macros would collide with its constants.
#pragma once

#define IDD_EJECTOR_DIALOG 102
#define IDI_PROGRAM 128
#define IDD_VERSION_INFO 129
#define IDI_TRAY_ACTIVE 144
#define IDI_TRAY_IDLE 149

// Version dialog.
#define IDC_VERSION_TEXT 1000
#define IDC_NOTICE_TEXT 1001

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
