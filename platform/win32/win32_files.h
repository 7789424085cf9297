// The files seam over the real file-system calls.
#pragma once
#include "platform/files.h"

namespace platform {

class Win32Files : public IFiles {
 public:
  uint32_t GetShortPathNameA(const char* longPath, char* shortPath,
                             uint32_t shortChars) override;
  uint32_t GetModuleFileNameA(char* buffer, uint32_t size) override;
  uint32_t GetSystemDirectoryA(char* buffer, uint32_t size) override;
  uint32_t GetWindowsDirectoryA(char* buffer, uint32_t size) override;
  bool GetUserNameA(char* buffer, uint32_t* size) override;
  bool CreateDirectoryA(const char* path) override;
  bool DeleteFileA(const char* path) override;
  bool MoveFileA(const char* from, const char* to) override;
  bool FileExists(const char* path) override;
  FileWrite WriteNewFile(const char* path, const std::string& bytes) override;
};

}  // namespace platform
