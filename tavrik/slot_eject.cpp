#include "tavrik/slot_eject.h"

#include "tavrik/drive_holders.h"
#include "tavrik/drive_letter.h"

char CSlotEjector::ChooseEngine() const {
  if (m_finder.IsFamily(kOsWin9x) && !m_finder.IsVersion(kOsWin95)) return '9';
  if (m_finder.IsFamily(kOsWinNT)) return 'n';
  return 0;
}

bool CSlotEjector::RunEngine(const std::string& drive, int& result, std::string& error) {
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

int CSlotEjector::EjectSlot(int p, int s) {
  const std::string& drive = m_slots.Drive(CellIndex(p, s));
  int result = 0;
  std::string error;
  if (RunEngine(drive, result, error) && result == 0)
    m_ui.MessageBox(true, error, m_strTitle, platform::kMbOk);
  return 1;
}

void CSlotEjector::OnEjectAll() {
  ForEachDefinedSlot(m_definitions, [&](const Cell& cell, const CSlotDefinition&) {
    if (m_slots.Ready(cell.index) != 1) return;
    int result = 0;
    std::string error;
    // The 9x engine may fail without a text; only then is there nothing to show.
    if (RunEngine(m_slots.Drive(cell.index), result, error) && result == 0 &&
        (ChooseEngine() == 'n' || !error.empty()))
      m_ui.MessageBox(true, error, m_strTitle, platform::kMbOk);
    m_system.Sleep(800);
  });
}
