// The window of Loscan's main dialog: creates dialog 102, forwards its messages to the
// dialog logic and runs the dialog's message loop.
#pragma once
#include <windows.h>

#include "loscan/loscan_dlg.h"
#include "platform/win32/win32_dialog_ui.h"

class CLoscanDlgWindow {
 public:
  // The program icon is loaded here, with the dialog object.
  CLoscanDlgWindow(HINSTANCE instance, CLoscanDlg& logic, platform::Win32DialogUi& ui);
  CLoscanDlgWindow(const CLoscanDlgWindow&) = delete;
  CLoscanDlgWindow& operator=(const CLoscanDlgWindow&) = delete;

  // Shows the dialog and returns when it is closed: IDOK or IDCANCEL, -1 if it could not be
  // created.
  //
  // The dialog is created modeless and runs its own loop rather than DialogBox's: every
  // message taken from the queue for the dialog or its controls (a dropped-down combo list
  // included) must pass the logic's drive check before it is dispatched, and DialogBox's
  // internal loop offers no such step short of a thread message hook, which could reach the
  // logic only through a global.
  // IsDialogMessage keeps the dialog keys (Tab, Enter for the default button, Esc).
  int DoModal();

 private:
  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR OnMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  BOOL OnInitDialog(HWND dialog);
  void OnCommand(HWND dialog, WORD id, WORD code);
  bool OnPaint(HWND dialog);
  void End(HWND dialog, int result);

  HINSTANCE m_instance;
  CLoscanDlg& m_logic;
  platform::Win32DialogUi& m_ui;
  HICON m_hIcon;  // shared resource icon: not destroyed
  bool m_bEnded = false;
  int m_nResult = -1;
};
