// The window seam over a real hidden window: popup menus, message boxes, the cursor, posted
// messages and modal dialogs owned by that window.
#pragma once
#include "platform/win32/windows_names.h"

#include "platform/window_ui.h"

namespace platform {

class Win32WindowUi : public IWindowUi {
 public:
  // Dialog templates are loaded from the resources of this module.
  explicit Win32WindowUi(HINSTANCE resources) : m_resources(resources) {}
  Win32WindowUi(const Win32WindowUi&) = delete;
  Win32WindowUi& operator=(const Win32WindowUi&) = delete;

  // The program's window, once it exists; until then owned boxes have no owner and nothing
  // can be posted.
  void Attach(HWND window) { m_window = window; }
  HWND Window() const { return m_window; }

  MenuRef CreatePopupMenu() override;
  bool AppendMenu(MenuRef menu, uint32_t flags, uint32_t id, const char* text) override;
  int GetMenuItemCount(MenuRef menu) override;
  uint32_t GetMenuItemID(MenuRef menu, int position) override;
  void EnableMenuItem(MenuRef menu, uint32_t id, uint32_t flags) override;
  void SetForegroundWindow() override;
  void TrackPopupMenu(MenuRef menu, long x, long y) override;
  void DestroyMenu(MenuRef menu) override;
  CursorPos GetCursorPos() override;
  int MessageBox(bool owned, const std::string& text, const std::string& caption,
                 unsigned style) override;
  void PostMessage(uint32_t message) override;
  int RunModalDialog(int templateId) override;
  void EndModalDialog(int result) override;

 private:
  static INT_PTR CALLBACK ModalDialogProc(HWND dialog, UINT message, WPARAM wParam,
                                          LPARAM lParam);

  HINSTANCE m_resources;
  HWND m_window = nullptr;
  // The modal dialog that is open, so that a close request can end it.
  HWND m_modalDialog = nullptr;
};

}  // namespace platform
