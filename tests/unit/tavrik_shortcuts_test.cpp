// SendTo shortcuts: where they go, what they are called and point at, and their whole life.
#include <gtest/gtest.h>

#include "platform/owners/scoped_reg_key.h"
#include "tests/unit/test_tavrik_machine.h"

namespace {

const char kCf[] = "USBSTOR\\Disk&Ven_Norvell&Prod_S2_CF";
const char kSd[] = "USBSTOR\\Disk&Ven_Norvell&Prod_S2_SD";
const char kSendTo[] = "C:\\Documents and Settings\\hanako\\SendTo";

struct ShortcutMachine : TavrikMachine {
  explicit ShortcutMachine(const char* os) : TavrikMachine(os) {
    DefineReader(0, "Norvell NR-S2", {{"CF/MD", "A", "", {kCf}}, {"SD/MMC", "B", "", {kSd}}});
    PlugSlot(kCf, 'F', true, "Norvell NR-S2");
    PlugSlot(kSd, 'G', true, "Norvell NR-S2");
    files.AddFolder(kSendTo);
    files.SetShortName("C:\\Documents and Settings", "DOCUME~1");
    platform::ScopedRegKey key(registry);
    EXPECT_EQ(platform::kErrorSuccess,
              key.Create(platform::kHkeyCurrentUser,
                         "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                         platform::kKeyAllAccess));
    registry.SetValue(key.Get(), "SendTo", platform::kRegSz,
                      reinterpret_cast<const uint8_t*>(kSendTo), sizeof kSendTo);
  }
  // The links the shell saved, as files (the recording shell saves no file itself).
  void SaveLinksAsFiles() {
    for (const auto& link : shell.savedLinks) files.WriteNewFile(link.first.c_str(), "lnk");
    shell.savedLinks.clear();
  }
  bool Exists(const std::string& path) { return files.FileExists(path.c_str()); }
  // The system gives the slot whose record names letter `from` the letter `to`.
  void MoveLetter(char from, char to) {
    platform::ScopedRegKey mounts(registry);
    ASSERT_EQ(0, mounts.Open(platform::kHkeyLocalMachine, "System\\MountedDevices",
                             platform::kKeyAllAccess));
    uint8_t data[512];
    uint32_t size = sizeof data;
    const std::string fromName = std::string("\\DosDevices\\") + from + ":";
    const std::string toName = std::string("\\DosDevices\\") + to + ":";
    ASSERT_EQ(0, registry.QueryValue(mounts.Get(), fromName.c_str(), nullptr, data, &size));
    registry.DeleteValue(mounts.Get(), fromName.c_str());
    registry.SetValue(mounts.Get(), toName.c_str(), platform::kRegBinary, data, size);
    system.RemoveDrive(from);
    system.SetDrive(to, platform::kDriveRemovable);
  }
};

const std::string kLinkF = "C:\\DOCUME~1\\hanako\\SendTo\\Aドライブ(F).lnk";
const std::string kLinkG = "C:\\DOCUME~1\\hanako\\SendTo\\Bドライブ(G).lnk";

TEST(SendToShortcuts, Windows2000GetsOneShortcutPerLetteredSlot) {
  ShortcutMachine machine("Win2k");
  CEjectorDlg& dlg = machine.Start();
  ASSERT_EQ(2u, machine.shell.savedLinks.size());
  EXPECT_EQ(kLinkF, machine.shell.savedLinks[0].first);
  EXPECT_EQ("F:\\", machine.shell.savedLinks[0].second.target);
  EXPECT_EQ("CF/MD", machine.shell.savedLinks[0].second.description);
  EXPECT_EQ(kLinkG, machine.shell.savedLinks[1].first);
  EXPECT_EQ(kLinkF, dlg.Shortcuts().Shortcut(0));
  EXPECT_EQ(kLinkF, machine.ProfileValue("shctList", "0x0"));
}

TEST(SendToShortcuts, UnplugDeletesThemAndCloseClearsTheRecord) {
  ShortcutMachine machine("Win2k");
  CEjectorDlg& dlg = machine.Start();
  machine.SaveLinksAsFiles();
  machine.UnplugAll();
  dlg.OnDeviceChange();
  EXPECT_FALSE(machine.Exists(kLinkF));
  EXPECT_FALSE(machine.Exists(kLinkG));
  EXPECT_TRUE(dlg.Shortcuts().Shortcut(0).empty());
  dlg.OnClose();
  EXPECT_EQ("<none>", machine.ProfileValue("shctList", "0x0"));
}

TEST(SendToShortcuts, TheEndOfTheSessionUndoesWhatExitUndoesAndOnlyOnce) {
  // At logoff the system ends the process without WM_CLOSE.
  ShortcutMachine machine("Win2k");
  CEjectorDlg& dlg = machine.Start();
  machine.SaveLinksAsFiles();
  const std::string label =
      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\F\\DefaultLabel";
  ASSERT_EQ("A", machine.DefaultValue(platform::kHkeyLocalMachine, label));
  dlg.OnEndSession();
  EXPECT_FALSE(machine.Exists(kLinkF));
  EXPECT_FALSE(machine.Exists(kLinkG));
  EXPECT_EQ("<no key>", machine.DefaultValue(platform::kHkeyLocalMachine, label));
  EXPECT_EQ("<none>", machine.ProfileValue("shctList", "0x0"));
  EXPECT_EQ("<none>", machine.ProfileValue("IcoList1", "0x0"));
  EXPECT_TRUE(machine.ui.messageBoxes.empty());
  // A device change (the reader still there) or a close request after it writes nothing again.
  const uint64_t changes = machine.registry.ChangeCount();
  machine.system.SetDrive('K', platform::kDriveRemovable);
  dlg.OnDeviceChange();
  dlg.OnClose();
  EXPECT_EQ(changes, machine.registry.ChangeCount());
}

TEST(SendToShortcuts, ALetterChangeReplacesTheShortcutInTheSameRefresh) {
  ShortcutMachine machine("Win2k");
  CEjectorDlg& dlg = machine.Start();
  machine.SaveLinksAsFiles();
  machine.MoveLetter('F', 'H');
  dlg.OnDeviceChange();
  EXPECT_FALSE(machine.Exists(kLinkF));
  ASSERT_EQ(2u, machine.shell.savedLinks.size());  // H made, G made afresh
  EXPECT_EQ("C:\\DOCUME~1\\hanako\\SendTo\\Aドライブ(H).lnk", machine.shell.savedLinks[0].first);
}

TEST(SendToShortcuts, AShortcutTheUserDeletedIsNotMadeAgainWhileTheLetterStays) {
  ShortcutMachine machine("Win2k");
  CEjectorDlg& dlg = machine.Start();
  machine.SaveLinksAsFiles();
  machine.files.DeleteFileA(kLinkF.c_str());
  dlg.OnTrayNotify(0, kWmLButtonDown);
  ASSERT_EQ(1u, machine.shell.savedLinks.size());  // G is replaced, F is not made again
  EXPECT_EQ(kLinkG, machine.shell.savedLinks[0].first);
  EXPECT_EQ(kLinkF, dlg.Shortcuts().Shortcut(0));
}

TEST(SendToShortcuts, AShortcutTheUserDeletedIsMadeAgainWhenTheLetterChanges) {
  ShortcutMachine machine("Win2k");
  CEjectorDlg& dlg = machine.Start();
  machine.SaveLinksAsFiles();
  machine.files.DeleteFileA(kLinkF.c_str());
  machine.MoveLetter('F', 'H');
  dlg.OnDeviceChange();
  const std::string linkH = "C:\\DOCUME~1\\hanako\\SendTo\\Aドライブ(H).lnk";
  ASSERT_EQ(2u, machine.shell.savedLinks.size());
  EXPECT_EQ(linkH, machine.shell.savedLinks[0].first);
  EXPECT_EQ(linkH, dlg.Shortcuts().Shortcut(0));
}

TEST(SendToShortcuts, TheNextStartAfterACrashDeletesTheRecordedShortcuts) {
  ShortcutMachine machine("Win2k");
  machine.Start();
  machine.SaveLinksAsFiles();
  machine.dlg.reset();
  machine.UnplugAll();
  machine.Start();
  EXPECT_FALSE(machine.Exists(kLinkF));
  EXPECT_FALSE(machine.Exists(kLinkG));
}

TEST(SendToShortcuts, WindowsXpAndVistaMakeNone) {
  for (const char* os : {"WinXP", "WinVista"}) {
    ShortcutMachine machine(os);
    CEjectorDlg& dlg = machine.Start();
    dlg.OnTrayNotify(0, kWmLButtonDown);
    dlg.OnClose();
    EXPECT_TRUE(machine.shell.savedLinks.empty()) << os;
    EXPECT_EQ("<no key>", machine.ProfileValue("shctList", "0x0")) << os;
  }
}

TEST(SendToShortcuts, Windows98UsesTheWindowsFolderInItsShortForm) {
  TavrikMachine machine("Win98");
  machine.DefineReader(0, "NR-S2", {{"CF/MD", "コンパクトフラッシュ", "", {"SCSI\\NORVELL_S2_CF"}}});
  machine.PlugSlot9x("SCSI\\NORVELL_S2_CF", 'E', true, "NR-S2 CF");
  machine.files.systemDirectory = "C:\\WINDOWS\\SYSTEM";
  machine.files.AddFolder("C:\\WINDOWS\\Send To Folder");  // not the one used
  machine.files.AddFolder("C:\\WINDOWS\\SendTo");
  machine.files.SetShortName("C:\\WINDOWS", "WINDOWS");
  machine.files.SetShortName("C:\\WINDOWS\\SendTo", "SENDTO");
  machine.Start();
  ASSERT_EQ(1u, machine.shell.savedLinks.size());
  EXPECT_EQ("C:\\WINDOWS\\SENDTO\\コンパクトフラッシュドライブ(E).lnk", machine.shell.savedLinks[0].first);
  EXPECT_EQ("E:\\", machine.shell.savedLinks[0].second.target);
}

TEST(SendToShortcuts, NoSendToFolderOnNtMeansNoShortcut) {
  ShortcutMachine machine("Win2k");
  platform::ScopedRegKey key(machine.registry);
  ASSERT_EQ(0, key.Open(platform::kHkeyCurrentUser,
                        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                        platform::kKeyAllAccess));
  machine.registry.DeleteValue(key.Get(), "SendTo");
  key.Close();
  CEjectorDlg& dlg = machine.Start();
  EXPECT_TRUE(machine.shell.savedLinks.empty());
  EXPECT_TRUE(dlg.Shortcuts().Shortcut(0).empty());
}

}  // namespace
