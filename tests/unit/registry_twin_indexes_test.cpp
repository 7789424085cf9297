// The in-memory registry keeps its subkeys indexed by name and its enumeration orders worked
// out between changes (a large MountedDevices or configuration manager key would otherwise cost
// a sort per index). These pin that every change still shows at once, in either order.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/owners/scoped_reg_key.h"
#include "platform/text/registry_names.h"
#include "platform/twin/twin_registry.h"
#include "platform/twin/twin_system.h"

namespace {

using platform::kErrorSuccess;
using platform::kHkeyLocalMachine;
using platform::MemoryRegistry;
using platform::RegKey;

std::vector<std::string> Subkeys(MemoryRegistry& registry, RegKey key) {
  std::vector<std::string> names;
  char name[64];
  for (uint32_t i = 0;; ++i) {
    uint32_t size = sizeof name;
    if (registry.EnumKey(key, i, name, &size) != kErrorSuccess) break;
    names.emplace_back(name, size);
  }
  return names;
}

std::vector<std::string> Values(MemoryRegistry& registry, RegKey key) {
  std::vector<std::string> names;
  char name[64];
  for (uint32_t i = 0;; ++i) {
    uint32_t size = sizeof name;
    if (registry.EnumValue(key, i, name, &size, nullptr, nullptr, nullptr) != kErrorSuccess) break;
    names.emplace_back(name, size);
  }
  return names;
}

void Create(MemoryRegistry& registry, RegKey parent, const char* path) {
  platform::ScopedRegKey key(registry);
  ASSERT_EQ(kErrorSuccess, key.Create(parent, path, platform::kKeyAllAccess));
}

void Set(MemoryRegistry& registry, RegKey key, const char* name) {
  const uint8_t data[] = {1, 2, 3};
  ASSERT_EQ(kErrorSuccess, registry.SetValue(key, name, platform::kRegBinary, data, 3));
}

using Names = std::vector<std::string>;

TEST(RegistryTwinIndexes, SubkeysCreatedOrDeletedAfterAnEnumerationShowInTheNext) {
  MemoryRegistry registry;
  platform::ScopedRegKey root(registry);
  ASSERT_EQ(kErrorSuccess, root.Create(kHkeyLocalMachine, "Enum", platform::kKeyAllAccess));
  Create(registry, root.Get(), "b");
  Create(registry, root.Get(), "D");
  EXPECT_EQ((Names{"b", "D"}), Subkeys(registry, root.Get()));
  Create(registry, root.Get(), "_x");
  Create(registry, root.Get(), "a");
  EXPECT_EQ((Names{"a", "b", "D", "_x"}), Subkeys(registry, root.Get()));  // NT: "_" after "Z"
  registry.SetWineOrder(true);
  EXPECT_EQ((Names{"_x", "a", "b", "D"}), Subkeys(registry, root.Get()));  // Wine: lower case
  registry.SetWineOrder(false);
  ASSERT_EQ(kErrorSuccess, registry.DeleteKey(root.Get(), "B"));
  EXPECT_EQ((Names{"a", "D", "_x"}), Subkeys(registry, root.Get()));
}

TEST(RegistryTwinIndexes, ADeletedKeyCannotBeOpenedAndOneCreatedAgainCan) {
  MemoryRegistry registry;
  Create(registry, kHkeyLocalMachine, "Enum\\SCSI\\DISK");
  platform::ScopedRegKey scsi(registry);
  ASSERT_EQ(kErrorSuccess, scsi.Open(kHkeyLocalMachine, "ENUM\\scsi", platform::kKeyAllAccess));
  ASSERT_EQ(kErrorSuccess, registry.DeleteKey(scsi.Get(), "disk"));
  platform::ScopedRegKey disk(registry);
  EXPECT_EQ(platform::kErrorFileNotFound,
            disk.Open(kHkeyLocalMachine, "Enum\\SCSI\\DISK", platform::kKeyRead));
  Create(registry, kHkeyLocalMachine, "Enum\\SCSI\\Disk");
  EXPECT_EQ(kErrorSuccess, disk.Open(kHkeyLocalMachine, "enum\\scsi\\DISK", platform::kKeyRead));
  EXPECT_EQ((Names{"Disk"}), Subkeys(registry, scsi.Get()));
}

TEST(RegistryTwinIndexes, KeyNamesFoldAsciiButNeverATrailByte) {
  // 0x83 0x61 is one double-byte character whose trail byte looks like "a"; "A" there is
  // another character.
  MemoryRegistry registry;
  Create(registry, kHkeyLocalMachine, "ab\x83\x61");
  platform::ScopedRegKey key(registry);
  EXPECT_EQ(kErrorSuccess, key.Open(kHkeyLocalMachine, "AB\x83\x61", platform::kKeyRead));
  EXPECT_EQ(platform::kErrorFileNotFound,
            key.Open(kHkeyLocalMachine, "AB\x83\x41", platform::kKeyRead));
  EXPECT_TRUE(platform::RegistryNamesEqual("x\x83\x61y", "X\x83\x61Y"));
  EXPECT_FALSE(platform::RegistryNamesEqual("x\x83\x61", "x\x83\x41"));
  // A lead byte in one name and a letter in the other at the same place never match.
  EXPECT_FALSE(platform::RegistryNamesEqual("\x83\x61", "aa"));
}

TEST(RegistryTwinIndexes, ValuesAddedOrDeletedAfterAnEnumerationShowInTheNextInEitherOrder) {
  MemoryRegistry registry;
  platform::ScopedRegKey key(registry);
  ASSERT_EQ(kErrorSuccess,
            key.Create(kHkeyLocalMachine, "System\\MountedDevices", platform::kKeyAllAccess));
  Set(registry, key.Get(), "C");
  Set(registry, key.Get(), "A");
  registry.SetWineOrder(true);
  EXPECT_EQ((Names{"A", "C"}), Values(registry, key.Get()));
  Set(registry, key.Get(), "B");
  EXPECT_EQ((Names{"A", "B", "C"}), Values(registry, key.Get()));
  ASSERT_EQ(kErrorSuccess, registry.DeleteValue(key.Get(), "a"));
  EXPECT_EQ((Names{"B", "C"}), Values(registry, key.Get()));
  registry.SetWineOrder(false);
  // Windows: stored order; a value deleted and set again goes to the end.
  EXPECT_EQ((Names{"C", "B"}), Values(registry, key.Get()));
  Set(registry, key.Get(), "A");
  ASSERT_EQ(kErrorSuccess, registry.DeleteValue(key.Get(), "C"));
  Set(registry, key.Get(), "C");
  EXPECT_EQ((Names{"B", "A", "C"}), Values(registry, key.Get()));
}

TEST(RegistryTwinIndexes, PathsSkipEmptyComponentsAndNeverSplitAtATrailByte) {
  MemoryRegistry registry;
  // "\x95\x5c" is one double-byte character whose trail byte is a backslash.
  Create(registry, kHkeyLocalMachine, "a\\\\b\\\x95\x5c\\");
  platform::ScopedRegKey a(registry);
  ASSERT_EQ(kErrorSuccess, a.Open(kHkeyLocalMachine, "a", platform::kKeyRead));
  EXPECT_EQ(Names{"b"}, Subkeys(registry, a.Get()));
  platform::ScopedRegKey b(registry);
  ASSERT_EQ(kErrorSuccess, b.Open(a.Get(), "b\\", platform::kKeyRead));
  EXPECT_EQ(Names{"\x95\x5c"}, Subkeys(registry, b.Get()));
  platform::ScopedRegKey key(registry);
  EXPECT_EQ(kErrorSuccess, key.Open(kHkeyLocalMachine, "A\\B\\\\\x95\x5c", platform::kKeyRead));
  EXPECT_EQ(platform::kErrorBadPathname, key.Open(kHkeyLocalMachine, "\\a", platform::kKeyRead));
  EXPECT_EQ(platform::kErrorBadPathname, registry.DeleteKey(kHkeyLocalMachine, "\\a\\b"));
}

TEST(RegistryTwinIndexes, EveryChangeAndNoReadCountsAsAChange) {
  MemoryRegistry registry;
  uint64_t count = registry.ChangeCount();
  auto changed = [&]() {
    const bool moved = registry.ChangeCount() != count;
    count = registry.ChangeCount();
    return moved;
  };
  Create(registry, kHkeyLocalMachine, "a\\b");
  EXPECT_TRUE(changed());
  Create(registry, kHkeyLocalMachine, "a\\b");
  EXPECT_FALSE(changed());
  platform::ScopedRegKey key(registry);
  ASSERT_EQ(kErrorSuccess, key.Open(kHkeyLocalMachine, "a\\b", platform::kKeyAllAccess));
  Set(registry, key.Get(), "v");
  EXPECT_TRUE(changed());
  uint8_t data[8];
  uint32_t size = sizeof data;
  EXPECT_EQ(kErrorSuccess, registry.QueryValue(key.Get(), "v", nullptr, data, &size));
  EXPECT_EQ(Names{"v"}, Values(registry, key.Get()));
  EXPECT_FALSE(changed());
  EXPECT_EQ(kErrorSuccess, registry.DeleteValue(key.Get(), "v"));
  EXPECT_TRUE(changed());
  EXPECT_EQ(platform::kErrorFileNotFound, registry.DeleteValue(key.Get(), "v"));
  EXPECT_FALSE(changed());
  key.Close();
  EXPECT_EQ(kErrorSuccess, registry.DeleteKey(kHkeyLocalMachine, "a\\b"));
  EXPECT_TRUE(changed());
}

TEST(ScriptedSystemText, AsciiAndDoubleByteTextConvertAsCp932) {
  platform::ScriptedSystem system;
  const uint16_t ascii[] = {'\\', '?', '?', '~', 'A', 0};
  char out[16];
  ASSERT_EQ(6, system.WideToAnsi(ascii, out, sizeof out));
  EXPECT_STREQ("\\??~A", out);
  EXPECT_EQ(0, system.WideToAnsi(ascii, out, 5));  // no room for the terminator
  const uint16_t katakana[] = {'A', 0x30BD, 0};    // "Aソ"
  ASSERT_EQ(4, system.WideToAnsi(katakana, out, sizeof out));
  EXPECT_STREQ("A\x83\x5C", out);

  uint16_t wide[8] = {};
  EXPECT_EQ(3, system.AnsiToWide("ab", -1, wide, 8));  // through the terminator
  EXPECT_EQ('b', wide[1]);
  EXPECT_EQ(0, wide[2]);
  EXPECT_EQ(0, system.AnsiToWide("abc", 3, wide, 2));  // does not fit
  EXPECT_EQ(2, system.AnsiToWide("A\x83\x5C", 3, wide, 8));
  EXPECT_EQ(0x30BD, wide[1]);
}

}  // namespace
