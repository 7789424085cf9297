#include "platform/owners/scoped_reg_key.h"

#include <cstring>
#include <vector>

namespace platform {

namespace {
// The programs' own buffers (at most 512 bytes) fit on the stack; a lookup reads a value per
// device.
constexpr uint32_t kStackBytes = 513;
}  // namespace

bool ReadText(IRegistry& registry, RegKey key, const char* name, TextBuffer buffer,
              std::string& text) {
  const uint32_t total = buffer.bytes + (buffer.spareByte ? 1 : 0);
  uint8_t onStack[kStackBytes];
  std::vector<uint8_t> onHeap;
  uint8_t* data = onStack;
  if (total > kStackBytes) {
    onHeap.resize(total);
    data = onHeap.data();
  }
  std::memset(data, 0, total);
  uint32_t type = 0;
  uint32_t size = buffer.bytes;
  if (registry.QueryValue(key, name, &type, data, &size) != kErrorSuccess) return false;
  if (buffer.stringTypeOnly && type != kRegSz) return false;
  const void* nul = std::memchr(data, 0, total);
  if (nul == nullptr) return false;
  text.assign(reinterpret_cast<const char*>(data), static_cast<const uint8_t*>(nul) - data);
  return true;
}

bool ReadWholeText(IRegistry& registry, RegKey key, const char* name, std::string& text) {
  uint32_t type = 0;
  uint32_t size = 0;
  if (registry.QueryValue(key, name, &type, nullptr, &size) != kErrorSuccess || type != kRegSz ||
      size == 0)
    return false;
  std::string value(size, '\0');
  if (registry.QueryValue(key, name, &type, reinterpret_cast<uint8_t*>(&value[0]), &size) !=
      kErrorSuccess)
    return false;
  value.resize(size);
  // The stored text ends at its first terminator.
  const size_t end = value.find('\0');
  if (end != std::string::npos) value.resize(end);
  text = std::move(value);
  return true;
}

bool ReadNumber(IRegistry& registry, RegKey key, const char* name, uint32_t& number) {
  uint8_t data[4] = {};
  uint32_t type = 0;
  uint32_t size = sizeof data;
  if (registry.QueryValue(key, name, &type, data, &size) != kErrorSuccess) return false;
  number = static_cast<uint32_t>(data[0]) | static_cast<uint32_t>(data[1]) << 8 |
           static_cast<uint32_t>(data[2]) << 16 | static_cast<uint32_t>(data[3]) << 24;
  return true;
}

long WriteText(IRegistry& registry, RegKey key, const char* name, const std::string& text) {
  return registry.SetValue(key, name, kRegSz, reinterpret_cast<const uint8_t*>(text.c_str()),
                           static_cast<uint32_t>(text.size() + 1));
}

}  // namespace platform
