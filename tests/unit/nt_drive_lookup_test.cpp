// The XP-style lookup: a disk of the slot, its ParentIdPrefix, its removable-media record.
#include <gtest/gtest.h>

#include "common/slot_drive_finder.h"
#include "test_drive_machine.h"

namespace {

using platform::kHkeyLocalMachine;
using Strings = std::vector<std::string>;

const char kCfRecord[] =
    "\\??\\STORAGE#RemovableMedia#7&2f4c18a0&0&RM#{53f5630d-b6bf-11d0-94f2-00a0c91efb8b}";

class XpLookup : public ::testing::Test {
 protected:
  DriveMachine machine{"WinXP", {"xp_machine.reg"}};
  CSlotDriveFinder finder{machine.registry, machine.system};
};

TEST_F(XpLookup, FindsTheSlotsLetterThroughItsParentIdPrefix) {
  EXPECT_EQ(1, finder.FindDrive(kCfSlot));
  EXPECT_EQ("E", finder.m_strFoundDrive);
  EXPECT_EQ("7&2f4c18a0&0", finder.m_strParentIdPrefix);
  EXPECT_EQ(Strings({kCfDisk1}), finder.m_listDeviceIds);
  EXPECT_EQ(Strings({"E"}), finder.m_listDrives);
  EXPECT_EQ(1, finder.m_nDriveCount);
}

TEST_F(XpLookup, ASlotWithTwoRecordsListsBothAndReportsTheOneEnumeratedLast) {
  // G: is stored before the stale K: in the fixture.
  EXPECT_EQ(1, finder.FindDrive(kSdSlot));
  EXPECT_EQ(Strings({"G", "K"}), finder.m_listDrives);
  EXPECT_EQ("K", finder.m_strFoundDrive);
}

TEST_F(XpLookup, AVolumeGuidRecordIsNotADriveLetter) {
  EXPECT_EQ(0, finder.FindDrive(kMsSlot));
  EXPECT_EQ(1u, finder.m_listDeviceIds.size());
  EXPECT_TRUE(finder.m_listDrives.empty());
}

TEST_F(XpLookup, ASeparatedIdNeedsHeadAndTailAnywhereInTheInstanceId) {
  EXPECT_EQ(1, finder.FindDrive("USBSTOR\\Disk&Ven_Norvell**&2"));  // the SD-MMC slot, LUN 2
  EXPECT_EQ("K", finder.m_strFoundDrive);
  finder.Reset();
  EXPECT_EQ(1, finder.FindDrive("NV0420130001&1**Prod_SM_xD"));  // tail before head
  EXPECT_EQ("F", finder.m_strFoundDrive);
  EXPECT_EQ(0, finder.FindDrive("usbstor\\disk&ven_norvell**"));  // case-sensitive on NT
}

TEST_F(XpLookup, AnEmptyTailMatchesEveryDiskWithTheHead) {
  EXPECT_EQ(1, finder.FindDrive("USBSTOR\\Disk&Ven_Norvell**"));
  EXPECT_EQ(4u, finder.m_listDeviceIds.size());
  EXPECT_EQ(Strings({"E", "F", "G", "K"}), finder.m_listDrives);
}

TEST_F(XpLookup, DiskListValuesAreReadAsTextWhateverTheirType) {
  // "Count" and "NextInstance" are DWORDs: their bytes never hold a device id.
  EXPECT_EQ(1, finder.FindDrive("USBSTOR\\"));
  EXPECT_EQ(5u, finder.m_listDeviceIds.size());
  // Binary data without a terminator is text up to its length.
  std::string id = kCfDisk2;
  machine.SetBinary(kHkeyLocalMachine, kDiskEnum, "6", std::vector<uint8_t>(id.begin(), id.end()));
  finder.Reset();
  finder.FindDrive(kCfSlot);
  EXPECT_EQ(Strings({kCfDisk1, kCfDisk2}), finder.m_listDeviceIds);
}

TEST_F(XpLookup, TheNameFilterMustOccurInTheFriendlyNameCaseSensitively) {
  EXPECT_EQ(1, finder.FindNamedDrive(kCfSlot, "NR-4U"));
  EXPECT_EQ(1, finder.FindNamedDrive(kCfSlot, ""));
  EXPECT_EQ(0, finder.FindNamedDrive(kCfSlot, "NR-7S"));
  EXPECT_EQ(0, finder.FindNamedDrive(kCfSlot, "nr-4u"));
  EXPECT_EQ(4u, finder.m_listDeviceIds.size());  // rejected disks are still listed
}

TEST_F(XpLookup, ADiskWithoutFriendlyNamePassesAnyFilter) {
  machine.SetText(kHkeyLocalMachine, kCfDiskKey1, "FriendlyName", "");
  EXPECT_EQ(1, finder.FindNamedDrive(kCfSlot, "NR-7S"));
  machine.DeleteValue(kHkeyLocalMachine, kCfDiskKey1, "FriendlyName");
  EXPECT_EQ(1, finder.FindNamedDrive(kCfSlot, "NR-7S"));
}

TEST_F(XpLookup, ADiskWithoutParentIdPrefixHasNoLetter) {
  machine.DeleteValue(kHkeyLocalMachine, kCfDiskKey1, "ParentIdPrefix");
  EXPECT_EQ(0, finder.FindDrive(kCfSlot));
  EXPECT_EQ(1u, finder.m_listDeviceIds.size());
}

TEST_F(XpLookup, TheLetterKeepsTheCaseOfTheValueNameAndTheRecordCaseDoesNotMatter) {
  machine.DeleteValue(kHkeyLocalMachine, kMountKey, "\\DosDevices\\E:");
  std::string lower = kCfRecord;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  machine.SetMountRecord("\\DosDevices\\e:", lower);
  EXPECT_EQ(1, finder.FindDrive(kCfSlot));
  EXPECT_EQ("e", finder.m_strFoundDrive);
}

TEST_F(XpLookup, ADosDevicesValueWithoutALetterAfterThePrefixIsNoFind) {
  // Such a name would otherwise yield an empty or non-letter "drive" reported as found.
  machine.DeleteValue(kHkeyLocalMachine, kMountKey, "\\DosDevices\\E:");
  machine.SetMountRecord("\\DosDevices\\", kCfRecord);
  machine.SetMountRecord("\\DosDevices\\1:", kCfRecord);
  EXPECT_EQ(0, finder.FindDrive(kCfSlot));
  EXPECT_EQ("NoDrive", finder.m_strFoundDrive);
  EXPECT_TRUE(finder.m_listDrives.empty());
  machine.SetMountRecord("\\DosDevices\\P:", kCfRecord);
  EXPECT_EQ(1, finder.FindDrive(kCfSlot));
  EXPECT_EQ(Strings({"P"}), finder.m_listDrives);
}

TEST(XpLookupTwinReaders, BothLettersAreListedAndTheLastFoundWins) {
  DriveMachine machine("WinXP", {"xp_twin_readers.reg"});
  CSlotDriveFinder finder(machine.registry, machine.system);
  EXPECT_EQ(1, finder.FindNamedDrive(kCfSlot, "NR-4U"));
  EXPECT_EQ(Strings({"E", "I"}), finder.m_listDrives);
  EXPECT_EQ("I", finder.m_strFoundDrive);
  EXPECT_EQ("7&35e2a9d1&0", finder.m_strParentIdPrefix);
  // Without the filter the other model's reader, enumerated last, wins.
  EXPECT_EQ(1, finder.FindDrive(kCfSlot));
  EXPECT_EQ("J", finder.m_strFoundDrive);
  EXPECT_EQ(5, finder.m_nDriveCount);
}

}  // namespace
