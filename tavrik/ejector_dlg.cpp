#include "tavrik/ejector_dlg.h"

#include <cstring>

CEjectorDlg::CEjectorDlg(const EjectorPlatform& platform, const std::string& title)
    : m_readSnapshot(platform.registry),
      m_finder(m_readSnapshot, platform.system),
      m_ntEjector(platform.volumes, platform.system),
      m_9xEjector(platform.volumes, platform.system),
      m_shellTools(platform.shell),
      m_definitions(m_readSnapshot, platform.files),
      m_registry(m_readSnapshot),
      m_system(platform.system),
      m_files(platform.files),
      m_shell(platform.shell),
      m_ui(platform.ui),
      m_processes(platform.processes),
      m_strTitle(title),
      m_profile(m_readSnapshot, kSettingsKey, title) {}

CEjectorDlg::~CEjectorDlg() = default;

bool CEjectorDlg::IsFamily(const char* tag) const {
  return std::strcmp(m_finder.m_szOsFamily, tag) == 0;
}

bool CEjectorDlg::IsVersion(const char* tag) const {
  return std::strcmp(m_finder.m_szOsVersion, tag) == 0;
}

int CEjectorDlg::OnCreate() {
  m_nVersionResult = -1;
  m_nTrayIconId = IDI_TRAY_IDLE;
  AddTrayIcon();
  if (LoadDefinitions() != 0) {
    // Creation goes on; the close posted here ends the program once it is over.
    if (m_ui.MessageBox(false, "初期化処理に失敗しましたので、終了します。", m_strTitle,
                        platform::kMbOk) == platform::kIdOk)
      m_ui.PostMessage(platform::kWmClose);
  }
  RestoreIconLists();
  for (int p = 0; p < DeviceNum(); ++p) {
    for (int s = 0; s < kCellsPerReader; ++s) {
      int cell = CellIndex(p, s);
      m_strDriveFuncs[cell] = kNoFunc;
      m_strDriveFunc[cell] = kNoFunc;
      m_strShortcut[cell].clear();
      m_strDrive[cell] = kNoDrive;
      m_strPrevDrive[cell] = kNoDrive;
      m_bFound[cell] = 0;
      m_bReady[cell] = 0;
    }
  }
  RefreshSlots(false);
  ApplyDriveIcons();
  SaveIconLists();
  return 0;
}

void CEjectorDlg::OnDeviceChange() {
  uint32_t mask = m_system.GetLogicalDrives();
  if (mask == m_dwDriveMask) return;
  RefreshSlots(false);
  ApplyDriveIcons();
  SaveIconLists();
  m_dwDriveMask = mask;
}

void CEjectorDlg::OnClose() {
  for (int p = 0; p < DeviceNum(); ++p)
    for (int s = 0; s < kCellsPerReader; ++s) {
      int cell = CellIndex(p, s);
      if (ShortcutsKept() && !m_strShortcut[cell].empty() && FileExists(m_strShortcut[cell]))
        m_files.DeleteFileA(m_strShortcut[cell].c_str());
    }
  if (m_bVersionOpen) m_ui.EndModalDialog(m_nVersionResult);
  RemoveDriveIcons();
  for (int p = 0; p < DeviceNum(); ++p)
    for (int s = 0; s < kCellsPerReader; ++s) {
      std::string entry = SlotEntryName(p, s);
      m_profile.DeleteEntry("shctList", entry);
      m_profile.DeleteEntry("IcoList1", entry);
      m_profile.DeleteEntry("IcoList2", entry);
    }
}

void CEjectorDlg::AddTrayIcon() {
  m_shell.NotifyIcon(platform::kNimAdd, m_window, TRAY_ICON_ID, WM_TRAYNOTIFY, m_nTrayIconId,
                     kTrayTip);
}

void CEjectorDlg::OnDestroy() {
  m_shell.NotifyIcon(platform::kNimDelete, m_window, TRAY_ICON_ID, 0, 0, nullptr);
}

bool CEjectorDlg::FileExists(const std::string& path) {
  // A path that does not fit the 260-byte buffers never names a file here.
  return path.size() < 260 && m_files.FileExists(path.c_str());
}
