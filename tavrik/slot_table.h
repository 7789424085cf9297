// The state of every slot of every defined reader, and the refresh that works it out from the
// registry: which slot has which drive letter, whether its medium answers, and what its menu
// item says. Cells are indexed as slot_cells.h says; the spare cell after a reader's last slot
// carries the reader's own flags.
#pragma once
#include <string>
#include <vector>

#include "common/slot_drive_finder.h"
#include "platform/decorators/read_snapshot_registry.h"
#include "platform/system.h"
#include "tavrik/reader_definitions.h"
#include "tavrik/sendto_shortcuts.h"
#include "tavrik/slot_cells.h"
#include "tavrik/tray_icon.h"

class CEjectorDlg;

class CSlotTable {
 public:
  CSlotTable(platform::ReadSnapshotRegistry& readSnapshot, CSlotDriveFinder& finder,
             const CReaderDefinitions& definitions, platform::ISystem& system,
             CSendToShortcuts& shortcuts, CTrayIcon& trayIcon)
      : m_readSnapshot(readSnapshot),
        m_finder(finder),
        m_definitions(definitions),
        m_system(system),
        m_shortcuts(shortcuts),
        m_trayIcon(trayIcon) {}

  // Every cell of the defined readers as before the first refresh: no function, no letter.
  void Reset();
  // Asks the finder for every search key of every slot, records letters and functions, keeps
  // the SendTo shortcuts in step and switches the tray image; with checkMedia it also probes
  // each lettered slot's medium.
  void RefreshSlots(bool checkMedia);
  // Before the slot menu is built: a reader's spare cell is found when any slot of it has a
  // function.
  void MarkReadersWithFunctions();

  const std::string& Drive(int cell) const { return m_strDrive[cell]; }
  const std::string& PrevDrive(int cell) const { return m_strPrevDrive[cell]; }
  const std::string& DriveFuncs(int cell) const { return m_strDriveFuncs[cell]; }
  const std::string& DriveFunc(int cell) const { return m_strDriveFunc[cell]; }
  int Found(int cell) const { return m_bFound[cell]; }
  int Ready(int cell) const { return m_bReady[cell]; }
  // The slot menu's texts of a connected reader, one per slot.
  const std::vector<std::string>& MenuTexts(int readerPosition) const {
    return m_listMenuText[readerPosition];
  }

 private:
  // The tests stage what their machine's registry cannot give (a found slot on Windows 95, a
  // slot found without a letter); nothing else writes a cell but a refresh.
  friend void StageSlot(CEjectorDlg& dlg, int cell, int found, const std::string& drive,
                        const std::string& driveFuncs, int ready);

  int DeviceNum() const { return m_definitions.m_nDeviceNum; }
  // The finder's answers for one reader's slots; false when none of them has a letter.
  bool FindReaderSlots(int readerPosition);
  // A connected reader: menu texts, shortcuts, media probe and the reader's ready flag.
  void RecordConnectedReader(int readerPosition, bool checkMedia);
  // A reader that is not connected: every cell of it, the spare one included, emptied.
  void ClearReader(int readerPosition);

  platform::ReadSnapshotRegistry& m_readSnapshot;
  CSlotDriveFinder& m_finder;
  const CReaderDefinitions& m_definitions;
  platform::ISystem& m_system;
  CSendToShortcuts& m_shortcuts;
  CTrayIcon& m_trayIcon;

  std::vector<std::string> m_listMenuText[kReaderPositions];
  std::string m_strDriveFuncs[kCellCount];
  std::string m_strDriveFunc[kCellCount];
  std::string m_strDrive[kCellCount];
  std::string m_strPrevDrive[kCellCount];
  int m_bFound[kCellCount] = {};
  int m_bReady[kCellCount] = {};
};
