// The notification-area icon: added at creation (and again for a restarted Explorer), its
// image switched by the slot refresh, deleted when the window goes.
#pragma once
#include <cstdint>

#include "platform/shell.h"
#include "resources/tavrik/resource.h"

// The tray's icon and callback.
constexpr uint32_t TRAY_ICON_ID = 1002;
constexpr uint32_t WM_TRAYNOTIFY = 0x401;  // WM_USER + 1
inline constexpr const char kTrayTip[] = "Norvell Tavrik";

class CTrayIcon {
 public:
  // window is the owner the shell calls name; it is read at each call, as it is known only
  // once the window exists.
  CTrayIcon(platform::IShell& shell, const platform::WindowRef& window)
      : m_shell(shell), m_window(window) {}

  // Adds the icon with the image it shows now.
  void AddTrayIcon();
  // Shows the given image and remembers it for a later AddTrayIcon.
  void SetTrayIcon(int iconId);
  void RemoveTrayIcon();
  // Back to the image of a program that has found nothing yet.
  void Reset() { m_nTrayIconId = IDI_TRAY_IDLE; }
  int TrayIconId() const { return m_nTrayIconId; }

 private:
  // One shell call, falling back to the short record where the long one is refused.
  bool Notify(uint32_t message, int iconId);
  // One Shell_NotifyIconA call with a record of recordSize bytes and the tip cut to fit it.
  bool Send(uint32_t message, uint32_t recordSize, int iconId);

  platform::IShell& m_shell;
  const platform::WindowRef& m_window;
  int m_nTrayIconId = IDI_TRAY_IDLE;  // the image SetTrayIcon gave the icon last
  // The record the shell takes: the long one until the shell has refused it and taken the
  // short one instead.
  uint32_t m_nRecordSize = platform::kNotifyIconRecordV2;
};
