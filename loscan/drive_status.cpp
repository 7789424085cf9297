#include "loscan/drive_status.h"

#include "loscan/network_reservations.h"
#include "platform/win32_codes.h"
#include "resources/loscan/resource.h"

const int kStatusImageBitmaps[kStatusImageCount] = {
    IDB_DRIVE_REMOVABLE, IDB_DRIVE_FIXED,   IDB_DRIVE_CDROM,   IDB_DRIVE_NETWORK,
    IDB_DRIVE_UNUSED,    IDB_DRIVE_RAMDISK, IDB_DRIVE_UNKNOWN, IDB_DRIVE_RESERVED,
};

namespace {

bool IsReserved(char letter, const char* reserved, int count) {
  if (reserved == nullptr) return false;
  if (count > kMaxReservations) count = kMaxReservations;
  for (int i = 0; i < count; ++i)
    if (reserved[i] == letter) return true;
  return false;
}

DriveStatus Status(int image, const char* kind, bool remove) {
  DriveStatus status;
  status.hasRow = true;
  status.image = image;
  status.kind = kind;
  status.removeFromChoices = remove;
  return status;
}

}  // namespace

DriveStatus ClassifyDrive(unsigned driveType, char letter, const char* reserved, int count) {
  switch (driveType) {
    case platform::kDriveUnknown:
      return Status(kImageUnknown, "不明なドライブ", true);
    case platform::kDriveNoRootDir:
      // A remembered connection that is not connected now still owns its letter.
      if (IsReserved(letter, reserved, count))
        return Status(kImageReserved, "ネットワークドライブ予約", true);
      return Status(kImageUnused, "現在使用されていません", false);
    case platform::kDriveRemovable:
      return Status(kImageRemovable, "リムーバブルドライブ", false);
    case platform::kDriveFixed:
      return Status(kImageFixed, "固定ドライブ", true);
    case platform::kDriveRemote:
      return Status(kImageNetwork, "ネットワークドライブ", true);
    case platform::kDriveCdrom:
      return Status(kImageCdrom, "CD-ROMドライブ", true);
    case platform::kDriveRamdisk:
      return Status(kImageRamdisk, "RAMドライブ", true);
    default:
      return DriveStatus();
  }
}
