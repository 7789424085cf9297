#include "tavrik/drive_icon_backup.h"

#include "platform/mbcs_text.h"
#include "platform/scoped_reg_key.h"

namespace {

const char kBackData[] = "BackData";
constexpr uint32_t kValueBuffer = 256;

bool SetText(platform::IRegistry& registry, platform::RegKey key, const char* name,
             const std::string& text) {
  return registry.SetValue(key, name, platform::kRegSz,
                           reinterpret_cast<const uint8_t*>(text.c_str()),
                           static_cast<uint32_t>(text.size() + 1)) == platform::kErrorSuccess;
}

}  // namespace

bool ReadDriveIconText(platform::IRegistry& registry, platform::RegKey key, const char* name,
                       std::string& text) {
  char buffer[kValueBuffer + 1] = {};
  uint32_t size = kValueBuffer;
  if (registry.QueryValue(key, name, nullptr, reinterpret_cast<uint8_t*>(buffer), &size) !=
      platform::kErrorSuccess)
    return false;
  text = buffer;
  return true;
}

bool WriteDriveIconValue(platform::IRegistry& registry, platform::RegKey key,
                         const std::string& wanted) {
  std::string backup;
  if (!ReadDriveIconText(registry, key, kBackData, backup)) {
    std::string old;
    if (ReadDriveIconText(registry, key, "", old) && !old.empty() &&
        MbcsUpper(old) != MbcsUpper(wanted))
      SetText(registry, key, kBackData, old);
  }
  return SetText(registry, key, "", wanted);
}

bool RestoreDriveIconValue(platform::IRegistry& registry, platform::RegKey key) {
  SetText(registry, key, "", "");
  std::string backup;
  if (!ReadDriveIconText(registry, key, kBackData, backup)) return false;
  SetText(registry, key, "", backup);
  SetText(registry, key, kBackData, "");
  registry.DeleteValue(key, kBackData);
  return true;
}

long DeleteDriveIconSubKey(platform::IRegistry& registry, platform::RegKey root,
                           const std::string& parentPath, const char* subKey) {
  platform::ScopedRegKey parent(registry);
  long status = parent.Open(root, parentPath.c_str(), platform::kKeyWrite);
  return status == platform::kErrorSuccess ? registry.DeleteKey(parent.Get(), subKey) : status;
}
