#include <windows.h>

#include "tavrik/win32/ejector_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  CEjectorApp app(instance);
  return app.Run();
}
