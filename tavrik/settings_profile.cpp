#include "tavrik/settings_profile.h"

#include "platform/scoped_reg_key.h"

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
  uint32_t type = 0;
  uint32_t size = 0;
  if (m_registry.QueryValue(key.Get(), entry.c_str(), &type, nullptr, &size) !=
          platform::kErrorSuccess ||
      type != platform::kRegSz || size == 0)
    return std::string();
  std::string value(size, '\0');
  if (m_registry.QueryValue(key.Get(), entry.c_str(), &type,
                            reinterpret_cast<uint8_t*>(&value[0]), &size) != platform::kErrorSuccess)
    return std::string();
  value.resize(size);
  // The stored text ends at its first terminator.
  size_t end = value.find('\0');
  if (end != std::string::npos) value.resize(end);
  return value;
}

bool CSettingsProfile::WriteString(const std::string& section, const std::string& entry,
                                   const std::string& value) {
  ScopedRegKey key(m_registry);
  if (key.Create(platform::kHkeyCurrentUser, SectionPath(section),
                 platform::kKeyAllAccess) != platform::kErrorSuccess)
    return false;
  return m_registry.SetValue(key.Get(), entry.c_str(), platform::kRegSz,
                             reinterpret_cast<const uint8_t*>(value.c_str()),
                             static_cast<uint32_t>(value.size() + 1)) == platform::kErrorSuccess;
}

void CSettingsProfile::DeleteEntry(const std::string& section, const std::string& entry) {
  ScopedRegKey key(m_registry);
  if (key.Open(platform::kHkeyCurrentUser, SectionPath(section), platform::kKeyAllAccess) !=
      platform::kErrorSuccess)
    return;
  m_registry.DeleteValue(key.Get(), entry.c_str());
}
