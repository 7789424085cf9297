// The owners of everything the Win32 glue takes from Windows (handles, GDI objects, image
// lists, COM interfaces, shell item lists), so every path gives back what it took. Popup menus
// are made through the window seam and owned there (platform/window_ui.h).
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

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
  // For COM interfaces: calls through the owned pointer.
  Handle operator->() const { return m_handle; }
  explicit operator bool() const { return Traits::IsValid(m_handle); }
  void Reset(Handle handle = Handle()) {
    if (Traits::IsValid(m_handle)) Traits::Free(m_handle);
    m_handle = handle;
  }
  // Frees what is held and gives the slot to a call that returns a new one through a pointer.
  Handle* Receive() {
    Reset();
    return &m_handle;
  }
  // Gives the handle up to a new owner (a control that destroys it with itself).
  Handle Release() { return std::exchange(m_handle, Handle()); }

 private:
  Handle m_handle = Handle();
};

// Handles that hold nothing as NULL and are freed by one call.
template <typename Handle, auto FreeCall>
struct FreedBy {
  static bool IsValid(Handle handle) { return handle != nullptr; }
  static void Free(Handle handle) { FreeCall(handle); }
};
// FindFirstFileA answers INVALID_HANDLE_VALUE, not NULL, when it finds nothing.
struct FindHandleTraits {
  static bool IsValid(HANDLE search) { return search != INVALID_HANDLE_VALUE && search != nullptr; }
  static void Free(HANDLE search) { FindClose(search); }
};
template <typename Interface>
struct ComTraits {
  static bool IsValid(Interface* pointer) { return pointer != nullptr; }
  static void Free(Interface* pointer) { pointer->Release(); }
};

using ScopedIcon = ScopedWin32<HICON, FreedBy<HICON, DestroyIcon>>;
using ScopedBrush = ScopedWin32<HBRUSH, FreedBy<HBRUSH, DeleteObject>>;
using ScopedBitmap = ScopedWin32<HBITMAP, FreedBy<HBITMAP, DeleteObject>>;
using ScopedKernelHandle = ScopedWin32<HANDLE, FreedBy<HANDLE, CloseHandle>>;
using ScopedFindHandle = ScopedWin32<HANDLE, FindHandleTraits>;
using ScopedHook = ScopedWin32<HHOOK, FreedBy<HHOOK, UnhookWindowsHookEx>>;
using ScopedImageList = ScopedWin32<HIMAGELIST, FreedBy<HIMAGELIST, ImageList_Destroy>>;
// Memory the system allocated for us (FORMAT_MESSAGE_ALLOCATE_BUFFER).
using ScopedLocalMemory = ScopedWin32<char*, FreedBy<char*, LocalFree>>;
template <typename Interface>
using ScopedComPtr = ScopedWin32<Interface*, ComTraits<Interface>>;

// The out-parameter of QueryInterface and CoCreateInstance for an owner of an interface.
template <typename Interface>
void** ComOut(ScopedComPtr<Interface>& owner) {
  return reinterpret_cast<void**>(owner.Receive());
}

// An item list the shell hands out, freed with the shell's own allocator: Windows 95 and 98
// export neither ILFree nor a task allocator the shell is bound to use. The allocator is taken
// first, so a list is only received when it can be given back.
class ScopedItemList {
 public:
  ScopedItemList() {
    IMalloc* allocator = nullptr;
    if (SUCCEEDED(SHGetMalloc(&allocator))) m_allocator.Reset(allocator);
  }
  ScopedItemList(const ScopedItemList&) = delete;
  ScopedItemList& operator=(const ScopedItemList&) = delete;
  ~ScopedItemList() {
    if (m_list != nullptr) m_allocator->Free(m_list);
  }
  bool CanReceive() const { return static_cast<bool>(m_allocator); }
  LPITEMIDLIST Get() const { return m_list; }
  LPITEMIDLIST* Receive() { return &m_list; }

 private:
  ScopedComPtr<IMalloc> m_allocator;
  LPITEMIDLIST m_list = nullptr;
};

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
