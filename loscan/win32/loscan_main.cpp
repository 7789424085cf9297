#include <windows.h>

#include "platform/win32/placeholder_window.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return RunPlaceholderWindow("Loscan"); }
