// Tolket's start on any bytes: its command line and its data files. The parser and the
// whitelist never let an entry reach a key outside the drive-icon keys, a run changes nothing
// else in the registry, and its report counts every write the registry took and no other.
//
// The input: optional header lines, then "create.dat", then optionally "\n--remove--\n" and
// "remove.dat".
//   --command-line:TEXT   Tolket's arguments; the run reads the files they name, as its start
//                         does (without this line: "create.dat", and "remove.dat" if given)
//   --read-only:HKLM      the registry refuses writes below that root (or HKCR) in this run,
//                         as it does for a user without administrator rights
//   --fail-call:N         the N-th registry call of this run that can fail is denied
// "remove.dat" is the "create.dat" of the previous hand-off: that run is made first, so that
// the removal finds the values it takes back.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "platform/decorators/fault_injecting_seams.h"
#include "platform/decorators/fault_plan.h"
#include "platform/owners/scoped_reg_key.h"
#include "platform/text/registry_names.h"
#include "platform/twin/twin_registry.h"
#include "tavrik/icon_entry.h"
#include "tools/tolket/drive_icon_whitelist.h"
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

void Seed(MemoryRegistry& registry, platform::RegKey root, const char* path, const char* name,
          const std::string& text = "keep") {
  platform::ScopedRegKey key(registry);
  if (key.Create(root, path, platform::kKeyAllAccess) != platform::kErrorSuccess) return;
  key.WriteText(name, text);
}

// Keys beside and above the allowed ones, which must come through untouched, and allowed keys
// that hold the user's own icon and label before Tolket comes.
void SeedRegistry(MemoryRegistry& registry) {
  Seed(registry, platform::kHkeyLocalMachine, "Software\\Norvell\\Keep", "value");
  Seed(registry, platform::kHkeyLocalMachine,
       "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\E", "keep");
  Seed(registry, platform::kHkeyLocalMachine,
       "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\E\\DefaultIcon\\Sub",
       "");
  Seed(registry, platform::kHkeyLocalMachine,
       "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\H\\DefaultIcon", "",
       "C:\\user.ico");
  Seed(registry, platform::kHkeyClassesRoot, "Applications\\explorer.exe\\Drives\\F\\Other", "");
  Seed(registry, platform::kHkeyClassesRoot,
       "Applications\\explorer.exe\\Drives\\G\\DefaultLabel", "", "Photos");
  Seed(registry, platform::kHkeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion", "x");
}

// What a run may have done between two snapshots: create allowed keys with Tolket's values
// (and the bare keys on the way to them), change Tolket's values in allowed keys, remove
// allowed keys or emptied keys on the way to them that held no value of anyone else's.
void CheckOnlyDriveIconKeysChanged(const Keys& before, const Keys& after) {
  for (const auto& key : after) {
    const bool allowed = IsAllowedKey(key.first.first, key.first.second);
    auto was = before.find(key.first);
    if (was == before.end()) {
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
  for (const auto& key : before) {
    if (after.count(key.first) == 1) continue;
    FUZZ_CHECK(IsAllowedKey(key.first.first, key.first.second) ||
               IsAncestorOfAllowed(key.first.first, key.first.second));
    FUZZ_CHECK(OnlyTolketValues(key.second));
  }
}

struct TolketInput {
  bool hasCommandLine = false;
  std::string commandLine;
  platform::RegKey readOnlyRoot = 0;
  uint64_t failCall = 0;
  std::string create;
  bool hasRemove = false;
  std::string remove;
};

bool TakeHeader(const std::string& input, size_t& pos, const char* directive, std::string& value) {
  const std::string prefix = directive;
  if (input.compare(pos, prefix.size(), prefix) != 0) return false;
  size_t end = input.find('\n', pos);
  if (end == std::string::npos) end = input.size();
  value = input.substr(pos + prefix.size(), end - pos - prefix.size());
  pos = std::min(end + 1, input.size());
  return true;
}

TolketInput SplitInput(const std::string& input) {
  TolketInput parts;
  size_t pos = 0;
  std::string value;
  while (true) {
    if (TakeHeader(input, pos, "--command-line:", value)) {
      parts.hasCommandLine = true;
      parts.commandLine = value;
    } else if (TakeHeader(input, pos, "--read-only:", value)) {
      parts.readOnlyRoot = value == "HKLM"   ? platform::kHkeyLocalMachine
                           : value == "HKCR" ? platform::kHkeyClassesRoot
                                             : 0;
    } else if (TakeHeader(input, pos, "--fail-call:", value)) {
      parts.failCall = std::strtoull(value.c_str(), nullptr, 10);
    } else {
      break;
    }
  }
  const std::string files = input.substr(pos);
  const std::string marker = "\n--remove--\n";
  const size_t split = files.find(marker);
  parts.create = files.substr(0, split);
  parts.hasRemove = split != std::string::npos;
  if (parts.hasRemove) parts.remove = files.substr(split + marker.size());
  return parts;
}

// Tavrik writes each entry with CIconEntry::Line(); Tolket must read back the same fields.
void CheckLineReadsBack(const CIconEntry& entry) {
  const CIconEntry written =
      entry.m_strValueName.empty()
          ? CIconEntry(entry.m_strRoot, entry.m_strKeyPath, entry.m_strData, entry.m_strDrive)
          : CIconEntry(entry.m_strRoot, entry.m_strKeyPath, entry.m_strValueName,
                       entry.m_strData, entry.m_strDrive);
  const IconEntryFile file = ParseIconEntryFile(written.Line());
  FUZZ_CHECK(file.refused.empty() && file.lines.size() == 1);
  const CIconEntry& read = file.lines[0].entry;
  FUZZ_CHECK(read.m_strRoot == entry.m_strRoot && read.m_strKeyPath == entry.m_strKeyPath &&
             read.m_strValueName == entry.m_strValueName && read.m_strData == entry.m_strData &&
             read.m_strDrive == entry.m_strDrive);
}

struct FileCounts {
  bool anyRefused = false;
  int accepted = 0;
  int acceptedOnReadOnlyRoot = 0;
};

// Every line a file gives: an accepted entry names a whitelisted key, a refused one says why.
FileCounts CheckFile(const std::string& content, platform::RegKey readOnlyRoot) {
  FileCounts counts;
  const IconEntryFile file = ParseIconEntryFile(content);
  counts.anyRefused = !file.refused.empty();
  for (const IconEntryLine& line : file.lines) {
    CheckLineReadsBack(line.entry);
    DriveIconTarget target;
    std::string reason;
    if (CheckDriveIconEntry(line.entry, target, reason)) {
      FUZZ_CHECK(IsAllowedKey(target.root, platform::FoldRegistryName(target.keyPath, true)));
      ++counts.accepted;
      if (target.root == readOnlyRoot) ++counts.acceptedOnReadOnlyRoot;
    } else {
      FUZZ_CHECK(!reason.empty());
      counts.anyRefused = true;
    }
  }
  return counts;
}

// Parses Tolket's arguments as its start does; false when the start stops there.
bool CheckCommandLine(const std::string& commandLine, TolketArgs& args) {
  std::string error;
  if (!ParseTolketCommandLine(commandLine, args, error)) {
    FUZZ_CHECK(!error.empty());
    return false;
  }
  FUZZ_CHECK(args.repair == (commandLine.find_first_not_of(" \t") == std::string::npos));
  FUZZ_CHECK(args.repair || !args.createFile.empty() || !args.removeFile.empty());
  FUZZ_CHECK(!args.hideWindow || commandLine.find("-hidewindow") != std::string::npos);
  // The files come back from the quoted form Tavrik's hand-off writes.
  if (!args.repair && args.createFile.find('"') == std::string::npos &&
      args.removeFile.find('"') == std::string::npos) {
    std::string handOff;
    if (!args.createFile.empty()) handOff += "-create:\"" + args.createFile + "\" ";
    if (!args.removeFile.empty()) handOff += "-remove:\"" + args.removeFile + "\" ";
    handOff += "-hidewindow";
    TolketArgs again;
    FUZZ_CHECK(ParseTolketCommandLine(handOff, again, error));
    FUZZ_CHECK(again.createFile == args.createFile && again.removeFile == args.removeFile &&
               again.hideWindow && !again.repair);
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kMaxIconEntryFile + 64) return 0;
  const TolketInput input = SplitInput(std::string(reinterpret_cast<const char*>(data), size));

  // Which files the start reads: a repair re-applies the latest "create.dat".
  bool useCreate = true;
  bool useRemove = input.hasRemove;
  if (input.hasCommandLine) {
    TolketArgs args;
    if (!CheckCommandLine(input.commandLine, args)) return 0;
    useCreate = args.repair || !args.createFile.empty();
    useRemove = !args.removeFile.empty();
  }

  const FileCounts create = useCreate ? CheckFile(input.create, input.readOnlyRoot) : FileCounts();
  const FileCounts remove = useRemove ? CheckFile(input.remove, input.readOnlyRoot) : FileCounts();

  MemoryRegistry registry;
  SeedRegistry(registry);
  Keys before = Flatten(registry.SnapshotAll());
  if (useRemove) {
    RunTolket(registry, &input.remove, nullptr);  // the previous hand-off
    FUZZ_CHECK(registry.OpenHandleCount() == 0);
    Keys written = Flatten(registry.SnapshotAll());
    CheckOnlyDriveIconKeysChanged(before, written);
    before = std::move(written);
  }

  if (input.readOnlyRoot != 0) registry.SetReadOnlyRoot(input.readOnlyRoot, true);
  platform::FaultPlan plan;
  if (input.failCall != 0) plan.FailCall(input.failCall, platform::kErrorAccessDenied);
  platform::FaultInjectingRegistry failing(registry, plan);
  const TolketReport report = RunTolket(failing, useCreate ? &input.create : nullptr,
                                        useRemove ? &input.remove : nullptr);
  FUZZ_CHECK(registry.OpenHandleCount() == 0);
  CheckOnlyDriveIconKeysChanged(before, Flatten(registry.SnapshotAll()));

  // Every write the registry took is counted and every other one is reported: those below the
  // read-only root, those over an earlier value that cannot be read and so not kept, and one
  // that a failed call stopped.
  const int refusedWrites = create.accepted - report.written;
  FUZZ_CHECK(refusedWrites >= create.acceptedOnReadOnlyRoot);
  int writeProblems = 0;
  for (const std::string& problem : report.problems)
    if (problem.find(" に書き込めませんでした") != std::string::npos) ++writeProblems;
  FUZZ_CHECK(writeProblems == refusedWrites);
  if (refusedWrites > 0) FUZZ_CHECK((report.exitCode & kTolketRegistryFailed) != 0);
  FUZZ_CHECK(((report.exitCode & kTolketRefusedLine) != 0) ==
             (create.anyRefused || remove.anyRefused));
  FUZZ_CHECK(report.removed <= remove.accepted);
  // The message box: the counts, then one line a problem.
  const std::string text = TolketReportText(report);
  FUZZ_CHECK(static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) ==
             report.problems.size());
  return 0;
}
