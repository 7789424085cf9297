// The window seam of a tray program: popup menus, message boxes, the cursor and posting a
// message to its own window.
#pragma once
#include <cstdint>
#include <string>

namespace platform {

using MenuRef = std::uintptr_t;

constexpr uint32_t kMfString = 0x0;
constexpr uint32_t kMfGrayed = 0x1;
constexpr uint32_t kMfOwnerDraw = 0x100;
constexpr uint32_t kMfSeparator = 0x800;

constexpr unsigned kMbOk = 0x0;
constexpr unsigned kMbYesNo = 0x4;
constexpr unsigned kMbIconExclamation = 0x30;
constexpr unsigned kMbIconInformation = 0x40;
constexpr int kIdOk = 1;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

constexpr uint32_t kWmClose = 0x0010;

struct CursorPos {
  long x = 0;
  long y = 0;
};

class IWindowUi {
 public:
  virtual ~IWindowUi() = default;

  virtual MenuRef CreatePopupMenu() = 0;
  // AppendMenuA. For kMfOwnerDraw the text is the item data the drawing gets back.
  virtual bool AppendMenu(MenuRef menu, uint32_t flags, uint32_t id, const char* text) = 0;
  virtual int GetMenuItemCount(MenuRef menu) = 0;
  // The id of the item at a position (0 for a separator, as Windows answers).
  virtual uint32_t GetMenuItemID(MenuRef menu, int position) = 0;
  // EnableMenuItem by command id.
  virtual void EnableMenuItem(MenuRef menu, uint32_t id, uint32_t flags) = 0;
  // SetForegroundWindow on the program's own window; a tray menu that is tracked without it
  // does not close when the user clicks elsewhere.
  virtual void SetForegroundWindow() = 0;
  // TrackPopupMenu with flags 0 at (x, y), owned by the program's window: a chosen item
  // arrives later as WM_COMMAND.
  virtual void TrackPopupMenu(MenuRef menu, long x, long y) = 0;
  virtual void DestroyMenu(MenuRef menu) = 0;
  virtual CursorPos GetCursorPos() = 0;

  // MessageBoxA; owned says whether the program's window owns the box.
  virtual int MessageBox(bool owned, const std::string& text, const std::string& caption,
                         unsigned style) = 0;
  // PostMessageA to the program's own window.
  virtual void PostMessage(uint32_t message) = 0;
  // A modal dialog from a template, owned by the program's window: its result. The modal
  // loop keeps serving the window's messages meanwhile.
  virtual int RunModalDialog(int templateId) = 0;
  // EndDialog of the modal dialog that is open, with the given result.
  virtual void EndModalDialog(int result) = 0;
};

// A popup menu made through the seam, destroyed when its showing ends on every path. The
// logic sees menus only as MenuRef; the Win32 owners cannot reach it.
class ScopedPopupMenu {
 public:
  explicit ScopedPopupMenu(IWindowUi& ui) : m_ui(ui), m_menu(ui.CreatePopupMenu()) {}
  ScopedPopupMenu(const ScopedPopupMenu&) = delete;
  ScopedPopupMenu& operator=(const ScopedPopupMenu&) = delete;
  ~ScopedPopupMenu() { m_ui.DestroyMenu(m_menu); }
  MenuRef Get() const { return m_menu; }

 private:
  IWindowUi& m_ui;
  MenuRef m_menu;
};

}  // namespace platform
