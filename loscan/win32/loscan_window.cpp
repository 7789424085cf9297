#include "loscan/win32/loscan_window.h"

#include "loscan/win32/about_box.h"
#include "platform/win32/centred_icon.h"
#include "platform/win32/center_window.h"
#include "resources/loscan/resource.h"

namespace {

// Whether a message taken from the queue is one for the dialog or its controls: the dialog,
// a control, or a window a control opens outside the dialog. A drop-down combo box shows its
// list in a window of its own that is neither a child nor owned by the dialog, so the list's
// messages (all of them while it is open) are told only by the thread: while this loop runs,
// the dialog's thread has no window that is not the dialog's, since the about box and the
// message boxes run loops of their own. A thread message has no window and is not the dialog's.
bool IsForDialog(HWND dialog, HWND window) {
  return window != nullptr && GetWindowThreadProcessId(window, nullptr) ==
                                  GetWindowThreadProcessId(dialog, nullptr);
}

}  // namespace

CLoscanDlgWindow::CLoscanDlgWindow(HINSTANCE instance, CLoscanDlg& logic,
                                   platform::Win32DialogUi& ui)
    : m_instance(instance),
      m_logic(logic),
      m_ui(ui),
      m_hIcon(LoadIconA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME))) {}

int CLoscanDlgWindow::DoModal() {
  HWND dialog = CreateDialogParamA(m_instance, MAKEINTRESOURCEA(IDD_LOSCAN_DIALOG), nullptr,
                                   DialogProc, reinterpret_cast<LPARAM>(this));
  if (dialog == nullptr) return -1;
  MSG message;
  while (!m_bEnded) {
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) {
      // Someone asked the thread to quit: leave the loop and pass the request on.
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (got < 0) break;
    if (IsForDialog(dialog, message.hwnd)) m_logic.CheckDriveChange();
    if (!IsDialogMessageA(dialog, &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  if (IsWindow(dialog)) DestroyWindow(dialog);
  return m_nResult;
}

INT_PTR CALLBACK CLoscanDlgWindow::DialogProc(HWND dialog, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
  if (message == WM_INITDIALOG) SetWindowLongPtrA(dialog, DWLP_USER, lParam);
  auto* self = reinterpret_cast<CLoscanDlgWindow*>(GetWindowLongPtrA(dialog, DWLP_USER));
  // Messages sent while the dialog is being created, before WM_INITDIALOG, get the default.
  return self != nullptr ? self->OnMessage(dialog, message, wParam, lParam) : FALSE;
}

INT_PTR CLoscanDlgWindow::OnMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  (void)lParam;
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog(dialog);
    case WM_SYSCOMMAND:
      // The low four bits of a system command are Windows' own.
      if ((wParam & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg(m_instance).DoModal(dialog);
        return TRUE;
      }
      return FALSE;
    case WM_PAINT:
      return OnPaint(dialog) ? TRUE : FALSE;
    case WM_QUERYDRAGICON:
      // One of the messages whose dialog-procedure result is the answer itself.
      return reinterpret_cast<INT_PTR>(m_hIcon);
    case WM_COMMAND:
      OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
      return TRUE;
  }
  return FALSE;
}

BOOL CLoscanDlgWindow::OnInitDialog(HWND dialog) {
  m_ui.Attach(dialog);
  if (HMENU systemMenu = GetSystemMenu(dialog, FALSE)) {
    char text[256] = {};
    if (LoadStringA(m_instance, IDS_ABOUTBOX, text, sizeof text) > 0) {
      AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
      AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, text);
    }
  }
  SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
  // The template gives no position: a dialog is shown in the middle of the screen.
  CenterWindow(dialog, nullptr);
  return m_logic.OnInitDialog() ? TRUE : FALSE;
}

void CLoscanDlgWindow::OnCommand(HWND dialog, WORD id, WORD code) {
  switch (id) {
    case IDC_REFRESH:
      if (code == BN_CLICKED) m_logic.Refresh();
      break;
    case IDC_SET:
      if (code == BN_CLICKED) m_logic.OnSetClicked();
      break;
    case IDC_DEVICE:
      if (code == CBN_SELCHANGE) m_logic.ApplyModelLayout();
      break;
    case IDOK:
    case IDCANCEL:
      End(dialog, id);
      break;
  }
}

bool CLoscanDlgWindow::OnPaint(HWND dialog) {
  if (!IsIconic(dialog)) return false;
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(dialog, &paint);
  SendMessageA(dialog, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  DrawIconCentred(dialog, dc, m_hIcon);
  EndPaint(dialog, &paint);
  return true;
}

void CLoscanDlgWindow::End(HWND dialog, int result) {
  m_nResult = result;
  m_bEnded = true;
  DestroyWindow(dialog);
}
