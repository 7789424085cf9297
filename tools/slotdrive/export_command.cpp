// slotdrive export: writes key trees of a machine as one REGEDIT4 file, so that a live
// registry and an offline prediction can be compared as text.
#include "platform/reg_files/reg_file.h"
#include "platform/text/mbcs_text.h"
#include "tools/slotdrive/commands.h"
#include "tools/slotdrive/machine.h"
#include "tools/slotdrive/output_file.h"

namespace slotdrive {
namespace {

// "HKLM\System\MountedDevices" or a root alone.
bool ParseKeyArgument(const std::string& argument, platform::RegExportTree& tree) {
  const size_t slash = MbcsFind(argument, "\\");
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
  std::string out;
  if (commandLine.Has("out") && !OutPath(commandLine, out, error)) return Refuse("export", error);
  std::vector<platform::RegExportTree> requested;
  for (const std::string& argument : commandLine.Positionals()) {
    requested.emplace_back();
    if (!ParseKeyArgument(argument, requested.back()))
      return Refuse("export", "'" + argument + "': unknown root key");
  }
  Machine machine;
  if (!OpenMachine(commandLine, OsNeed::kUnused, machine, error)) return Refuse("export", error);

  // A key that does not exist is left out, so that the others still compare; it is named,
  // so that nobody takes its absence from the file for an empty key.
  const std::vector<platform::RegExportTree> trees = ExistingTrees(*machine.registry, requested);
  std::string text;
  if (!platform::ExportRegFile(*machine.registry, trees, text, error) ||
      !WriteOutput(text, out, error))
    return Refuse("export", error);
  for (size_t i = 0, found = 0; i < requested.size(); ++i) {
    if (found < trees.size() && trees[found].root == requested[i].root &&
        trees[found].path == requested[i].path) {
      ++found;
      continue;
    }
    Tell("export", "no key " + commandLine.Positionals()[i]);
  }
  return trees.empty() ? kExitNegative : kExitDone;
}

}  // namespace slotdrive
