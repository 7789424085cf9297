// What the tray menus' commands do.
#include <cstdio>

#include "platform/mbcs_text.h"
#include "tavrik/drive_holders.h"
#include "tavrik/drive_letter.h"
#include "tavrik/ejector_dlg.h"

bool CEjectorDlg::OnCommand(uint32_t id) {
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

char CEjectorDlg::ChooseEngine() const {
  if (IsFamily(kOsWin9x) && !IsVersion(kOsWin95)) return '9';
  if (IsFamily(kOsWinNT)) return 'n';
  return 0;
}

bool CEjectorDlg::RunEngine(const std::string& drive, int& result, std::string& error) {
  // Only a drive letter is ejected. A slot that lost its letter while the menu was open holds
  // "NoDrive", and its 'N' would eject whatever medium drive N: holds.
  if (drive.size() != 1 || !IsDriveLetter(drive[0])) return false;
  switch (ChooseEngine()) {
    case 'n':
      result = m_ntEjector.Eject(drive[0]);
      error = m_ntEjector.m_strError;
      if (result == 0 && m_ntEjector.m_bVolumeInUse)
        AppendDriveHolders(m_processes, drive[0], error);
      return true;
    case '9':
      result = m_9xEjector.Eject(drive[0]);
      error = m_9xEjector.m_strError;
      return true;
    default:
      return false;
  }
}

int CEjectorDlg::EjectSlot(int p, int s) {
  const std::string& drive = m_strDrive[CellIndex(p, s)];
  int result = 0;
  std::string error;
  if (RunEngine(drive, result, error) && result == 0)
    m_ui.MessageBox(true, error, m_strTitle, platform::kMbOk);
  return 1;
}

void CEjectorDlg::OnEjectAll() {
  for (int p = 0; p < DeviceNum(); ++p) {
    for (int s = 0; s < Reader(p).m_nDriveNum; ++s) {
      int cell = CellIndex(p, s);
      if (m_bReady[cell] != 1) continue;
      int result = 0;
      std::string error;
      // The 9x engine may fail without a text; only then is there nothing to show.
      if (RunEngine(m_strDrive[cell], result, error) && result == 0 &&
          (ChooseEngine() == 'n' || !error.empty()))
        m_ui.MessageBox(true, error, m_strTitle, platform::kMbOk);
      m_system.Sleep(800);
    }
  }
}

void CEjectorDlg::OnOpenExplorer() {
  m_shell.ShellExecute(0, "open", "explorer.exe", nullptr, nullptr, platform::kSwShowNormal);
}

void CEjectorDlg::OnOpenMyComputer() { m_shellTools.OpenSpecialFolder(platform::kCsidlDrives); }

std::string CEjectorDlg::ProgramFolder() {
  char path[260] = {};
  m_files.GetModuleFileNameA(path, sizeof path);
  path[sizeof path - 1] = '\0';
  std::string folder = path;
  size_t slash = MbcsFindLast(folder, '\\');
  folder.resize(slash == std::string::npos ? 0 : slash + 1);
  return folder;
}

void CEjectorDlg::ShowHandOffError(const std::string& folder) {
  uint32_t code = m_shell.GetLastError();
  std::string message = m_shell.SystemErrorText(code);
  char text[1024];
  std::snprintf(text, sizeof text,
                "ShellExecute() \nGetLastError(dw) = 0x%x \nGetLastError(msg) = '%s' "
                "\nszDirectory(path) = '%s'",
                code, message.c_str(), folder.c_str());
  m_ui.MessageBox(true, text, "Error msg", platform::kMbIconInformation);
}

void CEjectorDlg::OnRepairIcons() {
  // Tolket repairs by writing again what the latest hand-off gave it. Before any hand-off
  // (before Vista there is none) it would have nothing to write and could only complain:
  // bringing the keys in line here is the repair then, silent where nothing was amiss, and on
  // Vista it asks for a hand-off where the icons are not as wanted.
  if (!FileExists(DataFolders().user + kCreateDataFile)) {
    ApplyDriveIcons();
    SaveIconLists();
    return;
  }
  std::string folder = ProgramFolder();
  if (m_shell.ShellExecute(m_window, "open", "Tolket.exe", "", folder.c_str(),
                           platform::kSwShow) > 32)
    return;
  ShowHandOffError(folder);
}

void CEjectorDlg::OnVersionInfo() {
  // While the dialog is open its modal loop still serves the tray menus.
  if (m_bVersionOpen) return;
  m_bVersionOpen = true;
  m_nVersionResult = m_ui.RunModalDialog(IDD_VERSION_INFO);
  m_bVersionOpen = false;
}

void CEjectorDlg::OnExit() { m_ui.PostMessage(platform::kWmClose); }
