// SendTo shortcuts to the slots' roots, kept only as long as a slot keeps its letter, on the
// systems whose Explorer has no per-drive labels of its own (98, Me, NT 4 and 2000), with
// their record in the settings ("shctList") from which a later start removes what a run left.
#pragma once
#include <string>

#include "common/slot_drive_finder.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "tavrik/settings_profile.h"
#include "tavrik/shell_tools.h"
#include "tavrik/slot_cells.h"

class CSendToShortcuts {
 public:
  CSendToShortcuts(const CSlotDriveFinder& finder, platform::IRegistry& registry,
                   platform::IFiles& files, CShellTools& shellTools, CSettingsProfile& profile)
      : m_finder(finder),
        m_registry(registry),
        m_files(files),
        m_shellTools(shellTools),
        m_profile(profile) {}

  // The path of the cell's shortcut; empty when none is recorded.
  const std::string& Shortcut(int cell) const { return m_strShortcut[cell]; }

  // A slot whose letter changed, or whose reader went: its shortcut file goes (where shortcuts
  // are kept at all) and its record with it.
  void RemoveRecordedShortcut(int cell);
  // Forgets the cell's record, leaving any file alone.
  void ForgetShortcut(int cell) { m_strShortcut[cell].clear(); }
  // A slot of a connected reader: replaces its shortcut by a fresh one named after its
  // function and letter (drive is the slot's drive string, driveFuncs its label, driveFunc the
  // link's description).
  void MaintainShortcut(int cell, const std::string& drive, const std::string& driveFuncs,
                        const std::string& driveFunc);

  // The record in the settings, for every slot of the first deviceNum readers.
  void SaveShortcutList(int deviceNum);
  // At start: deletes the files an earlier run recorded; the entries stay for the next save.
  void RemoveListedShortcuts(int deviceNum);
  // At shutdown: deletes the files of this run, then (ForgetShortcutList) the entries.
  void RemoveAllShortcuts(int deviceNum);
  void ForgetShortcutList(int deviceNum);

 private:
  // The settings section of the record, one entry per slot.
  static constexpr const char* kShortcutList = "shctList";

  // Windows XP's Explorer labels the drives itself: no shortcut is read, made or deleted.
  bool ShortcutsKept() const;
  // The user's SendTo folder in its short form, ending in a backslash; empty when unknown.
  std::string SendToFolder();
  void DeleteIfPresent(const std::string& path);

  const CSlotDriveFinder& m_finder;
  platform::IRegistry& m_registry;
  platform::IFiles& m_files;
  CShellTools& m_shellTools;
  CSettingsProfile& m_profile;
  std::string m_strShortcut[kCellCount];
};
