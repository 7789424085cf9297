// slotdrive loscan: Loscan's main dialog run without a window, on a registry image and a
// scripted set of drives: initialisation, an optional change of model, the letters chosen
// per slot row and a press of Set, then what the dialog shows, as JSON.
#include <memory>

#include "loscan/loscan_dialog_layout.h"
#include "loscan/loscan_dlg.h"
#include "platform/text/mbcs_text.h"
#include "platform/twin/twin_dialog_ui.h"
#include "platform/twin/twin_system.h"
#include "resources/loscan/resource.h"
#include "tools/slotdrive/ansi_arguments.h"
#include "tools/slotdrive/commands.h"
#include "tools/slotdrive/console_text.h"
#include "tools/slotdrive/drive_list.h"
#include "tools/slotdrive/json_writer.h"
#include "tools/slotdrive/machine.h"
#include "tools/slotdrive/output_file.h"

namespace slotdrive {
namespace {

constexpr char kCommand[] = "loscan";

bool SelectModel(platform::DialogUiModel& ui, CLoscanDlg& dialog, const std::string& name,
                 std::string& error) {
  const platform::DialogUiModel::Control* device = ui.Find(IDC_DEVICE);
  for (size_t i = 0; i < device->items.size(); ++i) {
    if (device->items[i] != name) continue;
    ui.ComboSetCurSel(IDC_DEVICE, static_cast<int>(i));
    dialog.ApplyModelLayout();  // the selection-change handler
    return true;
  }
  error = "--model: no model named '" + NativeText(name) + "'";
  return false;
}

// One entry per slot row from the first; an empty entry clears the row's selection, rows
// after the last entry keep what the dialog selected.
bool ChooseLetters(platform::DialogUiModel& ui, const std::string& choice, std::string& error) {
  const std::vector<std::string> letters = MbcsSplit(choice, ',');
  if (letters.size() > static_cast<size_t>(kSlotRows)) {
    error = "--choose: the dialog has six slot rows";
    return false;
  }
  for (size_t row = 0; row < letters.size(); ++row) {
    const int id = kNewLetterIds[row];
    const std::string& letter = letters[row];
    const std::string where = "--choose: row " + std::to_string(row + 1);
    if (letter.empty()) {
      ui.ComboSetCurSel(id, -1);
      continue;
    }
    if (letter.size() != 1) {
      error = where + ": '" + NativeText(letter) + "' is not one letter";
      return false;
    }
    if (!ui.IsVisible(id) || !ui.IsEnabled(id)) {
      error = where + " offers no choice (" + (ui.IsVisible(id) ? "disabled" : "hidden") + ")";
      return false;
    }
    const int item = ui.ComboFindString(id, -1, letter);
    if (item < 0) {
      error = where + " does not offer " + NativeText(letter);
      return false;
    }
    ui.ComboSetCurSel(id, item);
  }
  return true;
}

std::string Report(platform::DialogUiModel& ui) {
  JsonWriter json;
  json.BeginObject();
  json.String("model", ui.GetText(IDC_DEVICE));
  json.BeginArray("rows");
  for (int row = 0; row < kSlotRows; ++row) {
    const int id = kNewLetterIds[row];
    json.BeginObject();
    json.Bool("visible", ui.IsVisible(id));
    json.String("label", ui.GetText(kSlotLabelIds[row]));
    json.String("current", ui.GetText(kCurrentLetterIds[row]));
    json.Bool("enabled", ui.IsEnabled(id));
    json.StringArray("choices", ui.Find(id)->items);
    json.String("selected", ui.GetText(id));
    json.EndObject();
  }
  json.EndArray();
  json.Bool("setEnabled", ui.IsEnabled(IDC_SET));
  json.Bool("refreshEnabled", ui.IsEnabled(IDC_REFRESH));
  json.BeginArray("status");
  for (const auto& row : ui.Find(IDC_STATUS_LIST)->rows) {
    auto column = [&row](size_t i) { return i < row.texts.size() ? row.texts[i] : std::string(); };
    json.BeginObject();
    json.String("letter", column(0));
    json.Number("image", row.image);
    json.String("kind", column(1));
    json.String("device", column(2));
    json.EndObject();
  }
  json.EndArray();
  std::vector<std::string> messages;
  for (const auto& box : ui.messageBoxes) messages.push_back(box.text);
  json.StringArray("messages", messages);
  json.EndObject();
  return json.Text();
}

}  // namespace

int RunLoscan(const std::vector<std::string>& args) {
  std::vector<OptionRule> rules = MachineOptions();
  rules.push_back({"drives", true, false});
  rules.push_back({"model", true, false});
  rules.push_back({"choose", true, false});
  rules.push_back({"set", false, false});
  rules.push_back({"out", true, false});
  CommandLine commandLine;
  std::string error;
  if (!commandLine.Parse(args, rules, error)) return Refuse(kCommand, error);
  if (!commandLine.Positionals().empty())
    return Refuse(kCommand, "unexpected '" + commandLine.Positionals().front() + "'");
  std::string model, choices;
  if (!ArgumentToAnsi(commandLine.Value("model"), model, error) ||
      !ArgumentToAnsi(commandLine.Value("choose"), choices, error))
    return Refuse(kCommand, error);
  std::string out;
  if (commandLine.Has("out") && !OutPath(commandLine, out, error, StandardOutput::kTaken))
    return Refuse(kCommand, error);
  if (commandLine.Has("live") && (commandLine.Has("out") || commandLine.Has("drives")))
    return Refuse(kCommand, "--out and --drives apply to --reg images only");
  Machine machine;
  if (!OpenMachine(commandLine, OsNeed::kRequired, machine, error)) return Refuse(kCommand, error);
  if (auto* scripted = dynamic_cast<platform::ScriptedSystem*>(machine.system.get())) {
    if (!ParseDrives(commandLine.Value("drives"), *scripted, error))
      return Refuse(kCommand, error);
  }

  platform::DialogUiModel ui;
  DescribeLoscanDialog(ui);
  CLoscanDlg dialog(*machine.registry, *machine.system, ui, "Loscan");
  dialog.OnInitDialog();
  if (commandLine.Has("model") && !SelectModel(ui, dialog, model, error))
    return Refuse(kCommand, error);
  if (commandLine.Has("choose") && !ChooseLetters(ui, choices, error))
    return Refuse(kCommand, error);
  if (commandLine.Has("set")) dialog.OnSetClicked();

  if (!WriteOutput(Report(ui), std::string(), error)) return Refuse(kCommand, error);
  if (!commandLine.Has("out") || machine.image == nullptr) return kExitDone;
  if (!WriteImage(machine, out, error)) return Refuse(kCommand, error);
  return kExitDone;
}

}  // namespace slotdrive
