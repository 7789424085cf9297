// The in-memory shell: records every call and answers as the test scripted it.
#pragma once
#include <set>
#include <string>
#include <vector>

#include "platform/shell.h"

namespace platform {

class RecordingShell : public IShell {
 public:
  // One call, as a line such as "ShellExecute open explorer.exe || 1"; a notify-icon call with
  // the 88-byte record ends in " (88 bytes)".
  std::vector<std::string> calls;

  // Programs that ShellExecute can start (file names as passed); others fail with code 2.
  std::set<std::string> startablePrograms{"explorer.exe"};
  bool specialFoldersWork = true;
  bool shortcutsWork = true;
  // A shell before version 5.0 as Microsoft's notify-icon record documentation describes it:
  // only the 88-byte record is taken, every other size is refused.
  bool takesOnlyVersion1Record = false;
  // The tray icon as the shell shows it: whether it is there and which icon resource.
  bool trayIconPresent = false;
  int trayIconId = 0;
  std::string trayTip;
  // Links saved, by path, with their target and description.
  struct Link {
    std::string target;
    std::string description;
  };
  std::vector<std::pair<std::string, Link>> savedLinks;

  intptr_t ShellExecute(WindowRef owner, const char* verb, const char* file,
                        const char* parameters, const char* directory, int show) override;
  bool OpenSpecialFolder(int csidl) override;
  bool CreateShortcut(const char* linkPath, const char* description,
                      const char* targetPath) override;
  bool NotifyIcon(uint32_t message, uint32_t recordSize, WindowRef window, uint32_t uId,
                  uint32_t callbackMessage, int iconId, const char* tip) override;
  uint32_t GetLastError() override { return m_lastError; }
  std::string SystemErrorText(uint32_t code) override;

 private:
  uint32_t m_lastError = 0;
};

}  // namespace platform
