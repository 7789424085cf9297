#include "tavrik/win9x_ejector.h"

#include "platform/owners/scoped_volume_handle.h"
#include "tavrik/drive_letter.h"
#include "tavrik/format_text.h"

using platform::DiocRegisters;
using platform::kCarryFlag;
using platform::VolumeHandle;

namespace {

constexpr const char kVwin32Path[] = "\\\\.\\vwin32";

constexpr const char kVolumeInUse[] =
    "'リムーバブルディスク(%c:)'がもう１つのアプリケーションによって使用中です。\n"
    "そのボリュームからファイルやウィンドウが開いてないか確認してください。\n";
constexpr const char kCannotEject[] =
    "'リムーバブルディスク(%c:)' からメディアを排出することができませんでした。\n"
    "ボリュームのファイルが使用中でないか確認をしてください。\n";
constexpr const char kEjected[] = "'リムーバブルディスク(%c:)'のメディアをイジェクトしました。\n";

// Interrupt 21h function 440Dh: generic IOCTL for block devices; CX selects the request.
constexpr uint32_t kGenericIoctl = 0x440D;
constexpr uint32_t kEnumerateOpenFiles = 0x486D;
constexpr uint32_t kLockVolumeFat32 = 0x484A;
constexpr uint32_t kLockVolume = 0x084A;
constexpr uint32_t kUnlockVolumeFat32 = 0x486A;
constexpr uint32_t kUnlockVolume = 0x086A;
constexpr uint32_t kLockRemovableMedia = 0x0848;
constexpr uint32_t kEjectRemovableMedia = 0x0849;

// Operations of the lock-or-unlock-media parameter block (byte 0; byte 1 is the lock count).
constexpr uint8_t kMediaUnlock = 1;
constexpr uint8_t kMediaStatus = 2;
// DOS errors of the status request that mean no lock is held: the volume is not locked, or
// the driver does not know media locks at all.
constexpr uint32_t kDosErrorNotLocked = 0xB0;
constexpr uint32_t kDosErrorInvalidFunction = 1;

// The FAT32-aware lock category first, then the older one for drivers that lack it; each
// tried for about 200 ms, enough for the shell to close a handle it held on the volume.
constexpr int kLockAttempts = 20;
constexpr uint32_t kLockRetryMs = 10;

constexpr uint32_t kPathBufferSize = 260;

// A zeroed register block for one generic IOCTL request.
DiocRegisters DosRegisters(uint32_t function, uint32_t ebx, uint32_t edx = 0) {
  DiocRegisters registers;
  registers.eax = kGenericIoctl;
  registers.ecx = function;
  registers.ebx = ebx;
  registers.edx = edx;
  return registers;
}

}  // namespace

CWin9xEjector::CWin9xEjector(platform::IVolumeIo& io, platform::ISystem& system)
    : m_io(io), m_system(system) {}

CWin9xEjector::~CWin9xEjector() = default;

int CWin9xEjector::Eject(char letter) {
  m_strError.clear();
  m_strResult.clear();
  if (!IsDriveLetter(letter)) {
    m_strError = FormatText(kVolumeInUse, letter);
    return 0;
  }
  const unsigned drive = DriveNumber(letter);
  platform::ScopedVolumeHandle device(
      m_io, m_io.CreateFileA(kVwin32Path, 0, platform::kFileShareRead | platform::kFileShareWrite,
                             0, platform::kFileFlagDeleteOnClose));
  const VolumeHandle vwin32 = device.Get();
  // Every way out unlocks the volume first, whether or not the lock was taken, then closes.
  auto finish = [&](int result) {
    UnlockLogicalVolume(vwin32, drive);
    device.Close();
    return result;
  };
  if (HasOpenFiles(vwin32, drive) || !LockLogicalVolume(vwin32, drive)) {
    m_strError = FormatText(kVolumeInUse, letter);
    return finish(0);
  }
  if (!ReleaseMediaLocks(vwin32, drive)) return finish(0);
  if (!EjectMedia(vwin32, drive)) {
    m_strError = FormatText(kCannotEject, letter);
    return finish(0);
  }
  m_strResult = FormatText(kEjected, letter);
  return finish(1);
}

int CWin9xEjector::Send(VolumeHandle device, DiocRegisters& registers) {
  // Without the device every request fails, as DeviceIoControl on INVALID_HANDLE_VALUE would.
  if (device == platform::kInvalidVolumeHandle) return 0;
  uint32_t returned = 0;
  return m_io.DeviceIoControl(device, platform::kVwin32DiocDosIoctl, &registers,
                              sizeof registers, &registers, sizeof registers, &returned);
}

bool CWin9xEjector::Request(VolumeHandle device, uint32_t function, uint32_t ebx, uint32_t edx) {
  DiocRegisters registers = DosRegisters(function, ebx, edx);
  return Send(device, registers) != 0 && (registers.flags & kCarryFlag) == 0;
}

bool CWin9xEjector::HasOpenFiles(VolumeHandle device, unsigned drive) {
  // Asks for the first open file of any kind (ESI index 0, EDI 0) on the drive (BH 3 is the
  // level of the enumeration); success means there is one.
  char path[kPathBufferSize] = {};
  return Request(device, kEnumerateOpenFiles, 0x0300u | drive,
                 m_io.BufferAddress(path, sizeof path));
}

bool CWin9xEjector::LockLogicalVolume(VolumeHandle device, unsigned drive) {
  for (uint32_t function : {kLockVolumeFat32, kLockVolume}) {
    for (int attempt = 0; attempt < kLockAttempts; ++attempt) {
      // BL the drive, BH lock level 0; EDX 0: no write, no new-file permissions.
      if (Request(device, function, drive)) return true;
      m_system.Sleep(kLockRetryMs);
    }
  }
  return false;
}

bool CWin9xEjector::ReleaseMediaLocks(VolumeHandle device, unsigned drive) {
  uint8_t block[2] = {kMediaStatus, 0};
  const uint32_t address = m_io.BufferAddress(block, sizeof block);
  DiocRegisters status = DosRegisters(kLockRemovableMedia, drive, address);
  if (Send(device, status) == 0) return false;
  if ((status.flags & kCarryFlag) != 0 && status.eax != kDosErrorNotLocked &&
      status.eax != kDosErrorInvalidFunction)
    return false;
  // Every reply rewrites the lock count with what is left, so the count the status reported
  // is how many unlocks are due; comparing the unlocks done with the shrinking count would
  // stop halfway and leave the medium locked.
  const unsigned held = block[1];
  for (unsigned done = 0; done < held && block[1] != 0; ++done) {
    block[0] = kMediaUnlock;
    if (!Request(device, kLockRemovableMedia, drive, address)) return false;
  }
  return true;
}

bool CWin9xEjector::EjectMedia(VolumeHandle device, unsigned drive) {
  return Request(device, kEjectRemovableMedia, drive);
}

void CWin9xEjector::UnlockLogicalVolume(VolumeHandle device, unsigned drive) {
  if (!Request(device, kUnlockVolumeFat32, drive)) Request(device, kUnlockVolume, drive);
}
