// The dialog seam: a dialog's controls addressed by control id, with the meaning the Win32
// control messages give them (combo boxes as CB_*, list views as LVM_*), and message boxes
// owned by the dialog.
//
// Return values follow Win32: indexes, or -1 (CB_ERR) where Windows answers an error. A
// control id the dialog does not have changes nothing and answers a failure: -1 where an
// index is expected, otherwise 0, false or an empty text.
#pragma once
#include <cstdint>
#include <string>

// <windows.h>, when a Win32 file includes it first, maps MessageBox to MessageBoxA; the seam's
// operation keeps its own name in every file.
#ifdef MessageBox
#undef MessageBox
#endif

namespace platform {

// An image list made by the dialog seam. A list view that does not share its image lists
// destroys the list with itself, as Windows does.
using ImageListRef = std::uintptr_t;

class IDialogUi {
 public:
  virtual ~IDialogUi() = default;

  // GetDlgItemTextA / SetDlgItemTextA. For a drop-down list the text is the selected item's.
  virtual std::string GetText(int id) = 0;
  virtual void SetText(int id, const std::string& text) = 0;
  // EnableWindow / IsWindowEnabled on the control.
  virtual void Enable(int id, bool enable) = 0;
  virtual bool IsEnabled(int id) = 0;
  // ShowWindow(SW_SHOW / SW_HIDE) / IsWindowVisible (the control's own style bit).
  virtual void Show(int id, bool show) = 0;
  virtual bool IsVisible(int id) = 0;
  // The width of the control's client area in pixels (GetClientRect).
  virtual int ClientWidth(int id) = 0;

  // Combo boxes. CB_ADDSTRING: at the end, or in order for a sorted combo box; the index.
  virtual int ComboAddString(int id, const std::string& text) = 0;
  // CB_DELETESTRING: the number of items left, or -1.
  virtual int ComboDeleteString(int id, int index) = 0;
  // CB_FINDSTRING: the first item after startAfter, wrapping round, whose text begins with
  // prefix, ignoring case; startAfter -1 searches the whole list from the top. -1 if none.
  virtual int ComboFindString(int id, int startAfter, const std::string& prefix) = 0;
  // CB_SETCURSEL: -1 clears the selection. Answers the index, or -1 (also for a clear).
  virtual int ComboSetCurSel(int id, int index) = 0;
  virtual int ComboGetCurSel(int id) = 0;
  virtual int ComboGetCount(int id) = 0;
  // CB_GETLBTEXT; empty for an index out of range.
  virtual std::string ComboGetItemText(int id, int index) = 0;
  virtual void ComboResetContent(int id) = 0;

  // Image lists: ImageList_Create(cx, cy, colour | ILC_MASK, initial, grow), and
  // ImageList_AddMasked of a bitmap resource with maskRgb (0x00BBGGRR) as transparent colour.
  virtual ImageListRef CreateImageList(int cx, int cy, int initial, int grow) = 0;
  virtual int ImageListAddBitmap(ImageListRef list, int bitmapId, uint32_t maskRgb) = 0;

  // List views (report view). LVM_SETIMAGELIST with LVSIL_SMALL.
  virtual void ListSetSmallImageList(int id, ImageListRef list) = 0;
  // LVM_INSERTCOLUMN with LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM; the index or -1.
  virtual int ListInsertColumn(int id, int column, const std::string& header, int width,
                               int subItem) = 0;
  // LVM_INSERTITEM with LVIF_TEXT | LVIF_IMAGE; the index or -1.
  virtual int ListInsertItem(int id, int index, const std::string& text, int image) = 0;
  // LVM_SETITEMTEXT of one sub-item.
  virtual bool ListSetItemText(int id, int item, int subItem, const std::string& text) = 0;
  // LVM_GETITEMTEXT of one sub-item; empty when there is none.
  virtual std::string ListGetItemText(int id, int item, int subItem) = 0;
  virtual bool ListDeleteAllItems(int id) = 0;
  virtual int ListGetItemCount(int id) = 0;

  // MessageBoxA owned by the dialog; the button pressed (IDOK = 1, ...).
  virtual int MessageBox(const std::string& text, const std::string& caption,
                         unsigned style) = 0;
};

}  // namespace platform
