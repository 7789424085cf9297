#include "tavrik/settings_profile.h"

#include "platform/owners/scoped_reg_key.h"

using platform::ScopedRegKey;

CSettingsProfile::CSettingsProfile(platform::IRegistry& registry, const std::string& registryKey,
                                   const std::string& title)
    : m_registry(registry), m_profilePath("Software\\" + registryKey + "\\" + title + "\\") {}

const char* CSettingsProfile::SectionPath(const std::string& section) {
  m_sectionPath.assign(m_profilePath).append(section);
  return m_sectionPath.c_str();
}

std::string CSettingsProfile::GetString(const std::string& section, const std::string& entry) {
  ScopedRegKey key(m_registry);
  if (key.Open(platform::kHkeyCurrentUser, SectionPath(section), platform::kKeyRead) !=
      platform::kErrorSuccess)
    return std::string();
  std::string value;
  key.ReadWholeText(entry.c_str(), value);
  return value;
}

bool CSettingsProfile::WriteString(const std::string& section, const std::string& entry,
                                   const std::string& value) {
  ScopedRegKey key(m_registry);
  if (key.Create(platform::kHkeyCurrentUser, SectionPath(section),
                 platform::kKeyAllAccess) != platform::kErrorSuccess)
    return false;
  return key.WriteText(entry.c_str(), value) == platform::kErrorSuccess;
}

void CSettingsProfile::DeleteEntry(const std::string& section, const std::string& entry) {
  ScopedRegKey key(m_registry);
  if (key.Open(platform::kHkeyCurrentUser, SectionPath(section), platform::kKeyAllAccess) !=
      platform::kErrorSuccess)
    return;
  m_registry.DeleteValue(key.Get(), entry.c_str());
}
