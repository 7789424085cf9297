// The drive-letter writer: records a slot's new letter where the system looks when it next
// mounts the slot's medium. Only the assignment program has it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "common/mount_records.h"
#include "common/slot_drive_finder.h"

class CSlotDriveAssigner : public CSlotDriveFinder {
 public:
  using CSlotDriveFinder::CSlotDriveFinder;
  ~CSlotDriveAssigner() override;

  // Writes letter as the slot's drive letter for every matching device; the outcome is seen
  // only by looking the slot up again. Changes no field of the finder but the failure mark.
  void AssignDrive(const std::string& slotId, char letter, const std::string& nameFilter);

  // Whether some AssignDrive since the last ClearWriteFailed could not do its work: a key or
  // value it had to change refused, or the records it left are not the ones it meant to leave.
  // Success must not be reported then.
  bool WriteFailed() const { return m_bWriteFailed; }
  void ClearWriteFailed() { m_bWriteFailed = false; }
  void MarkWriteFailed() { m_bWriteFailed = true; }
  // How many new records AssignDrive has written so far: a slot that was found and got none
  // was not reached (a list it is found through could not be read).
  int WriteCount() const { return m_nWrites; }

 protected:
  void AssignDriveNt(const std::string& slotId, char letter, const std::string& nameFilter);
  void AssignDriveVista(const std::string& slotId, char letter);
  void AssignDrive9x(const std::string& slotId, char letter, const std::string& nameFilter);

 private:
  // Deletes the slot's records, writes the new one and reads them back: exactly the new
  // letter's record must be left.
  void ReplaceRecords(platform::RegKey mounts, const std::vector<MountRecordHit>& hits,
                      const std::string& matchText, char letter,
                      const std::vector<uint8_t>& record);
  // Marks a failure unless status is success (or, with absentIsFine, the key is not there).
  void Check(long status, bool absentIsFine = false);

  bool m_bWriteFailed = false;
  int m_nWrites = 0;
};
