// The benchmark image is what the benchmarks claim to measure on: the sizes, the three record
// forms, every letter in use, the disk list with its counts, the 9x devnodes, and connected
// readers that the lookups really find on each family.
#include "bench/usb_history_image.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "common/os_tags.h"
#include "common/reader_catalogue.h"
#include "common/slot_drive_finder.h"
#include "platform/twin/twin_registry.h"
#include "platform/twin/twin_system.h"

namespace {

using platform::MemoryRegistry;

const MemoryRegistry::KeyImage& Key(const std::vector<MemoryRegistry::KeyImage>& keys) {
  return keys.front();
}

TEST(UsbHistoryImage, MountedDevicesHoldsTheAskedNumberOfRecordsInAllThreeForms) {
  for (uint32_t size : {200u, 2000u}) {
    MemoryRegistry registry;
    UsbHistoryOptions options;
    options.mountValues = size;
    ASSERT_EQ(0, WriteUsbHistoryImage(registry, options));
    const auto mounts = registry.Snapshot(platform::kHkeyLocalMachine, "System\\MountedDevices");
    ASSERT_EQ(1u, mounts.size());
    EXPECT_EQ(size, Key(mounts).values.size());
    std::set<char> letters;
    size_t mbr = 0, dmio = 0, path = 0;
    for (const auto& value : Key(mounts).values) {
      if (value.name.compare(0, 12, "\\DosDevices\\") == 0) letters.insert(value.name[12]);
      if (value.name.compare(0, 10, "\\??\\Volume") != 0) continue;
      if (value.data.size() == 12)
        ++mbr;
      else if (value.data.size() == 24 &&
               std::string(value.data.begin(), value.data.begin() + 8) == "DMIO:ID:")
        ++dmio;
      else if (value.data.size() > 24 && value.data[1] == 0)
        ++path;
    }
    EXPECT_EQ(26u, letters.size());
    EXPECT_GT(mbr, size / 4);
    EXPECT_GT(dmio, size / 4);
    EXPECT_GT(path, size / 4);
  }
}

TEST(UsbHistoryImage, ListsFortyDisksWithTheirCountsAndThreeHundredDevnodes) {
  MemoryRegistry registry;
  ASSERT_EQ(0, WriteUsbHistoryImage(registry, UsbHistoryOptions()));
  const auto disks = registry.Snapshot(platform::kHkeyLocalMachine,
                                       "System\\CurrentControlSet\\Services\\Disk\\Enum");
  ASSERT_EQ(1u, disks.size());
  EXPECT_EQ(kPresentDisks + 2, Key(disks).values.size());  // and "Count", "NextInstance"
  const auto nodes = registry.Snapshot(platform::kHkeyDynData, "Config Manager\\Enum");
  EXPECT_EQ(kDevnodes9x + 1, nodes.size());  // the key itself, then one per devnode
}

TEST(UsbHistoryImage, TheLookupsFindEverySlotOfBothConnectedReadersOnEachFamily) {
  const std::vector<ReaderProduct> catalogue = ReaderCatalogue();
  for (const char* tag : {kOsWinXP, kOsWinVista, kOsWin98}) {
    SCOPED_TRACE(tag);
    MemoryRegistry registry;
    UsbHistoryOptions options;
    options.style =
        std::string(tag) == kOsWinVista ? MountRecordStyle::kVista : MountRecordStyle::kXp;
    std::vector<ConnectedSlot> slots;
    ASSERT_EQ(0, WriteUsbHistoryImage(registry, options, &slots));
    ASSERT_EQ(9u, slots.size());
    platform::ScriptedSystem system;
    platform::OsVersionNumbers numbers;
    OsNumbersForTag(tag, numbers);
    system.SetVersionNumbers(numbers);
    CSlotDriveFinder finder(registry, system);
    for (const ConnectedSlot& slot : slots) {
      const ReaderProduct& reader = catalogue[static_cast<size_t>(slot.reader)];
      const bool ninex = std::string(tag) == kOsWin98;
      const std::string& id =
          ninex ? reader.slots[slot.slot].secondaryIds[0] : reader.slots[slot.slot].primaryIds[0];
      finder.Reset();
      ASSERT_EQ(1, finder.FindNamedDrive(id, reader.primaryFilter)) << id;
      EXPECT_EQ(std::string(1, slot.letter), finder.m_strFoundDrive);
    }
  }
}

}  // namespace
