// slotdrive find: looks each slot id up in turn, as a program does for the slots of one
// reader (one finder, no reset in between), and reports every result and the final state.
#include "common/slot_drive_finder.h"
#include "tools/slotdrive/ansi_arguments.h"
#include "tools/slotdrive/commands.h"
#include "tools/slotdrive/json_writer.h"
#include "tools/slotdrive/machine.h"
#include "tools/slotdrive/output_file.h"

namespace slotdrive {
namespace {

struct Lookup {
  std::string slotId;
  int result;
  std::string foundDrive;
};

std::string Report(const CSlotDriveFinder& finder, const std::vector<Lookup>& lookups) {
  JsonWriter json;
  json.BeginObject();
  json.String("osFamily", finder.m_szOsFamily);
  json.String("osVersion", finder.m_szOsVersion);
  json.BeginArray("lookups");
  for (const Lookup& lookup : lookups) {
    json.BeginObject();
    json.String("slotId", lookup.slotId);
    json.Number("result", lookup.result);
    json.String("foundDrive", lookup.foundDrive);
    json.EndObject();
  }
  json.EndArray();
  json.String("foundDrive", finder.m_strFoundDrive);
  json.StringArray("deviceIds", finder.m_listDeviceIds);
  json.StringArray("drives", finder.m_listDrives);
  json.Number("driveCount", finder.m_nDriveCount);
  json.Number("lookupCount", finder.m_nLookupCount);
  json.String("parentIdPrefix", finder.m_strParentIdPrefix);
  json.EndObject();
  return json.Text();
}

}  // namespace

int RunFind(const std::vector<std::string>& args) {
  std::vector<OptionRule> rules = MachineOptions();
  rules.push_back({"filter", true, false});
  CommandLine commandLine;
  std::string error;
  if (!commandLine.Parse(args, rules, error)) return Refuse("find", error);
  std::vector<std::string> slotIds;
  std::string filter;
  if (commandLine.Positionals().empty()) return Refuse("find", "no SLOTID given");
  if (!ArgumentsToAnsi(commandLine.Positionals(), slotIds, error) ||
      !ArgumentToAnsi(commandLine.Value("filter"), filter, error))
    return Refuse("find", error);
  Machine machine;
  if (!OpenMachine(commandLine, OsNeed::kRequired, machine, error)) return Refuse("find", error);

  CSlotDriveFinder finder(*machine.registry, *machine.system);
  // An empty --filter still makes the lookup a named one.
  const bool named = commandLine.Has("filter");
  std::vector<Lookup> lookups;
  for (const std::string& slotId : slotIds) {
    int result = named ? finder.FindNamedDrive(slotId, filter) : finder.FindDrive(slotId);
    lookups.push_back({slotId, result, finder.m_strFoundDrive});
  }
  if (!WriteOutput(Report(finder, lookups), std::string(), error)) return Refuse("find", error);
  return kExitDone;
}

}  // namespace slotdrive
