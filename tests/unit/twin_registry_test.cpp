// What the in-memory registry offers beyond the Win32 calls (the calls themselves are held
// to Windows by the conformance suite).
#include "platform/twin/twin_registry.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/owners/scoped_reg_key.h"

namespace {

using platform::MemoryRegistry;
using platform::RegKey;

void Set(MemoryRegistry& registry, RegKey key, const char* name, const char* text) {
  ASSERT_EQ(platform::kErrorSuccess,
            registry.SetValue(key, name, platform::kRegSz, reinterpret_cast<const uint8_t*>(text),
                              static_cast<uint32_t>(std::strlen(text) + 1)));
}

TEST(MemoryRegistry, CountsOpenHandlesButNotRoots) {
  MemoryRegistry registry;
  EXPECT_EQ(0u, registry.OpenHandleCount());
  RegKey a = 0;
  RegKey b = 0;
  ASSERT_EQ(platform::kErrorSuccess,
            registry.CreateKey(platform::kHkeyLocalMachine, "A", platform::kKeyAllAccess, &a, nullptr));
  ASSERT_EQ(platform::kErrorSuccess, registry.OpenKey(a, "", platform::kKeyRead, &b));
  EXPECT_EQ(2u, registry.OpenHandleCount());
  RegKey root = 0;
  ASSERT_EQ(platform::kErrorSuccess, registry.OpenKey(platform::kHkeyDynData, "", platform::kKeyRead, &root));
  EXPECT_EQ(2u, registry.OpenHandleCount()) << "a root handed back is not a new handle";
  RegKey missing = 0;
  EXPECT_EQ(platform::kErrorFileNotFound, registry.OpenKey(a, "Nope", platform::kKeyRead, &missing));
  EXPECT_EQ(2u, registry.OpenHandleCount()) << "a failed open holds nothing";
  registry.CloseKey(a);
  registry.CloseKey(b);
  EXPECT_EQ(0u, registry.OpenHandleCount());
}

TEST(MemoryRegistry, ScopedKeyLeavesNothingOpenOnAnyPath) {
  MemoryRegistry registry;
  {
    platform::ScopedRegKey key(registry);
    ASSERT_EQ(platform::kErrorSuccess, key.Create(platform::kHkeyCurrentUser, "A", platform::kKeyAllAccess));
    ASSERT_EQ(platform::kErrorSuccess, key.Open(platform::kHkeyCurrentUser, "A", platform::kKeyRead));
    EXPECT_EQ(1u, registry.OpenHandleCount()) << "reopening closes the previous handle";
    EXPECT_NE(platform::kErrorSuccess, key.Open(platform::kHkeyCurrentUser, "B", platform::kKeyRead));
    EXPECT_EQ(0u, registry.OpenHandleCount());
    ASSERT_EQ(platform::kErrorSuccess, key.Open(platform::kHkeyCurrentUser, "A", platform::kKeyRead));
  }
  EXPECT_EQ(0u, registry.OpenHandleCount());
}

TEST(MemoryRegistry, ScopedKeyMoveAssignedClosesWhatItHeld) {
  MemoryRegistry registry;
  platform::ScopedRegKey held(registry);
  platform::ScopedRegKey other(registry);
  ASSERT_EQ(platform::kErrorSuccess, held.Create(platform::kHkeyCurrentUser, "A", platform::kKeyAllAccess));
  ASSERT_EQ(platform::kErrorSuccess, other.Create(platform::kHkeyCurrentUser, "B", platform::kKeyAllAccess));
  const RegKey moved = other.Get();
  held = std::move(other);
  EXPECT_EQ(1u, registry.OpenHandleCount());
  EXPECT_EQ(moved, held.Get());
  EXPECT_FALSE(other.IsOpen());
}

TEST(MemoryRegistry, ScopedKeyTextThatFillsItsBufferIsSkippedUnlessASpareByteEndsIt) {
  MemoryRegistry registry;
  platform::ScopedRegKey key(registry);
  ASSERT_EQ(platform::kErrorSuccess, key.Create(platform::kHkeyCurrentUser, "A", platform::kKeyAllAccess));
  // A fifth byte that is not NUL: the call, like NT's, looks one byte past a string's size.
  const uint8_t unterminated[5] = {'a', 'b', 'c', 'd', 'x'};
  ASSERT_EQ(platform::kErrorSuccess, registry.SetValue(key.Get(), "Full", platform::kRegSz, unterminated, 4));
  ASSERT_EQ(platform::kErrorSuccess, key.WriteText("Fits", "abc"));
  ASSERT_EQ(platform::kErrorSuccess,
            registry.SetValue(key.Get(), "Binary", platform::kRegBinary, unterminated, 3));
  std::string text = "before";
  EXPECT_FALSE(key.ReadText("Full", {4}, text));
  EXPECT_FALSE(key.ReadText("Missing", {4}, text));
  EXPECT_FALSE(key.ReadText("Binary", {4, false, true}, text));
  EXPECT_EQ("before", text) << "a skipped value leaves the text as it was";
  EXPECT_TRUE(key.ReadText("Full", {4, true}, text));
  EXPECT_EQ("abcd", text);
  EXPECT_TRUE(key.ReadText("Fits", {4}, text));
  EXPECT_EQ("abc", text);
}

TEST(MemoryRegistry, ScopedKeyNumberIsZeroExtendedAndLongerDataSkipped) {
  MemoryRegistry registry;
  platform::ScopedRegKey key(registry);
  ASSERT_EQ(platform::kErrorSuccess, key.Create(platform::kHkeyCurrentUser, "A", platform::kKeyAllAccess));
  const uint8_t bytes[5] = {0x34, 0x12, 0, 0, 1};
  ASSERT_EQ(platform::kErrorSuccess, registry.SetValue(key.Get(), "Short", platform::kRegBinary, bytes, 2));
  ASSERT_EQ(platform::kErrorSuccess, registry.SetValue(key.Get(), "Long", platform::kRegBinary, bytes, 5));
  uint32_t number = 7;
  EXPECT_FALSE(key.ReadNumber("Long", number));
  EXPECT_EQ(7u, number);
  EXPECT_TRUE(key.ReadNumber("Short", number));
  EXPECT_EQ(0x1234u, number);
}

TEST(MemoryRegistry, ClosedHandlesAreNeverReused) {
  MemoryRegistry registry;
  RegKey first = 0;
  ASSERT_EQ(platform::kErrorSuccess,
            registry.CreateKey(platform::kHkeyCurrentUser, "A", platform::kKeyAllAccess, &first, nullptr));
  registry.CloseKey(first);
  RegKey second = 0;
  ASSERT_EQ(platform::kErrorSuccess,
            registry.CreateKey(platform::kHkeyCurrentUser, "B", platform::kKeyAllAccess, &second, nullptr));
  EXPECT_NE(first, second);
  uint32_t size = 0;
  EXPECT_EQ(platform::kErrorInvalidHandle, registry.QueryValue(first, "", nullptr, nullptr, &size))
      << "a stale handle does not reach another key";
  registry.CloseKey(second);
}

TEST(MemoryRegistry, SnapshotListsKeysDepthFirstInEnumerationOrder) {
  MemoryRegistry registry;
  platform::ScopedRegKey key(registry);
  ASSERT_EQ(platform::kErrorSuccess, key.Create(platform::kHkeyLocalMachine, "R\\b\\deep", platform::kKeyAllAccess));
  ASSERT_EQ(platform::kErrorSuccess, key.Create(platform::kHkeyLocalMachine, "R\\_x", platform::kKeyAllAccess));
  ASSERT_EQ(platform::kErrorSuccess, key.Create(platform::kHkeyLocalMachine, "R", platform::kKeyAllAccess));
  Set(registry, key.Get(), "C", "1");
  Set(registry, key.Get(), "A", "2");
  key.Close();
  auto snapshot = registry.Snapshot(platform::kHkeyLocalMachine, "r");
  ASSERT_EQ(4u, snapshot.size());
  EXPECT_EQ("R", snapshot[0].path) << "the stored spelling, not the one asked for";
  ASSERT_EQ(2u, snapshot[0].values.size());
  EXPECT_EQ("C", snapshot[0].values[0].name);
  EXPECT_EQ("R\\b", snapshot[1].path);
  EXPECT_EQ("R\\b\\deep", snapshot[2].path);
  EXPECT_EQ("R\\_x", snapshot[3].path);
  registry.SetWineOrder(true);
  snapshot = registry.Snapshot(platform::kHkeyLocalMachine, "R");
  EXPECT_EQ("A", snapshot[0].values[0].name);
  EXPECT_EQ("R\\_x", snapshot[1].path);
  EXPECT_TRUE(registry.Snapshot(platform::kHkeyLocalMachine, "Missing").empty());
  auto all = registry.SnapshotAll();
  EXPECT_EQ(1u, all.size()) << "empty roots are left out";
  EXPECT_EQ(1u, all.count(platform::kHkeyLocalMachine));
}

TEST(MemoryRegistry, WithoutAccessChecksAReadHandleMayWriteAsOn9x) {
  MemoryRegistry registry;
  registry.SetAccessChecks(false);
  platform::ScopedRegKey key(registry);
  ASSERT_EQ(platform::kErrorSuccess, key.Create(platform::kHkeyLocalMachine, "Enum\\SCSI", platform::kKeyAllAccess));
  ASSERT_EQ(platform::kErrorSuccess, key.Open(platform::kHkeyLocalMachine, "Enum\\SCSI", platform::kKeyRead));
  Set(registry, key.Get(), "UserDriveLetterAssignment", "EE");
}

TEST(MemoryRegistry, GenericRightsMapToKeyRights) {
  MemoryRegistry registry;
  platform::ScopedRegKey key(registry);
  ASSERT_EQ(platform::kErrorSuccess, key.Create(platform::kHkeyCurrentUser, "G", platform::kKeyAllAccess));
  ASSERT_EQ(platform::kErrorSuccess, key.Open(platform::kHkeyCurrentUser, "G", 0x80000000u));  // GENERIC_READ
  char name[8];
  uint32_t chars = sizeof name;
  EXPECT_EQ(platform::kErrorNoMoreItems, registry.EnumKey(key.Get(), 0, name, &chars));
  EXPECT_EQ(platform::kErrorAccessDenied,
            registry.SetValue(key.Get(), "v", platform::kRegBinary, nullptr, 0));
  ASSERT_EQ(platform::kErrorSuccess, key.Open(platform::kHkeyCurrentUser, "G", 0x02000000u));  // MAXIMUM_ALLOWED
  EXPECT_EQ(platform::kErrorSuccess, registry.SetValue(key.Get(), "v", platform::kRegBinary, nullptr, 0));
}

TEST(MemoryRegistry, BadArgumentsAreRefusedWithoutTouchingAnything) {
  MemoryRegistry registry;
  platform::ScopedRegKey key(registry);
  ASSERT_EQ(platform::kErrorSuccess, key.Create(platform::kHkeyCurrentUser, "P", platform::kKeyAllAccess));
  EXPECT_EQ(platform::kErrorInvalidParameter,
            registry.SetValue(key.Get(), "v", platform::kRegBinary, nullptr, 4));
  uint8_t data[4];
  EXPECT_EQ(platform::kErrorInvalidParameter, registry.QueryValue(key.Get(), "v", nullptr, data, nullptr));
  EXPECT_EQ(platform::kErrorInvalidParameter, registry.OpenKey(key.Get(), "x", platform::kKeyRead, nullptr));
  EXPECT_EQ(platform::kErrorInvalidParameter, registry.DeleteKey(key.Get(), nullptr));
  uint32_t chars = 4;
  EXPECT_EQ(platform::kErrorInvalidParameter, registry.EnumKey(key.Get(), 0, nullptr, &chars));
  RegKey out = 7;
  EXPECT_EQ(platform::kErrorInvalidHandle, registry.OpenKey(0x80000004u, "", platform::kKeyRead, &out))
      << "a predefined root the twin does not hold";
  EXPECT_EQ(7u, out);
  EXPECT_TRUE(registry.Snapshot(platform::kHkeyCurrentUser, "P")[0].values.empty());
}

TEST(MemoryRegistry, DeletedKeyStaysReadableAsDeletedUntilItsHandleCloses) {
  MemoryRegistry registry;
  RegKey key = 0;
  ASSERT_EQ(platform::kErrorSuccess,
            registry.CreateKey(platform::kHkeyCurrentUser, "Gone", platform::kKeyAllAccess, &key, nullptr));
  ASSERT_EQ(platform::kErrorSuccess, registry.DeleteKey(platform::kHkeyCurrentUser, "Gone"));
  EXPECT_EQ(1u, registry.OpenHandleCount());
  EXPECT_EQ(platform::kErrorKeyDeleted, registry.DeleteKey(key, ""));
  EXPECT_EQ(platform::kErrorSuccess, registry.CloseKey(key));
  EXPECT_EQ(0u, registry.OpenHandleCount());
  EXPECT_TRUE(registry.SnapshotAll().empty());
}

}  // namespace
