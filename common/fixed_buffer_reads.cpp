#include "common/fixed_buffer_reads.h"

#include <cstring>
#include <vector>

#include "platform/owners/scoped_reg_key.h"

using platform::kErrorMoreData;
using platform::kErrorSuccess;

std::string TextOfValueData(const uint8_t* data, uint32_t dataBytes) {
  return std::string(TextViewOfValueData(data, dataBytes));
}

std::string_view TextViewOfValueData(const uint8_t* data, uint32_t dataBytes) {
  if (data == nullptr) return std::string_view();
  const void* nul = std::memchr(data, 0, dataBytes);
  size_t length = nul ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - data) : dataBytes;
  return std::string_view(reinterpret_cast<const char*>(data), length);
}

std::string ReadTextValue(platform::IRegistry& registry, platform::RegKey key, const char* name,
                          uint32_t bufferBytes) {
  std::string text;
  platform::ReadText(registry, key, name, {bufferBytes}, text);
  return text;
}

void ForEachValue(platform::IRegistry& registry, platform::RegKey key, uint32_t bufferSize,
                  const std::function<void(const EnumeratedValue&)>& visit) {
  // The programs' own buffer sizes fit on the stack; a lookup enumerates a key per slot id.
  char nameOnStack[kWriterBufferSize];
  uint8_t dataOnStack[kWriterBufferSize];
  std::vector<char> nameOnHeap;
  std::vector<uint8_t> dataOnHeap;
  char* name = nameOnStack;
  uint8_t* data = dataOnStack;
  if (bufferSize > kWriterBufferSize) {
    nameOnHeap.resize(bufferSize);
    dataOnHeap.resize(bufferSize);
    name = nameOnHeap.data();
    data = dataOnHeap.data();
  }
  EnumeratedValue value;
  for (uint32_t index = 0;; ++index) {
    // Both sizes are in-out: reset them before every call.
    uint32_t nameChars = bufferSize;
    uint32_t dataBytes = bufferSize;
    uint32_t type = 0;
    long rc = registry.EnumValue(key, index, name, &nameChars, &type, data, &dataBytes);
    if (rc == kErrorMoreData) continue;  // too long for the buffers: passed over
    if (rc != kErrorSuccess) return;     // ERROR_NO_MORE_ITEMS, or the key went away
    // The text is terminated right after its data, so the data must leave that byte free.
    if (nameChars >= bufferSize || dataBytes >= bufferSize) continue;
    value.name = std::string_view(name, nameChars);
    value.type = type;
    value.data = data;
    value.dataBytes = dataBytes;
    visit(value);
  }
}

void ForEachSubkey(platform::IRegistry& registry, platform::RegKey key, uint32_t nameChars,
                   const std::function<void(const std::string&)>& visit) {
  std::vector<char> name(nameChars);
  for (uint32_t index = 0;; ++index) {
    uint32_t size = nameChars;
    long rc = registry.EnumKey(key, index, name.data(), &size);
    if (rc == kErrorMoreData) continue;
    if (rc != kErrorSuccess) return;
    if (size >= nameChars) continue;
    visit(std::string(name.data(), size));
  }
}
