#include "platform/win32/module_title.h"

#include "platform/text/mbcs_text.h"

namespace platform {

std::string ModuleTitle(HINSTANCE module) {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::string();
  return MbcsFileTitle(std::string_view(path, length));
}

}  // namespace platform
