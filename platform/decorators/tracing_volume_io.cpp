#include "platform/decorators/tracing_volume_io.h"

#include <cstring>

namespace platform {

VolumeHandle TracingVolumeIo::CreateFileA(const char* path, uint32_t access, uint32_t share,
                                          uint32_t creation, uint32_t flags) {
  VolumeHandle handle = m_inner.CreateFileA(path, access, share, creation, flags);
  if (handle == kInvalidVolumeHandle) m_lastError = m_inner.GetLastError();
  std::fprintf(m_out, "CreateFileA \"%s\" access=0x%08lX share=%lu creation=%lu flags=0x%08lX",
               path != nullptr ? path : "", static_cast<unsigned long>(access),
               static_cast<unsigned long>(share), static_cast<unsigned long>(creation),
               static_cast<unsigned long>(flags));
  if (handle == kInvalidVolumeHandle)
    std::fprintf(m_out, " -> INVALID_HANDLE_VALUE (error %lu)\n",
                 static_cast<unsigned long>(m_lastError));
  else
    std::fprintf(m_out, " -> handle\n");
  return handle;
}

int TracingVolumeIo::DeviceIoControl(VolumeHandle handle, uint32_t code, const void* in,
                                     uint32_t inSize, void* out, uint32_t outSize,
                                     uint32_t* bytesReturned) {
  DiocRegisters sent;
  const bool dos = code == kVwin32DiocDosIoctl && in != nullptr && inSize >= sizeof sent;
  if (dos) std::memcpy(&sent, in, sizeof sent);
  int ok = m_inner.DeviceIoControl(handle, code, in, inSize, out, outSize, bytesReturned);
  if (!ok) m_lastError = m_inner.GetLastError();
  std::fprintf(m_out, "DeviceIoControl code=0x%08lX in=%lu out=%lu",
               static_cast<unsigned long>(code), static_cast<unsigned long>(inSize),
               static_cast<unsigned long>(outSize));
  if (dos)
    std::fprintf(m_out, " EAX=0x%04lX ECX=0x%04lX EBX=0x%04lX",
                 static_cast<unsigned long>(sent.eax), static_cast<unsigned long>(sent.ecx),
                 static_cast<unsigned long>(sent.ebx));
  if (ok && dos && out != nullptr && outSize >= sizeof(DiocRegisters)) {
    DiocRegisters reply;
    std::memcpy(&reply, out, sizeof reply);
    std::fprintf(m_out, " -> TRUE CF=%lu EAX=0x%04lX\n",
                 static_cast<unsigned long>(reply.flags & kCarryFlag),
                 static_cast<unsigned long>(reply.eax));
  } else if (ok)
    std::fprintf(m_out, " -> TRUE\n");
  else
    std::fprintf(m_out, " -> FALSE (error %lu)\n", static_cast<unsigned long>(m_lastError));
  return ok;
}

int TracingVolumeIo::CloseHandle(VolumeHandle handle) {
  int ok = m_inner.CloseHandle(handle);
  if (!ok) m_lastError = m_inner.GetLastError();
  std::fprintf(m_out, "CloseHandle -> %s\n", ok ? "TRUE" : "FALSE");
  return ok;
}

}  // namespace platform
