// Checks shared by the registry conformance cases. Each takes the caller's line, so that a
// failure points at the case rather than at the helper.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace conformance {

// The caller's place, passed as HERE.
struct Where {
  const char* file;
  int line;
};
#define HERE ::conformance::Where{__FILE__, __LINE__}

// Output buffers are pre-filled with this byte, so a case sees what a call wrote and what it
// left alone.
constexpr uint8_t kSentinel = 0xBD;
constexpr uint32_t kSentinelSize = 0xDEADBEEFu;

void SetString(Where at, platform::IRegistry& registry, platform::RegKey key, const char* name,
               const std::string& text);
void SetDword(Where at, platform::IRegistry& registry, platform::RegKey key, const char* name,
              uint32_t value);
platform::RegKey CreateKey(Where at, platform::IRegistry& registry, platform::RegKey parent,
                           const char* path);
void CreateAndCloseKey(Where at, platform::IRegistry& registry, platform::RegKey parent,
                       const char* path);

// Names in enumeration order, read with large buffers until ERROR_NO_MORE_ITEMS.
std::vector<std::string> ValueNames(Where at, platform::IRegistry& registry, platform::RegKey key);
std::vector<std::string> SubkeyNames(Where at, platform::IRegistry& registry, platform::RegKey key);

void ExpectValueNames(Where at, platform::IRegistry& registry, platform::RegKey key,
                      const std::vector<std::string>& expected);
void ExpectSubkeyNames(Where at, platform::IRegistry& registry, platform::RegKey key,
                       const std::vector<std::string>& expected);
// The value reads back with this type and exactly these bytes.
void ExpectValue(Where at, platform::IRegistry& registry, platform::RegKey key, const char* name,
                 uint32_t type, const std::string& bytes);
// Every byte of the buffer from `from` on still holds the sentinel.
void ExpectUntouched(Where at, const uint8_t* buffer, size_t from, size_t size);

}  // namespace conformance
