// The about box (program icon, name and version) and the staff roll it leads to.
#pragma once
#include <windows.h>

class CAboutDlg {
 public:
  explicit CAboutDlg(HINSTANCE instance) : m_instance(instance) {}
  // Runs the about box modally over owner; a click on its icon opens the staff roll.
  void DoModal(HWND owner);

 private:
  static INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  static INT_PTR CALLBACK StaffRollProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

  HINSTANCE m_instance;
};
