// Vista: the icon values handed to the icon program through "create.dat" and "remove.dat".
#include <gtest/gtest.h>

#include <functional>

#include "platform/owners/scoped_reg_key.h"
#include "tests/unit/test_tavrik_machine.h"

namespace {

const char kCf[] = "USBSTOR\\Disk&Ven_Norvell&Prod_H2_CF";
const char kSd[] = "USBSTOR\\Disk&Ven_Norvell&Prod_H2_SD";
const std::string kFolder = "C:\\ProgramData\\Norvell\\Tavrik\\Hanako\\";
const std::string kQuestion =
    "ドライブのアイコンを更新する必要があります。今すぐ更新しますか？\n "
    "「はい」を選ぶとこの後に警告が出ますが、「許可」を選択してください。";

struct VistaMachine : TavrikMachine {
  VistaMachine() : TavrikMachine("WinVista") {
    DefineReader(0, "Norvell NR-H2",
                 {{"CF", "CF, MD", "C:\\Program Files\\Norvell\\Tavrik\\Icons\\cf.ico", {kCf}},
                  {"SD", "SD", "C:\\Program Files\\Norvell\\Tavrik\\Icons\\sd.ico", {kSd}}});
    PlugSlot(kCf, 'E', true, "Norvell NR-H2");
    PlugSlot(kSd, 'F', true, "Norvell NR-H2");
    files.userName = "Hanako";
    files.AddFolder("C:\\ProgramData");
    shell.startablePrograms.insert("Tolket.exe");
    // Without administrator rights the machine-wide keys cannot be created.
    registry.SetReadOnlyRoot(platform::kHkeyLocalMachine, true);
    ui.answers = {platform::kIdYes};
  }
  std::string File(const std::string& name) {
    std::string bytes;
    return files.ReadFile(kFolder + name, bytes) ? bytes : "<missing>";
  }
};

std::string Lines(char x, const std::string& icon, const std::string& label) {
  std::string d(1, x);
  const std::string icons = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\" + d;
  const std::string drives = "Applications\\explorer.exe\\Drives\\" + d;
  return "HKEY_LOCAL_MACHINE," + icons + "\\DefaultIcon\\,," + icon + "," + d + "\r\n" +
         "HKEY_LOCAL_MACHINE," + icons + "\\DefaultLabel\\,," + label + "," + d + "\r\n" +
         "HKEY_CLASSES_ROOT," + drives + "\\DefaultIcon\\,," + icon + "," + d + "\r\n" +
         "HKEY_CLASSES_ROOT," + drives + "\\DefaultLabel\\,," + label + "," + d + "\r\n";
}

TEST(IconHandOff, FirstHandOffWritesEightLinesAndNamesOnlyTheCreateFile) {
  VistaMachine machine;
  machine.Start();
  ASSERT_EQ(1u, machine.ui.messageBoxes.size());
  EXPECT_EQ(kQuestion, machine.ui.messageBoxes[0].text);
  EXPECT_EQ("Tavrik", machine.ui.messageBoxes[0].caption);
  EXPECT_EQ(platform::kMbYesNo, machine.ui.messageBoxes[0].style);
  EXPECT_TRUE(machine.ui.messageBoxes[0].owned);
  EXPECT_EQ(Lines('E', "C:\\PROGRA~1\\Norvell\\Tavrik\\Icons\\cf.ico", "CF, MD") +
                Lines('F', "C:\\PROGRA~1\\Norvell\\Tavrik\\Icons\\sd.ico", "SD"),
            machine.File("create.dat"));
  EXPECT_EQ("<missing>", machine.File("remove.dat"));
  EXPECT_EQ("ShellExecute owned open Tolket.exe |-create:\"" + kFolder +
                "create.dat\" -hidewindow| C:\\Program Files\\Norvell\\Tavrik\\ 5",
            machine.shell.calls.back());
}

TEST(IconHandOff, AnEarlierIconOfAnotherProgramAsksEvenAnAdministrator) {
  VistaMachine machine;
  machine.registry.SetReadOnlyRoot(platform::kHkeyLocalMachine, false);
  {
    platform::ScopedRegKey key(machine.registry);
    ASSERT_EQ(0, key.Create(platform::kHkeyLocalMachine,
                            "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\E\\DefaultIcon",
                            platform::kKeyAllAccess));
    machine.registry.SetValue(key.Get(), "", platform::kRegSz,
                              reinterpret_cast<const uint8_t*>("C:\\camera.ico"), 14);
  }
  machine.ui.answers = {platform::kIdNo};
  machine.Start();
  // The value found differs from the wanted icon, although the program writes it itself.
  EXPECT_EQ(1u, machine.ui.messageBoxes.size());
  EXPECT_EQ("C:\\PROGRA~1\\Norvell\\Tavrik\\Icons\\cf.ico",
            machine.DefaultValue(platform::kHkeyLocalMachine,
                                 "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\E\\DefaultIcon"));
}

TEST(IconHandOff, SecondHandOffTurnsTheOldCreateFileIntoTheRemoveFile) {
  VistaMachine machine;
  machine.Start();  // the HKLM keys cannot be created: the flag is set, the user says yes
  ASSERT_EQ(1u, machine.ui.messageBoxes.size());
  std::string first = machine.File("create.dat");
  ASSERT_NE("<missing>", first);
  machine.ui.answers = {platform::kIdYes};
  machine.dlg->ApplyDriveIcons();
  EXPECT_EQ(first, machine.File("remove.dat"));
  EXPECT_EQ("ShellExecute owned open Tolket.exe |-create:\"" + kFolder + "create.dat\" -remove:\"" +
                kFolder + "remove.dat\" -hidewindow| C:\\Program Files\\Norvell\\Tavrik\\ 5",
            machine.shell.calls.back());
}

TEST(IconHandOff, ACreateFileCutShortByAFullDiskStillStartsTheIconProgram) {
  // Stopping here would lose the values of the first hand-off: the next one replaces
  // "remove.dat", their only record, before the icon program has taken them away.
  VistaMachine machine;
  machine.Start();
  const std::string first = machine.File("create.dat");
  machine.files.freeBytes = 100;
  machine.ui.answers = {platform::kIdYes};
  machine.dlg->ApplyDriveIcons();
  EXPECT_EQ(first, machine.File("remove.dat"));
  EXPECT_EQ(first.substr(0, 100), machine.File("create.dat"));
  EXPECT_EQ("ShellExecute owned open Tolket.exe |-create:\"" + kFolder + "create.dat\" -remove:\"" +
                kFolder + "remove.dat\" -hidewindow| C:\\Program Files\\Norvell\\Tavrik\\ 5",
            machine.shell.calls.back());
}

TEST(IconHandOff, ACreateFileThatCannotBeOpenedStopsSilently) {
  VistaMachine machine;
  machine.files.windowsDirectory = "Q:\\WINDOWS";  // no drive Q: no folder can be made
  machine.Start();
  EXPECT_EQ(1u, machine.ui.messageBoxes.size());  // the question only
  for (const std::string& call : machine.shell.calls)
    EXPECT_EQ(std::string::npos, call.find("ShellExecute")) << call;
}

TEST(IconHandOff, NoMeansNothingIsWrittenAndTheQuestionComesAgain) {
  VistaMachine machine;
  machine.ui.answers = {platform::kIdNo};
  CEjectorDlg& dlg = machine.Start();
  EXPECT_EQ("<missing>", machine.File("create.dat"));
  dlg.ApplyDriveIcons();
  EXPECT_EQ(2u, machine.ui.messageBoxes.size());
}

TEST(IconHandOff, IconRepairBeforeAnyHandOffAsksForOneInsteadOfStartingTolketBare) {
  VistaMachine machine;
  machine.ui.answers = {platform::kIdNo};
  CEjectorDlg& dlg = machine.Start();
  ASSERT_EQ("<missing>", machine.File("create.dat"));
  machine.ui.answers = {platform::kIdYes};
  dlg.OnCommand(ID_ICON_REPAIR);
  ASSERT_EQ(2u, machine.ui.messageBoxes.size());
  EXPECT_EQ(kQuestion, machine.ui.messageBoxes[1].text);
  EXPECT_NE("<missing>", machine.File("create.dat"));
  EXPECT_EQ("ShellExecute owned open Tolket.exe |-create:\"" + kFolder +
                "create.dat\" -hidewindow| C:\\Program Files\\Norvell\\Tavrik\\ 5",
            machine.shell.calls.back());
}

TEST(IconHandOff, TolketMissingShowsTheErrorBoxAndKeepsTheFiles) {
  VistaMachine machine;
  machine.shell.startablePrograms.clear();
  machine.Start();
  ASSERT_EQ(2u, machine.ui.messageBoxes.size());
  EXPECT_EQ("Error msg", machine.ui.messageBoxes[1].caption);
  EXPECT_NE("<missing>", machine.File("create.dat"));
}

TEST(IconHandOff, ALeftClickOnVistaNeitherAppliesNorRecordsIcons) {
  // On Vista every apply may ask for the icon program: the slot menu must not ask again.
  VistaMachine machine;
  machine.ui.answers = {platform::kIdNo};
  CEjectorDlg& dlg = machine.Start();
  ASSERT_EQ(1u, machine.ui.messageBoxes.size());
  const std::string settings = "Software\\Norvell\\Tavrik\\Settings\\Tavrik";
  for (const char* section : {"IcoList1", "IcoList2", "shctList"})
    machine.registry.DeleteKey(platform::kHkeyCurrentUser, (settings + "\\" + section).c_str());
  ASSERT_EQ("<no key>", machine.ProfileValue("IcoList2", "0x0"));
  dlg.OnTrayNotify(0, kWmLButtonDown);
  EXPECT_EQ(1u, machine.ui.messageBoxes.size());
  EXPECT_EQ("<no key>", machine.ProfileValue("IcoList1", "0x0"));
  EXPECT_EQ("<no key>", machine.ProfileValue("IcoList2", "0x0"));
}

TEST(IconHandOff, NothingHappensOnXpOrWhenTheValuesAreInPlace) {
  TavrikMachine xp("WinXP");
  xp.DefineReader(0, "Norvell NR-H2", {{"CF", "CF", "", {kCf}}});
  xp.PlugSlot(kCf, 'E', true, "Norvell NR-H2");
  xp.Start();
  EXPECT_TRUE(xp.ui.messageBoxes.empty());

  VistaMachine vista;
  vista.registry.SetReadOnlyRoot(platform::kHkeyLocalMachine, false);  // an administrator
  vista.Start();
  EXPECT_TRUE(vista.ui.messageBoxes.empty());
}

TEST(IconHandOff, ADeviceChangeDuringTheQuestionWaitsAndTheNewestListIsWrittenLast) {
  // Windows sends the device change into the question's loop. Handled there, it would ask a
  // second question, and the outer hand-off would then write its older list over the newer.
  const char kMs[] = "USBSTOR\\Disk&Ven_Norvell&Prod_H3_MS";
  const std::string icons = "C:\\Program Files\\Norvell\\Tavrik\\Icons\\";
  const std::string shortIcons = "C:\\PROGRA~1\\Norvell\\Tavrik\\Icons\\";
  VistaMachine machine;
  // Written as the installer and the system would, with rights Tavrik does not have.
  auto asSystem = [&](const std::function<void()>& write) {
    machine.registry.SetReadOnlyRoot(platform::kHkeyLocalMachine, false);
    write();
    machine.registry.SetReadOnlyRoot(platform::kHkeyLocalMachine, true);
  };
  asSystem([&] { machine.DefineReader(1, "Norvell NR-H3", {{"MS", "MS", icons + "ms.ico", {kMs}}}); });
  machine.ui.answers = std::deque<int>(4, platform::kIdYes);
  CEjectorDlg& dlg = machine.Start();
  asSystem([&] { machine.PlugSlot(kMs, 'G', true, "Norvell NR-H3"); });
  machine.ui.duringMessageBox = [&] {
    machine.system.RemoveDrive('F');  // the SD card's drive goes while the question is open
    dlg.OnDeviceChange();
  };
  dlg.OnDeviceChange();
  EXPECT_EQ(1, machine.ui.mostOpenMessageBoxes);
  EXPECT_EQ(3u, machine.ui.messageBoxes.size());
  EXPECT_EQ(Lines('E', shortIcons + "cf.ico", "CF, MD") + Lines('F', shortIcons + "sd.ico", "SD") +
                Lines('G', shortIcons + "ms.ico", "MS"),
            machine.File("create.dat"));
}

}  // namespace
