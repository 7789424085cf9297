// Explorer's per-drive icons and labels for the slots that have letters, the "BackData" backup
// of what those keys held before, and the record in the settings ("IcoList1", "IcoList2") from
// which a later start undoes whatever a run left behind.
#pragma once
#include <string>

#include "common/slot_drive_finder.h"
#include "platform/registry.h"
#include "tavrik/icon_handoff.h"
#include "tavrik/reader_definitions.h"
#include "tavrik/settings_profile.h"
#include "tavrik/slot_cells.h"
#include "tavrik/slot_table.h"

class CDriveIcons {
 public:
  CDriveIcons(const CSlotDriveFinder& finder, platform::IRegistry& registry,
              const CReaderDefinitions& definitions, const CSlotTable& slots,
              CSettingsProfile& profile, CIconHandOff& handOff)
      : m_finder(finder),
        m_registry(registry),
        m_definitions(definitions),
        m_slots(slots),
        m_profile(profile),
        m_handOff(handOff) {}

  // The HKEY_LOCAL_MACHINE and HKEY_CLASSES_ROOT key paths filled for a cell; empty when none.
  const std::string& DriveIconKey(int cell) const { return m_strDriveIconKey[cell]; }
  const std::string& ExplorerIconKey(int cell) const { return m_strExplorerIconKey[cell]; }

  // Undoes the recorded keys, then writes icon and label of every found slot with a letter
  // (and on Vista hands the values to the icon program).
  void ApplyDriveIcons();
  // Undoes every recorded key; a key that cannot be opened stays recorded.
  void RemoveDriveIcons();
  // Writes the key paths to the settings and deletes the entries of cells without one. (No
  // record is kept on Windows 95: the window does not call this or RestoreIconLists there.)
  void SaveIconLists();
  // At start: takes the record an earlier run left and undoes it.
  void RestoreIconLists();
  // At shutdown, after the removal: deletes the record's entries.
  void ForgetIconLists();

 private:
  // The settings sections of the record, one entry per slot.
  static constexpr const char* kMachineKeyList = "IcoList1";
  static constexpr const char* kExplorerKeyList = "IcoList2";

  int DeviceNum() const { return m_definitions.m_nDeviceNum; }
  // One cell's entry of a section: written when the cell has a path, else deleted if listed.
  void SaveEntry(const char* section, const std::string& entry, const std::string& path,
                 bool& listed);
  // HKEY_CLASSES_ROOT keys are Explorer's own on NT and on Me.
  bool ExplorerKeysUsed() const;
  // Whether a value without backup is one the program writes, which its undo may take away.
  bool IsOurValue(const std::string& value) const;

  const CSlotDriveFinder& m_finder;
  platform::IRegistry& m_registry;
  const CReaderDefinitions& m_definitions;
  const CSlotTable& m_slots;
  CSettingsProfile& m_profile;
  CIconHandOff& m_handOff;
  std::string m_strDriveIconKey[kCellCount];
  std::string m_strExplorerIconKey[kCellCount];
  // Whether the settings hold an entry for the cell, so that an emptied path deletes it.
  bool m_bMachineKeyListed[kCellCount] = {};
  bool m_bExplorerKeyListed[kCellCount] = {};
};
