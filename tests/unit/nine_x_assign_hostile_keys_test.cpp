// The 9x writer on devnodes whose hardware key names no device (found by fuzzing): the letter
// must not land on HKLM "Enum" itself, the root of the hardware tree.
#include <gtest/gtest.h>

#include <string>

#include "common/os_tags.h"
#include "common/slot_drive_assigner.h"
#include "platform/owners/scoped_reg_key.h"
#include "platform/twin/twin_registry.h"
#include "platform/twin/twin_system.h"

namespace {

using platform::kErrorSuccess;

void SetText(platform::MemoryRegistry& registry, platform::RegKey root, const std::string& path,
             const char* name, const std::string& text) {
  platform::ScopedRegKey key(registry);
  ASSERT_EQ(kErrorSuccess, key.Create(root, path.c_str(), platform::kKeyAllAccess));
  ASSERT_EQ(kErrorSuccess,
            registry.SetValue(key.Get(), name, platform::kRegSz,
                              reinterpret_cast<const uint8_t*>(text.c_str()),
                              static_cast<uint32_t>(text.size() + 1)));
}

bool HasUserLetter(platform::MemoryRegistry& registry, const std::string& path) {
  platform::ScopedRegKey key(registry);
  if (key.Open(platform::kHkeyLocalMachine, path.c_str(), platform::kKeyRead) != kErrorSuccess)
    return false;
  return registry.QueryValue(key.Get(), "UserDriveLetterAssignment", nullptr, nullptr, nullptr) ==
         kErrorSuccess;
}

class NineXAssignHostileKeys : public ::testing::TestWithParam<std::string> {};

TEST_P(NineXAssignHostileKeys, ADevnodeWithoutAHardwareKeyGetsNoLetterEvenForAnEmptySlotId) {
  platform::MemoryRegistry registry;
  platform::ScriptedSystem system;
  platform::OsVersionNumbers numbers;
  OsNumbersForTag(kOsWin98, numbers);
  system.SetVersionNumbers(numbers);
  // One devnode whose hardware key is empty (or only separators), and one real disk.
  SetText(registry, platform::kHkeyDynData, "Config Manager\\Enum\\C29A2D50", "HardWareKey",
          GetParam());
  SetText(registry, platform::kHkeyDynData, "Config Manager\\Enum\\C29A2D88", "HardWareKey",
          "SCSI\\NORVELL_NVR410U_CF______\\1");
  SetText(registry, platform::kHkeyLocalMachine, "Enum\\SCSI\\NORVELL_NVR410U_CF______\\1",
          "ProductId", "NVR410U CF");

  CSlotDriveAssigner assigner(registry, system);
  assigner.AssignDrive("", 'X', "");

  EXPECT_FALSE(HasUserLetter(registry, "Enum"));
  EXPECT_TRUE(HasUserLetter(registry, "Enum\\SCSI\\NORVELL_NVR410U_CF______\\1"));
  EXPECT_EQ(0u, registry.OpenHandleCount());
}

INSTANTIATE_TEST_SUITE_P(EmptyOrSeparatorsOnly, NineXAssignHostileKeys,
                         ::testing::Values(std::string(), std::string("\\"),
                                           std::string("\\\\")));

}  // namespace
