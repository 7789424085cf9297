#include "tavrik/drive_icon_backup.h"

#include "platform/owners/scoped_reg_key.h"
#include "platform/text/mbcs_text.h"

namespace {

const char kBackData[] = "BackData";
constexpr uint32_t kValueBuffer = 256;

}  // namespace

long ReadDriveIconValue(platform::IRegistry& registry, platform::RegKey key, const char* name,
                        std::string& text) {
  // A value that fills the 256 bytes without a terminator is kept, ended in a spare byte.
  char data[kValueBuffer + 1] = {};
  uint32_t type = 0;
  uint32_t size = kValueBuffer;
  const long status =
      registry.QueryValue(key, name, &type, reinterpret_cast<uint8_t*>(data), &size);
  if (status != platform::kErrorSuccess) return status;
  text.assign(data);
  return platform::kErrorSuccess;
}

bool WriteDriveIconValue(platform::IRegistry& registry, platform::RegKey key,
                         const std::string& wanted) {
  std::string backup;
  const long backupStatus = ReadDriveIconValue(registry, key, kBackData, backup);
  const bool backedUp = backupStatus == platform::kErrorSuccess && !backup.empty();
  if (!backedUp) {
    // Neither a backup nor an earlier value that cannot be read is ever written over.
    if (backupStatus != platform::kErrorSuccess && backupStatus != platform::kErrorFileNotFound)
      return false;
    std::string old;
    const long oldStatus = ReadDriveIconValue(registry, key, "", old);
    if (oldStatus != platform::kErrorSuccess && oldStatus != platform::kErrorFileNotFound)
      return false;
    if (oldStatus == platform::kErrorSuccess && !old.empty() &&
        MbcsUpper(old) != MbcsUpper(wanted) &&
        platform::WriteText(registry, key, kBackData, old) != platform::kErrorSuccess)
      return false;
  }
  return platform::WriteText(registry, key, "", wanted) == platform::kErrorSuccess;
}

DriveIconUndo UndoDriveIconValue(platform::IRegistry& registry, platform::RegKey key,
                                 const std::function<bool(const std::string&)>& isOurs) {
  std::string backup;
  const long backupStatus = ReadDriveIconValue(registry, key, kBackData, backup);
  if (backupStatus != platform::kErrorSuccess && backupStatus != platform::kErrorFileNotFound)
    return DriveIconUndo::kFailed;
  if (backupStatus == platform::kErrorSuccess && !backup.empty()) {
    if (platform::WriteText(registry, key, "", backup) != platform::kErrorSuccess)
      return DriveIconUndo::kFailed;
    // Emptied first: should the delete fail, an empty backup is taken for none.
    platform::WriteText(registry, key, kBackData, "");
    registry.DeleteValue(key, kBackData);
    return DriveIconUndo::kRestored;
  }
  std::string current;
  const long status = ReadDriveIconValue(registry, key, "", current);
  if (status == platform::kErrorFileNotFound) return DriveIconUndo::kTakenAway;
  if (status != platform::kErrorSuccess) return DriveIconUndo::kFailed;
  if (!current.empty() && !isOurs(current)) return DriveIconUndo::kLeftAlone;
  if (platform::WriteText(registry, key, "", "") != platform::kErrorSuccess)
    return DriveIconUndo::kFailed;
  return DriveIconUndo::kTakenAway;
}

long DeleteDriveIconSubKey(platform::IRegistry& registry, platform::RegKey root,
                           const std::string& parentPath, const char* subKey) {
  platform::ScopedRegKey parent(registry);
  long status = parent.Open(root, parentPath.c_str(), platform::kKeyWrite);
  if (status != platform::kErrorSuccess) return status;
  // Windows 95, 98 and Me would delete the key with whatever another program keeps below it;
  // NT refuses such a key, and so do we, on every system.
  platform::ScopedRegKey key(registry);
  status = key.Open(parent.Get(), subKey, platform::kKeyEnumerateSubKeys);
  if (status != platform::kErrorSuccess) return status;
  char name[260];
  uint32_t nameChars = sizeof name;
  if (registry.EnumKey(key.Get(), 0, name, &nameChars) != platform::kErrorNoMoreItems)
    return platform::kErrorAccessDenied;
  key.Close();
  return registry.DeleteKey(parent.Get(), subKey);
}
