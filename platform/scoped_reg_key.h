// Owns one open registry key and closes it on every path.
#pragma once
#include <utility>

#include "platform/registry.h"

namespace platform {

class ScopedRegKey {
 public:
  explicit ScopedRegKey(IRegistry& registry) : m_registry(&registry) {}
  ScopedRegKey(const ScopedRegKey&) = delete;
  ScopedRegKey& operator=(const ScopedRegKey&) = delete;
  ScopedRegKey(ScopedRegKey&& other) noexcept
      : m_registry(other.m_registry), m_key(std::exchange(other.m_key, 0)) {}
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

 private:
  IRegistry* m_registry;
  RegKey m_key = 0;
};

}  // namespace platform
