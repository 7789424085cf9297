// The registry seam held to Windows: the same cases run natively on the in-memory twin and,
// as a Windows program, on the real registry (Wine's, under Wine). Where Wine 8 is known to
// differ, WineDiffers() selects Wine's behaviour explicitly, so that a run on Windows holds
// every case to Windows behaviour.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/owners/scoped_reg_key.h"
#include "platform/reg_files/registry_tree.h"
#include "tests/conformance/registry_checks.h"
#include "tests/conformance/registry_under_test.h"

namespace conformance {
namespace {

using namespace platform;

// Removes leftovers of an interrupted run before the cases and the test key after them.
class RealRegistryEnvironment : public testing::Environment {
 public:
  void SetUp() override { PrepareRealRegistry(); }
  void TearDown() override { CleanUpRealRegistry(); }
};
testing::Environment* const kEnvironment =
    testing::AddGlobalTestEnvironment(new RealRegistryEnvironment);

class RegistryConformance : public testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    m_target = std::make_unique<RegistryUnderTest>(GetParam());
    m_path = std::string(kTestKeyPath) + "\\" +
             testing::UnitTest::GetInstance()->current_test_info()->name();
    std::replace(m_path.begin(), m_path.end(), '/', '_');
    DeleteRegistryTree(Reg(), kHkeyCurrentUser, m_path.c_str());
    ASSERT_EQ(kErrorSuccess,
              Reg().CreateKey(kHkeyCurrentUser, m_path.c_str(), kKeyAllAccess, &m_key, nullptr));
  }

  void TearDown() override {
    if (m_key != 0) Reg().CloseKey(m_key);
    EXPECT_EQ(kErrorSuccess, DeleteRegistryTree(Reg(), kHkeyCurrentUser, m_path.c_str()));
    if (MemoryRegistry* twin = m_target->Twin()) {
      EXPECT_EQ(0u, twin->OpenHandleCount()) << "a case left a key open";
    }
  }

  IRegistry& Reg() { return m_target->Registry(); }

  // True when the registry under test enumerates as Wine 8 does; the caller then checks
  // Wine's behaviour instead of Windows'. Each use is reported in the output.
  bool WineDiffers(const char* what) {
    if (!m_target->BehavesLikeWine()) return false;
    std::printf("[ WINE DIFFERS ] %s\n", what);
    RecordProperty("wine_differs", what);
    return true;
  }

  RegKey Open(const char* path, uint32_t access) {
    RegKey key = 0;
    EXPECT_EQ(kErrorSuccess, Reg().OpenKey(m_key, path, access, &key)) << path;
    return key;
  }

  std::unique_ptr<RegistryUnderTest> m_target;
  std::string m_path;
  RegKey m_key = 0;
};

// ---- enumeration order ----

TEST_P(RegistryConformance, ValuesEnumerateInTheOrderTheyWereStored) {
  for (const char* name : {"A", "C", "D", "B"}) SetString(HERE, Reg(), m_key, name, "x");
  if (WineDiffers("values enumerate sorted by name")) {
    ExpectValueNames(HERE, Reg(), m_key, {"A", "B", "C", "D"});
  } else {
    ExpectValueNames(HERE, Reg(), m_key, {"A", "C", "D", "B"});
  }
}

TEST_P(RegistryConformance, ValueSetAgainKeepsItsPlaceAndDeletedThenSetGoesToTheEnd) {
  for (const char* name : {"First", "Second", "Third"}) SetString(HERE, Reg(), m_key, name, "1");
  SetString(HERE, Reg(), m_key, "Second", "again");
  ExpectValueNames(HERE, Reg(), m_key, {"First", "Second", "Third"});
  ASSERT_EQ(kErrorSuccess, Reg().DeleteValue(m_key, "First"));
  SetString(HERE, Reg(), m_key, "First", "back");
  if (WineDiffers("values enumerate sorted by name")) {
    ExpectValueNames(HERE, Reg(), m_key, {"First", "Second", "Third"});
  } else {
    ExpectValueNames(HERE, Reg(), m_key, {"Second", "Third", "First"});
  }
}

TEST_P(RegistryConformance, SubkeysEnumerateSortedByUpperCasedName) {
  for (const char* name : {"b", "Z", "_x", "a", "Y", "[q", "~t", "1"})
    CreateAndCloseKey(HERE, Reg(), m_key, name);
  // Upper-cased, "_" (0x5F) and "[" (0x5B) come after the letters; lower-cased, before them.
  if (WineDiffers("subkeys enumerate sorted by lower-cased name")) {
    ExpectSubkeyNames(HERE, Reg(), m_key, {"1", "[q", "_x", "a", "b", "Y", "Z", "~t"});
  } else {
    ExpectSubkeyNames(HERE, Reg(), m_key, {"1", "a", "b", "Y", "Z", "[q", "_x", "~t"});
  }
}

TEST_P(RegistryConformance, SubkeyOrderIgnoresCreationOrderAndCase) {
  for (const char* name : {"gamma", "Beta", "alpha", "ALPHA2"})
    CreateAndCloseKey(HERE, Reg(), m_key, name);
  ExpectSubkeyNames(HERE, Reg(), m_key, {"alpha", "ALPHA2", "Beta", "gamma"});
}

// ---- RegEnumValueA buffers ----

class EnumValueBuffers : public RegistryConformance {
 protected:
  void SetUp() override {
    RegistryConformance::SetUp();
    // Names in alphabetical order, so that both enumeration orders agree.
    SetString(HERE, Reg(), m_key, "A", "foobar");                 // 7 bytes of data
    SetString(HERE, Reg(), m_key, "B_long_value_name", "xy");     // 17-character name
    SetDword(HERE, Reg(), m_key, "C", 0x12345678);
  }

  long Enum(uint32_t index, uint32_t nameChars, uint32_t dataBytes) {
    std::fill(std::begin(m_name), std::end(m_name), static_cast<char>(kSentinel));
    std::fill(std::begin(m_data), std::end(m_data), kSentinel);
    m_nameChars = nameChars;
    m_dataBytes = dataBytes;
    m_type = kSentinelSize;
    return Reg().EnumValue(m_key, index, m_name, &m_nameChars, &m_type, m_data, &m_dataBytes);
  }

  char m_name[64];
  uint8_t m_data[64];
  uint32_t m_nameChars = 0;
  uint32_t m_dataBytes = 0;
  uint32_t m_type = 0;
};

TEST_P(EnumValueBuffers, FittingBuffersGetNameDataAndSizes) {
  ASSERT_EQ(kErrorSuccess, Enum(0, 20, 20));
  EXPECT_EQ(1u, m_nameChars);
  EXPECT_STREQ("A", m_name);
  EXPECT_EQ(kRegSz, m_type);
  EXPECT_EQ(7u, m_dataBytes);
  EXPECT_EQ(0, std::memcmp("foobar", m_data, 7));
  ExpectUntouched(HERE, m_data, 7, sizeof m_data);
}

TEST_P(EnumValueBuffers, ShortNameIsMoreDataAndLaterIndexesStillEnumerate) {
  // 17 characters need 18 with the terminator.
  ASSERT_EQ(kErrorMoreData, Enum(1, 17, 20));
  EXPECT_EQ(17u, m_nameChars) << "the name size is left as given";
  EXPECT_EQ(kRegSz, m_type);
  EXPECT_EQ(3u, m_dataBytes) << "the data size is reported";
  // XP leaves the name alone, later Windows and Wine write a truncated one: never past it.
  ExpectUntouched(HERE, reinterpret_cast<uint8_t*>(m_name), 17, sizeof m_name);
  ASSERT_EQ(kErrorSuccess, Enum(2, 20, 20));
  EXPECT_STREQ("C", m_name);
  EXPECT_EQ(kRegDword, m_type);
  ASSERT_EQ(kErrorSuccess, Enum(1, 18, 20));
  EXPECT_STREQ("B_long_value_name", m_name);
}

TEST_P(EnumValueBuffers, ShortDataIsMoreDataWithTheNeededSize) {
  ASSERT_EQ(kErrorMoreData, Enum(0, 20, 2));
  EXPECT_EQ(7u, m_dataBytes);
  EXPECT_EQ(kRegSz, m_type);
  EXPECT_EQ(20u, m_nameChars) << "the ANSI call leaves the name size alone";
  ExpectUntouched(HERE, m_data, 2, sizeof m_data);
  ASSERT_EQ(kErrorSuccess, Enum(1, 20, 20));
  EXPECT_STREQ("B_long_value_name", m_name);
}

TEST_P(EnumValueBuffers, ShortNameAndDataTouchNeither) {
  ASSERT_EQ(kErrorMoreData, Enum(0, 1, 2));
  EXPECT_EQ(1u, m_nameChars);
  EXPECT_EQ(7u, m_dataBytes);
  EXPECT_EQ(kRegSz, m_type);
  ExpectUntouched(HERE, reinterpret_cast<uint8_t*>(m_name), 0, sizeof m_name);
  ExpectUntouched(HERE, m_data, 0, sizeof m_data);
}

TEST_P(EnumValueBuffers, EmptyNameBufferIsMoreData) {
  ASSERT_EQ(kErrorMoreData, Enum(0, 0, 20));
  EXPECT_EQ(0u, m_nameChars);
  EXPECT_EQ(7u, m_dataBytes);
}

TEST_P(EnumValueBuffers, WithoutDataBufferTheSizeIsReported) {
  char name[20];
  uint32_t nameChars = sizeof name;
  uint32_t type = 0;
  uint32_t size = 0;
  ASSERT_EQ(kErrorSuccess, Reg().EnumValue(m_key, 2, name, &nameChars, &type, nullptr, &size));
  EXPECT_STREQ("C", name);
  EXPECT_EQ(4u, size);
  EXPECT_EQ(kRegDword, type);
}

TEST_P(EnumValueBuffers, PastTheEndIsNoMoreItems) {
  EXPECT_EQ(kErrorNoMoreItems, Enum(3, 20, 20));
  EXPECT_EQ(kSentinelSize, m_type) << "nothing is reported past the end";
  EXPECT_EQ(kErrorNoMoreItems, Enum(1000, 20, 20));
}

TEST_P(RegistryConformance, EmptyKeyHasNoValuesAndNoSubkeys) {
  char name[16];
  uint32_t nameChars = sizeof name;
  EXPECT_EQ(kErrorNoMoreItems,
            Reg().EnumValue(m_key, 0, name, &nameChars, nullptr, nullptr, nullptr));
  nameChars = sizeof name;
  EXPECT_EQ(kErrorNoMoreItems, Reg().EnumKey(m_key, 0, name, &nameChars));
}

TEST_P(RegistryConformance, ValueNameOf260CharactersDoesNotFitA260Buffer) {
  // The programs enumerate with 260-character buffers; a longer name must be reported, not
  // written, and the next value must still be reachable.
  std::string longName = "A" + std::string(299, 'n');
  SetString(HERE, Reg(), m_key, longName.c_str(), "long");
  SetString(HERE, Reg(), m_key, "B", "after");
  char name[260 + 8];
  std::fill(std::begin(name), std::end(name), static_cast<char>(kSentinel));
  uint32_t nameChars = 260;
  uint8_t data[260];
  uint32_t dataBytes = sizeof data;
  EXPECT_EQ(kErrorMoreData, Reg().EnumValue(m_key, 0, name, &nameChars, nullptr, data, &dataBytes));
  ExpectUntouched(HERE, reinterpret_cast<uint8_t*>(name), 260, sizeof name);
  nameChars = 260;
  dataBytes = sizeof data;
  ASSERT_EQ(kErrorSuccess, Reg().EnumValue(m_key, 1, name, &nameChars, nullptr, data, &dataBytes));
  EXPECT_STREQ("B", name);
}

// ---- RegEnumKeyExA buffers ----

TEST_P(RegistryConformance, EnumKeyNeedsRoomForTheTerminator) {
  CreateAndCloseKey(HERE, Reg(), m_key, "Abcdef");
  CreateAndCloseKey(HERE, Reg(), m_key, "B");
  char name[16];
  std::fill(std::begin(name), std::end(name), static_cast<char>(kSentinel));
  uint32_t nameChars = 6;
  ASSERT_EQ(kErrorMoreData, Reg().EnumKey(m_key, 0, name, &nameChars));
  EXPECT_EQ(6u, nameChars) << "the size is left as given";
  ExpectUntouched(HERE, reinterpret_cast<uint8_t*>(name), 6, sizeof name);
  nameChars = 16;
  ASSERT_EQ(kErrorSuccess, Reg().EnumKey(m_key, 1, name, &nameChars)) << "later index reachable";
  EXPECT_STREQ("B", name);
  nameChars = 7;
  ASSERT_EQ(kErrorSuccess, Reg().EnumKey(m_key, 0, name, &nameChars));
  EXPECT_EQ(6u, nameChars);
  EXPECT_STREQ("Abcdef", name);
  nameChars = 16;
  EXPECT_EQ(kErrorNoMoreItems, Reg().EnumKey(m_key, 2, name, &nameChars));
}

// ---- RegQueryValueExA ----

TEST_P(RegistryConformance, QueryWithShortBufferIsMoreDataWithTheNeededSize) {
  SetString(HERE, Reg(), m_key, "Text", "abcdef");
  uint8_t data[16];
  std::fill(std::begin(data), std::end(data), kSentinel);
  uint32_t size = 3;
  uint32_t type = kSentinelSize;
  ASSERT_EQ(kErrorMoreData, Reg().QueryValue(m_key, "Text", &type, data, &size));
  EXPECT_EQ(7u, size);
  EXPECT_EQ(kRegSz, type);
  ExpectUntouched(HERE, data, 3, sizeof data);
}

TEST_P(RegistryConformance, QueryWithoutBufferReportsTheSize) {
  SetString(HERE, Reg(), m_key, "Text", "abcdef");
  uint32_t size = 0;
  uint32_t type = 0;
  ASSERT_EQ(kErrorSuccess, Reg().QueryValue(m_key, "Text", &type, nullptr, &size));
  EXPECT_EQ(7u, size);
  EXPECT_EQ(kRegSz, type);
}

TEST_P(RegistryConformance, QueryOfAMissingValueIsFileNotFound) {
  uint32_t size = 77;
  EXPECT_EQ(kErrorFileNotFound, Reg().QueryValue(m_key, "Missing", nullptr, nullptr, &size));
  EXPECT_EQ(0u, size) << "a size query reports 0";
  uint8_t data[8];
  size = sizeof data;
  EXPECT_EQ(kErrorFileNotFound, Reg().QueryValue(m_key, "Missing", nullptr, data, &size));
  EXPECT_EQ(sizeof data, size) << "a read leaves the size alone";
}

TEST_P(RegistryConformance, DefaultValueIsTheEmptyName) {
  uint32_t size = 0;
  EXPECT_EQ(kErrorFileNotFound, Reg().QueryValue(m_key, nullptr, nullptr, nullptr, &size))
      << "NT has no default value until one is set";
  SetString(HERE, Reg(), m_key, "", "default");
  ExpectValue(HERE, Reg(), m_key, nullptr, kRegSz, std::string("default", 8));
  ExpectValue(HERE, Reg(), m_key, "", kRegSz, std::string("default", 8));
  char name[8];
  uint32_t nameChars = sizeof name;
  ASSERT_EQ(kErrorSuccess, Reg().EnumValue(m_key, 0, name, &nameChars, nullptr, nullptr, nullptr));
  EXPECT_EQ(0u, nameChars);
  EXPECT_STREQ("", name);
}

// ---- REG_SZ sizes ----

TEST_P(RegistryConformance, StringSizesCountTheTerminator) {
  // Names in alphabetical order, so that both enumeration orders agree.
  const char text[] = "abc";  // the byte after "abc" is NUL
  ASSERT_EQ(kErrorSuccess,
            Reg().SetValue(m_key, "A_with", kRegSz, reinterpret_cast<const uint8_t*>(text), 4));
  ExpectValue(HERE, Reg(), m_key, "A_with", kRegSz, std::string("abc", 4));
  // NT counts a forgotten terminator when the byte after the data is NUL...
  ASSERT_EQ(kErrorSuccess,
            Reg().SetValue(m_key, "B_without", kRegSz, reinterpret_cast<const uint8_t*>(text), 3));
  ExpectValue(HERE, Reg(), m_key, "B_without", kRegSz, std::string("abc", 4));
  // ...but not when it is not,
  const char unterminated[] = "abcX";
  ASSERT_EQ(kErrorSuccess, Reg().SetValue(m_key, "C_cut", kRegSz,
                                          reinterpret_cast<const uint8_t*>(unterminated), 3));
  uint8_t data[8];
  std::fill(std::begin(data), std::end(data), kSentinel);
  uint32_t size = sizeof data;
  ASSERT_EQ(kErrorSuccess, Reg().QueryValue(m_key, "C_cut", nullptr, data, &size));
  EXPECT_EQ(3u, size);
  // A string stored without terminator reads back with one when the buffer has room...
  EXPECT_EQ(0, std::memcmp("abc", data, 4));
  ExpectUntouched(HERE, data, 4, sizeof data);
  std::fill(std::begin(data), std::end(data), kSentinel);
  size = 3;
  ASSERT_EQ(kErrorSuccess, Reg().QueryValue(m_key, "C_cut", nullptr, data, &size));
  ExpectUntouched(HERE, data, 3, sizeof data);  // ...and without one when it has not.
  std::fill(std::begin(data), std::end(data), kSentinel);
  size = sizeof data;
  char name[16];
  uint32_t nameChars = sizeof name;
  ASSERT_EQ(kErrorSuccess, Reg().EnumValue(m_key, 2, name, &nameChars, nullptr, data, &size));
  EXPECT_STREQ("C_cut", name);
  EXPECT_EQ(3u, size);
  EXPECT_EQ(0, std::memcmp("abc", data, 4));
  // ...and never for binary data.
  ASSERT_EQ(kErrorSuccess,
            Reg().SetValue(m_key, "D_binary", kRegBinary, reinterpret_cast<const uint8_t*>(text), 3));
  ExpectValue(HERE, Reg(), m_key, "D_binary", kRegBinary, "abc");
  ASSERT_EQ(kErrorSuccess,
            Reg().SetValue(m_key, "E_empty", kRegSz, reinterpret_cast<const uint8_t*>(""), 0));
  ExpectValue(HERE, Reg(), m_key, "E_empty", kRegSz, "");
}

TEST_P(RegistryConformance, ValueTypesAndBytesReadBackUnchanged) {
  const uint8_t binary[] = {0x5C, 0x00, 0x3F, 0x00, 0xFF};
  ASSERT_EQ(kErrorSuccess, Reg().SetValue(m_key, "Bin", kRegBinary, binary, sizeof binary));
  ExpectValue(HERE, Reg(), m_key, "Bin", kRegBinary, std::string("\x5C\0\x3F\0\xFF", 5));
  SetDword(HERE, Reg(), m_key, "Dword", 0x01020304);
  ExpectValue(HERE, Reg(), m_key, "Dword", kRegDword, std::string("\x04\x03\x02\x01", 4));
  const char multi[] = "one\0two\0";
  ASSERT_EQ(kErrorSuccess, Reg().SetValue(m_key, "Multi", kRegMultiSz,
                                          reinterpret_cast<const uint8_t*>(multi), 9));
  ExpectValue(HERE, Reg(), m_key, "Multi", kRegMultiSz, std::string(multi, 9));
  const char expand[] = "%WINDIR%\\x";
  ASSERT_EQ(kErrorSuccess, Reg().SetValue(m_key, "Expand", kRegExpandSz,
                                          reinterpret_cast<const uint8_t*>(expand), sizeof expand));
  ExpectValue(HERE, Reg(), m_key, "Expand", kRegExpandSz, std::string(expand, sizeof expand));
  ASSERT_EQ(kErrorSuccess, Reg().SetValue(m_key, "None", kRegNone, binary, 2));
  ExpectValue(HERE, Reg(), m_key, "None", kRegNone, std::string("\x5C\0", 2));
}

// ---- deleting while enumerating ----

TEST_P(RegistryConformance, DeletingAValueShiftsTheLaterOnesDown) {
  for (const char* name : {"V0", "V1", "V2", "V3"}) SetString(HERE, Reg(), m_key, name, "x");
  // Deleting the value just enumerated at index 0 and going on with index 1 skips V1:
  // names must be collected first, or the enumeration restarted, to delete them all.
  ASSERT_EQ(kErrorSuccess, Reg().DeleteValue(m_key, "V0"));
  char name[16];
  uint32_t nameChars = sizeof name;
  ASSERT_EQ(kErrorSuccess, Reg().EnumValue(m_key, 1, name, &nameChars, nullptr, nullptr, nullptr));
  EXPECT_STREQ("V2", name);
  nameChars = sizeof name;
  ASSERT_EQ(kErrorSuccess, Reg().EnumValue(m_key, 0, name, &nameChars, nullptr, nullptr, nullptr));
  EXPECT_STREQ("V1", name);
  nameChars = sizeof name;
  EXPECT_EQ(kErrorNoMoreItems,
            Reg().EnumValue(m_key, 3, name, &nameChars, nullptr, nullptr, nullptr));
}

TEST_P(RegistryConformance, DeletingASubkeyShiftsTheLaterOnesDown) {
  for (const char* name : {"K0", "K1", "K2"}) CreateAndCloseKey(HERE, Reg(), m_key, name);
  ASSERT_EQ(kErrorSuccess, Reg().DeleteKey(m_key, "K0"));
  ExpectSubkeyNames(HERE, Reg(), m_key, {"K1", "K2"});
  // Deleting at index 0 until ERROR_NO_MORE_ITEMS removes everything.
  for (;;) {
    char name[16];
    uint32_t nameChars = sizeof name;
    long rc = Reg().EnumKey(m_key, 0, name, &nameChars);
    if (rc == kErrorNoMoreItems) break;
    ASSERT_EQ(kErrorSuccess, rc);
    ASSERT_EQ(kErrorSuccess, Reg().DeleteKey(m_key, name));
  }
  ExpectSubkeyNames(HERE, Reg(), m_key, {});
}

// ---- HKEY_DYN_DATA ----

TEST_P(RegistryConformance, DynDataKeysCanBeCreatedOpenedAndEnumerated) {
  // The 9x lookups open HKEY_DYN_DATA "Config Manager\Enum"; fixtures write there through
  // the registry calls (reg.exe refuses this root).
  const char kPath[] = "Config Manager\\Enum\\SlotToolsConformance";
  DeleteRegistryTree(Reg(), kHkeyDynData, kPath);
  RegKey device = CreateKey(HERE, Reg(), kHkeyDynData, kPath);
  ASSERT_NE(0u, device);
  SetString(HERE, Reg(), device, "HardWareKey", "SCSI\\NORVELL_CARD_RW\\0001");
  Reg().CloseKey(device);

  ScopedRegKey manager(Reg());
  ASSERT_EQ(kErrorSuccess, manager.Open(kHkeyDynData, "Config Manager\\Enum", kKeyRead));
  std::vector<std::string> names = SubkeyNames(HERE, Reg(), manager.Get());
  EXPECT_NE(names.end(), std::find(names.begin(), names.end(), "SlotToolsConformance"));
  ScopedRegKey entry(Reg());
  ASSERT_EQ(kErrorSuccess, entry.Open(manager.Get(), "SlotToolsConformance", kKeyRead));
  ExpectValue(HERE, Reg(), entry.Get(), "HardWareKey", kRegSz,
              std::string("SCSI\\NORVELL_CARD_RW\\0001", 26));
  entry.Close();
  manager.Close();
  EXPECT_EQ(kErrorSuccess, DeleteRegistryTree(Reg(), kHkeyDynData, kPath));
  RegKey gone = 0;
  EXPECT_EQ(kErrorFileNotFound, Reg().OpenKey(kHkeyDynData, kPath, kKeyRead, &gone));
}

// ---- access rights ----

TEST_P(RegistryConformance, QueryOnlyHandleCanReadButNotEnumerateKeysOrWrite) {
  SetString(HERE, Reg(), m_key, "Value", "x");
  CreateAndCloseKey(HERE, Reg(), m_key, "Sub");
  ScopedRegKey key(Reg());
  ASSERT_EQ(kErrorSuccess, key.Open(m_key, "", kKeyQueryValue));
  ExpectValue(HERE, Reg(), key.Get(), "Value", kRegSz, std::string("x", 2));
  char name[16];
  uint32_t nameChars = sizeof name;
  EXPECT_EQ(kErrorSuccess, Reg().EnumValue(key.Get(), 0, name, &nameChars, nullptr, nullptr, nullptr));
  nameChars = sizeof name;
  EXPECT_EQ(kErrorAccessDenied, Reg().EnumKey(key.Get(), 0, name, &nameChars));
  EXPECT_EQ(kErrorAccessDenied,
            Reg().SetValue(key.Get(), "New", kRegSz, reinterpret_cast<const uint8_t*>("y"), 2));
  EXPECT_EQ(kErrorAccessDenied, Reg().DeleteValue(key.Get(), "Value"));
  ExpectValue(HERE, Reg(), m_key, "Value", kRegSz, std::string("x", 2));
}

TEST_P(RegistryConformance, EnumerateOnlyHandleCannotReadValues) {
  SetString(HERE, Reg(), m_key, "Value", "x");
  CreateAndCloseKey(HERE, Reg(), m_key, "Sub");
  ScopedRegKey key(Reg());
  ASSERT_EQ(kErrorSuccess, key.Open(m_key, nullptr, kKeyEnumerateSubKeys));
  ExpectSubkeyNames(HERE, Reg(), key.Get(), {"Sub"});
  uint32_t size = 0;
  EXPECT_EQ(kErrorAccessDenied, Reg().QueryValue(key.Get(), "Value", nullptr, nullptr, &size));
  char name[16];
  uint32_t nameChars = sizeof name;
  EXPECT_EQ(kErrorAccessDenied,
            Reg().EnumValue(key.Get(), 0, name, &nameChars, nullptr, nullptr, nullptr));
}

TEST_P(RegistryConformance, KeyReadHandleCannotSetValues) {
  // The 9x writer must open the device key with write access on NT-style registries.
  ScopedRegKey key(Reg());
  ASSERT_EQ(kErrorSuccess, key.Open(m_key, "", kKeyRead));
  EXPECT_EQ(kErrorAccessDenied,
            Reg().SetValue(key.Get(), "UserDriveLetterAssignment", kRegSz,
                           reinterpret_cast<const uint8_t*>("EE"), 3));
  ASSERT_EQ(kErrorSuccess, key.Open(m_key, "", kKeyAllAccess));
  EXPECT_EQ(kErrorSuccess, Reg().SetValue(key.Get(), "UserDriveLetterAssignment", kRegSz,
                                          reinterpret_cast<const uint8_t*>("EE"), 3));
}

TEST_P(RegistryConformance, ParentHandleRightsDoNotLimitCreateOpenOrDelete) {
  ScopedRegKey parent(Reg());
  ASSERT_EQ(kErrorSuccess, parent.Open(m_key, "", kKeyQueryValue));
  ScopedRegKey child(Reg());
  ASSERT_EQ(kErrorSuccess, child.Create(parent.Get(), "Child", kKeyAllAccess));
  child.Close();
  ASSERT_EQ(kErrorSuccess, child.Open(parent.Get(), "Child", kKeyRead));
  child.Close();
  EXPECT_EQ(kErrorSuccess, Reg().DeleteKey(parent.Get(), "Child"));
}

TEST_P(RegistryConformance, HandleOpenedWithNoRightsStillOpens) {
  ScopedRegKey key(Reg());
  ASSERT_EQ(kErrorSuccess, key.Open(m_key, "", 0));
  uint32_t size = 0;
  SetString(HERE, Reg(), m_key, "Value", "x");
  EXPECT_EQ(kErrorAccessDenied, Reg().QueryValue(key.Get(), "Value", nullptr, nullptr, &size));
}

// ---- names ----

TEST_P(RegistryConformance, KeyNamesAreCaseInsensitiveAndKeepTheirFirstSpelling) {
  CreateAndCloseKey(HERE, Reg(), m_key, "MixedCase");
  ScopedRegKey key(Reg());
  EXPECT_EQ(kErrorSuccess, key.Open(m_key, "MIXEDCASE", kKeyRead));
  uint32_t disposition = 0;
  ASSERT_EQ(kErrorSuccess, key.Create(m_key, "mixedcase", kKeyAllAccess, &disposition));
  EXPECT_EQ(kRegOpenedExistingKey, disposition);
  ExpectSubkeyNames(HERE, Reg(), m_key, {"MixedCase"});
}

TEST_P(RegistryConformance, ValueNamesAreCaseInsensitiveAndKeepTheirFirstSpelling) {
  SetString(HERE, Reg(), m_key, "Alpha", "1");
  ExpectValue(HERE, Reg(), m_key, "ALPHA", kRegSz, std::string("1", 2));
  SetString(HERE, Reg(), m_key, "aLPHA", "22");
  ExpectValueNames(HERE, Reg(), m_key, {"Alpha"});
  ExpectValue(HERE, Reg(), m_key, "alpha", kRegSz, std::string("22", 3));
  EXPECT_EQ(kErrorSuccess, Reg().DeleteValue(m_key, "ALPHA"));
  ExpectValueNames(HERE, Reg(), m_key, {});
}

TEST_P(RegistryConformance, DoubleByteNamesAreNotSplitOrFolded) {
  if (!AnsiIsCp932(GetParam())) GTEST_SKIP() << "the ANSI code page is not 932";
  // "表" is 0x95 0x5C: its trail byte is a backslash that must not split the path.
  const std::string table = "表示";
  RegKey key = CreateKey(HERE, Reg(), m_key, table.c_str());
  Reg().CloseKey(key);
  ExpectSubkeyNames(HERE, Reg(), m_key, {table});
  // "ａ" and "Ａ" (0x8281, 0x8260) differ only in a trail byte: ASCII folding leaves them apart.
  SetString(HERE, Reg(), m_key, "ａ", "fullwidth");
  SetString(HERE, Reg(), m_key, "a", "ascii");
  ExpectValue(HERE, Reg(), m_key, "A", kRegSz, std::string("ascii", 6));
  ExpectValue(HERE, Reg(), m_key, "ａ", kRegSz, std::string("fullwidth", 10));
}

TEST_P(RegistryConformance, DoubleByteSubkeysSortByTheirUtf16Names) {
  if (!AnsiIsCp932(GetParam())) GTEST_SKIP() << "the ANSI code page is not 932";
  // In cp932 "ア" (0x8341) comes before "Ⅰ" (0x8754); in UTF-16 U+2160 comes before U+30A2.
  CreateAndCloseKey(HERE, Reg(), m_key, "ア");
  CreateAndCloseKey(HERE, Reg(), m_key, "Ⅰ");
  CreateAndCloseKey(HERE, Reg(), m_key, "Z");
  ExpectSubkeyNames(HERE, Reg(), m_key, {"Z", "Ⅰ", "ア"});
}

// ---- opening and paths ----

TEST_P(RegistryConformance, OpeningAMissingKeyFailsAndClearsTheResult) {
  RegKey key = 0x1234;
  EXPECT_EQ(kErrorFileNotFound, Reg().OpenKey(m_key, "Missing", kKeyRead, &key));
  EXPECT_EQ(0u, key);
  key = 0x1234;
  EXPECT_EQ(kErrorFileNotFound, Reg().OpenKey(m_key, "Missing", kKeyRead, &key))
      << "the failed open created nothing";
  ExpectSubkeyNames(HERE, Reg(), m_key, {});
}

TEST_P(RegistryConformance, NestedPathsCreateEveryLevel) {
  uint32_t disposition = 0;
  ScopedRegKey key(Reg());
  ASSERT_EQ(kErrorSuccess, key.Create(m_key, "One\\Two\\Three", kKeyAllAccess, &disposition));
  EXPECT_EQ(kRegCreatedNewKey, disposition);
  ASSERT_EQ(kErrorSuccess, key.Create(m_key, "One\\Two\\Three", kKeyAllAccess, &disposition));
  EXPECT_EQ(kRegOpenedExistingKey, disposition);
  ASSERT_EQ(kErrorSuccess, key.Open(m_key, "One\\Two", kKeyRead));
  ExpectSubkeyNames(HERE, Reg(), key.Get(), {"Three"});
}

TEST_P(RegistryConformance, TrailingBackslashesAreIgnored) {
  ScopedRegKey key(Reg());
  ASSERT_EQ(kErrorSuccess, key.Create(m_key, "A\\B\\", kKeyAllAccess));
  key.Close();
  ExpectSubkeyNames(HERE, Reg(), m_key, {"A"});
  EXPECT_EQ(kErrorSuccess, key.Open(m_key, "A\\B\\", kKeyRead));
  EXPECT_EQ(kErrorSuccess, key.Open(m_key, "A\\B\\\\", kKeyRead));
  ASSERT_EQ(kErrorSuccess, key.Open(m_key, "A\\", kKeyRead));
  ExpectSubkeyNames(HERE, Reg(), key.Get(), {"B"});
}

TEST_P(RegistryConformance, LeadingBackslashIsABadPath) {
  RegKey key = 0;
  EXPECT_EQ(kErrorBadPathname, Reg().OpenKey(m_key, "\\A", kKeyRead, &key));
  EXPECT_EQ(kErrorBadPathname, Reg().CreateKey(m_key, "\\A", kKeyAllAccess, &key, nullptr));
  ExpectSubkeyNames(HERE, Reg(), m_key, {});
}

TEST_P(RegistryConformance, EmptySubkeyOnARootGivesTheRootBack) {
  RegKey key = 0;
  ASSERT_EQ(kErrorSuccess, Reg().OpenKey(kHkeyCurrentUser, "", kKeyRead, &key));
  EXPECT_EQ(kHkeyCurrentUser, key);
  ASSERT_EQ(kErrorSuccess, Reg().OpenKey(kHkeyLocalMachine, nullptr, kKeyRead, &key));
  EXPECT_EQ(kHkeyLocalMachine, key);
  EXPECT_EQ(kErrorSuccess, Reg().CloseKey(kHkeyLocalMachine)) << "closing a root is harmless";
  EXPECT_EQ(kErrorSuccess, Reg().CloseKey(kHkeyDynData));
  ScopedRegKey again(Reg());
  EXPECT_EQ(kErrorSuccess, again.Open(kHkeyCurrentUser, m_path.c_str(), kKeyRead))
      << "the root still works after being closed";
}

TEST_P(RegistryConformance, EmptySubkeyOnAHandleGivesANewHandle) {
  RegKey key = 0;
  ASSERT_EQ(kErrorSuccess, Reg().OpenKey(m_key, "", kKeyRead, &key));
  EXPECT_NE(m_key, key);
  EXPECT_EQ(kErrorSuccess, Reg().CloseKey(key));
  SetString(HERE, Reg(), m_key, "StillOpen", "x");
}

TEST_P(RegistryConformance, ClosingTwiceOrClosingGarbageIsAnInvalidHandle) {
  RegKey key = CreateKey(HERE, Reg(), m_key, "Sub");
  EXPECT_EQ(kErrorSuccess, Reg().CloseKey(key));
  EXPECT_EQ(kErrorInvalidHandle, Reg().CloseKey(key));
  EXPECT_EQ(kErrorInvalidHandle, Reg().CloseKey(0));
  RegKey out = 0x1234;
  EXPECT_EQ(kErrorInvalidHandle, Reg().OpenKey(0, "Sub", kKeyRead, &out));
  EXPECT_EQ(0x1234u, out) << "an invalid parent leaves the result alone";
}

// ---- deleting keys ----

TEST_P(RegistryConformance, DeletingAKeyWithSubkeysIsRefused) {
  CreateAndCloseKey(HERE, Reg(), m_key, "Parent\\Child");
  EXPECT_EQ(kErrorAccessDenied, Reg().DeleteKey(m_key, "Parent"));
  ExpectSubkeyNames(HERE, Reg(), m_key, {"Parent"});
  EXPECT_EQ(kErrorSuccess, Reg().DeleteKey(m_key, "Parent\\Child"));
  EXPECT_EQ(kErrorSuccess, Reg().DeleteKey(m_key, "Parent"));
  ExpectSubkeyNames(HERE, Reg(), m_key, {});
}

TEST_P(RegistryConformance, DeletingAMissingKeyIsFileNotFound) {
  EXPECT_EQ(kErrorFileNotFound, Reg().DeleteKey(m_key, "Missing"));
  EXPECT_EQ(kErrorFileNotFound, Reg().DeleteValue(m_key, "Missing"));
}

TEST_P(RegistryConformance, EmptySubkeyDeletesTheKeyItselfButNeverARoot) {
  RegKey key = CreateKey(HERE, Reg(), m_key, "Self");
  EXPECT_EQ(kErrorSuccess, Reg().DeleteKey(key, ""));
  Reg().CloseKey(key);
  ExpectSubkeyNames(HERE, Reg(), m_key, {});
  EXPECT_EQ(kErrorAccessDenied, Reg().DeleteKey(kHkeyCurrentUser, ""));
}

TEST_P(RegistryConformance, HandleToADeletedKeyReportsKeyDeleted) {
  RegKey key = CreateKey(HERE, Reg(), m_key, "Doomed");
  SetString(HERE, Reg(), key, "Value", "x");
  ASSERT_EQ(kErrorSuccess, Reg().DeleteKey(m_key, "Doomed"));
  char name[16];
  uint32_t nameChars = sizeof name;
  uint32_t size = 0;
  EXPECT_EQ(kErrorKeyDeleted, Reg().QueryValue(key, "Value", nullptr, nullptr, &size));
  EXPECT_EQ(kErrorKeyDeleted,
            Reg().SetValue(key, "Value", kRegSz, reinterpret_cast<const uint8_t*>("y"), 2));
  EXPECT_EQ(kErrorKeyDeleted, Reg().EnumKey(key, 0, name, &nameChars));
  nameChars = sizeof name;
  EXPECT_EQ(kErrorKeyDeleted, Reg().EnumValue(key, 0, name, &nameChars, nullptr, nullptr, nullptr));
  EXPECT_EQ(kErrorKeyDeleted, Reg().DeleteValue(key, "Value"));
  RegKey child = 0x1234;
  EXPECT_EQ(kErrorKeyDeleted, Reg().OpenKey(key, "", kKeyRead, &child));
  EXPECT_EQ(0u, child);
  EXPECT_EQ(kErrorKeyDeleted, Reg().CreateKey(key, "Sub", kKeyAllAccess, &child, nullptr));
  EXPECT_EQ(kErrorSuccess, Reg().CloseKey(key)) << "the handle itself still closes";
  RegKey reborn = CreateKey(HERE, Reg(), m_key, "Doomed");
  size = 0;
  EXPECT_EQ(kErrorFileNotFound, Reg().QueryValue(reborn, "Value", nullptr, nullptr, &size))
      << "a key created again starts empty";
  Reg().CloseKey(reborn);
}

TEST_P(RegistryConformance, TwoHandlesToOneKeySeeEachOthersChanges) {
  RegKey first = CreateKey(HERE, Reg(), m_key, "Shared");
  RegKey second = CreateKey(HERE, Reg(), m_key, "Shared");
  EXPECT_NE(first, second);
  SetString(HERE, Reg(), first, "Value", "seen");
  ExpectValue(HERE, Reg(), second, "Value", kRegSz, std::string("seen", 5));
  Reg().CloseKey(first);
  ExpectValue(HERE, Reg(), second, "Value", kRegSz, std::string("seen", 5));
  Reg().CloseKey(second);
}

std::string TargetName(const testing::TestParamInfo<std::string>& info) { return info.param; }

INSTANTIATE_TEST_SUITE_P(Registry, RegistryConformance, testing::ValuesIn(RegistryTargets()),
                         TargetName);
INSTANTIATE_TEST_SUITE_P(Registry, EnumValueBuffers, testing::ValuesIn(RegistryTargets()),
                         TargetName);

}  // namespace
}  // namespace conformance
