// Registry reads through fixed buffers, as both programs make them: the lookups use 260 bytes
// or characters, the writer 512. An entry that does not fit is passed over, never truncated,
// and an enumeration goes on to the later indexes after it.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/registry.h"

// Buffer sizes of the lookups and of the writer.
constexpr uint32_t kLookupBufferSize = 260;
constexpr uint32_t kWriterBufferSize = 512;

// One enumerated value. name and data point into the enumeration's buffers, valid during the
// call only.
struct EnumeratedValue {
  std::string_view name;
  uint32_t type = 0;
  const uint8_t* data = nullptr;
  uint32_t dataBytes = 0;
};

// The text of value data: the bytes up to the first NUL, never beyond dataBytes.
std::string TextOfValueData(const uint8_t* data, uint32_t dataBytes);
// The same without a copy, valid as long as the data.
std::string_view TextViewOfValueData(const uint8_t* data, uint32_t dataBytes);

// A text value through a buffer of bufferBytes (ScopedRegKey's rule: data filling the buffer
// without a terminator does not fit). A value that is missing, does not fit or cannot be read
// reads as empty text.
std::string ReadTextValue(platform::IRegistry& registry, platform::RegKey key, const char* name,
                          uint32_t bufferBytes);

// Enumerates the values of key by index from 0 until ERROR_NO_MORE_ITEMS, names and data
// through buffers of bufferSize. A value whose name or data does not fit (ERROR_MORE_DATA, or
// bufferSize characters or bytes that leave no room for a terminator) is passed over. Any
// other failure ends the enumeration, since a later index cannot succeed.
void ForEachValue(platform::IRegistry& registry, platform::RegKey key, uint32_t bufferSize,
                  const std::function<void(const EnumeratedValue&)>& visit);

// The same over subkey names, through a name buffer of nameChars characters.
void ForEachSubkey(platform::IRegistry& registry, platform::RegKey key, uint32_t nameChars,
                   const std::function<void(const std::string&)>& visit);
