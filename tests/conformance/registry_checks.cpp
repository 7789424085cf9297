#include "tests/conformance/registry_checks.h"

#include <algorithm>
#include <iterator>

namespace conformance {

using platform::IRegistry;
using platform::RegKey;

void SetString(Where at, IRegistry& registry, RegKey key, const char* name,
               const std::string& text) {
  testing::ScopedTrace trace(at.file, at.line, "SetString");
  EXPECT_EQ(platform::kErrorSuccess,
            registry.SetValue(key, name, platform::kRegSz,
                              reinterpret_cast<const uint8_t*>(text.c_str()),
                              static_cast<uint32_t>(text.size() + 1)));
}

void SetDword(Where at, IRegistry& registry, RegKey key, const char* name, uint32_t value) {
  testing::ScopedTrace trace(at.file, at.line, "SetDword");
  uint8_t data[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                     static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
  EXPECT_EQ(platform::kErrorSuccess, registry.SetValue(key, name, platform::kRegDword, data, 4));
}

RegKey CreateKey(Where at, IRegistry& registry, RegKey parent, const char* path) {
  testing::ScopedTrace trace(at.file, at.line, std::string("CreateKey ") + path);
  RegKey key = 0;
  EXPECT_EQ(platform::kErrorSuccess,
            registry.CreateKey(parent, path, platform::kKeyAllAccess, &key, nullptr));
  return key;
}

void CreateAndCloseKey(Where at, IRegistry& registry, RegKey parent, const char* path) {
  RegKey key = CreateKey(at, registry, parent, path);
  if (key != 0) registry.CloseKey(key);
}

namespace {

// Names read by index with a large buffer until ERROR_NO_MORE_ITEMS.
template <typename EnumAt>
std::vector<std::string> EnumerateNames(Where at, const char* what, EnumAt enumAt) {
  testing::ScopedTrace trace(at.file, at.line, what);
  std::vector<std::string> names;
  for (uint32_t index = 0; index < 1000; ++index) {
    char name[1024];
    uint32_t nameChars = sizeof name;
    long rc = enumAt(index, name, &nameChars);
    if (rc == platform::kErrorNoMoreItems) break;
    EXPECT_EQ(platform::kErrorSuccess, rc) << "index " << index;
    if (rc != platform::kErrorSuccess) break;
    names.emplace_back(name, nameChars);
  }
  return names;
}

}  // namespace

std::vector<std::string> ValueNames(Where at, IRegistry& registry, RegKey key) {
  return EnumerateNames(at, "ValueNames", [&](uint32_t index, char* name, uint32_t* chars) {
    return registry.EnumValue(key, index, name, chars, nullptr, nullptr, nullptr);
  });
}

std::vector<std::string> SubkeyNames(Where at, IRegistry& registry, RegKey key) {
  return EnumerateNames(at, "SubkeyNames", [&](uint32_t index, char* name, uint32_t* chars) {
    return registry.EnumKey(key, index, name, chars);
  });
}

void ExpectValueNames(Where at, IRegistry& registry, RegKey key,
                      const std::vector<std::string>& expected) {
  testing::ScopedTrace trace(at.file, at.line, "value order");
  EXPECT_EQ(expected, ValueNames(at, registry, key));
}

void ExpectSubkeyNames(Where at, IRegistry& registry, RegKey key,
                       const std::vector<std::string>& expected) {
  testing::ScopedTrace trace(at.file, at.line, "subkey order");
  EXPECT_EQ(expected, SubkeyNames(at, registry, key));
}

void ExpectValue(Where at, IRegistry& registry, RegKey key, const char* name, uint32_t type,
                 const std::string& bytes) {
  testing::ScopedTrace trace(at.file, at.line, std::string("value ") + (name ? name : "(default)"));
  uint8_t data[600];
  std::fill(std::begin(data), std::end(data), kSentinel);
  uint32_t size = 512;
  uint32_t actualType = kSentinelSize;
  ASSERT_EQ(platform::kErrorSuccess, registry.QueryValue(key, name, &actualType, data, &size));
  EXPECT_EQ(type, actualType);
  ASSERT_EQ(bytes.size(), size);
  EXPECT_EQ(bytes, std::string(reinterpret_cast<const char*>(data), size));
  ExpectUntouched(at, data, size, sizeof data);
}

void ExpectUntouched(Where at, const uint8_t* buffer, size_t from, size_t size) {
  for (size_t i = from; i < size; ++i) {
    if (buffer[i] != kSentinel) {
      ADD_FAILURE_AT(at.file, at.line) << "byte " << i << " was written (0x" << std::hex
                                     << static_cast<int>(buffer[i]) << ")";
      return;
    }
  }
}

}  // namespace conformance
