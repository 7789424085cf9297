// The volume I/O seam over the real kernel calls.
#pragma once
#include "platform/volume_io.h"

namespace platform {

class Win32VolumeIo : public IVolumeIo {
 public:
  VolumeHandle CreateFileA(const char* path, uint32_t access, uint32_t share, uint32_t creation,
                           uint32_t flags) override;
  int DeviceIoControl(VolumeHandle handle, uint32_t code, const void* in, uint32_t inSize,
                      void* out, uint32_t outSize, uint32_t* bytesReturned) override;
  int CloseHandle(VolumeHandle handle) override;
  uint32_t GetLastError() override;
  uint32_t BufferAddress(void* buffer, uint32_t bytes) override;
};

}  // namespace platform
