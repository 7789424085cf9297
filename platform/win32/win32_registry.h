// The registry seam over the real ANSI registry calls.
#pragma once
#include "platform/registry.h"

namespace platform {

class Win32Registry : public IRegistry {
 public:
  long OpenKey(RegKey parent, const char* subKey, uint32_t access, RegKey* result) override;
  long CreateKey(RegKey parent, const char* subKey, uint32_t access, RegKey* result,
                 uint32_t* disposition) override;
  long EnumKey(RegKey key, uint32_t index, char* name, uint32_t* nameChars) override;
  long EnumValue(RegKey key, uint32_t index, char* name, uint32_t* nameChars, uint32_t* type,
                 uint8_t* data, uint32_t* dataBytes) override;
  long QueryValue(RegKey key, const char* name, uint32_t* type, uint8_t* data,
                  uint32_t* dataBytes) override;
  long SetValue(RegKey key, const char* name, uint32_t type, const uint8_t* data,
                uint32_t dataBytes) override;
  long DeleteValue(RegKey key, const char* name) override;
  long DeleteKey(RegKey parent, const char* subKey) override;
  long CloseKey(RegKey key) override;
};

}  // namespace platform
