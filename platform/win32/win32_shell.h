// The shell seam over the real shell calls: ShellExecute, special folders, shell links and the
// notification-area icon.
#pragma once
#include "platform/win32/windows_names.h"

#include "platform/shell.h"

namespace platform {

class Win32Shell : public IShell {
 public:
  // Tray icons are loaded from the resources of this module.
  explicit Win32Shell(HINSTANCE resources) : m_resources(resources) {}

  intptr_t ShellExecute(WindowRef owner, const char* verb, const char* file,
                        const char* parameters, const char* directory, int show) override;
  bool OpenSpecialFolder(int csidl) override;
  bool CreateShortcut(const char* linkPath, const char* description,
                      const char* targetPath) override;
  bool NotifyIcon(uint32_t message, uint32_t recordSize, WindowRef window, uint32_t uId,
                  uint32_t callbackMessage, int iconId, const char* tip) override;
  uint32_t GetLastError() override;
  std::string SystemErrorText(uint32_t code) override;

 private:
  HINSTANCE m_resources;
};

}  // namespace platform
