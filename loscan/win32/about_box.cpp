#include "loscan/win32/about_box.h"

#include "platform/win32/center_window.h"
#include "resources/loscan/resource.h"

void CAboutDlg::DoModal(HWND owner) {
  DialogBoxParamA(m_instance, MAKEINTRESOURCEA(IDD_ABOUTBOX), owner, AboutProc,
                  reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CAboutDlg::AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      CenterWindow(dialog, GetParent(dialog));
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:
          EndDialog(dialog, LOWORD(wParam));
          return TRUE;
        case IDC_STAFFROLL:
          if (HIWORD(wParam) == STN_CLICKED) {
            auto* self = reinterpret_cast<CAboutDlg*>(GetWindowLongPtrA(dialog, DWLP_USER));
            if (self != nullptr)
              DialogBoxParamA(self->m_instance, MAKEINTRESOURCEA(IDD_STAFFROLL), dialog,
                              StaffRollProc, 0);
            return TRUE;
          }
          break;
      }
      break;
  }
  return FALSE;
}

INT_PTR CALLBACK CAboutDlg::StaffRollProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    CenterWindow(dialog, GetParent(dialog));
    return TRUE;
  }
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    EndDialog(dialog, LOWORD(wParam));
    return TRUE;
  }
  return FALSE;
}
