// The volume I/O seam: the handful of kernel calls the two eject engines make on a volume
// ("\\.\F:") or on the VWIN32 device of Windows 9x ("\\.\vwin32").
#pragma once
#include <cstdint>

namespace platform {

// A handle as CreateFileA returns it; kInvalidVolumeHandle is INVALID_HANDLE_VALUE.
using VolumeHandle = std::uintptr_t;
constexpr VolumeHandle kInvalidVolumeHandle = static_cast<VolumeHandle>(-1);

// CreateFileA arguments.
constexpr uint32_t kAccessGenericRead = 0x80000000u;
constexpr uint32_t kAccessGenericWrite = 0x40000000u;
constexpr uint32_t kFileShareRead = 0x1;
constexpr uint32_t kFileShareWrite = 0x2;
constexpr uint32_t kOpenExisting = 3;
constexpr uint32_t kFileFlagDeleteOnClose = 0x04000000u;

// Control codes of the NT volume and storage drivers.
constexpr uint32_t kFsctlLockVolume = 0x00090018u;
constexpr uint32_t kFsctlDismountVolume = 0x00090020u;
constexpr uint32_t kIoctlStorageMediaRemoval = 0x002D4804u;
constexpr uint32_t kIoctlStorageEjectMedia = 0x002D4808u;
// VWIN32's DOS IOCTL service (interrupt 21h function 44h, emulated).
constexpr uint32_t kVwin32DiocDosIoctl = 1;

// DIOC_REGISTERS: the register image VWIN32 takes in and gives back for an emulated DOS call.
// Bit 0 of Flags is the carry flag; when it is set, EAX holds the DOS error code.
struct DiocRegisters {
  uint32_t ebx = 0;
  uint32_t edx = 0;
  uint32_t ecx = 0;
  uint32_t eax = 0;
  uint32_t edi = 0;
  uint32_t esi = 0;
  uint32_t flags = 0;
};
static_assert(sizeof(DiocRegisters) == 28, "VWIN32 expects exactly seven 32-bit registers");
constexpr uint32_t kCarryFlag = 0x1;

class IVolumeIo {
 public:
  virtual ~IVolumeIo() = default;

  // CreateFileA(path, access, share, NULL, creation, flags, NULL).
  virtual VolumeHandle CreateFileA(const char* path, uint32_t access, uint32_t share,
                                   uint32_t creation, uint32_t flags) = 0;
  // DeviceIoControl without OVERLAPPED; returns the BOOL of the call.
  virtual int DeviceIoControl(VolumeHandle handle, uint32_t code, const void* in, uint32_t inSize,
                              void* out, uint32_t outSize, uint32_t* bytesReturned) = 0;
  virtual int CloseHandle(VolumeHandle handle) = 0;
  // GetLastError after the latest failing call.
  virtual uint32_t GetLastError() = 0;
  // The 32-bit linear address VWIN32 is to read for a buffer of ours that a register names.
  // Asking the seam instead of casting a pointer keeps a 64-bit build honest: Windows gives
  // the real address, the scripted twin a token it resolves. Valid while the buffer lives.
  virtual uint32_t BufferAddress(void* buffer, uint32_t bytes) = 0;
};

}  // namespace platform
