#include "tools/slotdrive/machine.h"

#include "platform/owners/scoped_reg_key.h"
#include "platform/reg_files/reg_file.h"
#include "platform/twin/twin_system.h"
#include "tools/slotdrive/os_option.h"
#include "tools/slotdrive/output_file.h"

#ifdef SLOTDRIVE_LIVE
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_system.h"
#endif

namespace slotdrive {

std::vector<OptionRule> MachineOptions() {
  return {{"reg", true, true}, {"live", false, false}, {"os", true, false},
          {"wine-order", false, false}};
}

bool OpenMachine(const CommandLine& commandLine, OsNeed osNeed, Machine& machine,
                 std::string& error) {
  const bool live = commandLine.Has("live");
  const std::vector<std::string> files = commandLine.Values("reg");
#ifndef SLOTDRIVE_LIVE
  if (live) {
    error = "--live needs the Windows build";
    return false;
  }
#endif
  if (live == !files.empty()) {
    error = live ? "--live and --reg exclude each other" : "no --reg FILE given";
    return false;
  }
  if (live && commandLine.Has("wine-order")) {
    error = "--wine-order applies to --reg images only";
    return false;
  }

  platform::OsVersionNumbers numbers;
  if (commandLine.Has("os")) {
    if (!ParseOsOption(commandLine.Value("os"), numbers, error)) return false;
    auto scripted = std::make_unique<platform::ScriptedSystem>();
    scripted->SetVersionNumbers(numbers);
    machine.system = std::move(scripted);
  } else if (osNeed == OsNeed::kRequired && !live) {
    error = "no --os given";
    return false;
  }

#ifdef SLOTDRIVE_LIVE
  if (live) {
    machine.registry = std::make_unique<platform::Win32Registry>();
    if (!machine.system) machine.system = std::make_unique<platform::Win32System>();
    return true;
  }
#endif
  if (!machine.system) machine.system = std::make_unique<platform::ScriptedSystem>();
  auto image = std::make_unique<platform::MemoryRegistry>();
  // Wine enumerates values and subkeys sorted by name; a prediction of a Wine run needs it.
  image->SetWineOrder(commandLine.Has("wine-order"));
  // A 9x machine's RegDeleteKeyA takes a key's subkeys with it.
  image->SetSubtreeDelete(commandLine.Has("os") && numbers.platformId == platform::kPlatformWin9x);
  for (const std::string& file : files)
    if (!platform::ImportRegFile(*image, file, error)) return false;
  machine.image = image.get();
  machine.registry = std::move(image);
  return true;
}

std::vector<platform::RegExportTree> ExistingTrees(
    platform::IRegistry& registry, const std::vector<platform::RegExportTree>& requested) {
  std::vector<platform::RegExportTree> trees;
  for (const platform::RegExportTree& tree : requested) {
    platform::ScopedRegKey key(registry);
    if (key.Open(tree.root, tree.path.c_str(), platform::kKeyRead) == platform::kErrorSuccess)
      trees.push_back(tree);
  }
  return trees;
}

bool CopyTrees(platform::IRegistry& registry, const std::vector<platform::RegExportTree>& trees,
               platform::MemoryRegistry& image, std::string& error) {
  std::string text;
  return platform::ExportRegFile(registry, trees, text, error) &&
         platform::ImportRegText(image, text, "(copy)", error);
}

bool WriteImage(const Machine& machine, const std::string& path, std::string& error) {
  std::vector<platform::RegExportTree> trees;
  for (const auto& root : machine.image->SnapshotAll()) trees.push_back({root.first, ""});
  std::string text;
  return platform::ExportRegFile(*machine.registry, trees, text, error) &&
         WriteOutput(text, path, error);
}

}  // namespace slotdrive
