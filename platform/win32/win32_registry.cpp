#include "platform/win32/win32_registry.h"

#include <windows.h>

namespace platform {
namespace {

// The predefined roots are sign-extended 32-bit values, as winreg.h defines them.
HKEY ToHkey(RegKey key) {
  if (IsPredefinedKey(key))
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(static_cast<uint32_t>(key))));
  return reinterpret_cast<HKEY>(key);
}

RegKey FromHkey(HKEY key) {
  ULONG_PTR value = reinterpret_cast<ULONG_PTR>(key);
  // A root handed back (an empty sub key opens the root itself) keeps its RegKey value.
  if (static_cast<uint32_t>(value) >= 0x80000000u && static_cast<uint32_t>(value) <= 0x80000006u)
    return static_cast<uint32_t>(value);
  return static_cast<RegKey>(value);
}

// Stands in an out-handle before a call, so that a handle the call did not write is seen as
// untouched and the caller's variable is left alone, as the real call leaves it.
const char kUntouched = 0;
HKEY UntouchedHkey() { return reinterpret_cast<HKEY>(const_cast<char*>(&kUntouched)); }

// The size arguments are DWORDs; a copy is passed and written back exactly as the call left
// it, so an untouched size stays untouched.
class DwordArg {
 public:
  explicit DwordArg(uint32_t* target) : m_target(target), m_value(target ? *target : 0) {}
  ~DwordArg() {
    if (m_target != nullptr) *m_target = static_cast<uint32_t>(m_value);
  }
  DwordArg(const DwordArg&) = delete;
  DwordArg& operator=(const DwordArg&) = delete;
  DWORD* Get() { return m_target != nullptr ? &m_value : nullptr; }

 private:
  uint32_t* m_target;
  DWORD m_value;
};

}  // namespace

long Win32Registry::OpenKey(RegKey parent, const char* subKey, uint32_t access, RegKey* result) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  HKEY opened = UntouchedHkey();
  LONG rc = RegOpenKeyExA(ToHkey(parent), subKey, 0, access, &opened);
  if (opened != UntouchedHkey()) *result = FromHkey(opened);
  return rc;
}

long Win32Registry::CreateKey(RegKey parent, const char* subKey, uint32_t access, RegKey* result,
                              uint32_t* disposition) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  HKEY created = UntouchedHkey();
  DwordArg disp(disposition);
  LONG rc = RegCreateKeyExA(ToHkey(parent), subKey != nullptr ? subKey : "", 0, nullptr, 0,
                            access, nullptr, &created, disp.Get());
  if (created != UntouchedHkey()) *result = FromHkey(created);
  return rc;
}

long Win32Registry::EnumKey(RegKey key, uint32_t index, char* name, uint32_t* nameChars) {
  DwordArg chars(nameChars);
  return RegEnumKeyExA(ToHkey(key), index, name, chars.Get(), nullptr, nullptr, nullptr, nullptr);
}

long Win32Registry::EnumValue(RegKey key, uint32_t index, char* name, uint32_t* nameChars,
                              uint32_t* type, uint8_t* data, uint32_t* dataBytes) {
  DwordArg chars(nameChars);
  DwordArg valueType(type);
  DwordArg bytes(dataBytes);
  return RegEnumValueA(ToHkey(key), index, name, chars.Get(), nullptr, valueType.Get(), data,
                       bytes.Get());
}

long Win32Registry::QueryValue(RegKey key, const char* name, uint32_t* type, uint8_t* data,
                               uint32_t* dataBytes) {
  DwordArg valueType(type);
  DwordArg bytes(dataBytes);
  return RegQueryValueExA(ToHkey(key), name, nullptr, valueType.Get(), data, bytes.Get());
}

long Win32Registry::SetValue(RegKey key, const char* name, uint32_t type, const uint8_t* data,
                             uint32_t dataBytes) {
  return RegSetValueExA(ToHkey(key), name, 0, type, data, dataBytes);
}

long Win32Registry::DeleteValue(RegKey key, const char* name) {
  return RegDeleteValueA(ToHkey(key), name);
}

long Win32Registry::DeleteKey(RegKey parent, const char* subKey) {
  return RegDeleteKeyA(ToHkey(parent), subKey);
}

long Win32Registry::CloseKey(RegKey key) { return RegCloseKey(ToHkey(key)); }

}  // namespace platform
