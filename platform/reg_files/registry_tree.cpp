#include "platform/reg_files/registry_tree.h"

#include <string>

#include "platform/owners/scoped_reg_key.h"

namespace platform {

long DeleteRegistryTree(IRegistry& registry, RegKey parent, const char* subKey) {
  if (subKey == nullptr || *subKey == '\0') return kErrorInvalidParameter;
  ScopedRegKey key(registry);
  long rc = key.Open(parent, subKey, kKeyEnumerateSubKeys | kKeyQueryValue);
  if (rc != kErrorSuccess) return rc;
  // Always take index 0: each deletion moves the next subkey there.
  for (;;) {
    char name[1024];
    uint32_t nameChars = sizeof name;
    rc = registry.EnumKey(key.Get(), 0, name, &nameChars);
    if (rc == kErrorNoMoreItems) break;
    if (rc != kErrorSuccess) return rc;
    rc = DeleteRegistryTree(registry, key.Get(), std::string(name, nameChars).c_str());
    if (rc != kErrorSuccess) return rc;
  }
  key.Close();
  return registry.DeleteKey(parent, subKey);
}

}  // namespace platform
