// A volume I/O seam that passes every call on to another and writes one line per call, for
// seeing from outside which device requests an eject sent (slotdrive's --trace).
#pragma once
#include <cstdio>

#include "platform/volume_io.h"

namespace platform {

class TracingVolumeIo : public IVolumeIo {
 public:
  TracingVolumeIo(IVolumeIo& inner, std::FILE* out) : m_inner(inner), m_out(out) {}

  VolumeHandle CreateFileA(const char* path, uint32_t access, uint32_t share, uint32_t creation,
                           uint32_t flags) override;
  int DeviceIoControl(VolumeHandle handle, uint32_t code, const void* in, uint32_t inSize,
                      void* out, uint32_t outSize, uint32_t* bytesReturned) override;
  int CloseHandle(VolumeHandle handle) override;
  // Taken right after each failing call: writing the trace may change the thread's own.
  uint32_t GetLastError() override { return m_lastError; }
  uint32_t BufferAddress(void* buffer, uint32_t bytes) override {
    return m_inner.BufferAddress(buffer, bytes);
  }

 private:
  IVolumeIo& m_inner;
  std::FILE* m_out;
  uint32_t m_lastError = 0;
};

}  // namespace platform
