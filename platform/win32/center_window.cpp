#include "platform/win32/center_window.h"

void CenterWindow(HWND window, HWND over) {
  RECT area = {};
  if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0)) {
    area.right = GetSystemMetrics(SM_CXSCREEN);
    area.bottom = GetSystemMetrics(SM_CYSCREEN);
  }
  RECT target = area;
  if (over != nullptr && IsWindowVisible(over) && !IsIconic(over)) GetWindowRect(over, &target);
  RECT own = {};
  if (!GetWindowRect(window, &own)) return;
  const LONG width = own.right - own.left;
  const LONG height = own.bottom - own.top;
  LONG x = (target.left + target.right - width) / 2;
  LONG y = (target.top + target.bottom - height) / 2;
  // Keep the caption reachable: never past the work area's left or top edge.
  if (x + width > area.right) x = area.right - width;
  if (y + height > area.bottom) y = area.bottom - height;
  if (x < area.left) x = area.left;
  if (y < area.top) y = area.top;
  SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
