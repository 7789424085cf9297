#include "platform/win32/win32_system.h"

#include <windows.h>

#include <cstring>

#include "platform/win32/optional_function.h"

namespace platform {

OsVersionNumbers Win32System::GetVersionNumbers() {
  // The size is that of OSVERSIONINFOA (148); the result is not checked, because a failed
  // call leaves the zeroed record, which classifies as an unknown system.
  OSVERSIONINFOA info;
  std::memset(&info, 0, sizeof info);
  info.dwOSVersionInfoSize = 148;
  GetVersionExA(&info);
  return {info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber};
}

uint32_t Win32System::GetLogicalDrives() { return ::GetLogicalDrives(); }

unsigned Win32System::QueryDriveType(const char* rootPath) { return ::GetDriveTypeA(rootPath); }

bool Win32System::ProbeFreeSpace(const char* rootPath) {
  // GetDiskFreeSpaceExA came with Windows 95 OSR2; before it, GetDiskFreeSpaceA answers the
  // same question for a medium of any size (its counts may be capped, but they are not used).
  using FreeSpaceEx = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
  const auto freeSpaceEx = OptionalFunction<FreeSpaceEx>("KERNEL32.DLL", "GetDiskFreeSpaceExA");
  if (freeSpaceEx != nullptr) return freeSpaceEx(rootPath, nullptr, nullptr, nullptr) != FALSE;
  DWORD sectorsPerCluster, bytesPerSector, freeClusters, clusters;
  return ::GetDiskFreeSpaceA(rootPath, &sectorsPerCluster, &bytesPerSector, &freeClusters,
                             &clusters) != FALSE;
}

void Win32System::Sleep(uint32_t milliseconds) { ::Sleep(milliseconds); }

int Win32System::WideToAnsi(const uint16_t* text, char* out, int outBytes) {
  return ::WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const WCHAR*>(text), -1, out, outBytes,
                               nullptr, nullptr);
}

int Win32System::AnsiToWide(const char* text, int length, uint16_t* out, int outChars) {
  return ::MultiByteToWideChar(CP_ACP, 0, text, length, reinterpret_cast<WCHAR*>(out), outChars);
}

}  // namespace platform
