// The XP-style writer: the slot's old "\DosDevices\" records go, the new letter's record is
// built from the disk's ParentIdPrefix.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/slot_drive_assigner.h"
#include "test_drive_machine.h"

namespace {

using platform::kHkeyLocalMachine;
using Strings = std::vector<std::string>;

bool Has(const Strings& names, char letter) {
  return std::find(names.begin(), names.end(), std::string("\\DosDevices\\") + letter + ":") !=
         names.end();
}

class XpAssign : public ::testing::Test {
 protected:
  DriveMachine machine{"WinXP", {"xp_machine.reg"}};
  CSlotDriveAssigner assigner{machine.registry, machine.system};
};

TEST_F(XpAssign, MovesTheSlotToTheNewLetterWithTheRecordInMixedCase) {
  size_t valuesBefore = machine.ValueNames(kHkeyLocalMachine, kMountKey).size();
  assigner.AssignDrive(kCfSlot, 'P', "NR-4U");
  Strings letters = machine.DriveLetterNames();
  EXPECT_FALSE(Has(letters, 'E'));
  EXPECT_EQ(fake::XpMountRecord("7&2f4c18a0&0"), machine.MountRecord('P'));
  // Exactly one value replaced: the volume GUID records and other letters stay.
  EXPECT_EQ(valuesBefore, machine.ValueNames(kHkeyLocalMachine, kMountKey).size());
  EXPECT_EQ(fake::XpMountRecord("7&2f4c18a0&1"), machine.MountRecord('F'));
}

TEST_F(XpAssign, ASlotWithSeveralLettersLosesThemAllAndOneWithoutGetsOne) {
  // L: lands right after K:, so deleting K: during the scan would move L: past the index.
  machine.SetMountRecord("\\DosDevices\\L:", fake::XpMountRecord("7&2f4c18a0&2"));
  assigner.AssignDrive(kSdSlot, 'S', "");
  Strings letters = machine.DriveLetterNames();
  EXPECT_FALSE(Has(letters, 'G'));
  EXPECT_FALSE(Has(letters, 'K'));
  EXPECT_FALSE(Has(letters, 'L'));
  EXPECT_EQ(fake::XpMountRecord("7&2f4c18a0&2"), machine.MountRecord('S'));
  assigner.AssignDrive(kMsSlot, 'Q', "");
  EXPECT_EQ(fake::XpMountRecord("7&2f4c18a0&3"), machine.MountRecord('Q'));
}

TEST_F(XpAssign, TheTargetLettersRecordIsReplacedWhicheverDeviceHadIt) {
  assigner.AssignDrive(kCfSlot, 'H', "");  // H: belonged to the other maker's stick
  EXPECT_EQ(fake::XpMountRecord("7&2f4c18a0&0"), machine.MountRecord('H'));
}

TEST_F(XpAssign, AWrittenRecordIsFoundByTheLookupAndReplacedByALaterRun) {
  assigner.AssignDrive(kCfSlot, 'P', "");
  EXPECT_EQ(1, assigner.FindDrive(kCfSlot));
  EXPECT_EQ("P", assigner.m_strFoundDrive);
  assigner.AssignDrive(kCfSlot, 'R', "");
  EXPECT_FALSE(Has(machine.DriveLetterNames(), 'P'));
  EXPECT_EQ(1, assigner.FindDrive(kCfSlot));
  EXPECT_EQ("R", assigner.m_strFoundDrive);
}

TEST_F(XpAssign, AnEmptyFriendlyNamePassesOnlyAnEmptyFilter) {
  machine.SetText(kHkeyLocalMachine, kCfDiskKey1, "FriendlyName", "");
  assigner.AssignDrive(kCfSlot, 'P', "NR-4U");
  EXPECT_EQ("", machine.MountRecord('P'));
  EXPECT_EQ(1, assigner.FindNamedDrive(kCfSlot, "NR-4U"));  // the lookup accepts the disk
  assigner.AssignDrive(kCfSlot, 'P', "");
  EXPECT_EQ(fake::XpMountRecord("7&2f4c18a0&0"), machine.MountRecord('P'));
}

TEST_F(XpAssign, AFilterMismatchOrAMissingPrefixWritesNothing) {
  auto before = machine.registry.SnapshotAll();
  assigner.AssignDrive(kCfSlot, 'P', "NR-7S");
  assigner.AssignDrive(kCfSlot, 'P', "nr-4u");
  EXPECT_EQ(before, machine.registry.SnapshotAll());
  machine.DeleteValue(kHkeyLocalMachine, kCfDiskKey1, "ParentIdPrefix");
  before = machine.registry.SnapshotAll();
  assigner.AssignDrive(kCfSlot, 'P', "");
  EXPECT_EQ(before, machine.registry.SnapshotAll());
}

TEST_F(XpAssign, TheWriterChangesNoFieldOfTheFinder) {
  ASSERT_EQ(1, assigner.FindDrive(kSdSlot));
  assigner.AssignDrive(kCfSlot, 'P', "");
  EXPECT_EQ("K", assigner.m_strFoundDrive);
  EXPECT_EQ(1u, assigner.m_listDeviceIds.size());
  EXPECT_EQ(2, assigner.m_nDriveCount);
  EXPECT_EQ(1, assigner.m_nLookupCount);
  EXPECT_EQ("7&2f4c18a0&2", assigner.m_strParentIdPrefix);
}

TEST(XpAssignTwinReaders, EachReaderIsRewrittenInTurnAndTheLastOwnsTheLetter) {
  DriveMachine machine("Win2k", {"xp_twin_readers.reg"});
  CSlotDriveAssigner assigner(machine.registry, machine.system);
  assigner.AssignDrive(kCfSlot, 'P', "NR-4U");
  Strings letters = machine.DriveLetterNames();
  EXPECT_FALSE(Has(letters, 'E'));
  EXPECT_FALSE(Has(letters, 'I'));
  EXPECT_EQ(fake::XpMountRecord("7&35e2a9d1&0"), machine.MountRecord('P'));
  EXPECT_EQ(fake::XpMountRecord("7&0d44f3b2&0"), machine.MountRecord('J'));  // the other model
}

TEST(AssignDispatch, OtherNtVersionsUseTheXpWriterAndAnUnknownFamilyWritesNothing) {
  for (auto numbers : {platform::OsVersionNumbers{2, 4, 0, 1381},
                       platform::OsVersionNumbers{2, 6, 1, 7601}}) {
    DriveMachine machine("WinXP", {"xp_machine.reg"});
    machine.system.SetVersionNumbers(numbers);
    CSlotDriveAssigner assigner(machine.registry, machine.system);
    assigner.AssignDrive(kCfSlot, 'P', "");
    EXPECT_EQ(fake::XpMountRecord("7&2f4c18a0&0"), machine.MountRecord('P'));
  }
  DriveMachine machine("OTHER", {"xp_machine.reg"});
  CSlotDriveAssigner assigner(machine.registry, machine.system);
  auto before = machine.registry.SnapshotAll();
  assigner.AssignDrive(kCfSlot, 'P', "");
  EXPECT_EQ(before, machine.registry.SnapshotAll());
}

}  // namespace
