// The finder's life: classification at construction, dispatch by the OS tags, Reset, and
// what a lookup leaves in the fields.
#include "common/slot_drive_finder.h"

#include <gtest/gtest.h>

#include "test_drive_machine.h"

namespace {

using Strings = std::vector<std::string>;

TEST(FinderLifecycle, ConstructionClassifiesTheSystemAndStartsEmpty) {
  DriveMachine machine("WinXP", {});
  CSlotDriveFinder finder(machine.registry, machine.system);
  EXPECT_STREQ("WinNT", finder.m_szOsFamily);
  EXPECT_STREQ("WinXP", finder.m_szOsVersion);
  EXPECT_EQ("", finder.m_strFoundDrive);
  EXPECT_EQ(0, finder.m_nDriveCount);
  EXPECT_EQ(0, finder.m_nLookupCount);

  machine.system.SetVersionNumbers({2, 6, 1, 7601});
  CSlotDriveFinder seven(machine.registry, machine.system);
  EXPECT_STREQ("WinNT", seven.m_szOsFamily);
  EXPECT_STREQ("OTHER", seven.m_szOsVersion);
}

TEST(FinderLifecycle, ResetEmptiesListsAndCountsButKeepsTheLastLetter) {
  DriveMachine machine("WinXP", {"xp_machine.reg"});
  CSlotDriveFinder finder(machine.registry, machine.system);
  ASSERT_EQ(1, finder.FindDrive(kCfSlot));
  finder.m_strStatus = "busy";
  finder.Reset();
  EXPECT_TRUE(finder.m_listDeviceIds.empty());
  EXPECT_TRUE(finder.m_listDrives.empty());
  EXPECT_EQ("", finder.m_strStatus);
  EXPECT_EQ("", finder.m_strParentIdPrefix);
  EXPECT_EQ(0, finder.m_nDriveCount);
  EXPECT_EQ(0, finder.m_nLookupCount);
  EXPECT_EQ("E", finder.m_strFoundDrive);
  EXPECT_STREQ("WinXP", finder.m_szOsVersion);
}

TEST(FinderLifecycle, ListsAccumulateWhileTheFoundDriveFollowsTheLatestLookup) {
  DriveMachine machine("WinXP", {"xp_machine.reg"});
  CSlotDriveFinder finder(machine.registry, machine.system);
  EXPECT_EQ(1, finder.FindDrive(kCfSlot));
  EXPECT_EQ(0, finder.FindDrive(kMsSlot));  // present, but without a letter
  EXPECT_EQ("NoDrive", finder.m_strFoundDrive);
  EXPECT_EQ(Strings({kCfDisk1, "USBSTOR\\Disk&Ven_Norvell&Prod_MS_Slot&Rev_1.00\\NV0420130001&3"}),
            finder.m_listDeviceIds);
  EXPECT_EQ(Strings({"E"}), finder.m_listDrives);
  EXPECT_EQ(1, finder.m_nDriveCount);
  EXPECT_EQ(2, finder.m_nLookupCount);
}

TEST(FinderDispatch, UnknownFamilyAndWindows95AnswerNoDriveAndTouchOnlyTheLookupCount) {
  struct Case {
    const char* tag;
    const char* fixture;
  };
  for (const Case& c : {Case{"OTHER", "xp_machine.reg"}, Case{"Win95", "win98_machine.reg"}}) {
    SCOPED_TRACE(c.tag);
    DriveMachine machine(c.tag, {c.fixture});
    CSlotDriveFinder finder(machine.registry, machine.system);
    finder.m_strFoundDrive = "Q";
    EXPECT_EQ(0, finder.FindDrive(kCfSlot));
    EXPECT_EQ(0, finder.FindNamedDrive(kCfSlot9x, ""));
    EXPECT_EQ("Q", finder.m_strFoundDrive);
    EXPECT_EQ(2, finder.m_nLookupCount);
    EXPECT_TRUE(finder.m_listDeviceIds.empty());
  }
}

TEST(FinderDispatch, NamedLookupsOnNtVersionsOtherThanVistaUseTheXpRecords) {
  const platform::OsVersionNumbers versions[] = {{2, 4, 0, 1381}, {2, 5, 0, 2195},
                                                 {2, 5, 2, 3790}, {2, 6, 1, 7601}};
  for (const auto& numbers : versions) {
    DriveMachine machine("WinXP", {"xp_machine.reg"});
    machine.system.SetVersionNumbers(numbers);
    CSlotDriveFinder finder(machine.registry, machine.system);
    EXPECT_EQ(1, finder.FindNamedDrive(kCfSlot, "NR-4U")) << finder.m_szOsVersion;
    EXPECT_EQ("7&2f4c18a0&0", finder.m_strParentIdPrefix);
  }
}

TEST(FinderDispatch, OnVistaOnlyTheNamedLookupKnowsVistaRecords) {
  DriveMachine machine("WinVista", {"vista_twin_readers.reg"});
  CSlotDriveFinder finder(machine.registry, machine.system);
  EXPECT_EQ(0, finder.FindDrive(kCfSlot));  // XP-style records only: none on this machine
  EXPECT_EQ(2u, finder.m_listDeviceIds.size());
  EXPECT_EQ(1, finder.FindNamedDrive(kCfSlot, "NR-4U"));
}

TEST(FinderDispatch, AMissingFirstKeyEndsTheLookupWithoutStoringTheCount) {
  // Each registry lacks the other family's records.
  struct Case {
    const char* tag;
    const char* fixture;
    const char* slotId;
  };
  for (const Case& c : {Case{"WinXP", "win98_machine.reg", kCfSlot},
                        Case{"WinVista", "win98_machine.reg", kCfSlot},
                        Case{"Win98", "xp_machine.reg", kCfSlot9x}}) {
    SCOPED_TRACE(c.tag);
    DriveMachine machine(c.tag, {c.fixture});
    CSlotDriveFinder finder(machine.registry, machine.system);
    finder.m_nDriveCount = 5;
    EXPECT_EQ(0, finder.FindNamedDrive(c.slotId, ""));
    EXPECT_EQ("NoDrive", finder.m_strFoundDrive);
    EXPECT_EQ(5, finder.m_nDriveCount);
  }
}

}  // namespace
