#include "fake_machine/key_writer.h"

#include "platform/text/codepage.h"

namespace fake {

Bytes TextBytes(const std::string& text) {
  Bytes data(text.begin(), text.end());
  data.push_back(0);
  return data;
}

Bytes DwordBytes(uint32_t value) {
  return Bytes{static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
               static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
}

Bytes MultiTextBytes(const std::vector<std::string>& texts) {
  Bytes data;
  for (const std::string& text : texts) {
    data.insert(data.end(), text.begin(), text.end());
    data.push_back(0);
  }
  data.push_back(0);
  return data;
}

Bytes Utf16Le(const std::string& text) {
  std::u16string wide;
  platform::Cp932ToUtf16(text, wide);
  Bytes data;
  for (char16_t c : wide) {
    data.push_back(static_cast<uint8_t>(c & 0xFF));
    data.push_back(static_cast<uint8_t>(c >> 8));
  }
  return data;
}

KeyWriter::KeyWriter(platform::IRegistry& registry, platform::RegKey root, const std::string& path,
                     long& status)
    : m_registry(registry), m_key(registry), m_status(status) {
  Keep(m_key.Create(root, path.c_str(), platform::kKeyAllAccess));
}

void KeyWriter::Set(const std::string& name, uint32_t type, const Bytes& data) {
  if (!m_key.IsOpen()) return;
  Keep(m_registry.SetValue(m_key.Get(), name.c_str(), type, data.data(),
                           static_cast<uint32_t>(data.size())));
}

void KeyWriter::Text(const std::string& name, const std::string& text) {
  Set(name, platform::kRegSz, TextBytes(text));
}

void KeyWriter::Dword(const std::string& name, uint32_t value) {
  Set(name, platform::kRegDword, DwordBytes(value));
}

void KeyWriter::Keep(long rc) {
  if (rc != platform::kErrorSuccess && m_status == platform::kErrorSuccess) m_status = rc;
}

}  // namespace fake
