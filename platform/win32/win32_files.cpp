#include "platform/win32/win32_files.h"

#include "platform/win32/scoped_win32.h"

#include <windows.h>

#include <cstdio>

namespace platform {

uint32_t Win32Files::GetShortPathNameA(const char* longPath, char* shortPath,
                                       uint32_t shortChars) {
  return ::GetShortPathNameA(longPath, shortPath, shortChars);
}

uint32_t Win32Files::GetModuleFileNameA(char* buffer, uint32_t size) {
  return ::GetModuleFileNameA(nullptr, buffer, size);
}

uint32_t Win32Files::GetSystemDirectoryA(char* buffer, uint32_t size) {
  return ::GetSystemDirectoryA(buffer, size);
}

uint32_t Win32Files::GetWindowsDirectoryA(char* buffer, uint32_t size) {
  return ::GetWindowsDirectoryA(buffer, size);
}

bool Win32Files::GetUserNameA(char* buffer, uint32_t* size) {
  DWORD n = *size;
  BOOL ok = ::GetUserNameA(buffer, &n);
  *size = n;
  return ok != FALSE;
}

bool Win32Files::CreateDirectoryA(const char* path) {
  return ::CreateDirectoryA(path, nullptr) != FALSE;
}

bool Win32Files::DeleteFileA(const char* path) { return ::DeleteFileA(path) != FALSE; }

bool Win32Files::MoveFileA(const char* from, const char* to) {
  return ::MoveFileA(from, to) != FALSE;
}

bool Win32Files::FileExists(const char* path) {
  WIN32_FIND_DATAA found;
  ScopedFindHandle search(::FindFirstFileA(path, &found));
  return static_cast<bool>(search);
}

FileWrite Win32Files::WriteNewFile(const char* path, const std::string& bytes) {
  // Binary mode: the lines carry their own CR LF and nothing may be translated.
  FILE* file = std::fopen(path, "wb");
  if (file == nullptr) return FileWrite::kNotOpened;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const bool closed = std::fclose(file) == 0;
  return written && closed ? FileWrite::kWritten : FileWrite::kIncomplete;
}

}  // namespace platform
