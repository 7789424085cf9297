#include "platform/win32/centred_icon.h"

void DrawIconCentred(HWND window, HDC dc, HICON icon) {
  RECT client;
  GetClientRect(window, &client);
  const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
  DrawIcon(dc, x, y, icon);
}
