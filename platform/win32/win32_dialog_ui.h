// The dialog seam over a real dialog window: control messages sent by control id.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "platform/dialog_ui.h"
#include "platform/win32/scoped_win32.h"

// <windows.h> may have been included again after platform/dialog_ui.h undid its MessageBox macro.
#ifdef MessageBox
#undef MessageBox
#endif

namespace platform {

class Win32DialogUi : public IDialogUi {
 public:
  // Bitmaps for image lists are loaded from resources' module.
  explicit Win32DialogUi(HINSTANCE resources) : m_resources(resources) {}
  Win32DialogUi(const Win32DialogUi&) = delete;
  Win32DialogUi& operator=(const Win32DialogUi&) = delete;

  // The dialog whose controls are addressed; set once the window exists (WM_INITDIALOG).
  void Attach(HWND dialog) { m_dialog = dialog; }
  HWND Window() const { return m_dialog; }

  std::string GetText(int id) override;
  void SetText(int id, const std::string& text) override;
  void Enable(int id, bool enable) override;
  bool IsEnabled(int id) override;
  void Show(int id, bool show) override;
  bool IsVisible(int id) override;
  int ClientWidth(int id) override;

  int ComboAddString(int id, const std::string& text) override;
  int ComboDeleteString(int id, int index) override;
  int ComboFindString(int id, int startAfter, const std::string& prefix) override;
  int ComboSetCurSel(int id, int index) override;
  int ComboGetCurSel(int id) override;
  int ComboGetCount(int id) override;
  std::string ComboGetItemText(int id, int index) override;
  void ComboResetContent(int id) override;

  ImageListRef CreateImageList(int cx, int cy, int initial, int grow) override;
  int ImageListAddBitmap(ImageListRef list, int bitmapId, uint32_t maskRgb) override;

  void ListSetSmallImageList(int id, ImageListRef list) override;
  int ListInsertColumn(int id, int column, const std::string& header, int width,
                       int subItem) override;
  int ListInsertItem(int id, int index, const std::string& text, int image) override;
  bool ListSetItemText(int id, int item, int subItem, const std::string& text) override;
  std::string ListGetItemText(int id, int item, int subItem) override;
  bool ListDeleteAllItems(int id) override;
  int ListGetItemCount(int id) override;

  int MessageBox(const std::string& text, const std::string& caption, unsigned style) override;

 private:
  HWND Control(int id) const;
  // Sends to the control; failure (-1) when the dialog has no such control.
  LRESULT SendIndexed(int id, UINT message, WPARAM wParam, LPARAM lParam) const;

  HINSTANCE m_resources;
  HWND m_dialog = nullptr;
  // Image lists made here and not yet handed to a control that destroys them itself.
  std::vector<ScopedImageList> m_ownedImageLists;
};

}  // namespace platform
