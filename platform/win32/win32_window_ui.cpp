#include "platform/win32/win32_window_ui.h"

namespace platform {
namespace {

HMENU ToMenu(MenuRef menu) { return reinterpret_cast<HMENU>(menu); }

}  // namespace

MenuRef Win32WindowUi::CreatePopupMenu() {
  return reinterpret_cast<MenuRef>(::CreatePopupMenu());
}

bool Win32WindowUi::AppendMenu(MenuRef menu, uint32_t flags, uint32_t id,
                               const char* text) {
  // For an owner-drawn item the "text" is only item data handed back to WM_MEASUREITEM and
  // WM_DRAWITEM; Windows keeps the pointer, not the characters.
  return AppendMenuA(ToMenu(menu), flags, id, text) != FALSE;
}

int Win32WindowUi::GetMenuItemCount(MenuRef menu) {
  return ::GetMenuItemCount(ToMenu(menu));
}

uint32_t Win32WindowUi::GetMenuItemID(MenuRef menu, int position) {
  return ::GetMenuItemID(ToMenu(menu), position);
}

void Win32WindowUi::EnableMenuItem(MenuRef menu, uint32_t id, uint32_t flags) {
  ::EnableMenuItem(ToMenu(menu), id, MF_BYCOMMAND | flags);
}

void Win32WindowUi::SetForegroundWindow() { ::SetForegroundWindow(m_window); }

void Win32WindowUi::TrackPopupMenu(MenuRef menu, long x, long y) {
  ::TrackPopupMenu(ToMenu(menu), 0, x, y, 0, m_window, nullptr);
  // A message to our window after the menu lets the menu of the next click come up and go
  // away normally (the menu loop of a background window otherwise misses the switch).
  ::PostMessageA(m_window, WM_NULL, 0, 0);
}

void Win32WindowUi::DestroyMenu(MenuRef menu) { ::DestroyMenu(ToMenu(menu)); }

CursorPos Win32WindowUi::GetCursorPos() {
  POINT point = {0, 0};
  ::GetCursorPos(&point);
  return {point.x, point.y};
}

int Win32WindowUi::MessageBox(bool owned, const std::string& text, const std::string& caption,
                              unsigned style) {
  return MessageBoxA(owned ? m_window : nullptr, text.c_str(), caption.c_str(), style);
}

void Win32WindowUi::PostMessage(uint32_t message) { ::PostMessageA(m_window, message, 0, 0); }

int Win32WindowUi::RunModalDialog(int templateId) {
  // A dialog opened while another runs (not done by the program, but possible) gets the slot
  // for its lifetime; the outer one gets it back afterwards.
  HWND outer = m_modalDialog;
  const INT_PTR result = DialogBoxParamA(m_resources, MAKEINTRESOURCEA(templateId), m_window,
                                         ModalDialogProc, reinterpret_cast<LPARAM>(&m_modalDialog));
  m_modalDialog = outer;
  return static_cast<int>(result);
}

void Win32WindowUi::EndModalDialog(int result) {
  if (m_modalDialog != nullptr) ::EndDialog(m_modalDialog, result);
}

INT_PTR CALLBACK Win32WindowUi::ModalDialogProc(HWND dialog, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      // Tell RunModalDialog's caller which window EndModalDialog is to end.
      *reinterpret_cast<HWND*>(lParam) = dialog;
      return TRUE;
    case WM_COMMAND:
      // The dialogs shown this way only inform: OK and Cancel (Escape, the close box) end them.
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        ::EndDialog(dialog, LOWORD(wParam));
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace platform
