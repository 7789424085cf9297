// Reading a fake machine's registry back, for the checks of a test.
#pragma once
#include <string>

#include "platform/registry.h"

namespace fake {

// The text of a value (the key's default value when name is empty), read through a 300-byte
// buffer; "<none>" when the value cannot be read and "<no key>" when the key cannot be opened.
std::string ValueText(platform::IRegistry& registry, platform::RegKey root,
                      const std::string& path, const char* name = "");

}  // namespace fake
