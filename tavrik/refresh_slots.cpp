// Working out, from the registry, which slot of which defined reader has which drive letter,
// whether its medium answers, and what its menu item says.
#include "tavrik/ejector_dlg.h"

void CEjectorDlg::SetTrayIcon(int iconId) {
  m_nTrayIconId = iconId;
  m_shell.NotifyIcon(platform::kNimModify, m_window, TRAY_ICON_ID, WM_TRAYNOTIFY, iconId,
                     kTrayTip);
}

void CEjectorDlg::RefreshSlots(bool checkMedia) {
  // Every search key of every slot asks the registry the same questions again; one snapshot
  // answers them all, and the next refresh (after a replug) reads the registry afresh.
  platform::ScopedReadSnapshot snapshot(m_readSnapshot);
  SetTrayIcon(IDI_TRAY_IDLE);
  for (int p = 0; p < DeviceNum(); ++p)
    for (int s = 0; s < kCellsPerReader; ++s) {
      int cell = CellIndex(p, s);
      m_strDriveFuncs[cell] = kNoFunc;
      m_strDriveFunc[cell] = kNoFunc;
      m_bFound[cell] = 0;
      m_strPrevDrive[cell] = m_strDrive[cell];
      m_strDrive[cell] = kNoDrive;
      m_bReady[cell] = 0;
    }

  for (int p = 0; p < DeviceNum(); ++p) {
    const CReaderDefinition& reader = Reader(p);
    const int slots = reader.m_nDriveNum;
    m_finder.Reset();
    for (int s = 0; s < slots; ++s) {
      const CSlotDefinition& slot = reader.m_aSlots[s];
      int cell = CellIndex(p, s);
      for (int k = 0; k < slot.m_searchKeys.m_nCount; ++k) {
        if (m_finder.FindNamedDrive(slot.m_searchKeys.m_astrKeys[k], reader.m_strFriendlyName) !=
            1)
          continue;
        m_strDriveFuncs[cell] = slot.m_strDriveFuncs;
        m_strDriveFunc[cell] = slot.m_strDriveFunc;
        m_bFound[cell] = 1;
        m_strDrive[cell] = m_finder.m_strFoundDrive;
      }
    }
    const int spare = CellIndex(p, slots);
    if (m_finder.m_nDriveCount == 0) m_strDrive[spare] = kNoDevice;

    for (int s = 0; s < slots; ++s) {
      int cell = CellIndex(p, s);
      if (m_strDrive[cell] != m_strPrevDrive[cell]) RemoveRecordedShortcut(cell);
    }

    if (m_finder.m_nDriveCount != 0) {
      m_listMenuText[p].clear();
      for (int s = 0; s < slots; ++s) {
        int cell = CellIndex(p, s);
        if (m_strDriveFuncs[cell] != kNoFunc) {
          m_listMenuText[p].push_back(m_strDriveFuncs[cell] + "取り出し " + "(" +
                                      m_strDrive[cell] + ":) ");
        } else {
          m_listMenuText[p].push_back("ドライブが取り外されています。");
        }
        MaintainShortcut(cell);
        // Only a slot with a letter is probed, and always at its root: "NoDrive" or a bare
        // letter would name a relative folder in the current directory, and a folder of that
        // name there would make the slot look ready to eject.
        if (checkMedia) {
          bool hasLetter = m_strDrive[cell] != kNoDrive;
          m_bReady[cell] =
              hasLetter && m_system.ProbeFreeSpace((m_strDrive[cell] + ":\\").c_str()) ? 1 : 0;
        }
      }
      for (int s = 0; s < slots; ++s)
        if (m_bReady[CellIndex(p, s)] == 1) m_bReady[spare] = 1;
      if (m_strDrive[spare] != kNoDevice) SetTrayIcon(IDI_TRAY_ACTIVE);
    } else {
      for (int s = 0; s <= slots; ++s) {
        int cell = CellIndex(p, s);
        RemoveRecordedShortcut(cell);
        m_bFound[cell] = 0;
        m_bReady[cell] = 0;
        m_strDriveFuncs[cell] = kNoFunc;
        m_strDriveFunc[cell] = kNoFunc;
        m_strShortcut[cell].clear();
        m_strDrive[cell] = kNoDrive;
      }
    }
  }
}
