// Resource and control ids of Tavrik, shared by tavrik.rc and the program's code. The tray
// menus' command ids are not resources: they live in tavrik/command_ids.h.
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
