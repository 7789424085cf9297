// The system seam: version numbers, drives, the free-space probe, Sleep and code-page text.
#pragma once
#include <cstdint>
#include <string>

#include "platform/win32_codes.h"

namespace platform {

// dwPlatformId of the two families.
constexpr uint32_t kPlatformWin9x = 1;
constexpr uint32_t kPlatformWinNt = 2;

// The four numbers of OSVERSIONINFOA that the OS classification reads.
struct OsVersionNumbers {
  uint32_t platformId = 0;
  uint32_t major = 0;
  uint32_t minor = 0;
  uint32_t build = 0;
};

class ISystem {
 public:
  virtual ~ISystem() = default;

  // GetVersionExA with dwOSVersionInfoSize 148; a failed call yields all zeros.
  virtual OsVersionNumbers GetVersionNumbers() = 0;
  // GetLogicalDrives: bit 0 is A.
  virtual uint32_t GetLogicalDrives() = 0;
  // GetDriveTypeA on a root path such as "F:\".
  virtual unsigned QueryDriveType(const char* rootPath) = 0;
  // GetDiskFreeSpaceExA with no outputs: true when the medium answers.
  virtual bool ProbeFreeSpace(const char* rootPath) = 0;
  virtual void Sleep(uint32_t milliseconds) = 0;
  // WideCharToMultiByte(CP_ACP, 0, text, -1, out, outBytes, NULL, NULL): text is
  // NUL-terminated UTF-16; returns the bytes written including the terminator, 0 on failure.
  virtual int WideToAnsi(const uint16_t* text, char* out, int outBytes) = 0;
  // MultiByteToWideChar(CP_ACP, 0, text, length, out, outChars): returns the characters
  // written, 0 on failure. length -1 converts through the terminator.
  virtual int AnsiToWide(const char* text, int length, uint16_t* out, int outChars) = 0;
};

}  // namespace platform
