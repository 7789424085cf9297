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

  std::string SectionPath(const std::string& section) const;

 private:
  platform::IRegistry& m_registry;
  std::string m_sectionsPath;  // "Software\<key>\<title>\", made once: every entry needs it
};
