// Ejecting the medium of one removable drive on Windows 98 and Me, through the DOS IOCTL
// service of the VWIN32 device: refuse while files are open, lock the logical volume, release
// the media locks, eject, and unlock the volume again.
#pragma once
#include <cstdint>
#include <string>

#include "platform/system.h"
#include "platform/volume_io.h"

class CWin9xEjector {
 public:
  CWin9xEjector(platform::IVolumeIo& io, platform::ISystem& system);
  virtual ~CWin9xEjector();
  CWin9xEjector(const CWin9xEjector&) = delete;
  CWin9xEjector& operator=(const CWin9xEjector&) = delete;

  // 1 with m_strResult set when the medium was ejected; 0 otherwise, with m_strError set
  // (empty when the media locks could not be released). Both texts are emptied first.
  int Eject(char letter);

  std::string m_strError;
  std::string m_strResult;

 private:
  bool HasOpenFiles(platform::VolumeHandle device, unsigned drive);
  bool LockLogicalVolume(platform::VolumeHandle device, unsigned drive);
  bool ReleaseMediaLocks(platform::VolumeHandle device, unsigned drive);
  bool EjectMedia(platform::VolumeHandle device, unsigned drive);
  void UnlockLogicalVolume(platform::VolumeHandle device, unsigned drive);
  // Sends one request; the BOOL of DeviceIoControl. The reply is in registers.
  int Send(platform::VolumeHandle device, platform::DiocRegisters& registers);
  // Sends one request: true when the call went through and the carry flag is clear.
  bool Request(platform::VolumeHandle device, uint32_t function, uint32_t ebx,
               uint32_t edx = 0);

  platform::IVolumeIo& m_io;
  platform::ISystem& m_system;
};
