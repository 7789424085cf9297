// The fault-injection campaign over the main scenarios of Tavrik, Loscan, Tolket and the
// writer behind slotdrive assign. The test command runs a sample of the calls of each
// scenario; SLOT_FAULT_CAMPAIGN=full (scripts/fault_campaign.sh) runs every call and prints
// the campaign's table.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "common/slot_drive_assigner.h"
#include "fake_machine/key_writer.h"
#include "loscan/loscan_dialog_layout.h"
#include "platform/decorators/fault_injecting_seams.h"
#include "tests/unit/test_fault_campaign.h"
#include "tests/unit/test_loscan_machine.h"
#include "tests/unit/test_tavrik_machine.h"
#include "tools/tolket/tolket_run.h"

namespace {

using platform::FaultPlan;
using platform::kHkeyLocalMachine;

const char kIcons[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\";
const char kDrives[] = "Applications\\explorer.exe\\Drives\\";
const char kSendTo[] = "C:\\Documents and Settings\\hanako\\SendTo";
const char kCf[] = "USBSTOR\\Disk&Ven_Norvell&Prod_F2_CF";
const char kSd[] = "USBSTOR\\Disk&Ven_Norvell&Prod_F2_SD";
const char kDone[] = "ドライブを設定しました。必ずデバイスを抜き差ししてください。";

const std::vector<std::string> kTavrikKeys = {
    "HKLM\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\EXPLORER\\DRIVEICONS\\",
    "HKCR\\APPLICATIONS\\EXPLORER.EXE\\DRIVES", "HKCU\\SOFTWARE\\NORVELL\\TAVRIK\\SETTINGS"};
const std::vector<std::string> kTavrikFolders = {
    "C:\\DOCUMENTS AND SETTINGS\\HANAKO\\SENDTO\\", "C:\\DOCUME~1\\HANAKO\\SENDTO\\",
    "C:\\PROGRAMDATA\\NORVELL"};
const std::vector<std::string> kWriterKeys = {"HKLM\\SYSTEM\\MOUNTEDDEVICES\\", "HKLM\\ENUM\\"};

bool StartsWith(const std::string& text, const std::string& start) {
  return text.compare(0, start.size(), start) == 0;
}

// The values a letter assignment exists to change.
bool LetterRecord(const std::string& name) {
  const std::string user = "\\USERDRIVELETTERASSIGNMENT";
  const bool userLetter =
      name.size() > user.size() && name.compare(name.size() - user.size(), user.size(), user) == 0;
  return StartsWith(name, "HKLM\\SYSTEM\\MOUNTEDDEVICES\\") || userLetter;
}

// What the scenario itself changes as the system would (a reader unplugged).
bool SystemRecord(const std::string& name) { return StartsWith(name, "HKLM\\SYSTEM\\"); }

void SetText(platform::IRegistry& registry, platform::RegKey root, const std::string& path,
             const std::string& name, const std::string& text, long& status) {
  fake::KeyWriter(registry, root, path, status).Text(name, text);
}

// A two-slot reader with cards, CF as F and SD as G, where F and K already hold the user's
// own icon and label and SendTo exists (for the systems that get shortcuts).
std::unique_ptr<TavrikMachine> ReaderMachine(const char* os) {
  auto m = std::make_unique<TavrikMachine>(os);
  m->DefineReader(0, "Norvell NR-F2",
                  {{"CF", "CF/MD", "C:\\Program Files\\Norvell\\Tavrik\\Icons\\cf.ico", {kCf}},
                   {"SD", "SD", "C:\\Program Files\\Norvell\\Tavrik\\Icons\\sd.ico", {kSd}}});
  const bool nine = std::string(os) == "Win98";
  if (nine) {
    m->PlugSlot9x(kCf, 'F', true, "NR-F2 CF");
    m->PlugSlot9x(kSd, 'G', true, "NR-F2 SD");
  } else {
    m->PlugSlot(kCf, 'F', true, "Norvell NR-F2");
    m->PlugSlot(kSd, 'G', true, "Norvell NR-F2");
  }
  SetText(m->registry, kHkeyLocalMachine, std::string(kIcons) + "F\\DefaultIcon", "",
          "C:\\Camera\\camera.ico", m->writeStatus);
  SetText(m->registry, platform::kHkeyClassesRoot, std::string(kDrives) + "K\\DefaultLabel", "",
          "Camera", m->writeStatus);
  m->files.AddFolder(kSendTo);
  m->files.SetShortName("C:\\Documents and Settings", "DOCUME~1");
  SetText(m->registry, platform::kHkeyCurrentUser,
          "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "SendTo",
          kSendTo, m->writeStatus);
  m->files.userName = "hanako";
  m->files.AddFolder("C:\\ProgramData");
  m->shell.startablePrograms.insert("Tolket.exe");
  return m;
}

// Tavrik's window through the plan; afterwards (closed or, as after a crash, not) a fault-free
// start and Exit are the recovery.
FaultScenario TavrikScenario(const std::string& name, const char* os,
                             std::function<void(CEjectorDlg&, TavrikMachine&)> act,
                             bool crashedBefore = false, bool standardUser = false) {
  FaultScenario scenario;
  scenario.name = name;
  scenario.registryAllowed = kTavrikKeys;
  scenario.filesAllowed = kTavrikFolders;
  scenario.mayChange = SystemRecord;
  scenario.run = [=](FaultPlan& plan, FaultOutcome& out) {
    auto m = ReaderMachine(os);
    out.before = m->registry.SnapshotAll();
    if (crashedBefore) {
      m->Start();
      m->dlg.reset();
    }
    if (standardUser) m->registry.SetReadOnlyRoot(kHkeyLocalMachine, true);
    m->ui.answers = std::deque<int>(8, platform::kIdYes);
    {
      platform::FaultInjectingRegistry registry(m->registry, plan);
      platform::FaultInjectingFiles files(m->files, plan);
      platform::FaultInjectingShell shell(m->shell, plan);
      platform::FaultInjectingVolumeIo volumes(m->volumes, plan);
      platform::FaultInjectingProcesses processes(m->processes, plan);
      CEjectorDlg dlg({registry, m->system, volumes, files, shell, m->ui, processes}, "Tavrik");
      dlg.AttachWindow(0x1234);
      dlg.OnCreate();
      act(dlg, *m);
      out.registryChanges = registry.Changes();
      out.fileChanges = files.Changes();
    }
    out.done = m->registry.SnapshotAll();
    m->registry.SetReadOnlyRoot(kHkeyLocalMachine, false);
    m->ui.answers = std::deque<int>(8, platform::kIdNo);
    m->Start().OnClose();
    out.recovered = m->registry.SnapshotAll();
  };
  return scenario;
}

// NVR-550S's CF slot at F on XP, as the disk driver and the mount manager record it.
void AddXpCf(LoscanMachine& m) {
  m.AddNtDisk("USBSTOR\\Disk&Ven_Norvell&Prod_NVR550S_CF&Rev_2.20\\6&2f&0&1&0",
              "Norvell NVR550S CF USB Device", "7&2f&0", 'F');
}

// Loscan's dialog opened on the machine, reading and writing through registry.
void OpenThrough(LoscanMachine& m, platform::IRegistry& registry) {
  DescribeLoscanDialog(m.ui);
  m.dialog = std::make_unique<CLoscanDlg>(registry, m.system, m.ui, "Loscan");
  m.dialog->OnInitDialog();
}

// Loscan's dialog through the plan: the model's slots get K and L (98: K), then Set.
FaultScenario LoscanScenario(const char* os) {
  FaultScenario scenario;
  scenario.name = std::string("Loscan refresh and Set, ") + os;
  scenario.registryAllowed = kWriterKeys;
  scenario.mayChange = LetterRecord;
  scenario.run = [os](FaultPlan& plan, FaultOutcome& out) {
    LoscanMachine m(os);
    const std::string tag = os;
    if (tag == "Win98") {
      m.Add9xDisk("ESDI\\NORVELL_NVR550S_CF______\\NVUSBSBI&DISK&0000USB&VID_3A7E&PID_0551",
                  "NVR550S CF", 'F');
    } else if (tag == "WinVista") {
      m.AddVistaDisk("USBSTOR\\Disk&Ven_Norvell&Prod_NVR550S_SD&Rev_2.20", "6&2f0c1a3&0&0002", 'G');
    } else {
      AddXpCf(m);
      m.AddNtDisk("USBSTOR\\Disk&Ven_Norvell&Prod_NVR550S_SD&Rev_2.20\\6&2f&0&2&0",
                  "Norvell NVR550S SD USB Device", "7&2f&1", 'G');
    }
    out.before = m.registry.SnapshotAll();
    platform::FaultInjectingRegistry registry(m.registry, plan);
    OpenThrough(m, registry);
    m.Choose(0, "K");
    if (tag != "Win98") m.Choose(1, "L");
    m.dialog->OnSetClicked();
    for (const auto& box : m.ui.messageBoxes)
      if (box.text == kDone) out.successReported = true;
    m.dialog.reset();
    out.registryChanges = registry.Changes();
    out.done = out.recovered = m.registry.SnapshotAll();
  };
  return scenario;
}

std::string TolketLines() {
  std::string lines;
  for (const char* root : {"HKEY_LOCAL_MACHINE", "HKEY_CLASSES_ROOT"}) {
    const std::string key = std::string(root[5] == 'L' ? kIcons : kDrives) + "F";
    lines += std::string(root) + "," + key + "\\DefaultIcon\\,,C:\\PROGRA~1\\cf.ico,F\r\n";
    lines += std::string(root) + "," + key + "\\DefaultLabel\\,,CF,F\r\n";
  }
  return lines;
}

// Tolket through the plan: create (then a fault-free remove recovers), or remove (then a
// fault-free remove again).
FaultScenario TolketScenario(bool create) {
  FaultScenario scenario;
  scenario.name = create ? "Tolket create" : "Tolket remove";
  scenario.registryAllowed = {kTavrikKeys[0], kTavrikKeys[1]};
  scenario.run = [create](FaultPlan& plan, FaultOutcome& out) {
    platform::MemoryRegistry inner;
    long status = 0;
    SetText(inner, kHkeyLocalMachine, std::string(kIcons) + "F\\DefaultIcon", "",
            "C:\\Camera\\camera.ico", status);
    SetText(inner, platform::kHkeyClassesRoot, std::string(kDrives) + "F\\DefaultLabel", "",
            "Camera", status);
    out.before = inner.SnapshotAll();
    const std::string lines = TolketLines();
    if (!create) RunTolket(inner, &lines, nullptr);
    platform::FaultInjectingRegistry registry(inner, plan);
    TolketReport report = create ? RunTolket(registry, &lines, nullptr)
                                 : RunTolket(registry, nullptr, &lines);
    out.successReported = report.exitCode == 0;
    out.registryChanges = registry.Changes();
    out.done = inner.SnapshotAll();
    RunTolket(inner, nullptr, &lines);
    out.recovered = inner.SnapshotAll();
  };
  return scenario;
}

// The writer slotdrive assign runs: the CF slot of an XP reader to K.
FaultScenario AssignScenario() {
  FaultScenario scenario;
  scenario.name = "slotdrive assign, WinXP";
  scenario.registryAllowed = kWriterKeys;
  scenario.mayChange = LetterRecord;
  scenario.run = [](FaultPlan& plan, FaultOutcome& out) {
    LoscanMachine m("WinXP");
    AddXpCf(m);
    out.before = m.registry.SnapshotAll();
    platform::FaultInjectingRegistry registry(m.registry, plan);
    CSlotDriveAssigner assigner(registry, m.system);
    assigner.AssignDrive("USBSTOR\\Disk&Ven_Norvell&Prod_NVR550S_CF", 'K', "NVR550S");
    out.registryChanges = registry.Changes();
    out.done = out.recovered = m.registry.SnapshotAll();
  };
  return scenario;
}

std::vector<FaultScenario> Scenarios() {
  auto close = [](CEjectorDlg& dlg, TavrikMachine&) { dlg.OnClose(); };
  return {
      TavrikScenario("Tavrik start and Exit, WinXP", "WinXP", close),
      TavrikScenario("Tavrik start and Exit, Win2k (SendTo)", "Win2k", close),
      TavrikScenario("Tavrik start and Exit, Win98", "Win98", close),
      TavrikScenario("Tavrik tray click and ejects, WinXP", "WinXP",
                     [](CEjectorDlg& dlg, TavrikMachine&) {
                       dlg.OnTrayNotify(0, kWmLButtonDown);
                       dlg.OnCommand(ID_SLOT_FIRST);
                       dlg.OnCommand(ID_EJECT_ALL);
                       dlg.OnClose();
                     }),
      TavrikScenario("Tavrik device changes, Win2k", "Win2k",
                     [](CEjectorDlg& dlg, TavrikMachine& m) {
                       dlg.OnDeviceChange();
                       m.UnplugAll();
                       dlg.OnDeviceChange();
                       m.PlugSlot(kCf, 'H', true, "Norvell NR-F2");
                       dlg.OnDeviceChange();
                       dlg.OnClose();
                     }),
      TavrikScenario("Tavrik start after a crash, WinXP", "WinXP", close, true),
      TavrikScenario("Tavrik Vista hand-off", "WinVista",
                     [](CEjectorDlg& dlg, TavrikMachine& m) {
                       m.system.RemoveDrive('G');
                       dlg.OnDeviceChange();
                       dlg.OnClose();
                     },
                     false, true),
      LoscanScenario("WinXP"),
      LoscanScenario("WinVista"),
      LoscanScenario("Win98"),
      TolketScenario(true),
      TolketScenario(false),
      AssignScenario(),
  };
}

TEST(FaultCampaign, NoInvariantBreaksWhenEachCallFailsInTurn) {
  const char* mode = std::getenv("SLOT_FAULT_CAMPAIGN");
  const bool full = mode != nullptr && std::string(mode) == "full";
  // The test command's short form: every seventh call of each scenario.
  const uint64_t sample = full ? 1 : 7;
  std::printf("| scenario | calls | errors | runs | invariant breaks |\n");
  std::printf("|---|---:|---:|---:|---:|\n");
  for (const FaultScenario& scenario : Scenarios()) {
    FaultCampaignResult result = RunFaultCampaign(scenario, sample);
    std::printf("| %s | %llu | %d | %d | %zu |\n", result.scenario.c_str(),
                static_cast<unsigned long long>(result.calls), result.errors, result.runs,
                result.breaks.size());
    EXPECT_GT(result.runs, 0) << result.scenario;
    for (size_t i = 0; i < result.breaks.size() && i < 10; ++i)
      ADD_FAILURE() << result.scenario << ": " << result.breaks[i];
  }
}

}  // namespace

namespace {

// The faults the campaign found, each pinned by the failure that showed it.
TEST(FaultCampaign, FoundFaultsStayMended) {
  const std::string icon = std::string(kIcons) + "F\\DefaultIcon";
  const auto runTavrik = [&](const std::string& function, const std::string& path,
                             bool failAtClose) {
    auto m = ReaderMachine("WinXP");
    FaultPlan plan;
    if (!failAtClose) plan.FailMatching(function, path, platform::kErrorAccessDenied);
    {
      platform::FaultInjectingRegistry registry(m->registry, plan);
      CEjectorDlg dlg({registry, m->system, m->volumes, m->files, m->shell, m->ui, m->processes},
                      "Tavrik");
      dlg.OnCreate();
      if (failAtClose) plan.FailMatching(function, path, platform::kErrorAccessDenied);
      dlg.OnClose();
    }
    m->Start().OnClose();  // the next start and Exit, without faults
    return m->DefaultValue(kHkeyLocalMachine, icon);
  };
  // The backup could not be written: the user's icon must not be written over.
  EXPECT_EQ("C:\\Camera\\camera.ico", runTavrik("SetValue", "DEFAULTICON\\BACKDATA", false));
  // The user's icon could not be read: it is not written over either.
  EXPECT_EQ("C:\\Camera\\camera.ico",
            runTavrik("QueryValue", "DRIVEICONS\\F\\DEFAULTICON\\", false));
  // The backup could not be read at Exit: the key, backup and all, stays for the next start.
  EXPECT_EQ("C:\\Camera\\camera.ico", runTavrik("QueryValue", "DEFAULTICON\\BACKDATA", true));
  // The record could not be deleted at Exit: the next start finds the user's own icon, not ours.
  EXPECT_EQ("C:\\Camera\\camera.ico", runTavrik("DeleteValue", "ICOLIST1\\0X0", true));

  // Loscan: a record that cannot be written is not reported as set.
  LoscanMachine loscan("WinXP");
  AddXpCf(loscan);
  FaultPlan plan;
  plan.FailMatching("SetValue", "MOUNTEDDEVICES", platform::kErrorAccessDenied);
  platform::FaultInjectingRegistry registry(loscan.registry, plan);
  OpenThrough(loscan, registry);
  loscan.Choose(0, "K");
  loscan.dialog->OnSetClicked();
  ASSERT_EQ(1u, loscan.ui.messageBoxes.size());
  EXPECT_EQ("ドライブを設定できませんでした。レジストリへの書き込みに失敗しました。",
            loscan.ui.messageBoxes[0].text);
  loscan.dialog.reset();

  // Tolket: a key it may not open is a failure, not a value already gone.
  platform::MemoryRegistry tolket;
  const std::string lines = TolketLines();
  RunTolket(tolket, &lines, nullptr);
  FaultPlan refuse;
  refuse.FailMatching("OpenKey", "DRIVEICONS\\F\\DEFAULTICON", platform::kErrorAccessDenied);
  platform::FaultInjectingRegistry refusing(tolket, refuse);
  EXPECT_NE(0, RunTolket(refusing, nullptr, &lines).exitCode);
}

}  // namespace
