#include "fake_machine/value_text.h"

#include "platform/owners/scoped_reg_key.h"

namespace fake {

std::string ValueText(platform::IRegistry& registry, platform::RegKey root,
                      const std::string& path, const char* name) {
  platform::ScopedRegKey key(registry);
  if (key.Open(root, path.c_str(), platform::kKeyRead) != platform::kErrorSuccess)
    return "<no key>";
  char data[300] = {};
  uint32_t size = sizeof data - 1;  // the last byte stays the terminator
  if (registry.QueryValue(key.Get(), name, nullptr, reinterpret_cast<uint8_t*>(data), &size) !=
      platform::kErrorSuccess)
    return "<none>";
  return data;
}

}  // namespace fake
