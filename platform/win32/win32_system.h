// The system seam over the real Win32 calls.
#pragma once
#include "platform/system.h"

namespace platform {

class Win32System : public ISystem {
 public:
  OsVersionNumbers GetVersionNumbers() override;
  uint32_t GetLogicalDrives() override;
  unsigned QueryDriveType(const char* rootPath) override;
  bool ProbeFreeSpace(const char* rootPath) override;
  void Sleep(uint32_t milliseconds) override;
  int WideToAnsi(const uint16_t* text, char* out, int outBytes) override;
  int AnsiToWide(const char* text, int length, uint16_t* out, int outChars) override;
};

}  // namespace platform
