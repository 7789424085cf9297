// Registry writes of a fake machine: one key held open for a run of values and the first
// failure remembered, so a builder can write a whole device and check once.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/owners/scoped_reg_key.h"
#include "platform/registry.h"

namespace fake {

using Bytes = std::vector<uint8_t>;

Bytes TextBytes(const std::string& text);  // REG_SZ data: the text and its terminator
Bytes DwordBytes(uint32_t value);          // little-endian, as REG_DWORD is stored
Bytes MultiTextBytes(const std::vector<std::string>& texts);
// UTF-16LE of cp932 text, without terminator: how NT stores a mount record's device path.
Bytes Utf16Le(const std::string& text);

class KeyWriter {
 public:
  // Creates (or opens) root\path for writing; a failure goes into status unless it already
  // holds one, and the writes that follow do nothing.
  KeyWriter(platform::IRegistry& registry, platform::RegKey root, const std::string& path,
            long& status);
  void Set(const std::string& name, uint32_t type, const Bytes& data);
  void Text(const std::string& name, const std::string& text);
  void Dword(const std::string& name, uint32_t value);

 private:
  void Keep(long rc);

  platform::IRegistry& m_registry;
  platform::ScopedRegKey m_key;
  long& m_status;
};

}  // namespace fake
