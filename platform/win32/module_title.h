// A program's title: the base name of its executable file without the extension, so that a
// renamed copy calls itself by its new name.
#pragma once
#include <windows.h>

#include <string>

namespace platform {

// Empty when the module file name cannot be read.
std::string ModuleTitle(HINSTANCE module);

}  // namespace platform
