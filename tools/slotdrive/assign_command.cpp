// slotdrive assign: writes one letter for each slot id in turn, as the assignment program
// does, then shows the resulting registry image as a REGEDIT4 file.
#include "common/slot_drive_assigner.h"
#include "tools/slotdrive/ansi_arguments.h"
#include "tools/slotdrive/commands.h"
#include "tools/slotdrive/machine.h"
#include "tools/slotdrive/output_file.h"

namespace slotdrive {

int RunAssign(const std::vector<std::string>& args) {
  std::vector<OptionRule> rules = MachineOptions();
  rules.push_back({"letter", true, false});
  rules.push_back({"filter", true, false});
  rules.push_back({"out", true, false});
  CommandLine commandLine;
  std::string error;
  if (!commandLine.Parse(args, rules, error)) return Refuse("assign", error);
  std::vector<std::string> slotIds;
  std::string filter;
  std::string letter;
  if (commandLine.Positionals().empty()) return Refuse("assign", "no SLOTID given");
  if (!commandLine.Has("letter")) return Refuse("assign", "no --letter given");
  if (!ArgumentsToAnsi(commandLine.Positionals(), slotIds, error) ||
      !ArgumentToAnsi(commandLine.Value("filter"), filter, error) ||
      !ArgumentToAnsi(commandLine.Value("letter"), letter, error))
    return Refuse("assign", error);
  if (letter.size() != 1) return Refuse("assign", "--letter takes one character");
  // The live registry is the result itself: there is no image to write out.
  if (commandLine.Has("live") && commandLine.Has("out"))
    return Refuse("assign", "--out applies to --reg images only");
  Machine machine;
  if (!OpenMachine(commandLine, OsNeed::kRequired, machine, error))
    return Refuse("assign", error);

  CSlotDriveAssigner assigner(*machine.registry, *machine.system);
  for (const std::string& slotId : slotIds) assigner.AssignDrive(slotId, letter[0], filter);
  if (machine.image == nullptr) return kExitDone;

  if (!WriteImage(machine, commandLine.Value("out"), error)) return Refuse("assign", error);
  return kExitDone;
}

}  // namespace slotdrive
