// The 9x writer: "UserDriveLetterAssignment" in the device key of every matching device.
#include <gtest/gtest.h>

#include "common/slot_drive_assigner.h"
#include "test_drive_machine.h"

namespace {

using platform::kHkeyLocalMachine;
using Bytes = std::vector<uint8_t>;

const char kCfDevice9x2[] = "Enum\\SCSI\\NORVELL_CF_SLOT_________1.00\\NV0420130002&0";
const char kStickDevice9x[] = "Enum\\USBSTOR\\NORVELL_CF_SLOT_________1.00\\NV0420139999&0";
const char kUserAssignment[] = "UserDriveLetterAssignment";
const Bytes kPP = {'P', 'P', 0};

TEST(NineXAssign, EveryMatchingPresentDeviceGetsTheLetterAsFirstAndLastOfItsRange) {
  DriveMachine machine("WinMe", {"winme_twin_readers.reg"});
  CSlotDriveAssigner assigner(machine.registry, machine.system);
  assigner.AssignDrive(kCfSlot9x, 'P', "CF SLOT");
  EXPECT_EQ(kPP, machine.ValueData(kHkeyLocalMachine, kCfDevice9x, kUserAssignment));
  EXPECT_EQ(kPP, machine.ValueData(kHkeyLocalMachine, kCfDevice9x2, kUserAssignment));
  // The current letter is the system's to change, at the next start of the device.
  EXPECT_EQ(Bytes({'E', 0}),
            machine.ValueData(kHkeyLocalMachine, kCfDevice9x, "CurrentDriveLetterAssignment"));
}

TEST(NineXAssign, RunsOnWindows95Too) {
  DriveMachine machine("Win95", {"win98_machine.reg"});
  CSlotDriveAssigner assigner(machine.registry, machine.system);
  assigner.AssignDrive(kCfSlot9x, 'P', "");
  EXPECT_EQ(kPP, machine.ValueData(kHkeyLocalMachine, kCfDevice9x, kUserAssignment));
}

TEST(NineXAssign, TheWholeIdIsMatchedUpperCasedUnderAnyEnumerator) {
  DriveMachine machine("Win98", {"win98_machine.reg"});
  CSlotDriveAssigner assigner(machine.registry, machine.system);
  assigner.AssignDrive("SCSI\\NORVELL**CF_SLOT", 'Q', "");  // not split: matches nothing
  EXPECT_TRUE(machine.ValueData(kHkeyLocalMachine, kCfDevice9x, kUserAssignment).empty());
  assigner.AssignDrive("norvell_cf_slot", 'P', "");  // the USBSTOR stick too, unlike the lookup
  EXPECT_EQ(kPP, machine.ValueData(kHkeyLocalMachine, kCfDevice9x, kUserAssignment));
  EXPECT_EQ(kPP, machine.ValueData(kHkeyLocalMachine, kStickDevice9x, kUserAssignment));
}

TEST(NineXAssign, TheProductIdMustHoldTheFilterCaseSensitively) {
  DriveMachine machine("Win98", {"win98_machine.reg"});
  CSlotDriveAssigner assigner(machine.registry, machine.system);
  assigner.AssignDrive(kCfSlot9x, 'P', "cf slot");
  EXPECT_TRUE(machine.ValueData(kHkeyLocalMachine, kCfDevice9x, kUserAssignment).empty());
  machine.DeleteValue(kHkeyLocalMachine, kCfDevice9x, "ProductId");
  assigner.AssignDrive(kCfSlot9x, 'P', "CF");
  EXPECT_TRUE(machine.ValueData(kHkeyLocalMachine, kCfDevice9x, kUserAssignment).empty());
  assigner.AssignDrive(kCfSlot9x, 'P', "");
  EXPECT_EQ(kPP, machine.ValueData(kHkeyLocalMachine, kCfDevice9x, kUserAssignment));
}

}  // namespace
