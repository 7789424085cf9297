#include "tavrik/slot_table.h"

void CSlotTable::Reset() {
  ForEachCell(DeviceNum(), [&](const Cell& cell) {
    m_strDriveFuncs[cell.index] = kNoFunc;
    m_strDriveFunc[cell.index] = kNoFunc;
    m_shortcuts.ForgetShortcut(cell.index);
    m_strDrive[cell.index] = kNoDrive;
    m_strPrevDrive[cell.index] = kNoDrive;
    m_bFound[cell.index] = 0;
    m_bReady[cell.index] = 0;
  });
}

void CSlotTable::RefreshSlots(bool checkMedia) {
  // Every search key of every slot asks about the same disks and records: the finder reads
  // them once for the whole refresh, and the next refresh (after a replug) reads afresh. The
  // snapshot answers the refresh's other repeated reads (on 2000, the SendTo folder per slot).
  platform::ScopedReadSnapshot snapshot(m_readSnapshot);
  ScopedFinderRefresh lookups(m_finder);
  m_trayIcon.SetTrayIcon(IDI_TRAY_IDLE);
  ForEachCell(DeviceNum(), [&](const Cell& cell) {
    m_strDriveFuncs[cell.index] = kNoFunc;
    m_strDriveFunc[cell.index] = kNoFunc;
    m_bFound[cell.index] = 0;
    m_strPrevDrive[cell.index] = m_strDrive[cell.index];
    m_strDrive[cell.index] = kNoDrive;
    m_bReady[cell.index] = 0;
  });

  for (int p = 0; p < DeviceNum(); ++p) {
    if (FindReaderSlots(p))
      RecordConnectedReader(p, checkMedia);
    else
      ClearReader(p);
  }
}

bool CSlotTable::FindReaderSlots(int p) {
  const CReaderDefinition& reader = m_definitions.m_aReaders[p];
  const int slots = reader.m_nDriveNum;
  m_finder.Reset();
  for (int s = 0; s < slots; ++s) {
    const CSlotDefinition& slot = reader.m_aSlots[s];
    int cell = CellIndex(p, s);
    for (int k = 0; k < slot.m_searchKeys.m_nCount; ++k) {
      if (m_finder.FindNamedDrive(slot.m_searchKeys.m_astrKeys[k], reader.m_strFriendlyName) != 1)
        continue;
      m_strDriveFuncs[cell] = slot.m_strDriveFuncs;
      m_strDriveFunc[cell] = slot.m_strDriveFunc;
      m_bFound[cell] = 1;
      m_strDrive[cell] = m_finder.m_strFoundDrive;
    }
  }
  if (m_finder.m_nDriveCount == 0) m_strDrive[CellIndex(p, slots)] = kNoDevice;

  for (int s = 0; s < slots; ++s) {
    int cell = CellIndex(p, s);
    if (m_strDrive[cell] != m_strPrevDrive[cell]) m_shortcuts.RemoveRecordedShortcut(cell);
  }
  return m_finder.m_nDriveCount != 0;
}

void CSlotTable::RecordConnectedReader(int p, bool checkMedia) {
  const int slots = m_definitions.m_aReaders[p].m_nDriveNum;
  const int spare = CellIndex(p, slots);
  m_listMenuText[p].clear();
  for (int s = 0; s < slots; ++s) {
    int cell = CellIndex(p, s);
    if (m_strDriveFuncs[cell] != kNoFunc) {
      m_listMenuText[p].push_back(m_strDriveFuncs[cell] + "取り出し " + "(" + m_strDrive[cell] +
                                  ":) ");
    } else {
      m_listMenuText[p].push_back("ドライブが取り外されています。");
    }
    m_shortcuts.MaintainShortcut(cell, m_strDrive[cell], m_strDriveFuncs[cell],
                                 m_strDriveFunc[cell]);
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
  if (m_strDrive[spare] != kNoDevice) m_trayIcon.SetTrayIcon(IDI_TRAY_ACTIVE);
}

void CSlotTable::ClearReader(int p) {
  const int slots = m_definitions.m_aReaders[p].m_nDriveNum;
  for (int s = 0; s <= slots; ++s) {
    int cell = CellIndex(p, s);
    m_shortcuts.RemoveRecordedShortcut(cell);
    m_bFound[cell] = 0;
    m_bReady[cell] = 0;
    m_strDriveFuncs[cell] = kNoFunc;
    m_strDriveFunc[cell] = kNoFunc;
    m_shortcuts.ForgetShortcut(cell);
    m_strDrive[cell] = kNoDrive;
  }
}

void CSlotTable::MarkReadersWithFunctions() {
  for (int p = 0; p < DeviceNum(); ++p) {
    const int slots = m_definitions.m_aReaders[p].m_nDriveNum;
    int hasFunction = 0;
    for (int s = 0; s < slots; ++s)
      if (m_strDriveFuncs[CellIndex(p, s)] != kNoFunc) hasFunction = 1;
    m_bFound[CellIndex(p, slots)] = hasFunction;
  }
}
