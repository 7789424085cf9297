#include "platform/twin/twin_shell.h"

namespace platform {
namespace {
std::string Text(const char* s) { return s == nullptr ? "(null)" : s; }
}  // namespace

intptr_t RecordingShell::ShellExecute(WindowRef owner, const char* verb, const char* file,
                                      const char* parameters, const char* directory, int show) {
  calls.push_back("ShellExecute " + std::string(owner != 0 ? "owned " : "") + Text(verb) + " " +
                  Text(file) + " |" + Text(parameters) + "| " + Text(directory) + " " +
                  std::to_string(show));
  if (startablePrograms.count(Text(file)) != 0) return 42;
  m_lastError = 2;  // ERROR_FILE_NOT_FOUND, and SE_ERR_FNF as the result
  return 2;
}

bool RecordingShell::OpenSpecialFolder(int csidl) {
  calls.push_back("OpenSpecialFolder " + std::to_string(csidl));
  return specialFoldersWork;
}

bool RecordingShell::CreateShortcut(const char* linkPath, const char* description,
                                    const char* targetPath) {
  calls.push_back("CreateShortcut " + Text(linkPath) + " -> " + Text(targetPath) + " (" +
                  Text(description) + ")");
  if (!shortcutsWork) return false;
  savedLinks.push_back({Text(linkPath), {Text(targetPath), Text(description)}});
  return true;
}

bool RecordingShell::NotifyIcon(uint32_t message, uint32_t recordSize, WindowRef, uint32_t uId,
                                uint32_t, int iconId, const char* tip) {
  calls.push_back("NotifyIcon " + std::to_string(message) + " " + std::to_string(uId) + " " +
                  std::to_string(iconId) +
                  (recordSize == kNotifyIconRecordV1 ? " (88 bytes)" : ""));
  if (recordSize != kNotifyIconRecordV1 && recordSize != kNotifyIconRecordV2) return false;
  if (takesOnlyVersion1Record && recordSize != kNotifyIconRecordV1) return false;
  if (message == kNimAdd) {
    if (trayIconPresent) return false;
    trayIconPresent = true;
  } else if (!trayIconPresent) {
    return false;
  }
  if (message == kNimDelete) {
    trayIconPresent = false;
    return true;
  }
  trayIconId = iconId;
  // As the Win32 side copies it: what does not fit the record's tip is cut off.
  const size_t tipSize = recordSize == kNotifyIconRecordV1 ? kNotifyIconTipV1 : kNotifyIconTipV2;
  trayTip = Text(tip).substr(0, tipSize - 1);
  return true;
}

std::string RecordingShell::SystemErrorText(uint32_t code) {
  if (code == 2) return "The system cannot find the file specified.\r\n";
  return "Error " + std::to_string(code) + "\r\n";
}

}  // namespace platform
