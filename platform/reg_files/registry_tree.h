// Deleting a whole key tree through the registry seam. RegDeleteKeyA refuses a key that
// still has subkeys on NT, so the tree is taken down from its leaves.
#pragma once
#include "platform/registry.h"

namespace platform {

// Deletes parent\subKey with everything below it. Returns the first failure, or
// kErrorFileNotFound when the key does not exist. subKey must not be empty.
long DeleteRegistryTree(IRegistry& registry, RegKey parent, const char* subKey);

}  // namespace platform
