// Ejecting the medium of one removable drive on the NT family: lock the volume so no program
// still uses it, dismount it, release the hold on the medium and ask the drive to eject.
#pragma once
#include <cstdint>
#include <string>

#include "platform/system.h"
#include "platform/volume_io.h"

class CNtEjector {
 public:
  CNtEjector(platform::IVolumeIo& io, platform::ISystem& system);
  virtual ~CNtEjector();
  CNtEjector(const CNtEjector&) = delete;
  CNtEjector& operator=(const CNtEjector&) = delete;

  // 1 when the medium was ejected or may now be taken out, with m_strResult set; 0 with
  // m_strError set. A character that is not a drive letter fails as a wrong drive type.
  int Eject(char letter);

  const std::string m_strVolumeFormat = "\\\\.\\%c:";
  const std::string m_strRootFormat = "%c:\\";
  const std::string m_strErrorFormat = "Error %d: %s\n";
  std::string m_strError;
  std::string m_strResult;
  // Set by a failed Eject when the volume could not be locked or dismounted: something still
  // holds it open, and the caller may say what.
  bool m_bVolumeInUse = false;

 private:
  // The volume opened for the drive's type, or kInvalidVolumeHandle with m_strError set.
  platform::VolumeHandle OpenVolume(char letter);
  bool LockVolume(platform::VolumeHandle volume);
  bool Control(platform::VolumeHandle volume, uint32_t code, const void* in = nullptr,
               uint32_t inSize = 0);
  void SetErrorFromLastError(const char* text);

  platform::IVolumeIo& m_io;
  platform::ISystem& m_system;
};
