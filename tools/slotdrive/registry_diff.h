// What changed between two registry images, key by key and value by value, matched the way
// the registry matches names (ignoring case). Each difference is one line of text; value data
// is shown as text where it is text (strings, and binary mount records that hold UTF-16
// text), else as hex.
#pragma once
#include <string>
#include <vector>

#include "platform/twin/twin_registry.h"

namespace slotdrive {

struct RegistryDiffOptions {
  // Only these keys and what lies below them ("HKEY_LOCAL_MACHINE\SYSTEM"); empty: all.
  std::vector<std::string> scopes;
  // What keys hold, not which keys exist: a key without values and an empty default string
  // count as absent.
  bool valuesOnly = false;
  // Strings in keys whose path ends in one of these names compare ignoring case.
  std::vector<std::string> anyCaseKeys;
};

// The differences from before to after, one line each, in key then value-name order:
// "added key [KEY]", "removed key [KEY]", "added [KEY] NAME = DATA",
// "removed [KEY] NAME = DATA", "changed [KEY] NAME: OLD -> NEW". Names and text are in the
// encoding of the command line (see console_text.h).
std::vector<std::string> DiffRegistries(const platform::MemoryRegistry& before,
                                        const platform::MemoryRegistry& after,
                                        const RegistryDiffOptions& options);

// A key as the user gives it ("HKLM\SYSTEM\MountedDevices") in its full form
// ("HKEY_LOCAL_MACHINE\SYSTEM\MountedDevices", no trailing backslash); false for an unknown
// root.
bool FullKeyName(const std::string& key, std::string& fullName);

}  // namespace slotdrive
