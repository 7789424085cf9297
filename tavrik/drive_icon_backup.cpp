#include "tavrik/drive_icon_backup.h"

#include "platform/mbcs_text.h"
#include "platform/scoped_reg_key.h"

namespace {

const char kBackData[] = "BackData";
constexpr uint32_t kValueBuffer = 256;

}  // namespace

bool ReadDriveIconText(platform::IRegistry& registry, platform::RegKey key, const char* name,
                       std::string& text) {
  // A value that fills the 256 bytes without a terminator is kept, ended in a spare byte.
  return platform::ReadText(registry, key, name, {kValueBuffer, true}, text);
}

bool WriteDriveIconValue(platform::IRegistry& registry, platform::RegKey key,
                         const std::string& wanted) {
  std::string backup;
  if (!ReadDriveIconText(registry, key, kBackData, backup)) {
    std::string old;
    if (ReadDriveIconText(registry, key, "", old) && !old.empty() &&
        MbcsUpper(old) != MbcsUpper(wanted))
      platform::WriteText(registry, key, kBackData, old);
  }
  return platform::WriteText(registry, key, "", wanted) == platform::kErrorSuccess;
}

bool RestoreDriveIconValue(platform::IRegistry& registry, platform::RegKey key) {
  platform::WriteText(registry, key, "", "");
  std::string backup;
  if (!ReadDriveIconText(registry, key, kBackData, backup)) return false;
  platform::WriteText(registry, key, "", backup);
  platform::WriteText(registry, key, kBackData, "");
  registry.DeleteValue(key, kBackData);
  return true;
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
