// Explorer drive icons and labels: what each system gets, the "BackData" backup, the record in
// the settings and the undo at close or at the next start after a crash.
#include <gtest/gtest.h>

#include "fake_machine/key_writer.h"
#include "platform/owners/scoped_reg_key.h"
#include "tests/unit/test_slot_staging.h"
#include "tests/unit/test_tavrik_machine.h"

namespace {

using platform::kHkeyClassesRoot;
using platform::kHkeyLocalMachine;

const char kCf[] = "USBSTOR\\Disk&Ven_Norvell&Prod_I2_CF";
const char kSd[] = "USBSTOR\\Disk&Ven_Norvell&Prod_I2_SD";
const std::string kIcons = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\";
const std::string kDrives = "Applications\\explorer.exe\\Drives\\";
const char kCfIcon[] = "C:\\PROGRA~1\\Norvell\\Tavrik\\Icons\\cf.ico";
const char kProfile[] = "Software\\Norvell\\Tavrik\\Settings\\Tavrik\\";

// A two-slot reader with cards: CF as F, SD as G.
struct IconMachine : TavrikMachine {
  explicit IconMachine(const char* os) : TavrikMachine(os) {
    DefineReader(0, "Norvell NR-I2",
                 {{"CF", "コンパクトフラッシュ", "C:\\Program Files\\Norvell\\Tavrik\\Icons\\cf.ico", {kCf}},
                  {"SD", "SD, MMC", "C:\\Program Files\\Norvell\\Tavrik\\Icons\\sd.ico", {kSd}}});
    PlugSlot(kCf, 'F', true, "Norvell NR-I2");
    PlugSlot(kSd, 'G', true, "Norvell NR-I2");
  }
  void SetDefault(platform::RegKey root, const std::string& path, const std::string& text) {
    platform::ScopedRegKey key(registry);
    ASSERT_EQ(0, key.Create(root, path.c_str(), platform::kKeyAllAccess));
    registry.SetValue(key.Get(), "", platform::kRegSz, reinterpret_cast<const uint8_t*>(text.c_str()),
                      static_cast<uint32_t>(text.size() + 1));
  }
};

TEST(DriveIcons, ApplyWritesIconAndLabelOfEveryLetteredSlotAndRecordsThem) {
  IconMachine machine("WinXP");
  machine.Start();
  EXPECT_EQ(kCfIcon, machine.DefaultValue(kHkeyLocalMachine, kIcons + "F\\DefaultIcon"));
  EXPECT_EQ("コンパクトフラッシュ", machine.DefaultValue(kHkeyLocalMachine, kIcons + "F\\DefaultLabel"));
  EXPECT_EQ("SD, MMC", machine.DefaultValue(kHkeyClassesRoot, kDrives + "G\\DefaultLabel"));
  EXPECT_EQ(kIcons + "F", machine.ProfileValue("IcoList1", "0x0"));
  EXPECT_EQ(kDrives + "G", machine.ProfileValue("IcoList2", "0x1"));
  EXPECT_EQ("<none>", machine.DefaultValue(kHkeyLocalMachine, kIcons + "F\\DefaultIcon", "BackData"));
}

TEST(DriveIcons, BackupSurvivesTwoAppliesAndComesBackOnRemoval) {
  IconMachine machine("WinXP");
  machine.SetDefault(kHkeyLocalMachine, kIcons + "F\\DefaultIcon", "C:\\camera.ico");
  CEjectorDlg& dlg = machine.Start();
  EXPECT_EQ("C:\\camera.ico", machine.DefaultValue(kHkeyLocalMachine, kIcons + "F\\DefaultIcon", "BackData"));
  dlg.ApplyDriveIcons();  // undoes, then backs up the same old value again
  EXPECT_EQ(kCfIcon, machine.DefaultValue(kHkeyLocalMachine, kIcons + "F\\DefaultIcon"));
  EXPECT_EQ("C:\\camera.ico", machine.DefaultValue(kHkeyLocalMachine, kIcons + "F\\DefaultIcon", "BackData"));
  dlg.OnClose();
  EXPECT_EQ("C:\\camera.ico", machine.DefaultValue(kHkeyLocalMachine, kIcons + "F\\DefaultIcon"));
  EXPECT_EQ("<none>", machine.DefaultValue(kHkeyLocalMachine, kIcons + "F\\DefaultIcon", "BackData"));
  // The label key had nothing of its own: it is gone, the drive key stays on XP.
  EXPECT_EQ("<no key>", machine.DefaultValue(kHkeyLocalMachine, kIcons + "F\\DefaultLabel"));
  EXPECT_EQ("<none>", machine.DefaultValue(kHkeyLocalMachine, kIcons + "F"));
  EXPECT_EQ("<none>", machine.ProfileValue("IcoList1", "0x0"));
}

TEST(DriveIcons, AValueEqualToOursButForCaseIsNotBackedUp) {
  IconMachine machine("WinXP");
  machine.SetDefault(kHkeyLocalMachine, kIcons + "F\\DefaultIcon", "c:\\progra~1\\norvell\\tavrik\\icons\\CF.ICO");
  machine.Start();
  EXPECT_EQ("<none>", machine.DefaultValue(kHkeyLocalMachine, kIcons + "F\\DefaultIcon", "BackData"));
}

struct RemovalCase {
  const char* os;
  const char* machineIcon;   // DriveIcons\F\DefaultIcon after close
  const char* machineLabel;  // DriveIcons\F\DefaultLabel
  const char* machineDrive;  // DriveIcons\F
  const char* explorerDrive; // Drives\F
};

TEST(DriveIcons, RemovalWithoutBackupDiffersPerSystem) {
  const RemovalCase cases[] = {
      {"Win98", "<no key>", "<no key>", "<no key>", "<no key>"},
      {"WinMe", "<no key>", "<no key>", "<no key>", "<no key>"},
      {"Win2k", "", "<no key>", "<none>", "<no key>"},
      {"WinXP", "<no key>", "<no key>", "<none>", "<no key>"},
      {"WinVista", "<no key>", "<no key>", "<none>", "<no key>"},
  };
  for (const RemovalCase& c : cases) {
    SCOPED_TRACE(c.os);
    IconMachine machine(c.os);
    CEjectorDlg& dlg = machine.Start();
    // The slot state as a refresh leaves it (the 9x lookup would need other fixtures).
    StageSlot(dlg, 0, 1, "F", "コンパクトフラッシュ", 0);
    dlg.ApplyDriveIcons();
    EXPECT_EQ(kCfIcon, machine.DefaultValue(kHkeyLocalMachine, kIcons + "F\\DefaultIcon"));
    bool explorerWritten = machine.DefaultValue(kHkeyClassesRoot, kDrives + "F\\DefaultIcon") == kCfIcon;
    EXPECT_EQ(std::string(c.os) != "Win98", explorerWritten);
    dlg.OnClose();
    EXPECT_EQ(c.machineIcon, machine.DefaultValue(kHkeyLocalMachine, kIcons + "F\\DefaultIcon"));
    EXPECT_EQ(c.machineLabel, machine.DefaultValue(kHkeyLocalMachine, kIcons + "F\\DefaultLabel"));
    EXPECT_EQ(c.machineDrive, machine.DefaultValue(kHkeyLocalMachine, kIcons + "F"));
    EXPECT_EQ(c.explorerDrive, machine.DefaultValue(kHkeyClassesRoot, kDrives + "F"));
  }
}

TEST(DriveIcons, Windows95IsNeverTouched) {
  IconMachine machine("Win95");
  CEjectorDlg& dlg = machine.Start();
  StageSlot(dlg, 0, 1, "F", "NoFunc", 0);
  dlg.ApplyDriveIcons();
  dlg.SaveIconLists();
  dlg.OnClose();
  EXPECT_EQ("<no key>", machine.DefaultValue(kHkeyLocalMachine, kIcons + "F\\DefaultIcon"));
  EXPECT_EQ("<no key>", machine.DefaultValue(platform::kHkeyCurrentUser, "Software\\Norvell"));
}

TEST(DriveIcons, ASlotFoundWithoutLetterGetsNoKeys) {
  IconMachine machine("WinXP");
  CEjectorDlg& dlg = machine.Start();
  dlg.OnClose();
  StageSlot(dlg, 0, 1, "NoDrive", "コンパクトフラッシュ", 0);
  StageSlot(dlg, 1, 0, "G", "SD, MMC", 0);
  dlg.ApplyDriveIcons();
  EXPECT_EQ("<no key>", machine.DefaultValue(kHkeyLocalMachine, kIcons + "NoDrive"));
  EXPECT_EQ("<no key>", machine.DefaultValue(kHkeyLocalMachine, kIcons + "N\\DefaultIcon"));
  EXPECT_TRUE(dlg.DriveIcons().DriveIconKey(0).empty());
}

TEST(DriveIcons, ARecordedKeyThatNoLongerExistsStaysRecorded) {
  IconMachine machine("WinXP");
  CEjectorDlg& dlg = machine.Start();
  platform::ScopedRegKey drive(machine.registry);
  ASSERT_EQ(0, drive.Open(kHkeyLocalMachine, (kIcons + "F").c_str(), platform::kKeyAllAccess));
  machine.registry.DeleteKey(drive.Get(), "DefaultIcon");
  machine.registry.DeleteKey(drive.Get(), "DefaultLabel");
  drive.Close();
  dlg.RemoveDriveIcons();
  EXPECT_EQ(kIcons + "F", dlg.DriveIcons().DriveIconKey(0));
  EXPECT_TRUE(dlg.DriveIcons().DriveIconKey(1).empty());  // G was there and is undone
}

TEST(DriveIcons, EntryNamesOfLaterReaderPositionsAreHexadecimal) {
  // The names outlive the program: a crashed run's or an earlier version's entries are read
  // back by name at the next start.
  TavrikMachine machine("WinXP");
  std::vector<TestSlot> slots;
  for (char c = '0'; c <= '4'; ++c)
    slots.push_back({"X", "X", "", {std::string("USBSTOR\\Disk&Ven_Norvell&Prod_X5_") + c}});
  machine.DefineReader(18, "Norvell NR-X5", slots);
  {
    platform::ScopedRegKey key(machine.registry);
    ASSERT_EQ(0, key.Create(platform::kHkeyCurrentUser,
                            "Software\\Norvell\\Tavrik\\Settings\\Tavrik\\IcoList2",
                            platform::kKeyAllAccess));
    const std::string left = kDrives + "K";
    machine.registry.SetValue(key.Get(), "12x4", platform::kRegSz,
                              reinterpret_cast<const uint8_t*>(left.c_str()),
                              static_cast<uint32_t>(left.size() + 1));
    ASSERT_EQ(0, key.Create(kHkeyClassesRoot, (left + "\\DefaultIcon").c_str(),
                            platform::kKeyAllAccess));
  }
  machine.PlugSlot(slots[4].keys[0], 'L', true, "Norvell NR-X5");
  machine.Start();
  EXPECT_EQ("<no key>", machine.DefaultValue(kHkeyClassesRoot, kDrives + "K"));
  EXPECT_EQ(kIcons + "L", machine.ProfileValue("IcoList1", "12x4"));
}

TEST(DriveIcons, TheNextStartAfterACrashUndoesWhatTheProfileRecorded) {
  IconMachine machine("WinXP");
  machine.SetDefault(kHkeyLocalMachine, kIcons + "F\\DefaultIcon", "C:\\camera.ico");
  machine.Start();
  machine.dlg.reset();  // killed: no OnClose
  machine.UnplugAll();  // and the reader is gone when it starts again
  machine.Start();
  EXPECT_EQ("C:\\camera.ico", machine.DefaultValue(kHkeyLocalMachine, kIcons + "F\\DefaultIcon"));
  EXPECT_EQ("<no key>", machine.DefaultValue(kHkeyLocalMachine, kIcons + "G\\DefaultIcon"));
  EXPECT_EQ("<no key>", machine.DefaultValue(kHkeyClassesRoot, kDrives + "F"));
  machine.dlg->OnClose();
  EXPECT_EQ("<none>", machine.ProfileValue("IcoList1", "0x0"));
}

// Drive F's icon and label keys as a run leaves them: our values, the user's in "BackData".
void WriteOursOverTheUsers(TavrikMachine& machine, platform::RegKey root, const std::string& path) {
  fake::KeyWriter(machine.registry, root, path + "F\\DefaultIcon", machine.writeStatus)
      .Text("", kCfIcon);
  fake::KeyWriter(machine.registry, root, path + "F\\DefaultIcon", machine.writeStatus)
      .Text("BackData", "C:\\Mine\\mine.ico");
  fake::KeyWriter(machine.registry, root, path + "F\\DefaultLabel", machine.writeStatus)
      .Text("", "CF");
  fake::KeyWriter(machine.registry, root, path + "F\\DefaultLabel", machine.writeStatus)
      .Text("BackData", "Mine");
}

void ExpectTheUsersValues(TavrikMachine& machine, platform::RegKey root, const std::string& path) {
  EXPECT_EQ("C:\\Mine\\mine.ico", machine.DefaultValue(root, path + "F\\DefaultIcon"));
  EXPECT_EQ("Mine", machine.DefaultValue(root, path + "F\\DefaultLabel"));
  EXPECT_EQ("<none>", machine.DefaultValue(root, path + "F\\DefaultIcon", "BackData"));
  EXPECT_EQ("<none>", machine.DefaultValue(root, path + "F\\DefaultLabel", "BackData"));
}

TEST(DriveIcons, AKeyRecordedTwiceIsUndoneOnceAndTheUserKeepsTheirValues) {
  // A crash record whose entries "0x0" and "5x0" both name drive F: reader A's slot had F,
  // then reader B's slot got it, and the session ended without Exit. A second undo of F
  // would find no "BackData" and delete the user's icon and label.
  for (const char* os : {"Win98", "WinMe", "Win2k", "WinXP"}) {
    SCOPED_TRACE(os);
    TavrikMachine machine(os);
    machine.DefineReader(0, "Norvell NR-I2", {{"CF", "CF", "", {kCf}}});
    machine.SetDeviceNum(6);
    WriteOursOverTheUsers(machine, kHkeyLocalMachine, kIcons);
    WriteOursOverTheUsers(machine, kHkeyClassesRoot, kDrives);
    for (const char* entry : {"0x0", "5x0"}) {
      fake::KeyWriter(machine.registry, platform::kHkeyCurrentUser,
                      std::string(kProfile) + "IcoList1", machine.writeStatus)
          .Text(entry, kIcons + "F");
      fake::KeyWriter(machine.registry, platform::kHkeyCurrentUser,
                      std::string(kProfile) + "IcoList2", machine.writeStatus)
          .Text(entry, kDrives + "F");
    }
    machine.Start();
    ExpectTheUsersValues(machine, kHkeyLocalMachine, kIcons);
    if (std::string(os) != "Win98") ExpectTheUsersValues(machine, kHkeyClassesRoot, kDrives);
    // The undone keys leave the record: a later crash cannot undo them again.
    EXPECT_EQ("<none>", machine.ProfileValue("IcoList1", "5x0"));
    if (std::string(os) != "Win98") {
      EXPECT_EQ("<none>", machine.ProfileValue("IcoList2", "0x0"));
    }
  }
}

TEST(DriveIcons, TwoReadersWhoseSlotsGetOneLetterUndoItOnce) {
  for (bool crash : {false, true}) {
    SCOPED_TRACE(crash ? "next start after a crash" : "Exit");
    IconMachine machine("WinXP");
    machine.DefineReader(1, "Norvell NR-C1", {{"CF", "CF", "C:\\cf1.ico", {"USBSTOR\\Disk&Ven_Norvell&Prod_C1"}}});
    machine.SetDefault(kHkeyLocalMachine, kIcons + "F\\DefaultIcon", "C:\\camera.ico");
    CEjectorDlg& dlg = machine.Start();
    StageSlot(dlg, CellIndex(1, 0), 1, "F", "CF", 0);  // a stale record names F too
    dlg.ApplyDriveIcons();
    dlg.SaveIconLists();
    EXPECT_EQ(kIcons + "F", machine.ProfileValue("IcoList1", "1x0"));
    if (crash) {
      machine.dlg.reset();
      machine.UnplugAll();
      machine.Start();
    } else {
      dlg.OnClose();
    }
    EXPECT_EQ("C:\\camera.ico", machine.DefaultValue(kHkeyLocalMachine, kIcons + "F\\DefaultIcon"));
    EXPECT_EQ("<none>", machine.DefaultValue(kHkeyLocalMachine, kIcons + "F\\DefaultIcon", "BackData"));
  }
}

TEST(DriveIcons, ARestoredBackupKeepsTheDriveKey) {
  // Only the icon, or only the label, had a value of the user's: the drive key X holds it and
  // must stay, in HKEY_LOCAL_MACHINE on 98 and Me and in HKEY_CLASSES_ROOT on NT.
  struct Case { const char* os; platform::RegKey root; const std::string& path; };
  const Case cases[] = {{"Win98", kHkeyLocalMachine, kIcons},
                        {"WinMe", kHkeyLocalMachine, kIcons},
                        {"WinXP", kHkeyClassesRoot, kDrives}};
  for (const Case& c : cases)
    for (const char* backed : {"DefaultIcon", "DefaultLabel"}) {
      SCOPED_TRACE(std::string(c.os) + " " + backed);
      IconMachine machine(c.os);
      machine.SetDefault(c.root, c.path + "F\\" + backed, "C:\\Mine\\mine");
      CEjectorDlg& dlg = machine.Start();
      StageSlot(dlg, 0, 1, "F", "CF", 0);
      dlg.ApplyDriveIcons();
      dlg.OnClose();
      EXPECT_EQ("C:\\Mine\\mine", machine.DefaultValue(c.root, c.path + "F\\" + backed));
    }
}

TEST(DriveIcons, ABackupTolketKeptIsNeverOverwritten) {
  // Tolket wrote its icon and kept the user's in "BackData"; Tavrik, running as administrator,
  // then writes another icon over it. The backup must still be the user's.
  IconMachine machine("WinVista");
  machine.SetDefault(kHkeyLocalMachine, kIcons + "F\\DefaultIcon", "C:\\Tolket\\old.ico");
  fake::KeyWriter(machine.registry, kHkeyLocalMachine, kIcons + "F\\DefaultIcon", machine.writeStatus)
      .Text("BackData", "C:\\Mine\\mine.ico");
  machine.ui.answers = {platform::kIdNo};  // no hand-off: Tavrik writes the keys itself
  CEjectorDlg& dlg = machine.Start();
  EXPECT_EQ(kCfIcon, machine.DefaultValue(kHkeyLocalMachine, kIcons + "F\\DefaultIcon"));
  EXPECT_EQ("C:\\Mine\\mine.ico", machine.DefaultValue(kHkeyLocalMachine, kIcons + "F\\DefaultIcon", "BackData"));
  dlg.OnClose();
  EXPECT_EQ("C:\\Mine\\mine.ico", machine.DefaultValue(kHkeyLocalMachine, kIcons + "F\\DefaultIcon"));
}

TEST(DriveIcons, AForeignSubkeyUnderTheDriveKeySurvivesExitOn9x) {
  // 98's and Me's RegDeleteKeyA takes a key's subkeys with it; what another program keeps
  // below DriveIcons\F must not go with ours.
  for (const char* os : {"Win98", "WinMe"}) {
    SCOPED_TRACE(os);
    IconMachine machine(os);
    fake::KeyWriter(machine.registry, kHkeyLocalMachine, kIcons + "F\\Theirs", machine.writeStatus)
        .Text("", "kept");
    CEjectorDlg& dlg = machine.Start();
    StageSlot(dlg, 0, 1, "F", "CF", 0);
    dlg.ApplyDriveIcons();
    dlg.OnClose();
    EXPECT_EQ("kept", machine.DefaultValue(kHkeyLocalMachine, kIcons + "F\\Theirs"));
    EXPECT_EQ("<no key>", machine.DefaultValue(kHkeyLocalMachine, kIcons + "F\\DefaultIcon"));
  }
}

}  // namespace
