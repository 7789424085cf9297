#include "tavrik/tray_icon.h"

#include <string>

#include "platform/text/mbcs_text.h"

bool CTrayIcon::Send(uint32_t message, uint32_t recordSize, int iconId) {
  if (message == platform::kNimDelete)
    return m_shell.NotifyIcon(message, recordSize, m_window, TRAY_ICON_ID, 0, 0, nullptr);
  const size_t tipSize = recordSize == platform::kNotifyIconRecordV1 ? platform::kNotifyIconTipV1
                                                                     : platform::kNotifyIconTipV2;
  const std::string tip = MbcsPrefix(kTrayTip, tipSize - 1);
  return m_shell.NotifyIcon(message, recordSize, m_window, TRAY_ICON_ID, WM_TRAYNOTIFY, iconId,
                            tip.c_str());
}

bool CTrayIcon::Notify(uint32_t message, int iconId) {
  if (Send(message, m_nRecordSize, iconId)) return true;
  // Shells before 5.0 (95, 98, NT 4) are documented to take the 88-byte record; one that
  // refuses the long record is asked again with the short one, and keeps getting it once it
  // has taken it. A refused delete has nothing to learn from: the icon is simply not there.
  if (m_nRecordSize == platform::kNotifyIconRecordV1 || message == platform::kNimDelete)
    return false;
  if (!Send(message, platform::kNotifyIconRecordV1, iconId)) return false;
  m_nRecordSize = platform::kNotifyIconRecordV1;
  return true;
}

void CTrayIcon::AddTrayIcon() { Notify(platform::kNimAdd, m_nTrayIconId); }

void CTrayIcon::SetTrayIcon(int iconId) {
  m_nTrayIconId = iconId;
  Notify(platform::kNimModify, iconId);
}

void CTrayIcon::RemoveTrayIcon() { Notify(platform::kNimDelete, 0); }
