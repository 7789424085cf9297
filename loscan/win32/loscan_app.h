// Loscan's application object: one modal main dialog; the program ends when it closes.
#pragma once
#include <windows.h>

#include <string>

class CLoscanApp {
 public:
  explicit CLoscanApp(HINSTANCE instance) : m_instance(instance) {}
  // Enables the common controls and runs the main dialog. Returns FALSE: there is nothing
  // to run after the dialog.
  BOOL InitInstance();

 private:
  // The executable's file name without folder and extension: the caption of message boxes.
  std::string Title() const;

  HINSTANCE m_instance;
};
