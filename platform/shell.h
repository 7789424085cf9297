// The shell seam: starting programs and folders, shell links, and the notification-area icon.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// A window as the shell calls see it; 0 is "no window".
using WindowRef = std::uintptr_t;

constexpr int kSwShowNormal = 1;
constexpr int kSwShow = 5;
constexpr int kCsidlDrives = 17;  // My Computer

// Shell_NotifyIconA messages.
constexpr uint32_t kNimAdd = 0;
constexpr uint32_t kNimModify = 1;
constexpr uint32_t kNimDelete = 2;

// Sizes of the Shell_NotifyIconA record the shells take, and the tip each one carries
// (terminator included). Shells before version 5.0 (95, 98, NT 4) know only the first.
constexpr uint32_t kNotifyIconRecordV1 = 88;
constexpr uint32_t kNotifyIconRecordV2 = 488;
constexpr size_t kNotifyIconTipV1 = 64;
constexpr size_t kNotifyIconTipV2 = 128;

class IShell {
 public:
  virtual ~IShell() = default;

  // ShellExecuteA; the result is the instance value, success when greater than 32. On failure
  // GetLastError() below tells why.
  virtual intptr_t ShellExecute(WindowRef owner, const char* verb, const char* file,
                                const char* parameters, const char* directory, int show) = 0;
  // SHGetMalloc, SHGetSpecialFolderLocation and ShellExecuteExA with SEE_MASK_IDLIST and the
  // "open" verb; true when the folder was handed to the shell.
  virtual bool OpenSpecialFolder(int csidl) = 0;
  // A shell link (.lnk) saved at linkPath with the target and description, COM initialised
  // around it; true when the file was saved.
  virtual bool CreateShortcut(const char* linkPath, const char* description,
                              const char* targetPath) = 0;
  // Shell_NotifyIconA for the window's icon uId, with a record of recordSize bytes
  // (kNotifyIconRecordV1 or V2). For kNimAdd and kNimModify the icon resource iconId is shown
  // (16 x 16) with the tip, which must fit the record's tip; kNimDelete only needs the window
  // and uId.
  virtual bool NotifyIcon(uint32_t message, uint32_t recordSize, WindowRef window, uint32_t uId,
                          uint32_t callbackMessage, int iconId, const char* tip) = 0;
  // GetLastError and FormatMessageA (system text, user default language) for a failed call.
  virtual uint32_t GetLastError() = 0;
  virtual std::string SystemErrorText(uint32_t code) = 0;
};

}  // namespace platform
