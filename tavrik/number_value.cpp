#include "tavrik/number_value.h"

uint32_t ReadNumberValue(platform::IRegistry& registry, platform::RegKey key, const char* name) {
  uint8_t data[4] = {};
  uint32_t type = 0;
  uint32_t size = sizeof data;
  if (registry.QueryValue(key, name, &type, data, &size) != platform::kErrorSuccess) return 0;
  return static_cast<uint32_t>(data[0]) | static_cast<uint32_t>(data[1]) << 8 |
         static_cast<uint32_t>(data[2]) << 16 | static_cast<uint32_t>(data[3]) << 24;
}
