// Every key a lookup or the writer opens is closed again, on every path.
#include <gtest/gtest.h>

#include <functional>

#include "common/slot_drive_assigner.h"
#include "test_drive_machine.h"

namespace {

struct Case {
  const char* what;
  const char* os;
  const char* fixture;
  std::function<void(CSlotDriveAssigner&)> run;
};

TEST(DriveDiscoveryHandles, EveryCallLeavesNoKeyOpen) {
  const Case cases[] = {
      {"xp find", "WinXP", "xp_machine.reg", [](auto& f) { f.FindDrive("USBSTOR\\"); }},
      {"xp filter rejects", "WinXP", "xp_machine.reg",
       [](auto& f) { f.FindNamedDrive(kCfSlot, "NR-7S"); }},
      {"xp missing prefix", "WinXP", "xp_machine.reg", [](auto& f) { f.FindDrive("IDE\\"); }},
      {"vista find", "WinVista", "vista_twin_readers.reg",
       [](auto& f) { f.FindNamedDrive(kCfSlot, ""); }},
      {"9x find", "Win98", "win98_machine.reg", [](auto& f) { f.FindDrive("SCSI\\"); }},
      {"9x filter rejects", "Win98", "win98_machine.reg",
       [](auto& f) { f.FindNamedDrive("SCSI\\", "no such product"); }},
      {"no services key", "WinXP", "win98_machine.reg", [](auto& f) { f.FindDrive(kCfSlot); }},
      {"xp writer", "WinXP", "xp_twin_readers.reg",
       [](auto& f) { f.AssignDrive(kCfSlot, 'P', ""); }},
      {"xp writer filter rejects", "WinXP", "xp_twin_readers.reg",
       [](auto& f) { f.AssignDrive(kCfSlot, 'P', "no such reader"); }},
      {"vista writer", "WinVista", "vista_twin_readers.reg",
       [](auto& f) { f.AssignDrive(kCfSlot, 'P', ""); }},
      {"9x writer", "WinMe", "winme_twin_readers.reg",
       [](auto& f) { f.AssignDrive(kCfSlot9x, 'P', ""); }},
      {"9x writer filter rejects", "WinMe", "winme_twin_readers.reg",
       [](auto& f) { f.AssignDrive(kCfSlot9x, 'P', "no such product"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DriveMachine machine(c.os, {c.fixture});
    CSlotDriveAssigner assigner(machine.registry, machine.system);
    const size_t before = machine.registry.OpenHandleCount();
    c.run(assigner);
    EXPECT_EQ(before, machine.registry.OpenHandleCount());
  }
}

}  // namespace
