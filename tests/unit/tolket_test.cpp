#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fake_machine/value_text.h"
#include "platform/owners/scoped_reg_key.h"
#include "platform/twin/twin_registry.h"
#include "tavrik/icon_entry.h"
#include "tools/tolket/drive_icon_whitelist.h"
#include "tools/tolket/tolket_run.h"

namespace {

using platform::kHkeyClassesRoot;
using platform::kHkeyLocalMachine;
using platform::MemoryRegistry;

const std::string kDriveIcons = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\";
const std::string kExplorerDrives = "Applications\\explorer.exe\\Drives\\";

std::string Line(const std::string& root, const std::string& key, const std::string& data,
                 const std::string& drive) {
  return root + "," + key + ",," + data + "," + drive + "\r\n";
}

// The four lines the ejector writes for one slot.
std::string SlotLines(char letter, const std::string& icon, const std::string& label) {
  std::string x(1, letter);
  return Line("HKEY_LOCAL_MACHINE", kDriveIcons + x + "\\DefaultIcon\\", icon, x) +
         Line("HKEY_LOCAL_MACHINE", kDriveIcons + x + "\\DefaultLabel\\", label, x) +
         Line("HKEY_CLASSES_ROOT", kExplorerDrives + x + "\\DefaultIcon\\", icon, x) +
         Line("HKEY_CLASSES_ROOT", kExplorerDrives + x + "\\DefaultLabel\\", label, x);
}

// The default (or a named) value of a key, or "<none>" / "<no key>".
std::string DefaultValue(MemoryRegistry& registry, platform::RegKey root, const std::string& path,
                         const char* name = "") {
  return fake::ValueText(registry, root, path, name);
}

// Every key of every root, so a test can say that nothing else was touched.
size_t KeyCount(const MemoryRegistry& registry) {
  size_t n = 0;
  for (const auto& root : registry.SnapshotAll()) n += root.second.size();
  return n;
}

TEST(TolketFile, SplitsFieldsFromBothEndsSoCommasStayInTheData) {
  IconEntryFile file = ParseIconEntryFile(
      Line("HKEY_LOCAL_MACHINE", kDriveIcons + "F\\DefaultLabel\\", "SD, MMC, miniSD", "F"));
  ASSERT_EQ(1u, file.lines.size());
  EXPECT_TRUE(file.refused.empty());
  const CIconEntry& e = file.lines[0].entry;
  EXPECT_EQ("HKEY_LOCAL_MACHINE", e.m_strRoot);
  EXPECT_EQ(kDriveIcons + "F\\DefaultLabel\\", e.m_strKeyPath);
  EXPECT_EQ("", e.m_strValueName);
  EXPECT_EQ("SD, MMC, miniSD", e.m_strData);
  EXPECT_EQ("F", e.m_strDrive);
}

TEST(TolketFile, RefusesMissingFieldsOverlongLinesAndBinaryJunk) {
  std::string junk("HKEY_LOCAL_MACHINE,a,\0,b,F", 26);
  std::string content = "HKEY_LOCAL_MACHINE,only,three\r\n" + std::string(2000, 'x') + ",a,,b,F\r\n" +
                        junk + "\r\n" + "\r\n";
  IconEntryFile file = ParseIconEntryFile(content);
  EXPECT_TRUE(file.lines.empty());
  ASSERT_EQ(3u, file.refused.size());
  EXPECT_EQ("1 行目: 項目が足りません", file.refused[0]);
  EXPECT_EQ("2 行目: 行が長すぎます", file.refused[1]);
  EXPECT_EQ("3 行目: 制御文字が含まれています", file.refused[2]);
}

// A tab, 0x01 or DEL in any field is no part of an icon path or a label; only the line that
// holds one is refused. (Printable bytes on either side: 0x20 and 0x7E, and a code page 932
// character whose second byte is 0x40.)
TEST(TolketFile, RefusesLinesWithAByteBelow0x20Or0x7F) {
  const std::string controls[] = {std::string("\t"), std::string("\x01"), std::string("\x1f"),
                                  std::string("\x7f")};
  for (const std::string& control : controls) {
    std::string content =
        Line("HKEY_LOCAL_MACHINE", kDriveIcons + "F\\DefaultLabel\\", "SD" + control + "MMC", "F") +
        Line("HKEY_LOCAL_MACHINE", kDriveIcons + "F\\DefaultIcon" + control + "\\", "C:\\SD.ICO", "F") +
        Line("HKEY_LOCAL_MACHINE", kDriveIcons + "F\\DefaultLabel\\", "S D~\x83\x40", "F");
    IconEntryFile file = ParseIconEntryFile(content);
    ASSERT_EQ(2u, file.refused.size()) << int(control[0]);
    EXPECT_EQ("1 行目: 制御文字が含まれています", file.refused[0]);
    EXPECT_EQ("2 行目: 制御文字が含まれています", file.refused[1]);
    ASSERT_EQ(1u, file.lines.size());
    EXPECT_EQ("S D~\x83\x40", file.lines[0].entry.m_strData);
  }
}

TEST(TolketWhitelist, AcceptsExactlyTheFourKeysOfADriveLetter) {
  const std::string leaves[] = {"DefaultIcon\\", "DefaultLabel\\", "DefaultIcon", "defaultlabel\\"};
  for (const std::string& leaf : leaves) {
    DriveIconTarget target;
    std::string reason;
    EXPECT_TRUE(CheckDriveIconEntry({"HKEY_CLASSES_ROOT", kExplorerDrives + "g\\" + leaf, "", "x", "G"},
                                    target, reason))
        << leaf << ": " << reason;
    EXPECT_EQ(kHkeyClassesRoot, target.root);
  }
  DriveIconTarget target;
  std::string reason;
  ASSERT_TRUE(CheckDriveIconEntry(
      {"HKEY_LOCAL_MACHINE", kDriveIcons + "F\\DefaultIcon\\", "", "C:\\ICONS\\SD.ICO", "F"}, target,
      reason));
  EXPECT_EQ(kDriveIcons + "F\\DefaultIcon", target.keyPath);
}

TEST(TolketWhitelist, RefusesOtherRootsKeysValuesAndMismatchedDrives) {
  struct Case {
    CIconEntry entry;
    const char* reason;
  };
  const Case cases[] = {
      {{"HKEY_CURRENT_USER", kDriveIcons + "F\\DefaultIcon\\", "", "x", "F"}, "許可されていないルートキーです"},
      {{"HKEY_LOCAL_MACHINE", "Software\\Microsoft\\Windows\\CurrentVersion\\Run\\", "", "x", "F"},
       "許可されていないキーです"},
      {{"HKEY_LOCAL_MACHINE", kDriveIcons + "F\\DefaultIcon\\..\\..\\..\\Run\\", "", "x", "F"},
       "許可されていないキーです"},
      {{"HKEY_LOCAL_MACHINE", kDriveIcons + "..\\DefaultIcon\\", "", "x", "F"}, "許可されていないキーです"},
      {{"HKEY_LOCAL_MACHINE", kDriveIcons + "FF\\DefaultIcon\\", "", "x", "F"}, "許可されていないキーです"},
      {{"HKEY_LOCAL_MACHINE", kDriveIcons + "1\\DefaultIcon\\", "", "x", "1"}, "許可されていないキーです"},
      {{"HKEY_LOCAL_MACHINE", kDriveIcons + "F\\DefaultIcon\\Sub\\", "", "x", "F"}, "許可されていないキーです"},
      {{"HKEY_LOCAL_MACHINE", kDriveIcons + "F\\DefaultIcon\\", "Debugger", "x", "F"},
       "既定の値のほかは書き込めません"},
      {{"HKEY_LOCAL_MACHINE", kDriveIcons + "F\\DefaultIcon\\", "", "x", "G"},
       "ドライブ名がキーと合っていません"},
      {{"HKEY_LOCAL_MACHINE", kDriveIcons + "F\\DefaultIcon\\", "", std::string(260, 'a'), "F"},
       "データが長すぎます"},
  };
  for (const Case& c : cases) {
    DriveIconTarget target;
    std::string reason;
    EXPECT_FALSE(CheckDriveIconEntry(c.entry, target, reason)) << c.entry.m_strKeyPath;
    EXPECT_EQ(c.reason, reason) << c.entry.m_strKeyPath;
  }
}

TEST(TolketCommandLine, AcceptsTheEjectorsTwoFormsAndNoArguments) {
  TolketArgs args;
  std::string error;
  ASSERT_TRUE(ParseTolketCommandLine(
      "-create:\"C:\\ProgramData\\Norvell\\Tavrik\\Taro Yamada\\create.dat\" -remove:\"C:\\x y\\remove.dat\" -hidewindow",
      args, error));
  EXPECT_EQ("C:\\ProgramData\\Norvell\\Tavrik\\Taro Yamada\\create.dat", args.createFile);
  EXPECT_EQ("C:\\x y\\remove.dat", args.removeFile);
  EXPECT_TRUE(args.hideWindow);
  EXPECT_FALSE(args.repair);

  ASSERT_TRUE(ParseTolketCommandLine("-create:\"C:\\d\\create.dat\" -hidewindow", args, error));
  EXPECT_TRUE(args.removeFile.empty());

  ASSERT_TRUE(ParseTolketCommandLine("  ", args, error));
  EXPECT_TRUE(args.repair);

  // The uninstaller's: take back what a data file had written.
  ASSERT_TRUE(ParseTolketCommandLine("-remove:\"C:\\d\\create.dat\" -hidewindow", args, error));
  EXPECT_TRUE(args.createFile.empty());
  EXPECT_EQ("C:\\d\\create.dat", args.removeFile);
}

TEST(TolketCommandLine, RefusesUnknownOrIncompleteArguments) {
  TolketArgs args;
  std::string error;
  EXPECT_FALSE(ParseTolketCommandLine("-hidewindow", args, error));
  EXPECT_EQ("-create: か -remove: でデータファイルを指定してください。", error);
  EXPECT_FALSE(ParseTolketCommandLine("-create:\"unterminated", args, error));
  EXPECT_FALSE(ParseTolketCommandLine("-create:\"a\" -hidewindows", args, error));
  EXPECT_FALSE(ParseTolketCommandLine("/S", args, error));
  EXPECT_EQ("分からない引数です: /S", error);
}

TEST(TolketRun, WritesEveryEntryOfTheCreateFileCreatingTheKeys) {
  MemoryRegistry registry;
  std::string create = SlotLines('E', "C:\\PROGRA~1\\Norvell\\CF.ICO", "コンパクトフラッシュ") +
                       SlotLines('F', "C:\\PROGRA~1\\Norvell\\SD.ICO", "SD, MMC");
  TolketReport report = RunTolket(registry, &create, nullptr);
  EXPECT_EQ(0, report.exitCode);
  EXPECT_EQ(8, report.written);
  EXPECT_EQ("C:\\PROGRA~1\\Norvell\\CF.ICO", DefaultValue(registry, kHkeyLocalMachine, kDriveIcons + "E\\DefaultIcon"));
  EXPECT_EQ("SD, MMC", DefaultValue(registry, kHkeyClassesRoot, kExplorerDrives + "F\\DefaultLabel"));
  EXPECT_EQ(0u, registry.OpenHandleCount());
}

TEST(TolketRun, RemovesOnlyValuesThatStillHoldWhatTheEntryWrote) {
  MemoryRegistry registry;
  std::string first = SlotLines('E', "C:\\CF.ICO", "CF");
  RunTolket(registry, &first, nullptr);
  // Someone else has since changed one of the values: it is theirs now and stays.
  std::string other = Line("HKEY_CLASSES_ROOT", kExplorerDrives + "E\\DefaultLabel\\", "Camera", "E");
  RunTolket(registry, &other, nullptr);

  std::string second = SlotLines('G', "C:\\SD.ICO", "SD");
  TolketReport report = RunTolket(registry, &second, &first);
  EXPECT_EQ(0, report.exitCode);
  EXPECT_EQ(3, report.removed);
  EXPECT_EQ("<no key>", DefaultValue(registry, kHkeyLocalMachine, kDriveIcons + "E\\DefaultIcon"));
  EXPECT_EQ("Camera", DefaultValue(registry, kHkeyClassesRoot, kExplorerDrives + "E\\DefaultLabel"));
  EXPECT_EQ("SD", DefaultValue(registry, kHkeyLocalMachine, kDriveIcons + "G\\DefaultLabel"));
}

void SetDefault(MemoryRegistry& registry, platform::RegKey root, const std::string& path,
                const std::string& data) {
  platform::ScopedRegKey key(registry);
  ASSERT_EQ(platform::kErrorSuccess, key.Create(root, path.c_str(), platform::kKeyAllAccess));
  ASSERT_EQ(platform::kErrorSuccess,
            registry.SetValue(key.Get(), "", platform::kRegSz,
                              reinterpret_cast<const uint8_t*>(data.c_str()),
                              static_cast<uint32_t>(data.size() + 1)));
}

// Vista: what the user or another program had set on a drive survives Tolket's create and
// remove, kept in "BackData" in between exactly as Tavrik keeps it.
TEST(TolketRun, KeepsAnEarlierValueInBackDataAndPutsItBackOnRemove) {
  MemoryRegistry registry;
  SetDefault(registry, kHkeyLocalMachine, kDriveIcons + "F\\DefaultIcon", "C:\\MY\\CAMERA.ICO");
  SetDefault(registry, kHkeyClassesRoot, kExplorerDrives + "F\\DefaultLabel", "カメラ");
  std::string create = SlotLines('F', "C:\\SD.ICO", "SD");
  RunTolket(registry, &create, nullptr);
  EXPECT_EQ("C:\\SD.ICO", DefaultValue(registry, kHkeyLocalMachine, kDriveIcons + "F\\DefaultIcon"));
  EXPECT_EQ("C:\\MY\\CAMERA.ICO",
            DefaultValue(registry, kHkeyLocalMachine, kDriveIcons + "F\\DefaultIcon", "BackData"));
  EXPECT_EQ("カメラ", DefaultValue(registry, kHkeyClassesRoot, kExplorerDrives + "F\\DefaultLabel", "BackData"));
  EXPECT_EQ("<none>", DefaultValue(registry, kHkeyLocalMachine, kDriveIcons + "F\\DefaultLabel", "BackData"));

  // A second create over our own values keeps the first backup.
  RunTolket(registry, &create, &create);
  EXPECT_EQ("C:\\MY\\CAMERA.ICO",
            DefaultValue(registry, kHkeyLocalMachine, kDriveIcons + "F\\DefaultIcon", "BackData"));

  TolketReport report = RunTolket(registry, nullptr, &create);
  EXPECT_EQ(0, report.exitCode);
  EXPECT_EQ(4, report.removed);
  EXPECT_EQ("C:\\MY\\CAMERA.ICO", DefaultValue(registry, kHkeyLocalMachine, kDriveIcons + "F\\DefaultIcon"));
  EXPECT_EQ("<none>", DefaultValue(registry, kHkeyLocalMachine, kDriveIcons + "F\\DefaultIcon", "BackData"));
  EXPECT_EQ("カメラ", DefaultValue(registry, kHkeyClassesRoot, kExplorerDrives + "F\\DefaultLabel"));
  EXPECT_EQ("<none>", DefaultValue(registry, kHkeyClassesRoot, kExplorerDrives + "F\\DefaultLabel", "BackData"));
  // The keys that held nothing before go, as Tavrik's go on Windows NT to Vista.
  EXPECT_EQ("<no key>", DefaultValue(registry, kHkeyLocalMachine, kDriveIcons + "F\\DefaultLabel"));
  EXPECT_EQ("<no key>", DefaultValue(registry, kHkeyClassesRoot, kExplorerDrives + "F\\DefaultIcon"));
  EXPECT_EQ(0u, registry.OpenHandleCount());
}

// Without earlier values a remove leaves the machine-wide drive key (Windows keeps it) and
// takes Explorer's drive key away with its subkeys.
TEST(TolketRun, RemoveWithoutBackupTakesTheKeysAsTavrikDoesOnVista) {
  MemoryRegistry registry;
  std::string create = SlotLines('G', "C:\\SD.ICO", "SD");
  RunTolket(registry, &create, nullptr);
  TolketReport report = RunTolket(registry, nullptr, &create);
  EXPECT_EQ(4, report.removed);
  EXPECT_EQ("<none>", DefaultValue(registry, kHkeyLocalMachine, kDriveIcons + "G"));
  EXPECT_EQ("<no key>", DefaultValue(registry, kHkeyLocalMachine, kDriveIcons + "G\\DefaultIcon"));
  EXPECT_EQ("<no key>", DefaultValue(registry, kHkeyClassesRoot, kExplorerDrives + "G"));
  EXPECT_EQ("<none>", DefaultValue(registry, kHkeyClassesRoot, "Applications\\explorer.exe\\Drives"));
}

TEST(TolketRun, HostileFileWritesNothingOutsideTheWhitelistAndReportsIt) {
  MemoryRegistry registry;
  std::string hostile =
      Line("HKEY_LOCAL_MACHINE", "Software\\Microsoft\\Windows\\CurrentVersion\\Run\\", "evil.exe", "F") +
      Line("HKEY_CURRENT_USER", kDriveIcons + "F\\DefaultIcon\\", "x", "F") +
      Line("HKEY_LOCAL_MACHINE", kDriveIcons + "F\\..\\..\\Run\\", "evil.exe", "F") +
      "HKEY_LOCAL_MACHINE," + kDriveIcons + "F\\DefaultIcon\\,Debugger,evil.exe,F\r\n" +
      std::string("\x01\xff\xfe junk \x00\x02", 12) + "\r\n" +
      Line("HKEY_LOCAL_MACHINE", kDriveIcons + "F\\DefaultIcon\\", "C:\\SD.ICO", "F");
  TolketReport report = RunTolket(registry, &hostile, &hostile);
  EXPECT_EQ(kTolketRefusedLine, report.exitCode);
  EXPECT_EQ(1, report.written);
  EXPECT_EQ(10u, report.problems.size());  // five bad lines, in each of the two files
  const std::string text = TolketReportText(report);
  EXPECT_EQ(0u, text.find("ドライブのアイコンとラベルを 1 件書き込み、0 件取り除きました。\n"
                          "remove.dat 5 行目: 制御文字が含まれています\n"));
  // The one allowed entry made its key and parents; nothing else exists.
  auto all = registry.SnapshotAll();
  EXPECT_EQ(0u, all.count(platform::kHkeyCurrentUser));
  for (const auto& key : all[kHkeyLocalMachine])
    EXPECT_EQ(0u, (kDriveIcons + "F\\DefaultIcon").rfind(key.path, 0)) << key.path;
  // HKLM itself and the eight keys from Software down to DriveIcons\F\DefaultIcon.
  EXPECT_EQ(9u, KeyCount(registry));
}

}  // namespace
