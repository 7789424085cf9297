// The Vista-style lookup: the record names the USB storage device itself.
#include <gtest/gtest.h>

#include "common/slot_drive_finder.h"
#include "test_drive_machine.h"

namespace {

using Strings = std::vector<std::string>;

class VistaLookup : public ::testing::Test {
 protected:
  DriveMachine machine{"WinVista", {"vista_twin_readers.reg"}};
  CSlotDriveFinder finder{machine.registry, machine.system};
};

TEST_F(VistaLookup, EveryMatchingDiskRepeatsTheScanSoEachLetterIsListedTwice) {
  // Two identical readers: both CF disks match, and each scan sees both records.
  finder.m_strParentIdPrefix = "left over";
  EXPECT_EQ(1, finder.FindNamedDrive(kCfSlot, "NR-4U"));
  EXPECT_EQ(Strings({kCfDisk1, kCfDisk2}), finder.m_listDeviceIds);
  EXPECT_EQ(Strings({"E", "I", "E", "I"}), finder.m_listDrives);
  EXPECT_EQ("I", finder.m_strFoundDrive);
  EXPECT_EQ(4, finder.m_nDriveCount);
  EXPECT_EQ("", finder.m_strParentIdPrefix);
}

TEST_F(VistaLookup, TheNameFilterIsNotUsed) {
  EXPECT_EQ(1, finder.FindNamedDrive(kSdSlot, "no such reader"));
  EXPECT_EQ(Strings({"G", "G"}), finder.m_listDrives);
}

TEST_F(VistaLookup, ASlotWithOnlyAVolumeRecordHasNoLetter) {
  EXPECT_EQ(0, finder.FindNamedDrive(kMsSlot, ""));
  EXPECT_EQ(2u, finder.m_listDeviceIds.size());
}

TEST_F(VistaLookup, ASeparatedSlotIdMatchesDisksButNoRecord) {
  EXPECT_EQ(0, finder.FindNamedDrive("USBSTOR\\Disk&Ven_Norvell**&0", ""));
  EXPECT_EQ(2u, finder.m_listDeviceIds.size());
  EXPECT_TRUE(finder.m_listDrives.empty());
}

}  // namespace
