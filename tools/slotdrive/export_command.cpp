// slotdrive export: writes key trees of a machine as one REGEDIT4 file, so that a live
// registry and an offline prediction can be compared as text.
#include "platform/reg_file.h"
#include "platform/scoped_reg_key.h"
#include "tools/slotdrive/commands.h"
#include "tools/slotdrive/machine.h"
#include "tools/slotdrive/output_file.h"

namespace slotdrive {
namespace {

// "HKLM\System\MountedDevices" or a root alone.
bool ParseKeyArgument(const std::string& argument, platform::RegExportTree& tree) {
  size_t slash = argument.find('\\');
  if (!platform::ParseRegRootName(argument.substr(0, slash), tree.root)) return false;
  tree.path = slash == std::string::npos ? std::string() : argument.substr(slash + 1);
  return true;
}

}  // namespace

int RunExport(const std::vector<std::string>& args) {
  std::vector<OptionRule> rules = MachineOptions();
  rules.push_back({"out", true, false});
  CommandLine commandLine;
  std::string error;
  if (!commandLine.Parse(args, rules, error)) return Refuse("export", error);
  if (commandLine.Positionals().empty()) return Refuse("export", "no KEY given");
  std::vector<platform::RegExportTree> requested;
  for (const std::string& argument : commandLine.Positionals()) {
    requested.emplace_back();
    if (!ParseKeyArgument(argument, requested.back()))
      return Refuse("export", "'" + argument + "': unknown root key");
  }
  Machine machine;
  if (!OpenMachine(commandLine, OsNeed::kUnused, machine, error)) return Refuse("export", error);

  // A key that does not exist is left out: it has nothing to compare.
  std::vector<platform::RegExportTree> trees;
  for (const platform::RegExportTree& tree : requested) {
    platform::ScopedRegKey key(*machine.registry);
    long rc = key.Open(tree.root, tree.path.c_str(), platform::kKeyRead);
    if (rc == platform::kErrorSuccess) trees.push_back(tree);
  }
  std::string text;
  if (!platform::ExportRegFile(*machine.registry, trees, text, error) ||
      !WriteOutput(text, commandLine.Value("out"), error))
    return Refuse("export", error);
  return kExitDone;
}

}  // namespace slotdrive
