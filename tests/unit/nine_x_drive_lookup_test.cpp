// The 9x lookup: the configuration manager's present devices and their device keys.
#include <gtest/gtest.h>

#include "common/slot_drive_finder.h"
#include "test_drive_machine.h"

namespace {

using platform::kHkeyLocalMachine;
using Strings = std::vector<std::string>;

class NineXLookup : public ::testing::Test {
 protected:
  DriveMachine machine{"Win98SE", {"win98_machine.reg"}};
  CSlotDriveFinder finder{machine.registry, machine.system};
};

TEST_F(NineXLookup, FindsTheCurrentLetterOfAPresentDevice) {
  finder.m_strParentIdPrefix = "untouched";
  EXPECT_EQ(1, finder.FindDrive(kCfSlot9x));
  EXPECT_EQ("E", finder.m_strFoundDrive);
  EXPECT_EQ(Strings({"SCSI\\NORVELL_CF_SLOT_________1.00\\NV0420130001&0"}),
            finder.m_listDeviceIds);
  EXPECT_EQ(1, finder.m_nDriveCount);
  EXPECT_EQ("untouched", finder.m_strParentIdPrefix);
}

TEST_F(NineXLookup, SlotIdAndHardwareKeyAreComparedUpperCased) {
  EXPECT_EQ(1, finder.FindDrive("scsi\\norvell_sm-xd"));
  EXPECT_EQ("F", finder.m_strFoundDrive);
  EXPECT_EQ(1, finder.FindDrive("scsi\\norvell**sd-mmc"));
  EXPECT_EQ("G", finder.m_strFoundDrive);
}

TEST_F(NineXLookup, OnlyDevicesOfTheScsiAndEsdiEnumeratorsAreConsidered) {
  // The USBSTOR stick's key contains the id too, and has a letter (H).
  EXPECT_EQ(1, finder.FindDrive("NORVELL_CF_SLOT"));
  EXPECT_EQ(Strings({"E"}), finder.m_listDrives);
  EXPECT_EQ(1, finder.FindDrive("MARLOW__MX80"));  // the system disk, under ESDI
  EXPECT_EQ("C", finder.m_strFoundDrive);
}

TEST_F(NineXLookup, ANameFilterMustOccurInTheProductIdCaseSensitively) {
  EXPECT_EQ(1, finder.FindNamedDrive(kCfSlot9x, "CF SLOT"));
  EXPECT_EQ(0, finder.FindNamedDrive(kCfSlot9x, "cf slot"));
  EXPECT_EQ(2u, finder.m_listDeviceIds.size());
  machine.DeleteValue(kHkeyLocalMachine, kCfDevice9x, "ProductId");
  EXPECT_EQ(0, finder.FindNamedDrive(kCfSlot9x, "CF"));  // unlike NT's empty friendly name
  EXPECT_EQ(1, finder.FindNamedDrive(kCfSlot9x, ""));
}

TEST_F(NineXLookup, OnlyAOneCharacterAssignmentIsALetter) {
  EXPECT_EQ(0, finder.FindDrive("SCSI\\NORVELL_MS_SLOT"));  // no assignment at all
  machine.SetText(kHkeyLocalMachine, kCfDevice9x, "CurrentDriveLetterAssignment", "EF");
  EXPECT_EQ(0, finder.FindDrive(kCfSlot9x));
  machine.SetText(kHkeyLocalMachine, kCfDevice9x, "CurrentDriveLetterAssignment", "");
  EXPECT_EQ(0, finder.FindDrive(kCfSlot9x));
  EXPECT_EQ(3u, finder.m_listDeviceIds.size());
  EXPECT_TRUE(finder.m_listDrives.empty());
}

TEST(NineXLookupTwinReaders, BothLettersAreListedAndTheLastFoundWins) {
  DriveMachine machine("WinMe", {"winme_twin_readers.reg"});
  CSlotDriveFinder finder(machine.registry, machine.system);
  EXPECT_EQ(1, finder.FindNamedDrive(kCfSlot9x, "SLOT"));
  EXPECT_EQ(Strings({"E", "I"}), finder.m_listDrives);
  EXPECT_EQ("I", finder.m_strFoundDrive);
}

}  // namespace
