// Tolket's data files on any bytes ("create.dat", then optionally "\n--remove--\n" and
// "remove.dat"): the parser and the whitelist never let an entry reach a key outside the
// drive-icon keys, and a run changes nothing else in the registry.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "platform/memory_registry.h"
#include "platform/registry_names.h"
#include "platform/scoped_reg_key.h"
#include "tools/tolket/drive_icon_whitelist.h"
#include "tavrik/icon_entry.h"
#include "tools/tolket/tolket_run.h"

using platform::MemoryRegistry;

namespace {

constexpr char kMachineIcons[] =
    "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\EXPLORER\\DRIVEICONS\\";
constexpr char kClassIcons[] = "APPLICATIONS\\EXPLORER.EXE\\DRIVES\\";

// The folded path of an allowed key: the prefix of its root, a letter, then one leaf.
bool IsAllowedKey(platform::RegKey root, const std::string& upperPath) {
  const std::string prefix = root == platform::kHkeyLocalMachine  ? kMachineIcons
                             : root == platform::kHkeyClassesRoot ? kClassIcons
                                                                  : "";
  if (prefix.empty() || upperPath.compare(0, prefix.size(), prefix) != 0) return false;
  const std::string rest = upperPath.substr(prefix.size());
  if (rest.size() < 3 || rest[0] < 'A' || rest[0] > 'Z' || rest[1] != '\\') return false;
  const std::string leaf = rest.substr(2);
  return leaf == "DEFAULTICON" || leaf == "DEFAULTLABEL";
}

bool IsAncestorOfAllowed(platform::RegKey root, const std::string& upperPath) {
  const std::string prefix = root == platform::kHkeyLocalMachine  ? kMachineIcons
                             : root == platform::kHkeyClassesRoot ? kClassIcons
                                                                  : "";
  if (prefix.empty()) return false;
  if (prefix.compare(0, upperPath.size(), upperPath) == 0) return true;  // above the letters
  const std::string rest = upperPath.compare(0, prefix.size(), prefix) == 0
                               ? upperPath.substr(prefix.size())
                               : std::string("?");
  return rest.size() == 1 && rest[0] >= 'A' && rest[0] <= 'Z';  // a letter's key
}

using Keys =
    std::map<std::pair<platform::RegKey, std::string>, std::vector<MemoryRegistry::ValueImage>>;

Keys Flatten(const std::map<platform::RegKey, std::vector<MemoryRegistry::KeyImage>>& image) {
  Keys keys;
  for (const auto& root : image)
    for (const auto& key : root.second)
      keys[{root.first, platform::FoldRegistryName(key.path, true)}] = key.values;
  return keys;
}

// The values Tolket may write in a whitelisted key: the default value, and "BackData", where
// it keeps the value it replaced.
bool IsTolketValue(const std::string& name) { return name.empty() || name == "BackData"; }

bool OnlyTolketValues(const std::vector<MemoryRegistry::ValueImage>& values) {
  for (const auto& value : values)
    if (!IsTolketValue(value.name)) return false;
  return true;
}

void Seed(MemoryRegistry& registry, platform::RegKey root, const char* path, const char* name) {
  platform::ScopedRegKey key(registry);
  if (key.Create(root, path, platform::kKeyAllAccess) != platform::kErrorSuccess) return;
  const uint8_t text[] = "keep";
  registry.SetValue(key.Get(), name, platform::kRegSz, text, sizeof text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kMaxIconEntryFile + 64) return 0;
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::string marker = "\n--remove--\n";
  const size_t split = input.find(marker);
  const std::string create = input.substr(0, split);
  const std::string remove = split == std::string::npos ? "" : input.substr(split + marker.size());

  for (const std::string* content : {&create, &remove}) {
    for (const IconEntryLine& line : ParseIconEntryFile(*content).lines) {
      DriveIconTarget target;
      std::string reason;
      if (CheckDriveIconEntry(line.entry, target, reason))
        FUZZ_CHECK(IsAllowedKey(target.root, platform::FoldRegistryName(target.keyPath, true)));
      else
        FUZZ_CHECK(!reason.empty());
    }
  }

  // Keys beside and above the allowed ones, which must come through untouched.
  MemoryRegistry registry;
  Seed(registry, platform::kHkeyLocalMachine, "Software\\Norvell\\Keep", "value");
  Seed(registry, platform::kHkeyLocalMachine,
       "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\E", "keep");
  Seed(registry, platform::kHkeyLocalMachine,
       "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\E\\DefaultIcon\\Sub",
       "");
  Seed(registry, platform::kHkeyClassesRoot, "Applications\\explorer.exe\\Drives\\F\\Other", "");
  Seed(registry, platform::kHkeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion", "x");
  const Keys before = Flatten(registry.SnapshotAll());

  RunTolket(registry, &create, split == std::string::npos ? nullptr : &remove);
  FUZZ_CHECK(registry.OpenHandleCount() == 0);
  const Keys after = Flatten(registry.SnapshotAll());

  for (const auto& key : after) {
    const bool allowed = IsAllowedKey(key.first.first, key.first.second);
    auto was = before.find(key.first);
    if (was == before.end()) {
      // Created: an allowed key with Tolket's values, or a bare key on the way to one.
      FUZZ_CHECK((allowed && OnlyTolketValues(key.second)) ||
                 (IsAncestorOfAllowed(key.first.first, key.first.second) && key.second.empty()));
      continue;
    }
    if (was->second == key.second) continue;
    FUZZ_CHECK(allowed);
    auto others = [](const std::vector<MemoryRegistry::ValueImage>& values) {
      std::vector<MemoryRegistry::ValueImage> kept;
      for (const auto& value : values)
        if (!IsTolketValue(value.name)) kept.push_back(value);
      return kept;
    };
    FUZZ_CHECK(others(was->second) == others(key.second));  // only Tolket's values changed
  }
  // Removed: only an allowed key Tolket takes back, or an emptied key on the way to one, and
  // never one that held a value of anyone else's.
  for (const auto& key : before) {
    if (after.count(key.first) == 1) continue;
    FUZZ_CHECK(IsAllowedKey(key.first.first, key.first.second) ||
               IsAncestorOfAllowed(key.first.first, key.first.second));
    FUZZ_CHECK(OnlyTolketValues(key.second));
  }
  return 0;
}
