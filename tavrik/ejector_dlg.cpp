#include "tavrik/ejector_dlg.h"

CEjectorDlg::CEjectorDlg(const EjectorPlatform& platform, const std::string& title)
    : m_readSnapshot(platform.registry),
      m_finder(platform.registry, platform.system),
      m_definitions(m_readSnapshot, platform.files),
      m_system(platform.system),
      m_shell(platform.shell),
      m_ui(platform.ui),
      m_strTitle(title),
      m_profile(m_readSnapshot, kSettingsKey, title),
      m_shellTools(platform.shell),
      m_trayIcon(platform.shell, m_window),
      m_shortcuts(m_finder, m_readSnapshot, platform.files, m_shellTools, m_profile),
      m_slots(m_readSnapshot, m_finder, m_definitions, platform.system, m_shortcuts, m_trayIcon),
      m_handOff(m_finder, platform.files, platform.shell, platform.ui, m_window),
      m_driveIcons(m_finder, m_readSnapshot, m_definitions, m_slots, m_profile, m_handOff),
      m_trayMenus(platform.ui, m_definitions, m_slots),
      m_eject(m_finder, m_definitions, m_slots, platform.volumes, platform.system, platform.ui,
              platform.processes, title) {}

CEjectorDlg::~CEjectorDlg() = default;

CEjectorDlg::CBusyScope::~CBusyScope() {
  if (--m_dlg.m_nBusy != 0 || m_dlg.m_bClosed) return;
  if (m_dlg.m_bIconUpdatePending) {
    m_dlg.m_bIconUpdatePending = false;
    CBusyScope again(m_dlg);
    m_dlg.RefreshSlots(false);
    m_dlg.UpdateDriveIcons();
  }
  if (m_dlg.m_bDeviceChangePending) {
    m_dlg.m_bDeviceChangePending = false;
    m_dlg.OnDeviceChange();
  }
}

int CEjectorDlg::OnCreate() {
  CBusyScope busy(*this);
  m_nVersionResult = -1;
  m_trayIcon.Reset();
  AddTrayIcon();
  if (LoadDefinitions() != 0) {
    // Creation goes on; the close posted here ends the program once it is over.
    if (m_ui.MessageBox(false, "初期化処理に失敗しましたので、終了します。", m_strTitle,
                        platform::kMbOk) == platform::kIdOk)
      m_ui.PostMessage(platform::kWmClose);
  }
  RestoreIconLists();
  m_slots.Reset();
  RefreshSlots(false);
  UpdateDriveIcons();
  return 0;
}

void CEjectorDlg::OnDeviceChange() {
  if (m_bClosed) return;
  if (m_nBusy > 0) {
    m_bDeviceChangePending = true;
    return;
  }
  RefreshForDeviceChange();
}

void CEjectorDlg::RefreshForDeviceChange() {
  CBusyScope busy(*this);
  uint32_t mask = m_system.GetLogicalDrives();
  if (mask == m_dwDriveMask) return;
  RefreshSlots(false);
  UpdateDriveIcons();
  m_dwDriveMask = mask;
}

void CEjectorDlg::UpdateDriveIcons() {
  if (m_bUpdatingIcons) {
    m_bIconUpdatePending = true;
    return;
  }
  m_bUpdatingIcons = true;
  ApplyDriveIcons();
  SaveIconLists();
  m_bUpdatingIcons = false;
}

int CEjectorDlg::OnTrayNotify(uint32_t, uint32_t lParam) {
  CBusyScope busy(*this);
  // Where the user clicked, before the refresh below takes its time.
  platform::CursorPos at = m_ui.GetCursorPos();
  switch (lParam) {
    case kWmLButtonDown:
      RefreshSlots(true);
      if (!m_finder.IsVersion(kOsWinVista)) UpdateDriveIcons();
      m_slots.MarkReadersWithFunctions();
      m_trayMenus.ShowSlotMenu(at);
      return 1;
    case kWmRButtonUp:
      m_trayMenus.ShowFixedMenu(at);
      return 1;
    case kWmLButtonDblClk:
    case kTrayNotifyIgnored:
      return 1;
    default:
      return 0;
  }
}

bool CEjectorDlg::OnCommand(uint32_t id) {
  if (id == kIdOkCommand || id == kIdCancelCommand) return true;
  CBusyScope busy(*this);
  int p = 0;
  int s = 0;
  if (SlotForCommand(id, p, s)) {
    EjectSlot(p, s);
    return true;
  }
  switch (id) {
    case ID_ICON_REPAIR: OnRepairIcons(); return true;
    case ID_OPEN_EXPLORER: OnOpenExplorer(); return true;
    case ID_OPEN_MYCOMPUTER: OnOpenMyComputer(); return true;
    case ID_EJECT_ALL: OnEjectAll(); return true;
    case ID_EXIT: OnExit(); return true;
    case ID_VERSION_INFO: OnVersionInfo(); return true;
    default: return false;
  }
}

void CEjectorDlg::OnOpenExplorer() {
  m_shell.ShellExecute(0, "open", "explorer.exe", nullptr, nullptr, platform::kSwShowNormal);
}

void CEjectorDlg::OnOpenMyComputer() { m_shellTools.OpenSpecialFolder(platform::kCsidlDrives); }

void CEjectorDlg::OnRepairIcons() {
  // Tolket repairs by writing again what the latest hand-off gave it. Before any hand-off
  // (before Vista there is none) it would have nothing to write and could only complain:
  // bringing the keys in line here is the repair then, silent where nothing was amiss, and on
  // Vista it asks for a hand-off where the icons are not as wanted.
  if (!m_handOff.HasHandedOff()) {
    UpdateDriveIcons();
    return;
  }
  m_handOff.StartRepair();
}

void CEjectorDlg::OnVersionInfo() {
  // While the dialog is open its modal loop still serves the tray menus.
  if (m_bVersionOpen) return;
  m_bVersionOpen = true;
  m_nVersionResult = m_ui.RunModalDialog(IDD_VERSION_INFO);
  m_bVersionOpen = false;
}

void CEjectorDlg::OnExit() { m_ui.PostMessage(platform::kWmClose); }

void CEjectorDlg::SaveIconLists() {
  // Windows 95 gets no icon keys and no shortcuts, so there is nothing to record.
  if (m_finder.IsVersion(kOsWin95) || DeviceNum() == 0) return;
  m_shortcuts.SaveShortcutList(DeviceNum());
  m_driveIcons.SaveIconLists();
}

void CEjectorDlg::RestoreIconLists() {
  if (m_finder.IsVersion(kOsWin95)) return;
  m_shortcuts.RemoveListedShortcuts(DeviceNum());
  m_driveIcons.RestoreIconLists();
}

void CEjectorDlg::OnClose() {
  // A second close (WM_CLOSE after the end of the session) finds nothing left to undo.
  if (m_bClosed) return;
  m_bClosed = true;
  m_shortcuts.RemoveAllShortcuts(DeviceNum());
  if (m_bVersionOpen) m_ui.EndModalDialog(m_nVersionResult);
  RemoveDriveIcons();
  m_shortcuts.ForgetShortcutList(DeviceNum());
  m_driveIcons.ForgetIconLists();
}

void CEjectorDlg::OnDestroy() { m_trayIcon.RemoveTrayIcon(); }
