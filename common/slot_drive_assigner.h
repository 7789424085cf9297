// The drive-letter writer: records a slot's new letter where the system looks when it next
// mounts the slot's medium. Only the assignment program has it.
#pragma once
#include <string>

#include "common/slot_drive_finder.h"

class CSlotDriveAssigner : public CSlotDriveFinder {
 public:
  using CSlotDriveFinder::CSlotDriveFinder;
  ~CSlotDriveAssigner() override;

  // Writes letter as the slot's drive letter for every matching device; the outcome is seen
  // only by looking the slot up again. Changes no field of the finder.
  void AssignDrive(const std::string& slotId, char letter, const std::string& nameFilter);

 protected:
  void AssignDriveNt(const std::string& slotId, char letter, const std::string& nameFilter);
  void AssignDriveVista(const std::string& slotId, char letter);
  void AssignDrive9x(const std::string& slotId, char letter, const std::string& nameFilter);
};
