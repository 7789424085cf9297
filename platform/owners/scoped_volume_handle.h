// Owns one handle from the volume I/O seam and closes it on every path.
#pragma once
#include <utility>

#include "platform/volume_io.h"

namespace platform {

class ScopedVolumeHandle {
 public:
  ScopedVolumeHandle(IVolumeIo& io, VolumeHandle handle) : m_io(&io), m_handle(handle) {}
  ScopedVolumeHandle(const ScopedVolumeHandle&) = delete;
  ScopedVolumeHandle& operator=(const ScopedVolumeHandle&) = delete;
  ~ScopedVolumeHandle() { Close(); }

  bool IsValid() const { return m_handle != kInvalidVolumeHandle; }
  VolumeHandle Get() const { return m_handle; }

  // Closes now and gives CloseHandle's result; an invalid or closed handle gives TRUE without
  // a call. The handle is given up either way: a failed close is not retried.
  int Close() {
    if (!IsValid()) return 1;
    return m_io->CloseHandle(std::exchange(m_handle, kInvalidVolumeHandle));
  }

 private:
  IVolumeIo* m_io;
  VolumeHandle m_handle;
};

}  // namespace platform
