// Centres a top-level window over another window, or over the work area of the screen.
#pragma once
#include <windows.h>

// over may be null: the window is centred on the work area. The window is kept inside the
// work area either way.
void CenterWindow(HWND window, HWND over);
