// slotdrive diff: what changed between two registry exports, as the registry sees it; for
// support staff who export a machine before and after Loscan or Tavrik ran.
#include "platform/reg_files/reg_file.h"
#include "platform/twin/twin_registry.h"
#include "tools/slotdrive/ansi_arguments.h"
#include "tools/slotdrive/command_line.h"
#include "tools/slotdrive/commands.h"
#include "tools/slotdrive/console_text.h"
#include "tools/slotdrive/registry_diff.h"

namespace slotdrive {

int RunDiff(const std::vector<std::string>& args) {
  constexpr char kCommand[] = "diff";
  CommandLine commandLine;
  std::string error;
  if (!commandLine.Parse(args,
                         {{"key", true, true}, {"values-only", false, false},
                          {"any-case", true, true}},
                         error))
    return Refuse(kCommand, error);
  if (commandLine.Positionals().size() != 2)
    return Refuse(kCommand, "give two files, OLD.reg and NEW.reg");
  RegistryDiffOptions options;
  options.valuesOnly = commandLine.Has("values-only");
  for (const std::string& key : commandLine.Values("key")) {
    std::string ansi, full;
    if (!ArgumentToAnsi(key, ansi, error)) return Refuse(kCommand, "--key " + error);
    if (!FullKeyName(ansi, full))
      return Refuse(kCommand, "--key '" + key + "': unknown root key");
    options.scopes.push_back(full);
  }
  for (const std::string& name : commandLine.Values("any-case")) {
    options.anyCaseKeys.emplace_back();
    if (name.empty()) return Refuse(kCommand, "--any-case needs a key name");
    if (!ArgumentToAnsi(name, options.anyCaseKeys.back(), error))
      return Refuse(kCommand, "--any-case " + error);
  }
  platform::MemoryRegistry before, after;
  if (!platform::ImportRegFile(before, commandLine.Positionals()[0], error) ||
      !platform::ImportRegFile(after, commandLine.Positionals()[1], error))
    return Refuse(kCommand, error);

  std::string text;
  for (const std::string& line : DiffRegistries(before, after, options)) text += line + "\n";
  PrintText(stdout, text);
  return text.empty() ? kExitDone : kExitNegative;
}

}  // namespace slotdrive
