// The registry seam: the ANSI registry calls the programs make, with Win32 meaning.
//
// Every call returns a Win32 error code (kErrorSuccess on success) and, like the real calls,
// takes sizes by pointer: on input the buffer size, on output what was written or is needed.
// Out-parameters are left alone on failure unless Win32 itself writes them
// (ERROR_MORE_DATA reports the needed data size).
#pragma once
#include <cstdint>

#include "platform/win32_codes.h"

namespace platform {

// An open key. The predefined roots have the values Windows gives them on 32-bit systems.
using RegKey = std::uintptr_t;
constexpr RegKey kHkeyClassesRoot = 0x80000000u;
constexpr RegKey kHkeyCurrentUser = 0x80000001u;
constexpr RegKey kHkeyLocalMachine = 0x80000002u;
constexpr RegKey kHkeyUsers = 0x80000003u;
constexpr RegKey kHkeyDynData = 0x80000006u;

inline bool IsPredefinedKey(RegKey key) { return key >= 0x80000000u && key <= 0x80000006u; }

class IRegistry {
 public:
  virtual ~IRegistry() = default;

  // RegOpenKeyExA with options 0. An empty or null sub key opens the key itself again.
  virtual long OpenKey(RegKey parent, const char* subKey, uint32_t access, RegKey* result) = 0;
  // RegCreateKeyExA with an empty class and options 0; disposition may be null.
  virtual long CreateKey(RegKey parent, const char* subKey, uint32_t access, RegKey* result,
                         uint32_t* disposition) = 0;
  // RegEnumKeyExA without class or time: *nameChars is the buffer size in characters,
  // the terminator included; on success it is the name length without terminator.
  virtual long EnumKey(RegKey key, uint32_t index, char* name, uint32_t* nameChars) = 0;
  // RegEnumValueA. type, data and dataBytes may be null as in Win32.
  virtual long EnumValue(RegKey key, uint32_t index, char* name, uint32_t* nameChars,
                         uint32_t* type, uint8_t* data, uint32_t* dataBytes) = 0;
  // RegQueryValueExA. A null or empty name is the key's default value.
  virtual long QueryValue(RegKey key, const char* name, uint32_t* type, uint8_t* data,
                          uint32_t* dataBytes) = 0;
  // RegSetValueExA.
  virtual long SetValue(RegKey key, const char* name, uint32_t type, const uint8_t* data,
                        uint32_t dataBytes) = 0;
  // RegDeleteValueA.
  virtual long DeleteValue(RegKey key, const char* name) = 0;
  // RegDeleteKeyA: deletes a sub key that has no sub keys of its own.
  virtual long DeleteKey(RegKey parent, const char* subKey) = 0;
  // RegCloseKey. Closing a predefined root succeeds and does nothing.
  virtual long CloseKey(RegKey key) = 0;
};

}  // namespace platform
