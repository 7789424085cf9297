// The finder's lookups, answered from the index it keeps for a refresh, beside the reference
// lookups (each reading the registry afresh, as before the index), side by side on two copies
// of one image: the fuzz seeds, the fixture machines and seeded random images, on every system
// tag and in both enumeration orders (Windows' and Wine's). The finder reads through a refresh's
// read snapshot as well, so both are held to the plain registry at once. Every lookup, by both
// entry points, must leave the finder in the same state as the reference leaves its own, and
// every writer the registry in the same state, also when a writer runs in the middle of a
// refresh.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "common/os_tags.h"
#include "common/reader_catalogue.h"
#include "common/slot_drive_assigner.h"
#include "fake_machine/key_writer.h"
#include "fuzz/registry_image_text.h"
#include "platform/decorators/read_snapshot_registry.h"
#include "platform/reg_files/reg_file.h"
#include "platform/twin/twin_registry.h"
#include "platform/twin/twin_system.h"
#include "test_drive_machine.h"
#include "test_reference_lookups.h"

namespace {

using platform::MemoryRegistry;

struct LookupCase {
  std::string slotId;
  std::string filter;
  char letter = 'X';
};

struct DiffImage {
  std::string name;
  std::function<void(platform::IRegistry&)> write;
  std::vector<LookupCase> lookups;
};

struct Tally {
  size_t images = 0;
  size_t runs = 0;
  size_t lookups = 0;
  size_t found = 0;  // lookups that found a letter
  size_t comparisons = 0;  // finder states and registry images compared
  size_t writes = 0;
  size_t differences = 0;
};

const char* const kAllTags[] = {kOsWin95, kOsWin98, kOsWin98SE, kOsWinMe, kOsWinNT4,
                                kOsWin2k, kOsWinXP, kOsWinVista, kOsOther};
// Writers are compared on the first few cases of an image: each comparison is a whole image.
constexpr size_t kWritesPerRun = 4;

std::string Join(const std::vector<std::string>& items) {
  std::string out;
  for (const std::string& item : items) out += item + ";";
  return out;
}

// Everything a lookup leaves behind that a caller can see.
std::string FinderState(const CSlotDriveFinder& finder, int result) {
  std::ostringstream out;
  out << result << '|' << finder.m_strFoundDrive << '|' << finder.m_nDriveCount << '|'
      << finder.m_nLookupCount << '|' << finder.m_strParentIdPrefix << '|'
      << Join(finder.m_listDeviceIds) << '|' << Join(finder.m_listDrives);
  return out.str();
}

void Note(Tally& tally, const std::string& what, const std::string& reference,
          const std::string& finder) {
  ++tally.comparisons;
  if (reference == finder) return;
  ++tally.differences;
  ADD_FAILURE() << what << "\n  reference: " << reference << "\n  finder:    " << finder;
}

std::string ImageText(MemoryRegistry& registry) {
  std::ostringstream out;
  for (const auto& root : registry.SnapshotAll())
    for (const MemoryRegistry::KeyImage& key : root.second) {
      out << root.first << ':' << key.path << '\n';
      for (const auto& value : key.values) {
        out << "  " << value.name << '=' << value.type << ':';
        for (uint8_t byte : value.data) out << static_cast<int>(byte) << ',';
        out << '\n';
      }
    }
  return out.str();
}

// One refresh (every case, both entry points) inside one snapshot and one kept index, then the
// writers after it, then a refresh that a writer interrupts.
void CompareRun(const DiffImage& image, const char* tag, bool wineOrder, Tally& tally) {
  MemoryRegistry plain;
  MemoryRegistry real;
  image.write(plain);
  image.write(real);
  platform::OsVersionNumbers numbers;
  OsNumbersForTag(tag, numbers);
  for (MemoryRegistry* registry : {&plain, &real}) {
    registry->SetWineOrder(wineOrder);
    registry->SetAccessChecks(numbers.platformId == 2);  // 9x checked no access rights
  }
  platform::ScriptedSystem system;
  system.SetVersionNumbers(numbers);
  platform::ReadSnapshotRegistry snapshot(real);
  // The reference keeps its state in a finder of its own, whose writer it shares.
  CSlotDriveAssigner referenceState(plain, system);
  ReferenceLookups reference(referenceState, plain, system);
  CSlotDriveAssigner finder(snapshot, system);
  const std::string where = image.name + " " + tag + (wineOrder ? " (Wine order)" : "");
  ++tally.runs;

  auto lookBoth = [&](const LookupCase& lookup) {
    const std::string what = where + " " + lookup.slotId + " / " + lookup.filter;
    int a = reference.FindDrive(lookup.slotId);
    int b = finder.FindDrive(lookup.slotId);
    tally.found += (a == 1 ? 1 : 0);
    Note(tally, what + " FindDrive", FinderState(referenceState, a), FinderState(finder, b));
    a = reference.FindNamedDrive(lookup.slotId, lookup.filter);
    b = finder.FindNamedDrive(lookup.slotId, lookup.filter);
    Note(tally, what + " FindNamedDrive", FinderState(referenceState, a), FinderState(finder, b));
    tally.lookups += 2;
    tally.found += (a == 1 ? 1 : 0);
  };

  snapshot.Begin();
  finder.BeginRefresh();
  for (const LookupCase& lookup : image.lookups) lookBoth(lookup);
  finder.EndRefresh();
  snapshot.End();
  EXPECT_EQ(real.OpenHandleCount(), 0u) << where;

  for (size_t i = 0; i < image.lookups.size() && i < kWritesPerRun; ++i) {
    const LookupCase& lookup = image.lookups[i];
    referenceState.AssignDrive(lookup.slotId, lookup.letter, lookup.filter);
    finder.AssignDrive(lookup.slotId, lookup.letter, lookup.filter);
    Note(tally, where + " AssignDrive " + lookup.slotId, ImageText(plain), ImageText(real));
    ++tally.writes;
  }

  // A write in the middle of a refresh ends its snapshot and drops the finder's index: the
  // lookups after it see the write.
  if (!image.lookups.empty()) {
    const LookupCase& first = image.lookups.front();
    snapshot.Begin();
    finder.BeginRefresh();
    lookBoth(first);
    referenceState.AssignDrive(first.slotId, 'Q', first.filter);
    finder.AssignDrive(first.slotId, 'Q', first.filter);
    ++tally.writes;
    for (const LookupCase& lookup : image.lookups) lookBoth(lookup);
    finder.EndRefresh();
    snapshot.End();
    Note(tally, where + " AssignDrive inside a refresh", ImageText(plain), ImageText(real));
  }
  EXPECT_EQ(real.OpenHandleCount(), 0u) << where;
}

void CompareImage(const DiffImage& image, Tally& tally) {
  ++tally.images;
  for (bool wineOrder : {false, true})
    for (const char* tag : kAllTags) CompareRun(image, tag, wineOrder, tally);
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::vector<std::filesystem::path> FilesIn(const std::string& folder, const std::string& ext) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.path().extension() == ext) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

// Every slot id of the catalogue with its reader's filter: what both programs look up.
std::vector<LookupCase> CatalogueLookups() {
  std::vector<LookupCase> cases;
  for (const ReaderProduct& reader : ReaderCatalogue())
    for (int s = 0; s < reader.slotCount; ++s) {
      const ReaderSlot& slot = reader.slots[s];
      for (const std::string& id : slot.primaryIds)
        if (!id.empty()) cases.push_back({id, reader.primaryFilter, 'X'});
      for (const std::string& id : slot.secondaryIds)
        if (!id.empty()) cases.push_back({id, reader.secondaryFilter, 'X'});
      if (!slot.secondaryIdMe.empty())
        cases.push_back({slot.secondaryIdMe, reader.secondaryFilter, 'X'});
    }
  return cases;
}

// The fuzz target's seeds: the image and its "S|slot id|filter|letter" lines.
DiffImage FuzzSeedImage(const std::filesystem::path& path) {
  DiffImage image;
  image.name = "fuzz seed " + path.filename().string();
  const std::string text = ReadFile(path);
  MemoryRegistry scratch;
  for (const FuzzFields& fields : WriteRegistryImageText(scratch, text)) {
    if (fields[0] != "S" || fields.size() < 2) continue;
    LookupCase lookup;
    lookup.slotId = ExpandFuzzField(fields[1]);
    if (fields.size() > 2) lookup.filter = ExpandFuzzField(fields[2]);
    if (fields.size() > 3 && !fields[3].empty()) lookup.letter = fields[3][0];
    image.lookups.push_back(lookup);
  }
  for (const LookupCase& lookup : CatalogueLookups()) image.lookups.push_back(lookup);
  image.write = [text](platform::IRegistry& registry) { WriteRegistryImageText(registry, text); };
  return image;
}

DiffImage RegFileImage(const std::filesystem::path& path, const std::string& kind) {
  DiffImage image;
  image.name = kind + " " + path.filename().string();
  const std::string text = ReadFile(path);
  const std::string file = path.string();
  image.write = [text, file](platform::IRegistry& registry) {
    std::string error;
    platform::ImportRegText(registry, text, file, error);
  };
  image.lookups = CatalogueLookups();
  return image;
}

// --- Seeded random images: readers' disks and devnodes among hostile neighbours ---

// A failed write only makes a different image, which both sides still see alike.
void Put(platform::IRegistry& registry, platform::RegKey root, const std::string& path,
         const std::string& name, uint32_t type, const std::vector<uint8_t>& data) {
  long ignored = platform::kErrorSuccess;
  fake::KeyWriter(registry, root, path, ignored).Set(name, type, data);
}

using fake::TextBytes;

DiffImage RandomImage(uint32_t seed) {
  DiffImage image;
  image.name = "random image " + std::to_string(seed);
  for (int k = 0; k < 3; ++k) {
    const std::string product = "X" + std::to_string(k);
    image.lookups.push_back({"USBSTOR\\Disk&Ven_Norvell&Prod_" + product, product, 'G'});
    image.lookups.push_back({"SCSI\\NORVELL_" + product, product, 'H'});
    image.lookups.push_back({"usbstor\\disk&ven_norvell**" + product, "", 'J'});
    image.lookups.push_back({"USBSTOR\\Disk&Ven_Norvell&Prod_" + product, "Nope", 'K'});
  }
  image.write = [seed](platform::IRegistry& registry) {
    std::mt19937 random(seed);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<uint32_t>(n)); };
    auto letter = [&]() { return static_cast<char>((pick(4) == 0 ? 'a' : 'A') + pick(26)); };
    const int disks = pick(9);
    std::vector<std::string> prefixes;
    for (int d = 0; d < disks; ++d) {
      const std::string product = "X" + std::to_string(pick(4));
      const std::string serial = "NV" + std::to_string(seed) + "_" + std::to_string(d) + "&0";
      const std::string deviceId = (pick(5) == 0 ? "IDE\\Disk" : "USBSTOR\\Disk") +
                                   std::string("&Ven_Norvell&Prod_") + product + "&Rev_1.00\\" +
                                   serial;
      Put(registry, platform::kHkeyLocalMachine,
          "System\\CurrentControlSet\\Services\\Disk\\Enum", std::to_string(d), platform::kRegSz,
          TextBytes(deviceId));
      const std::string deviceKey = "System\\CurrentControlSet\\Enum\\" + deviceId;
      if (pick(4) != 0)
        Put(registry, platform::kHkeyLocalMachine, deviceKey, "FriendlyName", platform::kRegSz,
            TextBytes(pick(3) == 0 ? "" : "Norvell " + product + " USB Device"));
      const std::string prefix = std::to_string(pick(9)) + "&" + std::to_string(seed) + "&0";
      if (pick(5) != 0)
        Put(registry, platform::kHkeyLocalMachine, deviceKey, "ParentIdPrefix", platform::kRegSz,
            TextBytes(prefix));
      const std::string mountKey = "System\\MountedDevices";
      for (int r = pick(3); r > 0; --r) {
        const std::string record =
            pick(2) == 0 ? "\\??\\STORAGE#RemovableMedia#" + prefix +
                               "&RM#{53f5630d-b6bf-11d0-94f2-00a0c91efb8b}"
                         : "_??_USBSTOR#Disk&Ven_Norvell&Prod_" + product + "&Rev_1.00#" +
                               serial + "#{53f56307-b6bf-11d0-94f2-00a0c91efb8b}";
        Put(registry, platform::kHkeyLocalMachine, mountKey,
            std::string("\\DosDevices\\") + letter() + ":", platform::kRegBinary, Utf16Le(record));
      }
      // Neighbours: volume ids, oversized names and data on both sides of the buffers.
      for (int r = pick(6); r > 0; --r) {
        std::vector<uint8_t> data(static_cast<size_t>(pick(2) == 0 ? 12 : 24 + pick(600)));
        for (uint8_t& byte : data) byte = static_cast<uint8_t>(random());
        std::string name = "\\??\\Volume{" + std::to_string(random()) + "}";
        if (pick(6) == 0) name.append(static_cast<size_t>(250 + pick(300)), 'v');
        Put(registry, platform::kHkeyLocalMachine, mountKey, name, platform::kRegBinary, data);
      }
    }
    Put(registry, platform::kHkeyLocalMachine, "System\\CurrentControlSet\\Services\\Disk\\Enum",
        "Count", platform::kRegDword, {static_cast<uint8_t>(disks), 0, 0, 0});
    for (int n = pick(12); n > 0; --n) {
      const std::string product = "X" + std::to_string(pick(4));
      const std::string enumerator = pick(4) == 0 ? "USBSTOR\\" : pick(2) ? "SCSI\\" : "ESDI\\";
      const std::string hardwareKey =
          enumerator + "NORVELL_" + product + "____1.00\\" + std::to_string(seed) + "&" +
          std::to_string(n);
      std::string devnode = "C" + std::to_string(random() % 100000);
      if (pick(8) == 0) devnode.append(static_cast<size_t>(255 + pick(10)), 'n');
      const std::string devnodeKey = "Config Manager\\Enum\\" + devnode;
      if (pick(6) != 0)
        Put(registry, platform::kHkeyDynData, devnodeKey, "HardWareKey", platform::kRegSz,
            TextBytes(hardwareKey));
      else
        Put(registry, platform::kHkeyDynData, devnodeKey, "Problem", platform::kRegDword,
            {0, 0, 0, 0});
      const std::string deviceKey = "Enum\\" + hardwareKey;
      if (pick(4) != 0)
        Put(registry, platform::kHkeyLocalMachine, deviceKey, "ProductId", platform::kRegSz,
            TextBytes(product + " Norvell"));
      const int letters = pick(4);
      if (letters != 0)
        Put(registry, platform::kHkeyLocalMachine, deviceKey, "CurrentDriveLetterAssignment",
            platform::kRegSz, TextBytes(std::string(static_cast<size_t>(letters - 1), letter())));
    }
  };
  return image;
}

void Report(const char* what, const Tally& tally) {
  std::printf("[ differential ] %s: %zu images, %zu runs, %zu lookups (%zu finding a letter), "
              "%zu writes, %zu state comparisons, %zu differences\n",
              what, tally.images, tally.runs, tally.lookups, tally.found, tally.writes,
              tally.comparisons, tally.differences);
  ::testing::Test::RecordProperty("images", static_cast<int>(tally.images));
  ::testing::Test::RecordProperty("runs", static_cast<int>(tally.runs));
  ::testing::Test::RecordProperty("lookups", static_cast<int>(tally.lookups));
  ::testing::Test::RecordProperty("comparisons", static_cast<int>(tally.comparisons));
  ::testing::Test::RecordProperty("differences", static_cast<int>(tally.differences));
}

TEST(DriveLookupDifferential, FuzzSeedsAndFixturesGiveTheReferenceResults) {
  Tally tally;
  for (const auto& seed : FilesIn(SLOT_SOURCE_DIR "/fuzz/corpus/drive_lookups", ".txt"))
    CompareImage(FuzzSeedImage(seed), tally);
  for (const auto& file : FilesIn(SLOT_SOURCE_DIR "/fuzz/corpus/reg_file", ".reg"))
    CompareImage(RegFileImage(file, "fuzz seed"), tally);
  for (const auto& file : FilesIn(FIXTURE_DIR, ".reg")) CompareImage(RegFileImage(file, "fixture"), tally);
  Report("fuzz seeds and fixtures", tally);
  EXPECT_GE(tally.images, 20u);
  EXPECT_GT(tally.found, 0u);
  EXPECT_EQ(tally.differences, 0u);
}

TEST(DriveLookupDifferential, RandomImagesGiveTheReferenceResults) {
  Tally tally;
  for (uint32_t seed = 1; seed <= 150; ++seed) CompareImage(RandomImage(seed), tally);
  Report("random images", tally);
  EXPECT_GT(tally.found, 0u);
  EXPECT_EQ(tally.differences, 0u);
}

}  // namespace
