// The drive lookups as the finder made them before it kept an index of what it reads: every
// lookup reads the registry afresh, enumerates the disk list or the devnodes, and scans the
// mount key once for every matching disk. They work on a finder's public state (lists, letter,
// counts), so the differential test can hold the finder to them call by call.
#pragma once
#include <string>

#include "common/slot_drive_finder.h"
#include "platform/registry.h"
#include "platform/system.h"

class ReferenceLookups {
 public:
  ReferenceLookups(CSlotDriveFinder& state, platform::IRegistry& registry,
                   platform::ISystem& system)
      : m_state(state), m_registry(registry), m_system(system) {}

  int FindDrive(const std::string& slotId);
  int FindNamedDrive(const std::string& slotId, const std::string& nameFilter);

 private:
  int FindDriveNt(const std::string& slotId, const std::string* nameFilter);
  int FindDriveVista(const std::string& slotId);
  int FindDrive9x(const std::string& slotId, const std::string* nameFilter);
  void ScanMountRecords(const std::string& matchText, const std::string& parentIdPrefix);
  void NoteDrive(const std::string& letter);
  int FinishLookup();

  CSlotDriveFinder& m_state;
  platform::IRegistry& m_registry;
  platform::ISystem& m_system;
};
