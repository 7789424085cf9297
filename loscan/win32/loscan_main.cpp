#include <windows.h>

#include "loscan/win32/loscan_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  CLoscanApp app(instance);
  app.InitInstance();
  return 0;
}
