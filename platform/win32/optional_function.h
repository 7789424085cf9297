// Calls that only some of the systems the programs serve export. They are found at run time:
// a static import of a function the system lacks makes its loader refuse the whole program
// ("the procedure entry point ... could not be located"), so every caller keeps a path for
// when the function is not there.
#pragma once
#include <windows.h>

namespace platform {

// The function `name` of a module the program has already loaded (one it imports, such as
// KERNEL32.DLL), or null where the system does not export it.
template <typename Function>
Function OptionalFunction(const char* module, const char* name) {
  HMODULE handle = GetModuleHandleA(module);
  if (handle == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(handle, name)));
}

// The top-level window that holds `window`, as GetAncestor(GA_ROOT) answers it on Windows 98
// and later (GetAncestor is not there on Windows 95): up the parent chain while the window
// is a child. A popup's GetParent is its owner, not a parent, so the walk stops at it.
inline HWND RootWindow(HWND window) {
  while (window != nullptr && (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) != 0) {
    HWND parent = GetParent(window);
    if (parent == nullptr) break;
    window = parent;
  }
  return window;
}

}  // namespace platform
