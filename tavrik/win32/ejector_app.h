// The ejector's application object: one instance per logon, then the hidden main window.
#pragma once
#include "platform/win32/windows_names.h"

#include "platform/win32/scoped_win32.h"

class CEjectorApp {
 public:
  explicit CEjectorApp(HINSTANCE instance) : m_instance(instance) {}
  CEjectorApp(const CEjectorApp&) = delete;
  CEjectorApp& operator=(const CEjectorApp&) = delete;
  ~CEjectorApp();

  // Runs the program to its end; the process exit code.
  int Run();

 private:
  // False when another instance holds the name: this one then ends without a trace.
  bool TakeInstanceMutex();

  HINSTANCE m_instance;
  platform::ScopedKernelHandle m_hMutex;
};
