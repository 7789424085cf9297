// The tray: slot refresh, the two menus and their items, and the single start-up path.
#include <gtest/gtest.h>

#include "platform/owners/scoped_reg_key.h"
#include "platform/reg_files/reg_file.h"
#include "tests/unit/test_slot_staging.h"
#include "tests/unit/test_tavrik_machine.h"

namespace {

using platform::WindowUiModel;

const char kCf[] = "USBSTOR\\Disk&Ven_Norvell&Prod_T4_CF";
const char kMs[] = "USBSTOR\\Disk&Ven_Norvell&Prod_T4_MS";
const char kSm[] = "USBSTOR\\Disk&Ven_Norvell&Prod_T4_SM";
const char kSd[] = "USBSTOR\\Disk&Ven_Norvell&Prod_T4_SD";
const char kName[] = "Norvell NR-T4";

std::vector<TestSlot> FourSlots() {
  return {{"CF", "コンパクトフラッシュ", "C:\\Program Files\\Norvell\\Tavrik\\Icons\\cf.ico", {kCf}},
          {"MS", "メモリースティック", "C:\\Program Files\\Norvell\\Tavrik\\Icons\\ms.ico", {kMs}},
          {"SM", "スマートメディア", "C:\\Program Files\\Norvell\\Tavrik\\Icons\\sm.ico", {kSm}},
          {"SD", "ＳＤカード", "C:\\Program Files\\Norvell\\Tavrik\\Icons\\sd.ico", {kSd}}};
}

// One reader at position 0 with all four slots plugged in, media in the CF and SD slots.
struct OneReader : TavrikMachine {
  OneReader() : TavrikMachine("WinXP") {
    DefineReader(0, kName, FourSlots());
    PlugSlot(kCf, 'F', true, "Norvell NR-T4 CF USB Device");
    PlugSlot(kMs, 'G', false, "Norvell NR-T4 MS USB Device");
    PlugSlot(kSm, 'H', false, "Norvell NR-T4 SM USB Device");
    PlugSlot(kSd, 'I', true, "Norvell NR-T4 SD USB Device");
  }
};

std::vector<std::string> Texts(const std::vector<WindowUiModel::MenuItem>& items) {
  std::vector<std::string> texts;
  for (const auto& item : items) texts.push_back(item.IsSeparator() ? "---" : item.text);
  return texts;
}

TEST(TavrikRefresh, SlotEntryNamesAreLowerCaseHexAroundAnX) {
  EXPECT_EQ("0x0", SlotEntryName(0, 0));
  EXPECT_EQ("12x4", SlotEntryName(18, 4));
  EXPECT_EQ("ffx10", SlotEntryName(255, 16));
}

TEST(TavrikRefresh, NoReaderGivesTheIdleIconAndAGrayedEjectAll) {
  TavrikMachine machine("WinXP");
  machine.DefineReader(0, kName, FourSlots());
  CEjectorDlg& dlg = machine.Start();
  EXPECT_EQ(IDI_TRAY_IDLE, machine.shell.trayIconId);
  for (int s = 0; s <= 4; ++s) EXPECT_EQ("NoDrive", dlg.Slots().Drive(CellIndex(0, s)));

  dlg.OnTrayNotify(0, kWmLButtonDown);
  ASSERT_EQ(1u, machine.ui.lastTrackedMenu.size());
  EXPECT_EQ("全てのメディアを取り出す", machine.ui.lastTrackedMenu[0].text);
  EXPECT_TRUE(machine.ui.lastTrackedMenu[0].grayed);
}

TEST(TavrikRefresh, OneReaderWithTwoMediaShowsFourItemsTwoGrayed) {
  OneReader machine;
  CEjectorDlg& dlg = machine.Start();
  EXPECT_EQ(IDI_TRAY_ACTIVE, machine.shell.trayIconId);
  // The creation refresh does not probe media.
  EXPECT_EQ(0u, machine.system.ProbeCalls());

  machine.ui.cursor = {700, 560};
  EXPECT_EQ(1, dlg.OnTrayNotify(0, kWmLButtonDown));
  const auto& menu = machine.ui.lastTrackedMenu;
  EXPECT_EQ((std::vector<std::string>{"コンパクトフラッシュ取り出し (F:) ", "メモリースティック取り出し (G:) ",
                                      "スマートメディア取り出し (H:) ", "ＳＤカード取り出し (I:) ", "---",
                                      "全てのメディアを取り出す"}),
            Texts(menu));
  const bool grayed[] = {false, true, true, false, false, false};
  for (size_t i = 0; i < menu.size(); ++i) EXPECT_EQ(grayed[i], menu[i].grayed) << i;
  EXPECT_TRUE(menu[0].IsOwnerDraw());
  EXPECT_EQ(1038u, menu[0].id);
  EXPECT_EQ(1041u, menu[3].id);
  EXPECT_EQ(700, machine.ui.lastTrackedAt.x);
  EXPECT_TRUE(machine.ui.foregroundBeforeTrack);
  EXPECT_EQ(0u, machine.ui.LiveMenuCount());
  // Owner drawing gets the slot's short icon path and its text.
  CEjectorDlg::OwnerDrawItem item = dlg.ItemToDraw(1038);
  EXPECT_EQ("C:\\PROGRA~1\\Norvell\\Tavrik\\Icons\\cf.ico", item.icon);
  EXPECT_EQ("コンパクトフラッシュ取り出し (F:) ", item.text);
  EXPECT_TRUE(dlg.ItemToDraw(1042).text.empty());
}

TEST(TavrikRefresh, ASlotWithoutLetterIsAPlainGrayedItemAndIsNeverProbed) {
  TavrikMachine machine("WinXP");
  machine.DefineReader(0, kName, FourSlots());
  machine.PlugSlot(kCf, 'F', true, "Norvell NR-T4 CF USB Device");
  // A folder named like the marker in the current directory must not make the slot ready.
  machine.files.AddFolder("C:\\NoDrive");
  CEjectorDlg& dlg = machine.Start();
  dlg.OnTrayNotify(0, kWmLButtonDown);
  const auto& menu = machine.ui.lastTrackedMenu;
  ASSERT_EQ(6u, menu.size());
  EXPECT_EQ("ドライブが取り外されています。", menu[1].text);
  EXPECT_FALSE(menu[1].IsOwnerDraw());
  EXPECT_TRUE(menu[1].grayed);
  EXPECT_EQ(1u, machine.system.ProbeCalls());  // the CF slot alone
  EXPECT_EQ(0, dlg.Slots().Ready(CellIndex(0, 1)));
}

TEST(TavrikRefresh, TwoReadersAreSeparatedInPositionOrder) {
  TavrikMachine machine("WinXP");
  machine.DefineReader(1, "Norvell NR-B", {{"CF", "CF", "", {"USBSTOR\\Disk&Ven_Norvell&Prod_B_CF"}}});
  machine.DefineReader(5, "Norvell NR-F", {{"SD", "SD", "", {"USBSTOR\\Disk&Ven_Norvell&Prod_F_SD"}}});
  machine.PlugSlot("USBSTOR\\Disk&Ven_Norvell&Prod_F_SD", 'K', true, "Norvell NR-F USB Device");
  machine.PlugSlot("USBSTOR\\Disk&Ven_Norvell&Prod_B_CF", 'J', false, "Norvell NR-B USB Device");
  CEjectorDlg& dlg = machine.Start();
  dlg.OnTrayNotify(0, kWmLButtonDown);
  EXPECT_EQ((std::vector<std::string>{"CF取り出し (J:) ", "---", "SD取り出し (K:) ", "---",
                                      "全てのメディアを取り出す"}),
            Texts(machine.ui.lastTrackedMenu));
  EXPECT_EQ(FirstSlotId(1), machine.ui.lastTrackedMenu[0].id);
  EXPECT_EQ(FirstSlotId(5), machine.ui.lastTrackedMenu[2].id);
  EXPECT_FALSE(machine.ui.lastTrackedMenu[4].grayed);  // K has a medium
}

TEST(TavrikRefresh, ALaterSearchKeyOfTheSameSlotWins) {
  const char kSecondDriver[] = "USBSTOR\\Disk&Ven_Norvell&Prod_T4_XCF";
  TavrikMachine machine("WinXP");
  machine.DefineReader(0, kName, {{"CF", "CF", "", {kSecondDriver, kCf}}});
  machine.PlugSlot(kCf, 'F', false, kName);
  machine.PlugSlot(kSecondDriver, 'M', false, kName);
  CEjectorDlg& dlg = machine.Start();
  // Both keys find a letter; the second key of the slot is looked up last.
  EXPECT_EQ("F", dlg.Slots().Drive(0));
  EXPECT_EQ(1, dlg.Slots().Found(0));
}

TEST(TavrikRefresh, UnplugClearsTheReaderAndTheIconGoesIdle) {
  OneReader machine;
  CEjectorDlg& dlg = machine.Start();
  dlg.OnDeviceChange();
  EXPECT_EQ(IDI_TRAY_ACTIVE, machine.shell.trayIconId);
  machine.UnplugAll();
  dlg.OnDeviceChange();
  EXPECT_EQ(IDI_TRAY_IDLE, machine.shell.trayIconId);
  for (int s = 0; s <= 4; ++s) EXPECT_EQ("NoDrive", dlg.Slots().Drive(CellIndex(0, s))) << s;
  EXPECT_EQ("NoFunc", dlg.Slots().DriveFuncs(0));
}

TEST(TavrikRefresh, ADeviceChangeThatKeepsTheDrivesDoesNothing) {
  OneReader machine;
  CEjectorDlg& dlg = machine.Start();
  dlg.OnDeviceChange();
  size_t calls = machine.shell.calls.size();
  dlg.OnDeviceChange();
  EXPECT_EQ(calls, machine.shell.calls.size());
}

TEST(TavrikMenus, FixedMenuHasItsEightItemsAllEnabled) {
  OneReader machine;
  CEjectorDlg& dlg = machine.Start();
  EXPECT_EQ(1, dlg.OnTrayNotify(0, kWmRButtonUp));
  const auto& menu = machine.ui.lastTrackedMenu;
  EXPECT_EQ((std::vector<std::string>{"エクスプローラを開く", "マイコンピュータを開く", "---", "アイコン修復",
                                      "---", "バージョン情報", "---", "終了"}),
            Texts(menu));
  const uint32_t ids[] = {1033, 1034, 0, 1032, 0, 1037, 0, 1036};
  for (size_t i = 0; i < menu.size(); ++i) {
    EXPECT_EQ(ids[i], menu[i].id);
    EXPECT_FALSE(menu[i].grayed);
  }
}

TEST(TavrikMenus, OnlyButtonDownAndRightButtonUpOpenMenus) {
  OneReader machine;
  CEjectorDlg& dlg = machine.Start();
  EXPECT_EQ(1, dlg.OnTrayNotify(0, kWmLButtonDblClk));
  EXPECT_EQ(1, dlg.OnTrayNotify(0, kTrayNotifyIgnored));
  EXPECT_EQ(0, dlg.OnTrayNotify(0, 0x200));  // mouse move
  EXPECT_EQ(0, machine.ui.trackCount);
}

TEST(TavrikCommands, AllFiftySlotIdsMapToTheirBlocks) {
  const int blocks[] = {4, 4, 3, 2, 2, 1, 4, 1, 1, 1, 1, 2, 4, 2, 2, 2, 5, 4, 5};
  uint32_t id = ID_SLOT_FIRST;
  for (int p = 0; p < kReaderPositions; ++p) {
    EXPECT_EQ(id, FirstSlotId(p));
    for (int s = 0; s < blocks[p]; ++s, ++id) {
      int rp = -1, rs = -1;
      ASSERT_TRUE(SlotForCommand(id, rp, rs));
      EXPECT_EQ(p, rp);
      EXPECT_EQ(s, rs);
    }
  }
  EXPECT_EQ(ID_SLOT_LAST + 1, id);
  int p, s;
  EXPECT_FALSE(SlotForCommand(ID_SLOT_FIRST - 1, p, s));
  EXPECT_FALSE(SlotForCommand(ID_SLOT_LAST + 1, p, s));
}

TEST(TavrikCommands, EjectSlotFailureShowsTheEnginesText) {
  OneReader machine;
  CEjectorDlg& dlg = machine.Start();
  machine.volumes.Script(platform::kFsctlLockVolume, platform::DeviceReply::Failure(5), 20);
  EXPECT_TRUE(dlg.OnCommand(1038));
  ASSERT_EQ(1u, machine.ui.messageBoxes.size());
  EXPECT_EQ(" F: ドライブは他のアプリケーションによって使用中です。そのため、イジェクトすることができません\n",
            machine.ui.messageBoxes[0].text);
  EXPECT_EQ("Tavrik", machine.ui.messageBoxes[0].caption);
  EXPECT_EQ(platform::kMbOk, machine.ui.messageBoxes[0].style);
  // A success shows nothing.
  EXPECT_TRUE(dlg.OnCommand(1038));
  EXPECT_EQ(1u, machine.ui.messageBoxes.size());
}

TEST(TavrikCommands, AnUnplugDuringAnEjectBoxIsHandledOnceTheBoxCloses) {
  OneReader machine;
  CEjectorDlg& dlg = machine.Start();
  dlg.OnDeviceChange();
  machine.volumes.Script(platform::kFsctlLockVolume, platform::DeviceReply::Failure(5), 20);
  std::string driveDuringBox;
  machine.ui.duringMessageBox = [&] {
    machine.UnplugAll();
    dlg.OnDeviceChange();
    driveDuringBox = dlg.Slots().Drive(0);
  };
  EXPECT_TRUE(dlg.OnCommand(1038));
  EXPECT_EQ("F", driveDuringBox);  // the eject still works on the state it was chosen from
  EXPECT_EQ("NoDrive", dlg.Slots().Drive(0));
  EXPECT_EQ(IDI_TRAY_IDLE, machine.shell.trayIconId);
  EXPECT_TRUE(dlg.DriveIcons().DriveIconKey(0).empty());
}

TEST(TavrikCommands, EnterAndEscapeEndNothing) {
  // A popup menu makes the invisible dialog the foreground window; Enter then gives IDOK and
  // Escape IDCANCEL, which would end it without the close steps.
  OneReader machine;
  CEjectorDlg& dlg = machine.Start();
  EXPECT_TRUE(dlg.OnCommand(1));
  EXPECT_TRUE(dlg.OnCommand(2));
  EXPECT_TRUE(machine.ui.postedMessages.empty());
  EXPECT_EQ("コンパクトフラッシュ", machine.DefaultValue(platform::kHkeyLocalMachine,
            "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\F\\DefaultLabel"));
}

TEST(TavrikCommands, AnItemLeftStaleByAnUnplugWhileTheMenuIsOpenEjectsNothing) {
  OneReader machine;
  CEjectorDlg& dlg = machine.Start();
  // While the menu is up the reader goes, and drive N: holds a CD: the cell's "NoDrive" must
  // not hand its 'N' to the engine.
  machine.ui.duringTrack = [&] {
    machine.UnplugAll();
    machine.system.SetDrive('N', platform::kDriveCdrom);
    machine.system.SetMedium('N', true);
    machine.volumes.AddDevice("\\\\.\\N:");
    dlg.OnDeviceChange();
  };
  dlg.OnTrayNotify(0, kWmLButtonDown);
  ASSERT_FALSE(machine.ui.lastTrackedMenu[0].grayed);  // CF at F was ready when it opened
  ASSERT_EQ("NoDrive", dlg.Slots().Drive(CellIndex(0, 0)));
  dlg.OnCommand(1038);
  EXPECT_TRUE(machine.volumes.Calls().empty());
  EXPECT_TRUE(machine.ui.messageBoxes.empty());
}

TEST(TavrikCommands, AVolumeHeldOpenNamesTheProgramsUnderTheEnginesText) {
  OneReader machine;
  machine.processes.SetDriveDevice('F', "\\Device\\HarddiskVolume4");
  machine.processes.AddProcess(1234, "explorer.exe");
  machine.processes.AddProcess(2048, "notepad.exe");
  machine.processes.AddDiskFile(1234, 0x1C, "\\Device\\HarddiskVolume4\\DCIM");
  machine.processes.AddDiskFile(2048, 0x2C, "\\Device\\HarddiskVolume1\\memo.txt");
  CEjectorDlg& dlg = machine.Start();
  machine.volumes.Script(platform::kFsctlLockVolume, platform::DeviceReply::Failure(5), 20);
  dlg.OnCommand(1038);
  ASSERT_EQ(1u, machine.ui.messageBoxes.size());
  EXPECT_EQ(" F: ドライブは他のアプリケーションによって使用中です。そのため、イジェクトすることができません\n"
            "使用中のプログラム:\nexplorer.exe (PID 1234)\n",
            machine.ui.messageBoxes[0].text);
  // A dismount refused by the file system says the same.
  machine.volumes.Script(platform::kFsctlDismountVolume, platform::DeviceReply::Failure(5));
  dlg.OnCommand(1038);
  ASSERT_EQ(2u, machine.ui.messageBoxes.size());
  EXPECT_EQ(" F: ドライブをディスマウントできません.\n使用中のプログラム:\nexplorer.exe (PID 1234)\n",
            machine.ui.messageBoxes[1].text);
  // A failure after the volume was taken is not about holders: the box is the engine's own.
  machine.volumes.Script(platform::kIoctlStorageMediaRemoval, platform::DeviceReply::Failure(1));
  dlg.OnCommand(1038);
  ASSERT_EQ(3u, machine.ui.messageBoxes.size());
  EXPECT_EQ(" F: ドライブのPreventRemovalOfVolumeができません.\n", machine.ui.messageBoxes[2].text);
}

TEST(TavrikCommands, EjectAllGoesInOrderWithPausesAndKeepsGoingAfterAFailure) {
  TavrikMachine machine("WinXP");
  machine.DefineReader(0, kName, FourSlots());
  machine.DefineReader(2, "Norvell NR-C", {{"SD", "SD", "", {"USBSTOR\\Disk&Ven_Norvell&Prod_C_SD"}}});
  machine.PlugSlot(kCf, 'F', true, kName);
  machine.PlugSlot(kSd, 'I', true, kName);
  machine.PlugSlot(kMs, 'G', false, kName);
  machine.PlugSlot("USBSTOR\\Disk&Ven_Norvell&Prod_C_SD", 'K', true, "Norvell NR-C");
  machine.processes.AddDiskFile(3000, 0x40, "\\??\\F:\\a.txt");  // a process without a name
  CEjectorDlg& dlg = machine.Start();
  dlg.OnTrayNotify(0, kWmLButtonDown);
  machine.volumes.Script(platform::kFsctlDismountVolume, platform::DeviceReply::Failure(5));
  dlg.OnCommand(ID_EJECT_ALL);
  std::vector<std::string> opened;
  for (const auto& call : machine.volumes.CallsOf(platform::VolumeCall::Kind::kCreateFile))
    opened.push_back(call.path);
  EXPECT_EQ((std::vector<std::string>{"\\\\.\\F:", "\\\\.\\I:", "\\\\.\\K:"}), opened);
  EXPECT_EQ(1u, machine.ui.messageBoxes.size());  // F's dismount failed; I and K went on
  EXPECT_EQ(" F: ドライブをディスマウントできません.\n使用中のプログラム:\n(PID 3000)\n",
            machine.ui.messageBoxes[0].text);
  EXPECT_EQ(3u, machine.system.SleepCalls());
  EXPECT_EQ(2400u, machine.system.SleptMilliseconds());
}

TEST(TavrikCommands, EjectAllWithNothingReadyReturnsAtOnce) {
  OneReader machine;
  CEjectorDlg& dlg = machine.Start();  // creation does not probe: nothing is ready
  dlg.OnCommand(ID_EJECT_ALL);
  EXPECT_EQ(0u, machine.system.SleepCalls());
  EXPECT_TRUE(machine.volumes.Calls().empty());
}

TEST(TavrikCommands, NinexFailureWithoutTextShowsAnEmptyBoxOnlyForOneSlot) {
  TavrikMachine machine("Win98SE");
  machine.DefineReader(0, kName, {{"CF", "CF", "", {"SCSI\\NORVELL_T4_CF"}}});
  // A 9x machine: the configuration manager lists the device, Enum holds its letter.
  platform::MemoryRegistry& r = machine.registry;
  std::string error;
  ASSERT_TRUE(platform::ImportRegText(
      r,
      "REGEDIT4\r\n[HKEY_DYN_DATA\\Config Manager\\Enum\\C1A2B3C4]\r\n"
      "\"HardWareKey\"=\"SCSI\\\\NORVELL_T4_CF_________1.00\\\\NV01&0\"\r\n"
      "[HKEY_LOCAL_MACHINE\\Enum\\SCSI\\NORVELL_T4_CF_________1.00\\NV01&0]\r\n"
      "\"ProductId\"=\"Norvell NR-T4\"\r\n\"CurrentDriveLetterAssignment\"=\"F\"\r\n",
      "9x", error))
      << error;
  machine.system.SetDrive('F', platform::kDriveRemovable);
  machine.system.SetMedium('F', true);
  machine.volumes.AddDevice("\\\\.\\vwin32");
  // No file is open on the volume.
  machine.volumes.SetDosDefault(0x486D, platform::DeviceReply::DosError(0x12));
  // The media-lock status request fails with a DOS error the engine does not accept.
  machine.volumes.ScriptDos(0x0848, platform::DeviceReply::DosError(0x1F), 2);
  CEjectorDlg& dlg = machine.Start();
  dlg.OnTrayNotify(0, kWmLButtonDown);
  dlg.OnCommand(ID_EJECT_ALL);
  EXPECT_TRUE(machine.ui.messageBoxes.empty());
  dlg.OnCommand(1038);
  ASSERT_EQ(1u, machine.ui.messageBoxes.size());
  EXPECT_EQ("", machine.ui.messageBoxes[0].text);
}

TEST(TavrikCommands, NoEngineOnWindows95) {
  TavrikMachine machine("Win95");
  machine.DefineReader(0, kName, FourSlots());
  CEjectorDlg& dlg = machine.Start();
  StageSlot(dlg, 0, 0, "F", "NoFunc", 1);
  dlg.OnCommand(1038);
  dlg.OnCommand(ID_EJECT_ALL);
  EXPECT_TRUE(machine.volumes.Calls().empty());
  EXPECT_TRUE(machine.ui.messageBoxes.empty());
  EXPECT_EQ(1u, machine.system.SleepCalls());  // eject all still pauses after a ready slot
}

TEST(TavrikCommands, ExplorerMyComputerAndExit) {
  OneReader machine;
  CEjectorDlg& dlg = machine.Start();
  dlg.OnCommand(ID_OPEN_EXPLORER);
  dlg.OnCommand(ID_OPEN_MYCOMPUTER);
  dlg.OnCommand(ID_EXIT);
  ASSERT_GE(machine.shell.calls.size(), 2u);
  EXPECT_EQ("ShellExecute open explorer.exe |(null)| (null) 1",
            machine.shell.calls[machine.shell.calls.size() - 2]);
  EXPECT_EQ("OpenSpecialFolder 17", machine.shell.calls.back());
  EXPECT_EQ(std::vector<uint32_t>{platform::kWmClose}, machine.ui.postedMessages);
}

// What an earlier hand-off to Tolket left for its repair to write again.
const char kCreateData[] = "C:\\ProgramData\\Norvell\\Tavrik\\user\\create.dat";

TEST(TavrikCommands, IconRepairWithoutTolketShowsTheErrorBox) {
  OneReader machine;
  machine.files.AddFile(kCreateData);
  CEjectorDlg& dlg = machine.Start();
  dlg.OnCommand(ID_ICON_REPAIR);
  EXPECT_EQ("ShellExecute owned open Tolket.exe || C:\\Program Files\\Norvell\\Tavrik\\ 5",
            machine.shell.calls.back());
  ASSERT_EQ(1u, machine.ui.messageBoxes.size());
  EXPECT_EQ("ShellExecute() \nGetLastError(dw) = 0x2 \nGetLastError(msg) = 'The system cannot "
            "find the file specified.\r\n' \nszDirectory(path) = 'C:\\Program "
            "Files\\Norvell\\Tavrik\\'",
            machine.ui.messageBoxes[0].text);
  EXPECT_EQ("Error msg", machine.ui.messageBoxes[0].caption);
  EXPECT_EQ(platform::kMbIconInformation, machine.ui.messageBoxes[0].style);

  machine.shell.startablePrograms.insert("Tolket.exe");
  dlg.OnCommand(ID_ICON_REPAIR);
  EXPECT_EQ(1u, machine.ui.messageBoxes.size());
}

TEST(TavrikCommands, TheProgramFolderEndsAtARealBackslashNotATrailByte) {
  OneReader machine;
  // "ソ" is 0x83 0x5C: its second byte must not cut the folder name.
  machine.files.modulePath = "C:\\\x83\x5C\x83t\x83g\\Tavrik.exe";
  machine.files.AddFile(kCreateData);
  CEjectorDlg& dlg = machine.Start();
  machine.shell.startablePrograms.insert("Tolket.exe");
  dlg.OnCommand(ID_ICON_REPAIR);
  EXPECT_EQ("ShellExecute owned open Tolket.exe || C:\\\x83\x5C\x83t\x83g\\ 5",
            machine.shell.calls.back());
}

TEST(TavrikCommands, IconRepairWithNothingHandedOffPutsTheKeysBackItselfAndShowsNothing) {
  OneReader machine;  // XP: the program writes the icon keys itself, no data file exists
  CEjectorDlg& dlg = machine.Start();
  const std::string icon =
      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\F\\DefaultIcon";
  {
    platform::ScopedRegKey key(machine.registry);
    ASSERT_EQ(0, key.Open(platform::kHkeyLocalMachine, icon.c_str(), platform::kKeyAllAccess));
    ASSERT_EQ(0, machine.registry.DeleteValue(key.Get(), ""));
  }
  const size_t shellCalls = machine.shell.calls.size();
  dlg.OnCommand(ID_ICON_REPAIR);
  EXPECT_TRUE(machine.ui.messageBoxes.empty());
  for (size_t i = shellCalls; i < machine.shell.calls.size(); ++i)
    EXPECT_EQ(std::string::npos, machine.shell.calls[i].find("ShellExecute")) << i;
  EXPECT_EQ("C:\\PROGRA~1\\Norvell\\Tavrik\\Icons\\cf.ico",
            machine.DefaultValue(platform::kHkeyLocalMachine, icon));
}

TEST(TavrikCommands, VersionDialogOpensOnceWhileOpen) {
  OneReader machine;
  CEjectorDlg& dlg = machine.Start();
  EXPECT_EQ(-1, dlg.VersionResult());
  machine.ui.duringModal = [&] { dlg.OnCommand(ID_VERSION_INFO); };
  dlg.OnCommand(ID_VERSION_INFO);
  EXPECT_EQ(std::vector<int>{IDD_VERSION_INFO}, machine.ui.modalDialogs);
  EXPECT_EQ(1, dlg.VersionResult());
}

TEST(TavrikStartup, MissingDefinitionsShowTheMessageAndPostClose) {
  TavrikMachine machine("WinXP");
  platform::ScopedRegKey software(machine.registry);
  ASSERT_EQ(0, software.Open(platform::kHkeyLocalMachine, "SOFTWARE\\Norvell\\Tavrik",
                             platform::kKeyAllAccess));
  ASSERT_EQ(0, machine.registry.DeleteKey(software.Get(), "RW_Devices"));
  software.Close();
  machine.Start();
  ASSERT_EQ(1u, machine.ui.messageBoxes.size());
  EXPECT_EQ("初期化処理に失敗しましたので、終了します。", machine.ui.messageBoxes[0].text);
  EXPECT_EQ("Tavrik", machine.ui.messageBoxes[0].caption);
  EXPECT_EQ(std::vector<uint32_t>{platform::kWmClose}, machine.ui.postedMessages);
  EXPECT_TRUE(machine.shell.trayIconPresent);  // the icon is there until the close
}

std::vector<std::string> NotifyIconCalls(const platform::RecordingShell& shell) {
  std::vector<std::string> calls;
  for (const std::string& call : shell.calls)
    if (call.rfind("NotifyIcon ", 0) == 0) calls.push_back(call);
  return calls;
}

TEST(TavrikStartup, TrayIconIsAddedIdleAndDeletedWithTheWindow) {
  OneReader machine;
  CEjectorDlg& dlg = machine.Start();
  EXPECT_EQ("NotifyIcon 0 1002 149", machine.shell.calls.front());
  EXPECT_EQ("Norvell Tavrik", machine.shell.trayTip);
  dlg.OnClose();
  dlg.OnDestroy();
  EXPECT_FALSE(machine.shell.trayIconPresent);
  // A shell that takes the long record gets it in every call, and nothing twice.
  EXPECT_EQ((std::vector<std::string>{"NotifyIcon 0 1002 149", "NotifyIcon 1 1002 149",
                                      "NotifyIcon 1 1002 144", "NotifyIcon 2 1002 0"}),
            NotifyIconCalls(machine.shell));
}

TEST(TavrikStartup, AShellThatRefusesTheLongRecordGetsTheShortOneFromThenOn) {
  OneReader machine;
  machine.shell.takesOnlyVersion1Record = true;  // 95, 98, NT 4
  CEjectorDlg& dlg = machine.Start();
  EXPECT_TRUE(machine.shell.trayIconPresent);
  EXPECT_EQ(IDI_TRAY_ACTIVE, machine.shell.trayIconId);
  EXPECT_EQ("Norvell Tavrik", machine.shell.trayTip);
  machine.shell.trayIconPresent = false;  // a restarted taskbar
  dlg.AddTrayIcon();
  EXPECT_TRUE(machine.shell.trayIconPresent);
  dlg.OnClose();
  dlg.OnDestroy();
  EXPECT_FALSE(machine.shell.trayIconPresent);
  // Only the first call is tried with the long record.
  EXPECT_EQ((std::vector<std::string>{
                "NotifyIcon 0 1002 149", "NotifyIcon 0 1002 149 (88 bytes)",
                "NotifyIcon 1 1002 149 (88 bytes)", "NotifyIcon 1 1002 144 (88 bytes)",
                "NotifyIcon 0 1002 144 (88 bytes)", "NotifyIcon 2 1002 0 (88 bytes)"}),
            NotifyIconCalls(machine.shell));
}

TEST(TavrikStartup, ARestartedTaskbarGetsTheIconBackWithTheImageItShowed) {
  OneReader machine;
  CEjectorDlg& dlg = machine.Start();
  ASSERT_EQ(IDI_TRAY_ACTIVE, machine.shell.trayIconId);
  // Explorer restarted: its new notification area knows no icon of ours.
  machine.shell.trayIconPresent = false;
  machine.shell.trayIconId = 0;
  dlg.AddTrayIcon();
  EXPECT_TRUE(machine.shell.trayIconPresent);
  EXPECT_EQ(IDI_TRAY_ACTIVE, machine.shell.trayIconId);  // a reader is still connected
  EXPECT_EQ("Norvell Tavrik", machine.shell.trayTip);
}

}  // namespace
