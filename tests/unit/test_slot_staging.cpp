#include "tests/unit/test_slot_staging.h"

void StageSlot(CEjectorDlg& dlg, int cell, int found, const std::string& drive,
               const std::string& driveFuncs, int ready) {
  CSlotTable& table = dlg.m_slots;
  table.m_bFound[cell] = found;
  table.m_strDrive[cell] = drive;
  table.m_strDriveFuncs[cell] = driveFuncs;
  table.m_bReady[cell] = ready;
}
