// slotdrive tavrik: the ejector's main window run without a window, on a registry image and
// scripted drives: its creation, then optionally a click on the tray icon and a menu command,
// then what the program shows and did, as JSON. With --out, the registry image at the end.
#include <cstdlib>
#include <memory>

#include "fake_machine/ejector_twins.h"
#include "platform/twin/twin_system.h"
#include "tavrik/ejector_dlg.h"
#include "tavrik/reader_definition.h"
#include "tools/slotdrive/commands.h"
#include "tools/slotdrive/drive_list.h"
#include "tools/slotdrive/file_list.h"
#include "tools/slotdrive/json_writer.h"
#include "tools/slotdrive/machine.h"
#include "tools/slotdrive/output_file.h"

namespace slotdrive {
namespace {

constexpr char kCommand[] = "tavrik";
constexpr char kVwin32[] = "\\\\.\\vwin32";
// The window handle the logic hands to the shell calls; any non-zero value.
constexpr platform::WindowRef kHeadlessWindow = 0x10058;

// The twins the window works on, built around the machine of the command line.
struct Headless : fake::EjectorTwins {
  Headless(Machine& machine, platform::ScriptedSystem& scripted)
      : system(scripted), dlg(Seams(*machine.registry, scripted), "Tavrik") {}

  platform::ScriptedSystem& system;
  CEjectorDlg dlg;
  size_t delivered = 0;  // posted messages already handled
  bool closed = false;
};

// The part of the message loop that matters here: a posted WM_CLOSE closes the window, which
// deletes the tray icon on its way out.
void DeliverPosted(Headless& run) {
  for (; run.delivered < run.ui.postedMessages.size() && !run.closed; ++run.delivered) {
    if (run.ui.postedMessages[run.delivered] != platform::kWmClose) continue;
    run.dlg.OnClose();
    run.dlg.OnDestroy();
    run.closed = true;
  }
}

// The letters the eject engines were given: the NT engine opens "\\.\X:", the 9x engine
// opens VWIN32 and names the drive (1 = A) in BL of its first request.
std::vector<std::string> EjectedLetters(const platform::ScriptedVolumeIo& volumes) {
  std::vector<std::string> letters;
  const std::vector<platform::VolumeCall>& calls = volumes.Calls();
  for (size_t i = 0; i < calls.size(); ++i) {
    if (calls[i].kind != platform::VolumeCall::Kind::kCreateFile) continue;
    const std::string& path = calls[i].path;
    if (path.size() == 6 && path.compare(0, 4, "\\\\.\\") == 0 && path[5] == ':') {
      letters.push_back(path.substr(4, 1));
      continue;
    }
    if (path != kVwin32) continue;
    for (size_t j = i + 1; j < calls.size(); ++j) {
      if (calls[j].kind == platform::VolumeCall::Kind::kCreateFile) break;
      if (calls[j].kind != platform::VolumeCall::Kind::kDeviceIoControl) continue;
      const unsigned drive = calls[j].registers.ebx & 0xFF;
      if (drive >= 1 && drive <= 26) letters.push_back(std::string(1, char('A' + drive - 1)));
      break;
    }
  }
  return letters;
}

void WriteReaders(JsonWriter& json, const CEjectorDlg& dlg) {
  json.BeginArray("readers");
  for (int p = 0; p < dlg.DeviceNum(); ++p) {
    const CReaderDefinition& reader = dlg.Reader(p);
    json.BeginObject();
    json.Number("position", p);
    json.String("model", reader.m_strModel);
    json.BeginArray("slots");
    for (int s = 0; s <= reader.m_nDriveNum && s < kCellsPerReader; ++s) {
      const int cell = CellIndex(p, s);
      json.BeginObject();
      // The cell after the last slot carries the reader's own flags.
      if (s == reader.m_nDriveNum) json.Bool("spare", true);
      json.String("drive", dlg.Slots().Drive(cell));
      json.String("driveFuncs", dlg.Slots().DriveFuncs(cell));
      json.Number("found", dlg.Slots().Found(cell));
      json.Number("ready", dlg.Slots().Ready(cell));
      json.EndObject();
    }
    json.EndArray();
    json.EndObject();
  }
  json.EndArray();
}

void WriteMenu(JsonWriter& json, const platform::WindowUiModel& ui) {
  json.BeginArray("menu");
  for (const platform::WindowUiModel::MenuItem& item : ui.lastTrackedMenu) {
    json.BeginObject();
    if (item.IsSeparator()) {
      json.Bool("separator", true);
    } else {
      json.Number("id", item.id);
      json.String("text", item.text);
      json.Bool("ownerDraw", item.IsOwnerDraw());
      json.Bool("grayed", item.grayed);
    }
    json.EndObject();
  }
  json.EndArray();
}

std::string Report(const Headless& run) {
  JsonWriter json;
  json.BeginObject();
  json.String("osFamily", run.dlg.Finder().m_szOsFamily);
  json.String("osVersion", run.dlg.Finder().m_szOsVersion);
  json.Number("deviceNum", run.dlg.DeviceNum());
  json.Bool("trayIconPresent", run.shell.trayIconPresent);
  json.Number("trayIcon", run.shell.trayIconId);
  WriteReaders(json, run.dlg);
  WriteMenu(json, run.ui);
  std::vector<std::string> messages;
  for (const auto& box : run.ui.messageBoxes) messages.push_back(box.text);
  json.StringArray("messages", messages);
  std::vector<std::string> dialogs;
  for (int id : run.ui.modalDialogs) dialogs.push_back(std::to_string(id));
  json.StringArray("dialogs", dialogs);
  json.StringArray("shellCalls", run.shell.calls);
  json.StringArray("ejects", EjectedLetters(run.volumes));
  json.Bool("closed", run.closed);
  json.EndObject();
  return json.Text();
}

bool ParseClick(const std::string& click, uint32_t& mouseMessage, std::string& error) {
  if (click == "left") {
    mouseMessage = kWmLButtonDown;
  } else if (click == "right") {
    mouseMessage = kWmRButtonUp;
  } else {
    error = "--click takes left or right";
    return false;
  }
  return true;
}

bool ParseCommandId(const std::string& text, uint32_t& id, std::string& error) {
  char* end = nullptr;
  const unsigned long value = std::strtoul(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || value < ID_ICON_REPAIR || value > ID_SLOT_LAST) {
    error = "--command takes a menu command id from " + std::to_string(ID_ICON_REPAIR) +
            " to " + std::to_string(ID_SLOT_LAST);
    return false;
  }
  id = static_cast<uint32_t>(value);
  return true;
}

}  // namespace

int RunTavrik(const std::vector<std::string>& args) {
  std::vector<OptionRule> rules = MachineOptions();
  for (const char* name : {"drives", "media", "files", "click", "command", "out"})
    rules.push_back({name, true, false});
  CommandLine commandLine;
  std::string error;
  if (!commandLine.Parse(args, rules, error)) return Refuse(kCommand, error);
  if (!commandLine.Positionals().empty())
    return Refuse(kCommand, "unexpected '" + commandLine.Positionals().front() + "'");
  // The window writes its bookkeeping into the registry it is given: never the running one.
  if (commandLine.Has("live")) return Refuse(kCommand, "runs on --reg images only");
  uint32_t mouseMessage = 0;
  uint32_t commandId = 0;
  if ((commandLine.Has("click") &&
       !ParseClick(commandLine.Value("click"), mouseMessage, error)) ||
      (commandLine.Has("command") &&
       !ParseCommandId(commandLine.Value("command"), commandId, error)))
    return Refuse(kCommand, error);
  Machine machine;
  if (!OpenMachine(commandLine, OsNeed::kRequired, machine, error)) return Refuse(kCommand, error);
  auto* scripted = dynamic_cast<platform::ScriptedSystem*>(machine.system.get());
  if (scripted == nullptr) return Refuse(kCommand, "needs --os");
  if (!ParseDrives(commandLine.Value("drives"), *scripted, error) ||
      !ParseMedia(commandLine.Value("media"), *scripted, error))
    return Refuse(kCommand, error);

  std::string out;
  if (commandLine.Has("out") && !OutPath(commandLine, out, error, StandardOutput::kTaken))
    return Refuse(kCommand, error);
  // Without its definitions the window only reports that it cannot start: say what is
  // missing and where it comes from.
  if (ExistingTrees(*machine.registry, {{platform::kHkeyLocalMachine, kDefinitionsKey}}).empty())
    Tell(kCommand, std::string("the reader definitions (HKEY_LOCAL_MACHINE\\") + kDefinitionsKey +
                       ") are not in the image: make them with 'slotdrive definitions --out "
                       "definitions.reg' and add '--reg definitions.reg'");

  auto run = std::make_unique<Headless>(machine, *scripted);
  if (commandLine.Has("files") && !LoadFileList(commandLine.Value("files"), run->files, error))
    return Refuse(kCommand, "--files: " + error);
  run->volumes.AddDevice(kVwin32);
  run->AddDriveVolumes(*scripted);
  run->dlg.AttachWindow(kHeadlessWindow);
  run->dlg.OnCreate();
  DeliverPosted(*run);
  if (mouseMessage != 0 && !run->closed) {
    run->dlg.OnTrayNotify(TRAY_ICON_ID, mouseMessage);
    DeliverPosted(*run);
  }
  if (commandId != 0 && !run->closed) {
    run->dlg.OnCommand(commandId);
    DeliverPosted(*run);
  }

  // The image is written first, so that a refusal leaves nothing behind on standard output.
  if (commandLine.Has("out") && !WriteImage(machine, out, error))
    return Refuse(kCommand, error);
  if (!WriteOutput(Report(*run), std::string(), error)) return Refuse(kCommand, error);
  return kExitDone;
}

}  // namespace slotdrive
