// The main window's shell object: shortcuts and special folders, over the shell seam.
#pragma once
#include "platform/shell.h"

class CShellTools {
 public:
  explicit CShellTools(platform::IShell& shell) : m_shell(shell) {}

  // True when the link file was saved.
  bool CreateShortcut(const char* linkPath, const char* description, const char* targetPath) {
    return m_shell.CreateShortcut(linkPath, description, targetPath);
  }
  // True when the folder was handed to the shell.
  bool OpenSpecialFolder(int csidl) { return m_shell.OpenSpecialFolder(csidl); }

 private:
  platform::IShell& m_shell;
};
