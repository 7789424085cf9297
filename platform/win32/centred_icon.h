// The icon a minimised dialog draws in its client area, centred as the classic dialog
// programs draw it.
#pragma once
#include <windows.h>

void DrawIconCentred(HWND window, HDC dc, HICON icon);
