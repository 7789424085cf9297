// The fixed buffers: lookups read through 260 bytes or characters, the writer through 512.
// What does not fit, the two terminator bytes after a mount record included, is passed over,
// and the enumeration still reaches every later entry.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/slot_drive_assigner.h"
#include "test_drive_machine.h"

namespace {

using platform::kHkeyDynData;
using platform::kHkeyLocalMachine;
using Strings = std::vector<std::string>;

const char kCfRecord[] =
    "\\??\\STORAGE#RemovableMedia#7&2f4c18a0&0&RM#{53f5630d-b6bf-11d0-94f2-00a0c91efb8b}";

// The CF record padded with 'x' to dataBytes bytes of UTF-16LE (an odd count ends in a lone
// low byte).
std::vector<uint8_t> PaddedRecord(size_t dataBytes) {
  std::vector<uint8_t> data = Utf16Le(kCfRecord);
  while (data.size() < dataBytes) data.push_back(data.size() % 2 == 0 ? 'x' : 0);
  return data;
}

std::string PaddedName(char letter, size_t length) {
  std::string name = std::string("\\DosDevices\\") + letter + ":";
  return name + std::string(length - name.size(), 'x');
}

class LookupLimits : public ::testing::Test {
 protected:
  void SetUp() override { machine.DeleteValue(kHkeyLocalMachine, kMountKey, "\\DosDevices\\E:"); }
  DriveMachine machine{"WinXP", {"xp_machine.reg"}};
  CSlotDriveFinder finder{machine.registry, machine.system};
};

TEST_F(LookupLimits, MountRecordsNeedRoomForTheirTerminatorIn260Bytes) {
  machine.SetBinary(kHkeyLocalMachine, kMountKey, "\\DosDevices\\P:", PaddedRecord(258));
  machine.SetBinary(kHkeyLocalMachine, kMountKey, "\\DosDevices\\Q:", PaddedRecord(259));
  machine.SetBinary(kHkeyLocalMachine, kMountKey, "\\DosDevices\\R:", PaddedRecord(260));
  machine.SetBinary(kHkeyLocalMachine, kMountKey, "\\DosDevices\\S:", PaddedRecord(261));
  machine.SetMountRecord("\\DosDevices\\T:", kCfRecord);
  EXPECT_EQ(1, finder.FindDrive(kCfSlot));
  EXPECT_EQ(Strings({"P", "T"}), finder.m_listDrives);
}

TEST_F(LookupLimits, ValueNamesMustBeShorterThan260Characters) {
  machine.SetMountRecord(PaddedName('P', 259), kCfRecord);
  machine.SetMountRecord(PaddedName('Q', 260), kCfRecord);
  machine.SetMountRecord("\\DosDevices\\T:", kCfRecord);
  EXPECT_EQ(1, finder.FindDrive(kCfSlot));
  EXPECT_EQ(Strings({"P", "T"}), finder.m_listDrives);
}

TEST_F(LookupLimits, DiskIdsAndQueriedTextsMustFitWithTheirTerminator) {
  const std::string fits = kCfDisk2 + std::string(258 - std::string(kCfDisk2).size(), '0');
  machine.SetText(kHkeyLocalMachine, kDiskEnum, "5", fits);               // 259 bytes
  machine.SetText(kHkeyLocalMachine, kDiskEnum, "6", fits + "0");         // 260 bytes
  machine.SetText(kHkeyLocalMachine, kDiskEnum, "7", fits + "00");        // 261 bytes
  machine.SetText(kHkeyLocalMachine, kDiskEnum, "8", kCfDisk2);
  finder.FindDrive(kCfSlot);
  // Enumerated data of 260 bytes or more never matches, even a 259-character id with its
  // terminator.
  EXPECT_EQ(Strings({kCfDisk1, fits, kCfDisk2}), finder.m_listDeviceIds);
  // A prefix too long for the query buffer reads as empty: no letter.
  machine.SetText(kHkeyLocalMachine, kCfDiskKey1, "ParentIdPrefix", std::string(260, '7'));
  machine.SetMountRecord("\\DosDevices\\P:", kCfRecord);
  EXPECT_EQ(0, finder.FindDrive(kCfSlot));
}

TEST(NineXLookupLimits, ADeviceSubkeyNameTooLongIsPassedOverAndLaterOnesAreReached) {
  DriveMachine machine("Win98", {"win98_machine.reg"});
  const std::string cm = "Config Manager\\Enum\\";
  machine.SetText(kHkeyDynData, cm + std::string(260, 'A'), "HardWareKey",
                  "SCSI\\NORVELL_CF_SLOT_________1.00\\NV0420130001&0");
  machine.SetText(kHkeyDynData, cm + std::string(259, 'B'), "HardWareKey",
                  "SCSI\\NORVELL_CF_SLOT_________1.00\\NV0420130001&0");
  CSlotDriveFinder finder(machine.registry, machine.system);
  EXPECT_EQ(1, finder.FindDrive(kCfSlot9x));
  EXPECT_EQ(2u, finder.m_listDrives.size());  // the fixture's own entry and the 259 one
}

TEST(NineXLookupLimits, AHardwareKeyFillingTheBufferWithoutTerminatorIsNotCutToAnotherKey) {
  DriveMachine machine("Win98", {"win98_machine.reg"});
  CSlotDriveFinder finder(machine.registry, machine.system);
  ASSERT_EQ(1, finder.FindDrive(kCfSlot9x));
  const Strings fixtureOnly = finder.m_listDrives;
  // Cut to 259 characters, the key would name this other device, which has letter Q.
  const std::string cut = "SCSI\\NORVELL_CF_SLOT_________1.00\\" + std::string(225, 'N');
  ASSERT_EQ(259u, cut.size());
  machine.SetText(kHkeyLocalMachine, "Enum\\" + cut, "CurrentDriveLetterAssignment", "Q");
  const std::string full = cut + "0";
  machine.SetBinary(kHkeyDynData, "Config Manager\\Enum\\C1F00000", "HardWareKey",
                    std::vector<uint8_t>(full.begin(), full.end()));
  finder.Reset();
  EXPECT_EQ(1, finder.FindDrive(kCfSlot9x));
  EXPECT_EQ(fixtureOnly, finder.m_listDrives);
}

TEST(WriterLimits, OnlyRecordsThatFit512BytesWithTheirTerminatorAreDeleted) {
  DriveMachine machine("WinXP", {"xp_machine.reg"});
  machine.SetBinary(kHkeyLocalMachine, kMountKey, "\\DosDevices\\P:", PaddedRecord(510));
  machine.SetBinary(kHkeyLocalMachine, kMountKey, "\\DosDevices\\Q:", PaddedRecord(511));
  machine.SetMountRecord(PaddedName('R', 511), kCfRecord);
  machine.SetMountRecord(PaddedName('S', 512), kCfRecord);
  CSlotDriveAssigner assigner(machine.registry, machine.system);
  assigner.AssignDrive(kCfSlot, 'Z', "");
  Strings names = machine.DriveLetterNames();
  auto has = [&](const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
  };
  EXPECT_FALSE(has("\\DosDevices\\E:"));
  EXPECT_FALSE(has("\\DosDevices\\P:"));
  EXPECT_TRUE(has("\\DosDevices\\Q:"));
  EXPECT_FALSE(has(PaddedName('R', 511)));
  EXPECT_TRUE(has(PaddedName('S', 512)));
  EXPECT_EQ(kCfRecord, machine.MountRecord('Z'));
}

TEST(WriterLimits, ARecordTooLongForTheBufferIsNotWrittenCutShort) {
  // The prefix fits the query buffer; the record built from it (269 characters) does not fit
  // 512 bytes of UTF-16.
  DriveMachine machine("WinXP", {"xp_machine.reg"});
  machine.SetText(kHkeyLocalMachine, kCfDiskKey1, "ParentIdPrefix", std::string(200, '7'));
  auto before = machine.registry.SnapshotAll();
  CSlotDriveAssigner assigner(machine.registry, machine.system);
  assigner.AssignDrive(kCfSlot, 'Z', "");
  EXPECT_EQ(before, machine.registry.SnapshotAll());
}

}  // namespace
