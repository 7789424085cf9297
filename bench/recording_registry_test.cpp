// Recording a run's registry calls and playing them back: the same calls with the same
// results on fresh handles, and the writes made again.
#include "bench/recording_registry.h"

#include <gtest/gtest.h>

#include <cstring>

#include "bench/registry_call_replay.h"
#include "platform/owners/scoped_reg_key.h"
#include "platform/twin/twin_registry.h"

namespace {

using platform::kErrorSuccess;
using platform::MemoryRegistry;

void Work(platform::IRegistry& registry) {
  platform::ScopedRegKey key(registry);
  if (key.Create(platform::kHkeyLocalMachine, "System\\MountedDevices", platform::kKeyAllAccess) !=
      kErrorSuccess)
    return;
  const uint8_t data[] = {'E', 0, ':', 0};
  registry.SetValue(key.Get(), "\\DosDevices\\E:", platform::kRegBinary, data, sizeof data);
  char name[8];
  uint8_t bytes[8];
  for (uint32_t i = 0;; ++i) {
    uint32_t nameChars = sizeof name;  // too short for the value's name
    uint32_t size = sizeof bytes;
    if (registry.EnumValue(key.Get(), i, name, &nameChars, nullptr, bytes, &size) ==
        platform::kErrorNoMoreItems)
      break;
  }
  platform::ScopedRegKey missing(registry);
  (void)missing.Open(platform::kHkeyLocalMachine, "System\\Nowhere", platform::kKeyRead);
}

TEST(RecordingRegistry, RecordsEveryCallWithItsResult) {
  MemoryRegistry registry;
  RecordingRegistry recorder(registry);
  recorder.Start();
  Work(recorder);
  recorder.Stop();
  const auto& calls = recorder.Calls();
  // Create, set, two enumerations (the second ends it), the failed open, one close.
  ASSERT_EQ(6u, calls.size());
  EXPECT_EQ(RegistryCall::Op::kCreate, calls[0].op);
  EXPECT_EQ(kOpenedKey + 0, calls[1].key);
  EXPECT_EQ(platform::kErrorMoreData, calls[2].result);
  EXPECT_EQ(8u, calls[2].nameChars);
  EXPECT_EQ(platform::kErrorNoMoreItems, calls[3].result);
  EXPECT_EQ(platform::kErrorFileNotFound, calls[4].result);
  EXPECT_EQ(RegistryCall::Op::kClose, calls[5].op);
  EXPECT_EQ(0u, registry.OpenHandleCount());
}

TEST(RegistryCallReplay, PlaysTheCallsAgainWithTheSameResultsOnAFreshImage) {
  MemoryRegistry recorded;
  RecordingRegistry recorder(recorded);
  recorder.Start();
  Work(recorder);
  recorder.Stop();

  MemoryRegistry fresh;
  RegistryCallReplay replay(fresh, recorder.Calls(), recorder.KeysOpened());
  EXPECT_EQ(0u, replay.Run());
  EXPECT_EQ(recorded.SnapshotAll(), fresh.SnapshotAll());
  EXPECT_EQ(0u, fresh.OpenHandleCount());
  EXPECT_EQ(0u, replay.Run());  // and again, in the state it left
}

TEST(RegistryCallReplay, CountsCallsWhoseResultDiffers) {
  MemoryRegistry recorded;
  RecordingRegistry recorder(recorded);
  recorder.Start();
  Work(recorder);
  recorder.Stop();
  MemoryRegistry readOnly;
  readOnly.SetReadOnlyRoot(platform::kHkeyLocalMachine, true);
  RegistryCallReplay replay(readOnly, recorder.Calls(), recorder.KeysOpened());
  // The create is refused; the set, both enumerations and the close then fail on no key.
  EXPECT_EQ(5u, replay.Run());
}

}  // namespace
