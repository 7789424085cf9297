#include "platform/win32/module_title.h"

namespace platform {

std::string ModuleTitle(HINSTANCE module) {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::string();
  // Walk by character: a double-byte character's trail byte may be 0x5C, the backslash.
  size_t start = 0;
  for (size_t i = 0; i < length; ++i) {
    if (IsDBCSLeadByte(static_cast<BYTE>(path[i])))
      ++i;
    else if (path[i] == '\\' || path[i] == '/')
      start = i + 1;
  }
  std::string name(path + start, length - start);
  size_t dot = std::string::npos;
  for (size_t i = 0; i < name.size(); ++i) {
    if (IsDBCSLeadByte(static_cast<BYTE>(name[i])))
      ++i;
    else if (name[i] == '.')
      dot = i;
  }
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}

}  // namespace platform
