// The per-user settings profile: HKEY_CURRENT_USER\Software\<key>\<title>\<section>, one
// string value per entry, as a program that registered its settings key keeps them.
#pragma once
#include <string>

#include "platform/registry.h"

class CSettingsProfile {
 public:
  CSettingsProfile(platform::IRegistry& registry, const std::string& registryKey,
                   const std::string& title);

  // The entry's text; empty when the entry, the section or the key does not exist.
  std::string GetString(const std::string& section, const std::string& entry);
  // Creates the section as needed. True when the value was written.
  bool WriteString(const std::string& section, const std::string& entry, const std::string& value);
  // Writing "no value" removes the entry.
  void DeleteEntry(const std::string& section, const std::string& entry);


 private:
  platform::IRegistry& m_registry;
  // The section's key path, built in a buffer kept between calls: every entry read, written or
  // deleted needs it, three per slot at each start and close.
  const char* SectionPath(const std::string& section);

  std::string m_profilePath;  // "Software\<key>\<title>\"
  std::string m_sectionPath;
};
