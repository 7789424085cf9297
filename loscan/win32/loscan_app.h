// Loscan's application object: one modal main dialog; the program ends when it closes.
#pragma once
#include <windows.h>

class CLoscanApp {
 public:
  explicit CLoscanApp(HINSTANCE instance) : m_instance(instance) {}
  // Enables the common controls and runs the main dialog. Returns FALSE: there is nothing
  // to run after the dialog.
  BOOL InitInstance();

 private:
  HINSTANCE m_instance;
};
