// The drive lookups and writers on hostile registry images (registry_image_text.h), on every
// system tag: they return 0 or 1, report a one-character letter, close every key they open,
// and the writers change nothing but drive-letter mount records and the 9x letter value.
#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "common/os_tags.h"
#include "common/slot_drive_assigner.h"
#include "fake_machine/fake_machine.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/registry_image_text.h"
#include "platform/text/registry_names.h"
#include "platform/twin/twin_registry.h"

using platform::MemoryRegistry;

namespace {

struct Lookup {
  std::string slotId;
  std::string filter;
  char letter = 'X';
};

using Image = std::map<platform::RegKey, std::vector<MemoryRegistry::KeyImage>>;

// A key's values by folded name: a mount key holds thousands, and comparing each with every
// other made one input cost seconds.
using ValueIndex = std::unordered_map<std::string, const MemoryRegistry::ValueImage*>;

ValueIndex IndexValues(const MemoryRegistry::KeyImage& key) {
  ValueIndex index;
  for (const auto& value : key.values) index[platform::FoldRegistryName(value.name, true)] = &value;
  return index;
}

const MemoryRegistry::ValueImage* FindValue(const ValueIndex& index, const std::string& name) {
  auto found = index.find(platform::FoldRegistryName(name, true));
  return found == index.end() ? nullptr : found->second;
}

// What a writer may change in one key, value by value.
void CheckValueChanges(platform::RegKey root, const MemoryRegistry::KeyImage& before,
                       const MemoryRegistry::KeyImage& after, char letter) {
  const std::string upperPath = platform::FoldRegistryName(before.path, true);
  const bool mountKey =
      root == platform::kHkeyLocalMachine && upperPath == "SYSTEM\\MOUNTEDDEVICES";
  const bool ninexDevice =
      root == platform::kHkeyLocalMachine && upperPath.compare(0, 5, "ENUM\\") == 0;
  auto check = [&](const MemoryRegistry::ValueImage* was, const MemoryRegistry::ValueImage* now,
                   const std::string& name) {
    if (was != nullptr && now != nullptr && *was == *now) return;
    if (mountKey) {
      FUZZ_CHECK(name.find("\\DosDevices\\") != std::string::npos);
      if (now != nullptr) FUZZ_CHECK(now->type == platform::kRegBinary && !now->data.empty());
      return;
    }
    FUZZ_CHECK(ninexDevice);
    FUZZ_CHECK(platform::RegistryNamesEqual(name, "UserDriveLetterAssignment"));
    FUZZ_CHECK(now != nullptr);
    const std::vector<uint8_t> expected{static_cast<uint8_t>(letter), static_cast<uint8_t>(letter),
                                        0};
    FUZZ_CHECK(now->type == platform::kRegSz && now->data == expected);
  };
  const ValueIndex beforeIndex = IndexValues(before);
  const ValueIndex afterIndex = IndexValues(after);
  for (const auto& value : before.values)
    check(&value, FindValue(afterIndex, value.name), value.name);
  for (const auto& value : after.values)
    if (FindValue(beforeIndex, value.name) == nullptr) check(nullptr, &value, value.name);
}

void CheckWriterChanges(const Image& before, const Image& after, char letter) {
  for (const auto& root : after) {
    auto was = before.find(root.first);
    FUZZ_CHECK(was != before.end());
    // No key is created or removed: the same keys in the same order.
    FUZZ_CHECK(was->second.size() == root.second.size());
    for (size_t i = 0; i < root.second.size(); ++i) {
      FUZZ_CHECK(was->second[i].path == root.second[i].path);
      if (!(was->second[i] == root.second[i]))
        CheckValueChanges(root.first, was->second[i], root.second[i], letter);
    }
  }
}

void CheckFind(const CSlotDriveFinder& finder, int result) {
  FUZZ_CHECK(result == 0 || result == 1);
  if (result == 1) FUZZ_CHECK(finder.m_strFoundDrive.size() == 1);
  for (const std::string& drive : finder.m_listDrives) FUZZ_CHECK(drive.size() == 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 64 * 1024) return 0;
  fake::Machine machine(kOsWinXP);
  MemoryRegistry& registry = machine.registry;
  const std::vector<FuzzFields> others =
      WriteRegistryImageText(registry, std::string(reinterpret_cast<const char*>(data), size));
  std::vector<Lookup> lookups;
  for (const FuzzFields& fields : others) {
    if (fields[0] != "S" || fields.size() < 2 || lookups.size() == 2) continue;
    Lookup lookup;
    lookup.slotId = ExpandFuzzField(fields[1]);
    if (fields.size() > 2) lookup.filter = ExpandFuzzField(fields[2]);
    if (fields.size() > 3 && !fields[3].empty()) lookup.letter = fields[3][0];
    lookups.push_back(lookup);
  }
  if (lookups.empty()) return 0;

  // The registry as last compared: a snapshot is taken again only after a change, and
  // each one is checked against the one before, so a change by a lookup is caught as well.
  Image before = registry.SnapshotAll();
  uint64_t changesBefore = registry.ChangeCount();
  for (const char* tag : {kOsWin95, kOsWin98, kOsWin98SE, kOsWinMe, kOsWinNT4, kOsWin2k, kOsWinXP,
                          kOsWinVista, kOsOther}) {
    machine.SetVersion(tag);
    // 9x checked no access rights on registry handles.
    registry.SetAccessChecks(machine.system.GetVersionNumbers().platformId ==
                             platform::kPlatformWinNt);
    CSlotDriveAssigner finder(registry, machine.system);
    for (const Lookup& lookup : lookups) {
      CheckFind(finder, finder.FindDrive(lookup.slotId));
      CheckFind(finder, finder.FindNamedDrive(lookup.slotId, lookup.filter));
      FUZZ_CHECK(registry.OpenHandleCount() == 0);
      finder.AssignDrive(lookup.slotId, lookup.letter, lookup.filter);
      FUZZ_CHECK(registry.OpenHandleCount() == 0);
      if (registry.ChangeCount() == changesBefore) continue;
      Image after = registry.SnapshotAll();
      CheckWriterChanges(before, after, lookup.letter);
      before = std::move(after);
      changesBefore = registry.ChangeCount();
    }
  }
  return 0;
}
