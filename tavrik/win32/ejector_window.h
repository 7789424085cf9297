// The ejector's hidden main window: dialog template 102 run modally, never shown, handing
// tray notifications, menu commands, device changes and the close request to CEjectorDlg.
#pragma once
#include "platform/win32/windows_names.h"

#include "platform/win32/win32_window_ui.h"
#include "tavrik/ejector_dlg.h"

class CEjectorWindow {
 public:
  CEjectorWindow(HINSTANCE resources, CEjectorDlg& logic, platform::Win32WindowUi& ui);
  CEjectorWindow(const CEjectorWindow&) = delete;
  CEjectorWindow& operator=(const CEjectorWindow&) = delete;

  // Runs the window until it closes; the dialog's result (IDCANCEL after a close request).
  INT_PTR DoModal();

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK MessageFilter(int code, WPARAM wParam, LPARAM lParam);

  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnInitDialog(HWND window);
  void OnPaint();
  // What the modal loop shows the window before dispatching a queued message; true when the
  // message is to be swallowed.
  bool PreTranslateMessage(const MSG& message);
  // A message result for messages whose answer is not the dialog procedure's return value.
  INT_PTR Answer(LRESULT result);

  HINSTANCE m_resources;
  CEjectorDlg& m_logic;
  platform::Win32WindowUi& m_ui;
  HICON m_hIcon;  // shared icon from LoadIconA: the system frees it
  UINT m_uTaskbarCreated;  // the shell's registered message; 0 if it could not be registered
  HWND m_hWnd = nullptr;
};
