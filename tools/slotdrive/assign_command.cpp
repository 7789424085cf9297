// slotdrive assign: writes one letter for each slot id in turn, as the assignment program
// does, says on standard error what that deleted and wrote, and writes the resulting
// registry image as a REGEDIT4 file where --out asks for it.
#include "common/slot_drive_assigner.h"
#include "tools/slotdrive/ansi_arguments.h"
#include "tools/slotdrive/commands.h"
#include "tools/slotdrive/drive_list.h"
#include "tools/slotdrive/machine.h"
#include "tools/slotdrive/output_file.h"
#include "tools/slotdrive/registry_diff.h"

namespace slotdrive {
namespace {

constexpr char kCommand[] = "assign";

// Everything the writer may change: the NT mount records and the 9x hardware tree.
const std::vector<platform::RegExportTree> kWriterTrees = {
    {platform::kHkeyLocalMachine, "SYSTEM\\MountedDevices"},
    {platform::kHkeyLocalMachine, "Enum"}};

bool CopyWriterKeys(platform::IRegistry& registry, platform::MemoryRegistry& copy,
                    std::string& error) {
  return CopyTrees(registry, ExistingTrees(registry, kWriterTrees), copy, error);
}

}  // namespace

int RunAssign(const std::vector<std::string>& args) {
  std::vector<OptionRule> rules = MachineOptions();
  rules.push_back({"letter", true, false});
  rules.push_back({"filter", true, false});
  rules.push_back({"out", true, false});
  CommandLine commandLine;
  std::string error;
  if (!commandLine.Parse(args, rules, error)) return Refuse(kCommand, error);
  std::vector<std::string> slotIds;
  std::string filter;
  char letter = 0;
  std::string out;
  if (commandLine.Positionals().empty()) return Refuse(kCommand, "no SLOTID given");
  if (!commandLine.Has("letter")) return Refuse(kCommand, "no --letter given");
  if (!ParseDriveLetter(commandLine.Value("letter"), "--letter", letter, error) ||
      !ArgumentsToAnsi(commandLine.Positionals(), slotIds, error) ||
      !ArgumentToAnsi(commandLine.Value("filter"), filter, error) ||
      (commandLine.Has("out") && !OutPath(commandLine, out, error)))
    return Refuse(kCommand, error);
  // The live registry is the result itself: there is no image to write out.
  if (commandLine.Has("live") && commandLine.Has("out"))
    return Refuse(kCommand, "--out applies to --reg images only");
  Machine machine;
  if (!OpenMachine(commandLine, OsNeed::kRequired, machine, error))
    return Refuse(kCommand, error);

  platform::MemoryRegistry before, after;
  if (!CopyWriterKeys(*machine.registry, before, error)) return Refuse(kCommand, error);
  CSlotDriveAssigner assigner(*machine.registry, *machine.system);
  for (const std::string& slotId : slotIds) assigner.AssignDrive(slotId, letter, filter);
  if (!CopyWriterKeys(*machine.registry, after, error)) return Refuse(kCommand, error);

  const std::vector<std::string> changes = DiffRegistries(before, after, {});
  for (const std::string& change : changes) Tell(kCommand, change);
  if (changes.empty()) {
    std::string asked;
    for (const std::string& slotId : commandLine.Positionals()) asked += " " + slotId;
    if (commandLine.Has("filter")) asked += " (--filter '" + commandLine.Value("filter") + "')";
    Tell(kCommand, "nothing written: no disk matched" + asked + ", or it already has " +
                       std::string(1, letter) + ":");
  }
  if (commandLine.Has("out") && !WriteImage(machine, out, error)) return Refuse(kCommand, error);
  return changes.empty() ? kExitNegative : kExitDone;
}

}  // namespace slotdrive
