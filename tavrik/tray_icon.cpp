#include "tavrik/tray_icon.h"

void CTrayIcon::AddTrayIcon() {
  m_shell.NotifyIcon(platform::kNimAdd, m_window, TRAY_ICON_ID, WM_TRAYNOTIFY, m_nTrayIconId,
                     kTrayTip);
}

void CTrayIcon::SetTrayIcon(int iconId) {
  m_nTrayIconId = iconId;
  m_shell.NotifyIcon(platform::kNimModify, m_window, TRAY_ICON_ID, WM_TRAYNOTIFY, iconId,
                     kTrayTip);
}

void CTrayIcon::RemoveTrayIcon() {
  m_shell.NotifyIcon(platform::kNimDelete, m_window, TRAY_ICON_ID, 0, 0, nullptr);
}
