#include "platform/reg_files/reg_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "platform/owners/scoped_reg_key.h"
#include "platform/twin/twin_registry.h"

namespace {

using platform::MemoryRegistry;
using platform::RegKey;

// The value as the ANSI calls return it: type and bytes, or "missing".
struct Read {
  uint32_t type = 0;
  std::string data;
  bool found = false;
};

Read ReadValue(MemoryRegistry& registry, RegKey root, const char* path, const char* name) {
  Read read;
  platform::ScopedRegKey key(registry);
  if (key.Open(root, path, platform::kKeyRead) != platform::kErrorSuccess) return read;
  uint32_t size = 0;
  if (registry.QueryValue(key.Get(), name, &read.type, nullptr, &size) != platform::kErrorSuccess)
    return read;
  std::vector<uint8_t> data(size + 1);
  if (registry.QueryValue(key.Get(), name, &read.type, data.data(), &size) != platform::kErrorSuccess)
    return read;
  read.data.assign(reinterpret_cast<const char*>(data.data()), size);
  read.found = true;
  return read;
}

void ExpectValue(MemoryRegistry& registry, RegKey root, const char* path, const char* name,
                 uint32_t type, const std::string& data) {
  SCOPED_TRACE(std::string(path) + " : " + name);
  Read read = ReadValue(registry, root, path, name);
  ASSERT_TRUE(read.found);
  EXPECT_EQ(type, read.type);
  EXPECT_EQ(data, read.data);
}

bool KeyExists(MemoryRegistry& registry, RegKey root, const char* path) {
  platform::ScopedRegKey key(registry);
  return key.Open(root, path, platform::kKeyRead) == platform::kErrorSuccess;
}

// A version 5.00 file as regedit writes it: UTF-16LE with a byte-order mark.
std::string Utf16File(const std::u16string& text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return bytes;
}

bool Import(MemoryRegistry& registry, const std::string& text, std::string* error = nullptr) {
  std::string message;
  bool ok = platform::ImportRegText(registry, text, "test.reg", message);
  if (error != nullptr) *error = message;
  return ok;
}

std::string Export(MemoryRegistry& registry, std::vector<platform::RegExportTree> trees) {
  std::string text;
  std::string error;
  EXPECT_TRUE(platform::ExportRegFile(registry, trees, text, error)) << error;
  return text;
}

// Exports every root that holds anything.
std::string ExportAll(MemoryRegistry& registry) {
  std::vector<platform::RegExportTree> trees;
  for (const auto& root : registry.SnapshotAll()) trees.push_back({root.first, ""});
  return Export(registry, trees);
}

// ---- REGEDIT4 ----

TEST(RegFileImport, Regedit4SetsEveryValueType) {
  MemoryRegistry registry;
  ASSERT_TRUE(Import(registry,
                     "REGEDIT4\r\n"
                     "\r\n"
                     "[HKEY_LOCAL_MACHINE\\Enum\\SCSI\\NORVELL_CF]\r\n"
                     "@=\"default\"\r\n"
                     "\"ProductId\"=\"CARD RW CF\"\r\n"
                     "\"Count\"=dword:0000001f\r\n"
                     "\"Record\"=hex:5c,00,3f,00\r\n"
                     "\"None\"=hex(0):01\r\n"
                     "\"Expand\"=hex(2):25,41,25,00\r\n"
                     "\"Multi\"=hex(7):61,00,62,00,00\r\n"
                     "\"Quad\"=hex(b):01,02,03,04,05,06,07,08\r\n"
                     "\"Empty\"=\"\"\r\n"
                     "\"NoBytes\"=hex:\r\n"));
  const char* key = "Enum\\SCSI\\NORVELL_CF";
  RegKey hklm = platform::kHkeyLocalMachine;
  ExpectValue(registry, hklm, key, "", platform::kRegSz, std::string("default", 8));
  ExpectValue(registry, hklm, key, "ProductId", platform::kRegSz, std::string("CARD RW CF", 11));
  ExpectValue(registry, hklm, key, "Count", platform::kRegDword, std::string("\x1f\0\0\0", 4));
  ExpectValue(registry, hklm, key, "Record", platform::kRegBinary, std::string("\x5c\0\x3f\0", 4));
  ExpectValue(registry, hklm, key, "None", platform::kRegNone, "\x01");
  // REGEDIT4 string data in hex is ANSI already, kept byte for byte (no terminator added).
  ExpectValue(registry, hklm, key, "Expand", platform::kRegExpandSz, std::string("%A%\0", 4));
  ExpectValue(registry, hklm, key, "Multi", platform::kRegMultiSz, std::string("a\0b\0\0", 5));
  ExpectValue(registry, hklm, key, "Quad", 11, "\x01\x02\x03\x04\x05\x06\x07\x08");
  ExpectValue(registry, hklm, key, "Empty", platform::kRegSz, std::string("\0", 1));
  ExpectValue(registry, hklm, key, "NoBytes", platform::kRegBinary, "");
}

TEST(RegFileImport, Regedit4StringsAreCp932BytesAndTrailBackslashesAreNotEscapes) {
  MemoryRegistry registry;
  // "表" is 0x95 0x5C: its trail byte must not start an escape or split the key path.
  ASSERT_TRUE(Import(registry,
                     "REGEDIT4\n"
                     "[HKEY_CURRENT_USER\\Software\\表示]\n"
                     "\"表\"=\"表\"\n"));
  ExpectValue(registry, platform::kHkeyCurrentUser, "Software\\表示", "表", platform::kRegSz,
              std::string("\x95\x5C\0", 3));
}

TEST(RegFileImport, EscapesInNamesAndStrings) {
  MemoryRegistry registry;
  ASSERT_TRUE(Import(registry,
                     "REGEDIT4\r\n[HKEY_CURRENT_USER\\E]\r\n"
                     "\"a\\\"b\\\\c\"=\"C:\\\\Program Files\\\\\\\"x\\\"\"\r\n"
                     "\"lines\"=\"one\\r\\ntwo\"\r\n"));
  ExpectValue(registry, platform::kHkeyCurrentUser, "E", "a\"b\\c", platform::kRegSz,
              std::string("C:\\Program Files\\\"x\"\0", 21));
  ExpectValue(registry, platform::kHkeyCurrentUser, "E", "lines", platform::kRegSz,
              std::string("one\r\ntwo\0", 9));
}

TEST(RegFileImport, HexDataContinuesOverLinesAndSkipsCommentsBetween) {
  MemoryRegistry registry;
  ASSERT_TRUE(Import(registry,
                     "REGEDIT4\n; a comment\n\n[HKEY_LOCAL_MACHINE\\System\\MountedDevices]\n"
                     "\"\\\\DosDevices\\\\E:\"=hex:5c,00,3f,00,\\\n"
                     "  3f,00,5c,00,\\\n"
                     "; between\n"
                     "\n"
                     "  53,00 ; after\n"
                     "\"Next\"=dword:00000001\n"));
  ExpectValue(registry, platform::kHkeyLocalMachine, "System\\MountedDevices", "\\DosDevices\\E:",
              platform::kRegBinary, std::string("\x5c\0\x3f\0\x3f\0\x5c\0\x53\0", 10));
  ExpectValue(registry, platform::kHkeyLocalMachine, "System\\MountedDevices", "Next",
              platform::kRegDword, std::string("\x01\0\0\0", 4));
}

TEST(RegFileImport, DeletesKeyTreesAndValues) {
  MemoryRegistry registry;
  ASSERT_TRUE(Import(registry,
                     "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A\\B\\C]\n\"v\"=\"1\"\n"
                     "[HKEY_LOCAL_MACHINE\\A]\n\"keep\"=\"1\"\n\"drop\"=\"1\"\n"));
  ASSERT_TRUE(Import(registry,
                     "REGEDIT4\n[-HKEY_LOCAL_MACHINE\\A\\B]\n"
                     "[HKEY_LOCAL_MACHINE\\A]\n\"drop\"=-\n\"never\"=-\n"
                     "[-HKEY_LOCAL_MACHINE\\Missing\\Key]\n"));
  EXPECT_FALSE(KeyExists(registry, platform::kHkeyLocalMachine, "A\\B"));
  EXPECT_TRUE(ReadValue(registry, platform::kHkeyLocalMachine, "A", "keep").found);
  EXPECT_FALSE(ReadValue(registry, platform::kHkeyLocalMachine, "A", "drop").found);
  EXPECT_EQ(0u, registry.OpenHandleCount());
}

TEST(RegFileImport, EveryRootIncludingDynDataAndShortNames) {
  MemoryRegistry registry;
  ASSERT_TRUE(Import(registry,
                     "REGEDIT4\n"
                     "[HKEY_DYN_DATA\\Config Manager\\Enum\\C29A3C40]\n\"HardWareKey\"=\"SCSI\\\\X\"\n"
                     "[HKEY_CLASSES_ROOT\\.x]\n\"v\"=\"cr\"\n"
                     "[HKEY_USERS\\.DEFAULT]\n\"v\"=\"u\"\n"
                     "[hkcu\\Software]\n\"v\"=\"cu\"\n"
                     "[HKLM\\Software]\n\"v\"=\"lm\"\n"
                     "[HKEY_CURRENT_USER]\n\"AtRoot\"=\"r\"\n"));
  ExpectValue(registry, platform::kHkeyDynData, "Config Manager\\Enum\\C29A3C40", "HardWareKey",
              platform::kRegSz, std::string("SCSI\\X", 7));
  ExpectValue(registry, platform::kHkeyClassesRoot, ".x", "v", platform::kRegSz, std::string("cr", 3));
  ExpectValue(registry, platform::kHkeyUsers, ".DEFAULT", "v", platform::kRegSz, std::string("u", 2));
  ExpectValue(registry, platform::kHkeyCurrentUser, "Software", "v", platform::kRegSz, std::string("cu", 3));
  ExpectValue(registry, platform::kHkeyLocalMachine, "Software", "v", platform::kRegSz, std::string("lm", 3));
  ExpectValue(registry, platform::kHkeyCurrentUser, "", "AtRoot", platform::kRegSz, std::string("r", 2));
}

TEST(RegFileImport, KeyLineNamesItsWholePathWhateverCameBefore) {
  MemoryRegistry registry;
  // A trailing backslash names the same key; a key below the one before may be made from it,
  // but not a sibling that merely starts with its name, nor a key under another root.
  ASSERT_TRUE(Import(registry, "REGEDIT4\n[HKEY_CURRENT_USER\\A\\B\\]\n\"v\"=\"1\"\n"
                               "[HKEY_CURRENT_USER\\A\\BC\\D]\n\"w\"=\"2\"\n"
                               "[HKEY_CURRENT_USER\\A\\BC\\D\\E]\n"
                               "[HKEY_LOCAL_MACHINE\\A\\BC\\D\\E\\F]\n"));
  ExpectValue(registry, platform::kHkeyCurrentUser, "A\\B", "v", platform::kRegSz, std::string("1", 2));
  ExpectValue(registry, platform::kHkeyCurrentUser, "A\\BC\\D", "w", platform::kRegSz,
              std::string("2", 2));
  EXPECT_TRUE(KeyExists(registry, platform::kHkeyCurrentUser, "A\\BC\\D\\E"));
  EXPECT_TRUE(KeyExists(registry, platform::kHkeyLocalMachine, "A\\BC\\D\\E\\F"));
  EXPECT_FALSE(KeyExists(registry, platform::kHkeyCurrentUser, "A\\BC\\D\\E\\F"));
}

TEST(RegFileImport, LaterLinesOverwriteEarlierOnesAndKeepThePlace) {
  MemoryRegistry registry;
  ASSERT_TRUE(Import(registry,
                     "REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"A\"=\"1\"\n\"B\"=\"1\"\n\"a\"=dword:00000002\n"));
  auto snapshot = registry.Snapshot(platform::kHkeyCurrentUser, "K");
  ASSERT_EQ(1u, snapshot.size());
  ASSERT_EQ(2u, snapshot[0].values.size());
  EXPECT_EQ("A", snapshot[0].values[0].name);
  EXPECT_EQ(platform::kRegDword, snapshot[0].values[0].type);
}

// ---- version 5.00 ----

TEST(RegFileImport, Version5Utf16StringsBecomeCp932) {
  MemoryRegistry registry;
  // hex(2) "%A%" and hex(7) "ア","b" are UTF-16LE bytes in the file.
  std::string file = Utf16File(
      u"Windows Registry Editor Version 5.00\r\n\r\n"
      u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvell\\Tavrik\\カード]\r\n"
      u"\"名前\"=\"スロット\\\\表\"\r\n"
      u"\"Expand\"=hex(2):25,00,41,00,25,00,00,00\r\n"
      u"\"Multi\"=hex(7):a2,30,00,00,62,00,00,00,00,00\r\n"
      u"\"Blob\"=hex:a2,30\r\n");
  ASSERT_TRUE(Import(registry, file));
  const char* key = "SOFTWARE\\Norvell\\Tavrik\\カード";
  ExpectValue(registry, platform::kHkeyLocalMachine, key, "名前", platform::kRegSz,
              std::string("スロット\\表") + std::string(1, '\0'));
  ExpectValue(registry, platform::kHkeyLocalMachine, key, "Expand", platform::kRegExpandSz,
              std::string("%A%\0", 4));
  ExpectValue(registry, platform::kHkeyLocalMachine, key, "Multi", platform::kRegMultiSz,
              std::string("\x83\x41\0b\0\0", 6));
  // Binary data is never converted.
  ExpectValue(registry, platform::kHkeyLocalMachine, key, "Blob", platform::kRegBinary, "\xa2\x30");
}

TEST(RegFileImport, Version5AcceptsUtf8Text) {
  MemoryRegistry registry;
  std::string file = reinterpret_cast<const char*>(
      u8"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\日本]\n\"値\"=\"テスト\"\n");
  ASSERT_TRUE(Import(registry, file));
  ExpectValue(registry, platform::kHkeyCurrentUser, "日本", "値", platform::kRegSz,
              std::string("テスト") + std::string(1, '\0'));
}

// ---- malformed files ----

struct Malformed {
  const char* text;
  int line;
  const char* reason;
};

TEST(RegFileImport, MalformedFilesAreRefusedWholeWithFileAndLine) {
  const Malformed cases[] = {
      {"REGEDIT5\n[HKEY_CURRENT_USER\\A]\n", 1, "not a registry file"},
      {"", 1, "not a registry file"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n[HKEY_NOWHERE\\A]\n", 3, "unknown root key"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A\n", 2, "missing ']'"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A] x\n", 2, "text after ']'"},
      {"REGEDIT4\n\"v\"=\"1\"\n", 2, "value outside a key"},
      {"REGEDIT4\n[-HKEY_CURRENT_USER\\A]\n\"v\"=\"1\"\n", 3, "value outside a key"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=dword:123456789\n", 3, "more than 8"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=dword:xyz\n", 3, "bad dword"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=dword:\n", 3, "bad dword"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=hex:100\n", 3, "more than 2 digits"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=hex:0g\n", 3, "bad hex data"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=hex:01,,02\n", 3, "bad hex data"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=hex:01,\\\n  zz\n", 4, "bad hex data"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=hex(2:00\n", 3, "bad hex(type)"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=hex(123456789):00\n", 3, "bad hex(type)"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v=\"1\"\n", 3, "missing '='"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=\"open\n", 3, "missing closing quote"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=\"a\\tb\"\n", 3, "unknown escape"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=\"a\" junk\n", 3, "after the closing quote"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=str:x\n", 3, "unknown value type"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=- x\n", 3, "text after '-'"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\nv=1\n", 3, "unexpected text"},
      {"REGEDIT4\n[-HKEY_CURRENT_USER]\n", 2, "root key cannot be deleted"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A\\\\B]\n", 2, "empty key name"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=hex:01 \\ x\n", 3, "after the continuation"},
      {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\A]\n\"v\"=hex(2):41,00,42\n", 3,
       "odd length"},
      // A lead byte without its trail byte is no cp932 text (and could not be written back).
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\x81\"=\"1\"\n", 3, "invalid cp932 text"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A\x81]\n", 2, "invalid cp932 text"},
  };
  for (const Malformed& c : cases) {
    SCOPED_TRACE(c.text);
    // A valid first part must not be applied either.
    std::string text = c.text;
    MemoryRegistry registry;
    std::string error;
    EXPECT_FALSE(Import(registry, text, &error));
    EXPECT_EQ(0u, error.rfind("test.reg:" + std::to_string(c.line) + ": ", 0)) << error;
    EXPECT_NE(std::string::npos, error.find(c.reason)) << error;
    EXPECT_TRUE(registry.SnapshotAll().empty()) << "nothing of a refused file is applied";
  }
}

TEST(RegFileImport, RefusedFileAppliesNothingEvenAfterManyGoodLines) {
  std::string text = "REGEDIT4\n";
  for (int i = 0; i < 50; ++i) text += "[HKEY_CURRENT_USER\\K" + std::to_string(i) + "]\n\"v\"=\"1\"\n";
  text += "\"broken\"=hex:zz\n";
  MemoryRegistry registry;
  std::string error;
  EXPECT_FALSE(Import(registry, text, &error));
  EXPECT_EQ("test.reg:102: bad hex data", error);
  EXPECT_TRUE(registry.SnapshotAll().empty());
}

TEST(RegFileImport, Utf16FileFaultsAreRefused) {
  MemoryRegistry registry;
  std::string error;
  std::string odd = Utf16File(u"Windows Registry Editor Version 5.00\r\n") + "x";
  EXPECT_FALSE(Import(registry, odd, &error));
  EXPECT_NE(std::string::npos, error.find("odd number of bytes")) << error;
  std::u16string lone = u"Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\A]\r\n\"v\"=\"x\"\r\n";
  lone[lone.size() - 4] = 0xD800;  // an unpaired surrogate in place of the x
  EXPECT_FALSE(Import(registry, Utf16File(lone), &error));
  EXPECT_EQ("test.reg:3: invalid UTF-16 text", error);
  // A character cp932 cannot hold cannot become an ANSI string.
  EXPECT_FALSE(Import(registry,
                      Utf16File(u"Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\A]\r\n"
                                u"\"v\"=\"\u00e9\"\r\n"),
                      &error));
  EXPECT_EQ("test.reg:3: text not representable in code page 932", error);
  EXPECT_TRUE(registry.SnapshotAll().empty());
}

TEST(RegFileImport, HostileInputIsRefusedNeverCrashes) {
  MemoryRegistry registry;
  std::string error;
  EXPECT_FALSE(Import(registry, std::string("REGEDIT4\n[HKEY_CURRENT_USER\\A") + '\0' + "]\n", &error));
  EXPECT_NE(std::string::npos, error.find("NUL character")) << error;
  // One hex value of several megabytes on continuation lines.
  std::string huge = "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=hex:";
  for (int i = 0; i < 400000; ++i) huge += "01,02,03,04,\\\n";
  huge += "05\n";
  EXPECT_FALSE(Import(registry, huge, &error));
  EXPECT_NE(std::string::npos, error.find("too long")) << error;
  // Random bytes after a valid header, with a fixed seed so a failure can be replayed.
  std::mt19937 random(20240607);
  for (int round = 0; round < 300; ++round) {
    std::string junk = round % 2 ? "REGEDIT4\r\n[HKEY_CURRENT_USER\\J]\r\n" : "\xFF\xFE";
    size_t length = random() % 400;
    for (size_t i = 0; i < length; ++i) junk.push_back(static_cast<char>(random() % 256));
    Import(registry, junk, &error);  // accepted or refused, never a crash
  }
  EXPECT_EQ(0u, registry.OpenHandleCount());
}

TEST(RegFileImport, ImportFileReportsAMissingFile) {
  MemoryRegistry registry;
  std::string error;
  EXPECT_FALSE(platform::ImportRegFile(registry, "/nonexistent/dir/x.reg", error));
  EXPECT_EQ("/nonexistent/dir/x.reg: cannot open the file", error);
}

// A registry whose key creation fails below one path, to see how apply reports it.
class RefusingRegistry : public MemoryRegistry {
 public:
  long CreateKey(RegKey parent, const char* subKey, uint32_t access, RegKey* result,
                 uint32_t* disposition) override {
    if (std::string(subKey) == "Locked") return platform::kErrorAccessDenied;
    return MemoryRegistry::CreateKey(parent, subKey, access, result, disposition);
  }
};

TEST(RegFileApply, FailingRegistryCallIsReportedWithItsLine) {
  RefusingRegistry registry;
  std::string error;
  EXPECT_FALSE(Import(registry, "REGEDIT4\n[HKEY_CURRENT_USER\\Open]\n\"v\"=\"1\"\n[HKEY_CURRENT_USER\\Locked]\n", &error));
  EXPECT_EQ("test.reg:4: cannot create key HKEY_CURRENT_USER\\Locked (error 5)", error);
  EXPECT_EQ(0u, registry.OpenHandleCount());
}

TEST(RegFileApply, StringWithoutTerminatorStaysWithoutOne) {
  // The ANSI set call would count a NUL that happens to follow the data; the loader keeps
  // hex(1) data exactly as written.
  MemoryRegistry registry;
  ASSERT_TRUE(Import(registry, "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=hex(1):61,62\n"));
  ExpectValue(registry, platform::kHkeyCurrentUser, "A", "v", platform::kRegSz, "ab");
}

// ---- export ----

TEST(RegFileExport, WritesRegedit4InEnumerationOrder) {
  MemoryRegistry registry;
  ASSERT_TRUE(Import(registry,
                     "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Norvell]\n"
                     "\"Z\"=\"last \\\"quoted\\\" C:\\\\dir\"\n@=\"def\"\n\"Count\"=dword:0000000a\n"
                     "\"Bin\"=hex:01,ff\n\"Multi\"=hex(7):61,00,00\n"
                     "[HKEY_CURRENT_USER\\Software\\Norvell\\_x]\n"
                     "[HKEY_CURRENT_USER\\Software\\Norvell\\b]\n"));
  EXPECT_EQ(
      "REGEDIT4\r\n"
      "\r\n"
      "[HKEY_CURRENT_USER\\Software\\Norvell]\r\n"
      "\"Z\"=\"last \\\"quoted\\\" C:\\\\dir\"\r\n"
      "@=\"def\"\r\n"
      "\"Count\"=dword:0000000a\r\n"
      "\"Bin\"=hex:01,ff\r\n"
      "\"Multi\"=hex(7):61,00,00\r\n"
      "\r\n"
      "[HKEY_CURRENT_USER\\Software\\Norvell\\b]\r\n"
      "\r\n"
      "[HKEY_CURRENT_USER\\Software\\Norvell\\_x]\r\n"
      "\r\n",
      Export(registry, {{platform::kHkeyCurrentUser, "Software\\Norvell"}}));
  registry.SetWineOrder(true);
  std::string wine = Export(registry, {{platform::kHkeyCurrentUser, "Software\\Norvell"}});
  EXPECT_LT(wine.find("\"Bin\""), wine.find("\"Z\"")) << "Wine order: values sorted";
  EXPECT_LT(wine.find("\\_x]"), wine.find("\\b]")) << "Wine order: lower-cased subkeys";
}

TEST(RegFileExport, StringsThatWouldNotReadBackAreWrittenAsHex) {
  MemoryRegistry registry;
  platform::ScopedRegKey key(registry);
  ASSERT_EQ(platform::kErrorSuccess, key.Create(platform::kHkeyCurrentUser, "S", platform::kKeyAllAccess));
  auto set = [&](const char* name, uint32_t type, const std::string& data) {
    std::string guarded = data + "X";  // a non-NUL byte after the data: no terminator counted
    ASSERT_EQ(platform::kErrorSuccess,
              registry.SetValue(key.Get(), name, type, reinterpret_cast<const uint8_t*>(guarded.data()),
                                static_cast<uint32_t>(data.size())));
  };
  set("unterminated", platform::kRegSz, "ab");
  set("inner", platform::kRegSz, std::string("a\0b\0", 4));
  set("lonelead", platform::kRegSz, std::string("\x81\0", 2));
  set("nothing", platform::kRegSz, "");
  set("shortdword", platform::kRegDword, "\x01\x02\x03");
  set("kanji", platform::kRegSz, std::string("表\0", 3));
  key.Close();
  std::string text = Export(registry, {{platform::kHkeyCurrentUser, "S"}});
  EXPECT_NE(std::string::npos, text.find("\"unterminated\"=hex(1):61,62\r\n")) << text;
  EXPECT_NE(std::string::npos, text.find("\"inner\"=hex(1):61,00,62,00\r\n")) << text;
  EXPECT_NE(std::string::npos, text.find("\"lonelead\"=hex(1):81,00\r\n")) << text;
  EXPECT_NE(std::string::npos, text.find("\"nothing\"=hex(1):\r\n")) << text;
  EXPECT_NE(std::string::npos, text.find("\"shortdword\"=hex(4):01,02,03\r\n")) << text;
  EXPECT_NE(std::string::npos, text.find("\"kanji\"=\"表\"\r\n")) << "the trail 0x5C is not escaped";
}

TEST(RegFileExport, LongHexWrapsLikeRegeditAndReadsBack) {
  MemoryRegistry registry;
  std::vector<uint8_t> blob(300);
  for (size_t i = 0; i < blob.size(); ++i) blob[i] = static_cast<uint8_t>(i * 7);
  platform::ScopedRegKey key(registry);
  ASSERT_EQ(platform::kErrorSuccess, key.Create(platform::kHkeyLocalMachine, "W", platform::kKeyAllAccess));
  ASSERT_EQ(platform::kErrorSuccess, registry.SetValue(key.Get(), "Blob", platform::kRegBinary, blob.data(), 300));
  key.Close();
  std::string text = Export(registry, {{platform::kHkeyLocalMachine, "W"}});
  std::istringstream lines(text);
  std::string line;
  size_t continued = 0;
  while (std::getline(lines, line)) {
    EXPECT_LE(line.size(), 82u) << line;
    if (line.size() >= 2 && line[line.size() - 2] == '\\') ++continued;
  }
  EXPECT_GT(continued, 5u);
  MemoryRegistry copy;
  ASSERT_TRUE(Import(copy, text));
  EXPECT_EQ(registry.SnapshotAll(), copy.SnapshotAll());
}

TEST(RegFileExport, MissingKeyIsAnError) {
  MemoryRegistry registry;
  std::string text = "unchanged";
  std::string error;
  EXPECT_FALSE(platform::ExportRegFile(registry, {{platform::kHkeyLocalMachine, "Nope"}}, text, error));
  EXPECT_EQ("HKEY_LOCAL_MACHINE\\Nope: cannot open (error 2)", error);
  EXPECT_EQ("unchanged", text);
}

TEST(RegFileRoundTrip, ExportThenImportGivesTheSameImage) {
  MemoryRegistry registry;
  ASSERT_TRUE(Import(registry,
                     "REGEDIT4\n"
                     "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Disk\\Enum]\n"
                     "\"0\"=\"USBSTOR\\\\Disk&Ven_Norvell&Prod_CF\\\\6&1\"\n\"Count\"=dword:00000001\n"
                     "\"NextInstance\"=dword:00000001\n"
                     "[HKEY_LOCAL_MACHINE\\System\\MountedDevices]\n"
                     "\"\\\\DosDevices\\\\E:\"=hex:5c,00,3f,00,3f,00,5c,00\n"
                     "[HKEY_DYN_DATA\\Config Manager\\Enum\\C29A3C40]\n\"HardWareKey\"=\"SCSI\\\\NORVELL\"\n"
                     "[HKEY_CURRENT_USER\\Software\\表示\\カード]\n\"名前\"=\"表\\\"\\\\\"\n@=\"\"\n"
                     "\"nl\"=\"a\\nb\"\n\"none\"=hex(0):\n\"quad\"=hex(b):01,02,03,04,05,06,07,08\n"
                     "\"multi\"=hex(7):61,00,00\n\"exp\"=hex(2):25,00\n"
                     "[HKEY_CLASSES_ROOT\\Empty]\n"));
  std::string first = ExportAll(registry);
  MemoryRegistry copy;
  std::string error;
  ASSERT_TRUE(Import(copy, first, &error)) << error << "\n" << first;
  EXPECT_EQ(registry.SnapshotAll(), copy.SnapshotAll());
  EXPECT_EQ(first, ExportAll(copy)) << "a second export is identical";
}

// ---- a file written by Wine's regedit ----

std::string ReadFixture(const char* name) {
  std::string path = std::string(FIXTURE_DIR) + "/" + name;
#ifdef _WIN32
  if (path[0] == '/') path = "Z:" + path;  // Wine shows the Unix root as drive Z:
#endif
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(RegFileWineSample, LoadsWithEveryValueAsTheAnsiCallsSeeIt) {
  std::string bytes = ReadFixture("wine_export_sample.reg");
  ASSERT_FALSE(bytes.empty());
  MemoryRegistry registry;
  std::string error;
  ASSERT_TRUE(Import(registry, bytes, &error)) << error;
  const char* key = "Software\\Norvell\\WineSample";
  RegKey hkcu = platform::kHkeyCurrentUser;
  ExpectValue(registry, hkcu, key, "", platform::kRegSz, std::string("Default text", 13));
  ExpectValue(registry, hkcu, key, "Count", platform::kRegDword, "\xcd\xab\x34\x12");
  ExpectValue(registry, hkcu, key, "Japanese", platform::kRegSz,
              std::string("カードリーダー表示") + std::string(1, '\0'));
  ExpectValue(registry, hkcu, key, "Expand", platform::kRegExpandSz,
              std::string("%SystemRoot%\\system32") + std::string(1, '\0'));
  ExpectValue(registry, hkcu, key, "Multi", platform::kRegMultiSz,
              std::string("one\0two\0", 8) + "スロット" + std::string(2, '\0'));
  ExpectValue(registry, hkcu, key, "Quote\"And\\Backslash", platform::kRegSz,
              std::string("C:\\Program Files\\Norvell\\\"x\"") + std::string(1, '\0'));
  ExpectValue(registry, hkcu, key, "Empty", platform::kRegSz, std::string(1, '\0'));
  ExpectValue(registry, hkcu, key, "Quad", 11, "\x88\x77\x66\x55\x44\x33\x22\x11");
  Read blob = ReadValue(registry, hkcu, key, "Blob");
  EXPECT_EQ(48u, blob.data.size());
  ExpectValue(registry, hkcu, "Software\\Norvell\\WineSample\\Slots\\_Last", "Letter",
              platform::kRegSz, std::string("G", 2));
  // Wine wrote the subkeys in its order (_Last first); the twin enumerates as Windows does.
  auto snapshot = registry.Snapshot(hkcu, "Software\\Norvell\\WineSample\\Slots");
  ASSERT_EQ(4u, snapshot.size());
  EXPECT_EQ("Software\\Norvell\\WineSample\\Slots\\CF", snapshot[1].path);
  EXPECT_EQ("Software\\Norvell\\WineSample\\Slots\\_Last", snapshot[3].path);
}

TEST(RegFileWineSample, ExportThenImportGivesTheSameImage) {
  MemoryRegistry registry;
  std::string error;
  ASSERT_TRUE(Import(registry, ReadFixture("wine_export_sample.reg"), &error)) << error;
  std::string text = ExportAll(registry);
  MemoryRegistry copy;
  ASSERT_TRUE(Import(copy, text, &error)) << error;
  EXPECT_EQ(registry.SnapshotAll(), copy.SnapshotAll());
}

}  // namespace
