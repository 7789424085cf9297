#include "platform/win32/win32_dialog_ui.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

namespace platform {

namespace {

LPARAM TextParam(const std::string& text) { return reinterpret_cast<LPARAM>(text.c_str()); }

}  // namespace

HWND Win32DialogUi::Control(int id) const {
  return m_dialog != nullptr ? GetDlgItem(m_dialog, id) : nullptr;
}

LRESULT Win32DialogUi::SendIndexed(int id, UINT message, WPARAM wParam, LPARAM lParam) const {
  HWND control = Control(id);
  return control != nullptr ? SendMessageA(control, message, wParam, lParam) : -1;
}

std::string Win32DialogUi::GetText(int id) {
  HWND control = Control(id);
  if (control == nullptr) return std::string();
  const int length = GetWindowTextLengthA(control);
  if (length <= 0) return std::string();
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(control, &text[0], length + 1);
  text.resize(static_cast<size_t>(std::max(copied, 0)));
  return text;
}

void Win32DialogUi::SetText(int id, const std::string& text) {
  if (HWND control = Control(id)) SetWindowTextA(control, text.c_str());
}

void Win32DialogUi::Enable(int id, bool enable) {
  if (HWND control = Control(id)) EnableWindow(control, enable ? TRUE : FALSE);
}

bool Win32DialogUi::IsEnabled(int id) {
  HWND control = Control(id);
  return control != nullptr && IsWindowEnabled(control) != FALSE;
}

void Win32DialogUi::Show(int id, bool show) {
  if (HWND control = Control(id)) ShowWindow(control, show ? SW_SHOW : SW_HIDE);
}

bool Win32DialogUi::IsVisible(int id) {
  // The control's own style bit: IsWindowVisible would also answer for a hidden dialog.
  HWND control = Control(id);
  return control != nullptr && (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

int Win32DialogUi::ClientWidth(int id) {
  RECT rect = {};
  HWND control = Control(id);
  if (control == nullptr || !GetClientRect(control, &rect)) return 0;
  return rect.right - rect.left;
}

int Win32DialogUi::ComboAddString(int id, const std::string& text) {
  return static_cast<int>(SendIndexed(id, CB_ADDSTRING, 0, TextParam(text)));
}

int Win32DialogUi::ComboDeleteString(int id, int index) {
  return static_cast<int>(SendIndexed(id, CB_DELETESTRING, static_cast<WPARAM>(index), 0));
}

int Win32DialogUi::ComboFindString(int id, int startAfter, const std::string& prefix) {
  return static_cast<int>(
      SendIndexed(id, CB_FINDSTRING, static_cast<WPARAM>(startAfter), TextParam(prefix)));
}

int Win32DialogUi::ComboSetCurSel(int id, int index) {
  return static_cast<int>(SendIndexed(id, CB_SETCURSEL, static_cast<WPARAM>(index), 0));
}

int Win32DialogUi::ComboGetCurSel(int id) {
  return static_cast<int>(SendIndexed(id, CB_GETCURSEL, 0, 0));
}

int Win32DialogUi::ComboGetCount(int id) {
  return static_cast<int>(SendIndexed(id, CB_GETCOUNT, 0, 0));
}

std::string Win32DialogUi::ComboGetItemText(int id, int index) {
  const LRESULT length = SendIndexed(id, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length <= 0) return std::string();
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const LRESULT copied =
      SendIndexed(id, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
  text.resize(copied > 0 ? static_cast<size_t>(std::min<LRESULT>(copied, length)) : 0);
  return text;
}

void Win32DialogUi::ComboResetContent(int id) { SendIndexed(id, CB_RESETCONTENT, 0, 0); }

ImageListRef Win32DialogUi::CreateImageList(int cx, int cy, int initial, int grow) {
  // The bitmaps have 16 colours; the mask makes their white background transparent.
  ScopedImageList list(ImageList_Create(cx, cy, ILC_COLOR4 | ILC_MASK, initial, grow));
  if (!list) return 0;
  m_ownedImageLists.push_back(std::move(list));
  return reinterpret_cast<ImageListRef>(m_ownedImageLists.back().Get());
}

int Win32DialogUi::ImageListAddBitmap(ImageListRef list, int bitmapId, uint32_t maskRgb) {
  if (list == 0) return -1;
  ScopedBitmap bitmap(LoadBitmapA(m_resources, MAKEINTRESOURCEA(bitmapId)));
  if (!bitmap) return -1;
  // AddMasked copies the picture; the bitmap itself is ours to delete.
  return ImageList_AddMasked(reinterpret_cast<HIMAGELIST>(list), bitmap.Get(),
                             static_cast<COLORREF>(maskRgb));
}

void Win32DialogUi::ListSetSmallImageList(int id, ImageListRef list) {
  HWND view = Control(id);
  if (view == nullptr) return;
  HIMAGELIST images = reinterpret_cast<HIMAGELIST>(list);
  SendMessageA(view, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
  // A list view without LVS_SHAREIMAGELISTS destroys its image lists with itself: from now
  // on the list belongs to the control.
  if ((GetWindowLongA(view, GWL_STYLE) & LVS_SHAREIMAGELISTS) == 0)
    for (ScopedImageList& owned : m_ownedImageLists)
      if (owned.Get() == images) owned.Release();
}

int Win32DialogUi::ListInsertColumn(int id, int column, const std::string& header, int width,
                                    int subItem) {
  LVCOLUMNA info = {};
  info.mask = LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
  info.cx = width;
  info.pszText = const_cast<char*>(header.c_str());
  info.iSubItem = subItem;
  return static_cast<int>(SendIndexed(id, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column),
                                      reinterpret_cast<LPARAM>(&info)));
}

int Win32DialogUi::ListInsertItem(int id, int index, const std::string& text, int image) {
  LVITEMA item = {};
  item.mask = LVIF_TEXT | LVIF_IMAGE;
  item.iItem = index;
  item.pszText = const_cast<char*>(text.c_str());
  item.iImage = image;
  return static_cast<int>(SendIndexed(id, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

bool Win32DialogUi::ListSetItemText(int id, int item, int subItem, const std::string& text) {
  LVITEMA info = {};
  info.iSubItem = subItem;
  info.pszText = const_cast<char*>(text.c_str());
  return SendIndexed(id, LVM_SETITEMTEXTA, static_cast<WPARAM>(item),
                     reinterpret_cast<LPARAM>(&info)) > 0;
}

std::string Win32DialogUi::ListGetItemText(int id, int item, int subItem) {
  char text[512] = {};
  LVITEMA info = {};
  info.iSubItem = subItem;
  info.pszText = text;
  info.cchTextMax = sizeof text;
  const LRESULT copied = SendIndexed(id, LVM_GETITEMTEXTA, static_cast<WPARAM>(item),
                                     reinterpret_cast<LPARAM>(&info));
  if (copied <= 0 || info.pszText == nullptr) return std::string();
  return std::string(info.pszText, std::min<size_t>(static_cast<size_t>(copied), sizeof text - 1));
}

bool Win32DialogUi::ListDeleteAllItems(int id) {
  return SendIndexed(id, LVM_DELETEALLITEMS, 0, 0) > 0;
}

int Win32DialogUi::ListGetItemCount(int id) {
  HWND view = Control(id);
  return view != nullptr ? static_cast<int>(SendMessageA(view, LVM_GETITEMCOUNT, 0, 0)) : 0;
}

int Win32DialogUi::MessageBox(const std::string& text, const std::string& caption,
                              unsigned style) {
  return MessageBoxA(m_dialog, text.c_str(), caption.c_str(), style);
}

}  // namespace platform
