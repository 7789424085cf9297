// The Vista-style writer: an existing record of the slot moves to the new letter unchanged.
#include <gtest/gtest.h>

#include "common/slot_drive_assigner.h"
#include "test_drive_machine.h"

namespace {

using platform::kHkeyLocalMachine;

std::string VistaRecord(const std::string& serial, int lun, const std::string& product) {
  return fake::VistaMountRecord("USBSTOR\\Disk&Ven_Norvell&Prod_" + product + "&Rev_1.00\\" +
                                serial + "&" + std::to_string(lun));
}

class VistaAssign : public ::testing::Test {
 protected:
  DriveMachine machine{"WinVista", {"vista_twin_readers.reg"}};
  CSlotDriveAssigner assigner{machine.registry, machine.system};
};

TEST_F(VistaAssign, TheSlotsRecordMovesToTheNewLetterAsItWasRead) {
  assigner.AssignDrive(kSdSlot, 'S', "the filter is not used");
  EXPECT_EQ("", machine.MountRecord('G'));
  EXPECT_EQ(VistaRecord("NV0420130001", 2, "SD_MMC_Slot"), machine.MountRecord('S'));
  EXPECT_EQ(1, assigner.FindNamedDrive(kSdSlot, ""));
  EXPECT_EQ("S", assigner.m_strFoundDrive);
}

TEST_F(VistaAssign, WithTwoIdenticalReadersBothRecordsGoAndTheLastOneFoundIsWritten) {
  assigner.AssignDrive(kCfSlot, 'P', "");
  EXPECT_EQ("", machine.MountRecord('E'));
  EXPECT_EQ("", machine.MountRecord('I'));
  EXPECT_EQ(VistaRecord("NV0420130002", 0, "CF_Slot"), machine.MountRecord('P'));
}

TEST_F(VistaAssign, ASlotWithoutRecordOrWithASeparatedIdGetsNothing) {
  auto before = machine.registry.SnapshotAll();
  assigner.AssignDrive(kMsSlot, 'Q', "");  // only a volume GUID record
  assigner.AssignDrive("USBSTOR\\Disk&Ven_Norvell**&0", 'Q', "");
  EXPECT_EQ(before, machine.registry.SnapshotAll());
}

}  // namespace
