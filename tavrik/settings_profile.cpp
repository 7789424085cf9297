#include "tavrik/settings_profile.h"

#include <utility>

#include "platform/scoped_reg_key.h"

using platform::ScopedRegKey;

CSettingsProfile::CSettingsProfile(platform::IRegistry& registry, std::string registryKey,
                                   std::string title)
    : m_registry(registry), m_registryKey(std::move(registryKey)), m_title(std::move(title)) {}

std::string CSettingsProfile::SectionPath(const std::string& section) const {
  return "Software\\" + m_registryKey + "\\" + m_title + "\\" + section;
}

std::string CSettingsProfile::GetString(const std::string& section, const std::string& entry) {
  ScopedRegKey key(m_registry);
  if (key.Open(platform::kHkeyCurrentUser, SectionPath(section).c_str(), platform::kKeyRead) !=
      platform::kErrorSuccess)
    return std::string();
  std::string value;
  key.ReadWholeText(entry.c_str(), value);
  return value;
}

bool CSettingsProfile::WriteString(const std::string& section, const std::string& entry,
                                   const std::string& value) {
  ScopedRegKey key(m_registry);
  if (key.Create(platform::kHkeyCurrentUser, SectionPath(section).c_str(),
                 platform::kKeyAllAccess) != platform::kErrorSuccess)
    return false;
  return key.WriteText(entry.c_str(), value) == platform::kErrorSuccess;
}

void CSettingsProfile::DeleteEntry(const std::string& section, const std::string& entry) {
  ScopedRegKey key(m_registry);
  if (key.Open(platform::kHkeyCurrentUser, SectionPath(section).c_str(), platform::kKeyAllAccess) !=
      platform::kErrorSuccess)
    return;
  m_registry.DeleteValue(key.Get(), entry.c_str());
}
