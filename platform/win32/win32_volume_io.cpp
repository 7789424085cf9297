#include "platform/win32/win32_volume_io.h"

#include <windows.h>

#include <cstdint>

namespace platform {

namespace {

HANDLE ToHandle(VolumeHandle handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

VolumeHandle Win32VolumeIo::CreateFileA(const char* path, uint32_t access, uint32_t share,
                                        uint32_t creation, uint32_t flags) {
  HANDLE handle = ::CreateFileA(path, access, share, nullptr, creation, flags, nullptr);
  return reinterpret_cast<VolumeHandle>(handle);
}

int Win32VolumeIo::DeviceIoControl(VolumeHandle handle, uint32_t code, const void* in,
                                   uint32_t inSize, void* out, uint32_t outSize,
                                   uint32_t* bytesReturned) {
  DWORD returned = 0;
  BOOL ok = ::DeviceIoControl(ToHandle(handle), code, const_cast<void*>(in), inSize, out, outSize,
                              &returned, nullptr);
  if (bytesReturned != nullptr) *bytesReturned = returned;
  return ok;
}

int Win32VolumeIo::CloseHandle(VolumeHandle handle) { return ::CloseHandle(ToHandle(handle)); }

uint32_t Win32VolumeIo::GetLastError() { return ::GetLastError(); }

uint32_t Win32VolumeIo::BufferAddress(void* buffer, uint32_t) {
  // VWIN32 exists only on the 32-bit 9x systems, where a pointer is the linear address. A
  // 64-bit build has no VWIN32 to talk to; it hands out no address rather than a cut one.
  const auto address = reinterpret_cast<std::uintptr_t>(buffer);
#if UINTPTR_MAX > UINT32_MAX
  if (address > UINT32_MAX) return 0;
#endif
  return static_cast<uint32_t>(address);
}

}  // namespace platform
