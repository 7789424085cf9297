// Owns one open registry key, closes it on every path, and reads and writes its values the
// way the programs do.
#pragma once
#include <cstdint>
#include <string>
#include <utility>

#include "platform/registry.h"

namespace platform {

// How a text value is read through a fixed buffer of `bytes`. The text ends at its first
// terminator. Data that fills the buffer without one does not fit and is skipped (a text cut
// to fit could still pass a containment test and lead a lookup astray), unless a spare byte
// past the buffer terminates it, as the ejector's own reads of Explorer's keys do.
struct TextBuffer {
  uint32_t bytes = 0;
  bool spareByte = false;
  bool stringTypeOnly = false;  // data of any other type than REG_SZ is skipped
};

// Reads of one value of an open key. On failure (missing, unreadable, skipped) they return
// false and leave the out-parameter as it was.
bool ReadText(IRegistry& registry, RegKey key, const char* name, TextBuffer buffer,
              std::string& text);
// A REG_SZ value of any length; empty data counts as missing.
bool ReadWholeText(IRegistry& registry, RegKey key, const char* name, std::string& text);
// The first four bytes as a little-endian number, shorter data zero-extended, the type not
// examined. Data longer than four bytes does not fit.
bool ReadNumber(IRegistry& registry, RegKey key, const char* name, uint32_t& number);
// A REG_SZ value with its terminator.
long WriteText(IRegistry& registry, RegKey key, const char* name, const std::string& text);

class ScopedRegKey {
 public:
  explicit ScopedRegKey(IRegistry& registry) : m_registry(&registry) {}
  ScopedRegKey(const ScopedRegKey&) = delete;
  ScopedRegKey& operator=(const ScopedRegKey&) = delete;
  ScopedRegKey(ScopedRegKey&& other) noexcept
      : m_registry(other.m_registry), m_key(std::exchange(other.m_key, 0)) {}
  ScopedRegKey& operator=(ScopedRegKey&& other) noexcept {
    if (this != &other) {
      Close();
      m_registry = other.m_registry;
      m_key = std::exchange(other.m_key, 0);
    }
    return *this;
  }
  ~ScopedRegKey() { Close(); }

  [[nodiscard]] long Open(RegKey parent, const char* subKey, uint32_t access) {
    Close();
    return m_registry->OpenKey(parent, subKey, access, &m_key);
  }
  [[nodiscard]] long Create(RegKey parent, const char* subKey, uint32_t access,
                            uint32_t* disposition = nullptr) {
    Close();
    return m_registry->CreateKey(parent, subKey, access, &m_key, disposition);
  }
  void Close() {
    if (m_key != 0) m_registry->CloseKey(std::exchange(m_key, 0));
  }
  bool IsOpen() const { return m_key != 0; }
  RegKey Get() const { return m_key; }
  IRegistry& Registry() const { return *m_registry; }

  bool ReadText(const char* name, TextBuffer buffer, std::string& text) const {
    return platform::ReadText(*m_registry, m_key, name, buffer, text);
  }
  bool ReadWholeText(const char* name, std::string& text) const {
    return platform::ReadWholeText(*m_registry, m_key, name, text);
  }
  bool ReadNumber(const char* name, uint32_t& number) const {
    return platform::ReadNumber(*m_registry, m_key, name, number);
  }
  long WriteText(const char* name, const std::string& text) const {
    return platform::WriteText(*m_registry, m_key, name, text);
  }

 private:
  IRegistry* m_registry;
  RegKey m_key = 0;
};

}  // namespace platform
