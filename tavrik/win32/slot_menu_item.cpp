#include "tavrik/win32/slot_menu_item.h"

#include "platform/win32/scoped_win32.h"

void MeasureSlotMenuItem(MEASUREITEMSTRUCT& item) {
  // Room for a full-size icon with a little space above and below.
  item.itemHeight = GetSystemMetrics(SM_CYMENU) / 4 + GetSystemMetrics(SM_CYICON);
  item.itemWidth = CEjectorDlg::kOwnerDrawWidth;
}

void DrawSlotMenuItem(const DRAWITEMSTRUCT& item, const CEjectorDlg::OwnerDrawItem& slot) {
  if (slot.text.empty()) return;
  HDC dc = item.hDC;
  const RECT& rect = item.rcItem;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  const bool grayed = (item.itemState & ODS_GRAYED) != 0;
  // The menu goes on drawing with this DC: leave it as it was given.
  platform::ScopedTextState state(dc);

  const COLORREF background = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_MENU);
  {
    platform::ScopedBrush brush(CreateSolidBrush(background));
    FillRect(dc, &rect, static_cast<HBRUSH>(brush.Get()));
  }
  SetBkColor(dc, background);
  const COLORREF textColour =
      GetSysColor(grayed ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);

  const int iconWidth = GetSystemMetrics(SM_CXICON);
  const int iconHeight = GetSystemMetrics(SM_CYICON);
  const int x0 = rect.left + 2;
  const int y0 = rect.top + 2;
  if (!slot.icon.empty()) {
    // A file that cannot be loaded leaves the item without its icon.
    platform::ScopedIcon icon(static_cast<HICON>(
        LoadImageA(nullptr, slot.icon.c_str(), IMAGE_ICON, iconWidth, iconHeight, LR_LOADFROMFILE)));
    if (icon) DrawIcon(dc, x0, y0, icon.Get());
  }

  const int length = static_cast<int>(slot.text.size());
  SIZE extent = {0, 0};
  GetTextExtentPoint32A(dc, slot.text.c_str(), length, &extent);
  const int x = x0 + iconWidth + 8;
  const int y = y0 + iconHeight / 2 - extent.cy / 2;
  if (grayed && !selected) {
    // The raised look of disabled menu text: a highlight copy one pixel down and right.
    SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    SetBkMode(dc, OPAQUE);
    TextOutA(dc, x + 1, y + 1, slot.text.c_str(), length);
  }
  SetTextColor(dc, textColour);
  SetBkMode(dc, TRANSPARENT);
  TextOutA(dc, x, y, slot.text.c_str(), length);
}
