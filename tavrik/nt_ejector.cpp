#include "tavrik/nt_ejector.h"

#include "platform/owners/scoped_volume_handle.h"
#include "platform/win32_codes.h"
#include "tavrik/drive_letter.h"
#include "tavrik/format_text.h"

using platform::kInvalidVolumeHandle;
using platform::VolumeHandle;

namespace {

constexpr const char kWrongDriveType[] =
    "イジェクトすることができません。ドライブタイプは正しくありません。\n";
constexpr const char kVolumeInUse[] =
    " %c: ドライブは他のアプリケーションによって使用中です。そのため、イジェクトすることができません\n";
constexpr const char kCannotDismount[] = " %c: ドライブをディスマウントできません.\n";
constexpr const char kCannotAllowRemoval[] =
    " %c: ドライブのPreventRemovalOfVolumeができません.\n";
constexpr const char kCannotClose[] = " %c: ドライブをクローズできません.\n";
constexpr const char kEjected[] = "ドライブ %c のメディアが安全にイジェクトされました。\n";
constexpr const char kMayRemove[] = "ドライブ %c のメディアを安全に取り去ることができます。\n";

// A volume some program holds open refuses the lock; it is retried for about 1.5 seconds,
// which is long enough for Explorer to let go of a folder it was reading.
constexpr int kLockAttempts = 20;
constexpr uint32_t kLockRetryMs = 75;

}  // namespace

CNtEjector::CNtEjector(platform::IVolumeIo& io, platform::ISystem& system)
    : m_io(io), m_system(system) {}

CNtEjector::~CNtEjector() = default;

int CNtEjector::Eject(char letter) {
  m_bVolumeInUse = false;
  platform::ScopedVolumeHandle volume(m_io, OpenVolume(letter));
  if (!volume.IsValid()) return 0;
  if (!LockVolume(volume.Get())) {
    m_strError = FormatText(kVolumeInUse, letter);
    m_bVolumeInUse = true;
    return 0;
  }
  if (!Control(volume.Get(), platform::kFsctlDismountVolume)) {
    m_strError = FormatText(kCannotDismount, letter);
    m_bVolumeInUse = true;
    return 0;
  }
  // PREVENT_MEDIA_REMOVAL { PreventMediaRemoval = FALSE }: undo any hold on the medium.
  const uint8_t prevent = 0;
  if (!Control(volume.Get(), platform::kIoctlStorageMediaRemoval, &prevent, sizeof prevent)) {
    m_strError = FormatText(kCannotAllowRemoval, letter);
    return 0;
  }
  // A drive without an eject mechanism refuses this; the medium is still safe to pull out.
  const bool ejected = Control(volume.Get(), platform::kIoctlStorageEjectMedia);
  // The lock ends with the handle, so no unlock request is sent.
  if (!volume.Close()) {
    m_strError = FormatText(kCannotClose, letter);
    return 0;
  }
  m_strResult = FormatText(ejected ? kEjected : kMayRemove, letter);
  return 1;
}

VolumeHandle CNtEjector::OpenVolume(char letter) {
  uint32_t access = 0;
  const unsigned type = IsDriveLetter(letter)
                            ? m_system.QueryDriveType(FormatText(m_strRootFormat.c_str(),
                                                                 letter).c_str())
                            : platform::kDriveNoRootDir;
  if (type == platform::kDriveRemovable) {
    access = platform::kAccessGenericRead | platform::kAccessGenericWrite;
  } else if (type == platform::kDriveCdrom) {
    access = platform::kAccessGenericRead;
  } else {
    m_strError = kWrongDriveType;
    return kInvalidVolumeHandle;
  }
  const std::string path = FormatText(m_strVolumeFormat.c_str(), letter);
  const uint32_t share = platform::kFileShareRead | platform::kFileShareWrite;
  VolumeHandle volume = m_io.CreateFileA(path.c_str(), access, share, platform::kOpenExisting, 0);
  // A limited account (Vista's standard token too) may be refused write access to a volume;
  // the lock, dismount, removal and eject requests need read access only.
  if (volume == kInvalidVolumeHandle && access != platform::kAccessGenericRead &&
      m_io.GetLastError() == static_cast<uint32_t>(platform::kErrorAccessDenied))
    volume = m_io.CreateFileA(path.c_str(), platform::kAccessGenericRead, share,
                              platform::kOpenExisting, 0);
  if (volume == kInvalidVolumeHandle) SetErrorFromLastError("CreateFile");
  return volume;
}

bool CNtEjector::LockVolume(VolumeHandle volume) {
  for (int attempt = 0; attempt < kLockAttempts; ++attempt) {
    if (Control(volume, platform::kFsctlLockVolume)) return true;
    m_system.Sleep(kLockRetryMs);
  }
  return false;
}

bool CNtEjector::Control(VolumeHandle volume, uint32_t code, const void* in, uint32_t inSize) {
  uint32_t returned = 0;
  return m_io.DeviceIoControl(volume, code, in, inSize, nullptr, 0, &returned) != 0;
}

void CNtEjector::SetErrorFromLastError(const char* text) {
  m_strError = FormatText(m_strErrorFormat.c_str(), static_cast<int>(m_io.GetLastError()), text);
}
