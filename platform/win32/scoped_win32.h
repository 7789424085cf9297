// Small owners for Win32 handles, so every path gives back what it took.
#pragma once
#include <windows.h>

#include <utility>

namespace platform {

// One owner shape for handles freed by a single call; Free is that call.
template <typename Handle, typename Traits>
class ScopedWin32 {
 public:
  ScopedWin32() = default;
  explicit ScopedWin32(Handle handle) : m_handle(handle) {}
  ScopedWin32(const ScopedWin32&) = delete;
  ScopedWin32& operator=(const ScopedWin32&) = delete;
  ScopedWin32(ScopedWin32&& other) noexcept : m_handle(std::exchange(other.m_handle, Handle())) {}
  ScopedWin32& operator=(ScopedWin32&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.m_handle, Handle()));
    return *this;
  }
  ~ScopedWin32() { Reset(); }

  Handle Get() const { return m_handle; }
  explicit operator bool() const { return Traits::IsValid(m_handle); }
  void Reset(Handle handle = Handle()) {
    if (Traits::IsValid(m_handle)) Traits::Free(m_handle);
    m_handle = handle;
  }

 private:
  Handle m_handle = Handle();
};

struct IconTraits {
  static bool IsValid(HICON icon) { return icon != nullptr; }
  static void Free(HICON icon) { DestroyIcon(icon); }
};
struct GdiObjectTraits {
  static bool IsValid(HGDIOBJ object) { return object != nullptr; }
  static void Free(HGDIOBJ object) { DeleteObject(object); }
};
struct KernelHandleTraits {
  static bool IsValid(HANDLE handle) { return handle != nullptr; }
  static void Free(HANDLE handle) { CloseHandle(handle); }
};
struct HookTraits {
  static bool IsValid(HHOOK hook) { return hook != nullptr; }
  static void Free(HHOOK hook) { UnhookWindowsHookEx(hook); }
};

using ScopedIcon = ScopedWin32<HICON, IconTraits>;
using ScopedBrush = ScopedWin32<HGDIOBJ, GdiObjectTraits>;
using ScopedKernelHandle = ScopedWin32<HANDLE, KernelHandleTraits>;
using ScopedHook = ScopedWin32<HHOOK, HookTraits>;

// Restores a DC's text state (colours, background mode) that a drawing routine changes.
class ScopedTextState {
 public:
  explicit ScopedTextState(HDC dc)
      : m_dc(dc),
        m_text(GetTextColor(dc)),
        m_background(GetBkColor(dc)),
        m_mode(GetBkMode(dc)) {}
  ScopedTextState(const ScopedTextState&) = delete;
  ScopedTextState& operator=(const ScopedTextState&) = delete;
  ~ScopedTextState() {
    SetTextColor(m_dc, m_text);
    SetBkColor(m_dc, m_background);
    SetBkMode(m_dc, m_mode);
  }

 private:
  HDC m_dc;
  COLORREF m_text;
  COLORREF m_background;
  int m_mode;
};

}  // namespace platform
