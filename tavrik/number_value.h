// Reading a numeric definition value through a 4-byte buffer, the value type not examined.
#pragma once
#include <cstdint>

#include "platform/registry.h"

// The value's first four bytes as a little-endian number; shorter data is zero-extended. A
// value that is missing, or too long for four bytes, reads as 0.
uint32_t ReadNumberValue(platform::IRegistry& registry, platform::RegKey key, const char* name);
