#include "tavrik/reader_definition.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/owners/scoped_reg_key.h"
#include "platform/twin/twin_files.h"
#include "platform/twin/twin_registry.h"
#include "tavrik/reader_definitions.h"

namespace {

using platform::kHkeyLocalMachine;

const std::string kRoot = "SOFTWARE\\Norvell\\Tavrik\\RW_Devices";
const std::string kModel = kRoot + "\\NVR410U";

std::string SlotKey(int slot) { return kModel + "\\DriveItems\\Drive" + std::to_string(slot); }
std::string SearchKey(int slot) { return SlotKey(slot) + "\\SearchRegKey"; }

class DefinitionRegistry {
 public:
  void Bytes(const std::string& path, const char* name, uint32_t type,
             const std::vector<uint8_t>& data) {
    platform::ScopedRegKey key(registry);
    ASSERT_EQ(0, key.Create(kHkeyLocalMachine, path.c_str(), platform::kKeyAllAccess));
    ASSERT_EQ(0, registry.SetValue(key.Get(), name, type, data.data(),
                                   static_cast<uint32_t>(data.size())));
  }
  void Number(const std::string& path, const char* name, uint32_t value) {
    Bytes(path, name, platform::kRegDword,
          {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
           static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)});
  }
  void Text(const std::string& path, const char* name, const std::string& text) {
    std::vector<uint8_t> data(text.begin(), text.end());
    data.push_back(0);
    Bytes(path, name, platform::kRegSz, data);
  }
  void Slot(int slot, const std::string& func, std::vector<std::string> keys) {
    Text(SlotKey(slot), "DriveFunc", func);
    Text(SlotKey(slot), "DriveFuncs", func + " label");
    Text(SlotKey(slot), "IconPath", "C:\\Icons\\" + func + ".ico");
    Number(SearchKey(slot), "Count", static_cast<uint32_t>(keys.size()));
    for (size_t j = 0; j < keys.size(); ++j)
      Text(SearchKey(slot), std::to_string(j).c_str(), keys[j]);
  }

  platform::MemoryRegistry registry;
};

class ReaderDefinitionTest : public testing::Test {
 protected:
  ReaderDefinitionTest() {
    files.AddFile("C:\\Icons\\CF.ico");
    files.AddFile("C:\\Icons\\MS.ico");
    files.AddFile("C:\\Icons\\SM.ico");
  }
  int Load() { return reader.Load("NVR410U"); }

  DefinitionRegistry image;
  platform::MemoryFiles files;
  CReaderDefinition reader{image.registry, files};
};

TEST_F(ReaderDefinitionTest, ReadsTheReaderItsSlotsAndTheirSearchKeys) {
  image.Number(kModel, "VID", 0x3A7E);
  image.Number(kModel, "PID", 0x0410);
  image.Number(kModel, "DriveNum", 2);
  image.Text(kModel, "FriendlyName", "NVR410U");
  image.Text(kModel, "Memo", "Norvell NVR-410U USB Card Reader");
  image.Slot(0, "CF", {"USBSTOR\\Disk&Ven_Norvell&Prod_NVR410U_CF", "SCSI\\NORVELL_NVR410U_CF"});
  image.Slot(1, "MS", {"USBSTOR\\Disk&Ven_Norvell&Prod_NVR410U_MS"});

  EXPECT_EQ(0, Load());
  EXPECT_EQ("NVR410U", reader.m_strModel);
  EXPECT_EQ(0x3A7Eu, reader.m_nVid);
  EXPECT_EQ(0x0410u, reader.m_nPid);
  EXPECT_EQ(2, reader.m_nDriveNum);
  EXPECT_EQ("NVR410U", reader.m_strFriendlyName);
  EXPECT_EQ("Norvell NVR-410U USB Card Reader", reader.m_strMemo);
  const CSlotDefinition& cf = reader.m_aSlots[0];
  EXPECT_EQ("CF", cf.m_strDriveFunc);
  EXPECT_EQ("CF label", cf.m_strDriveFuncs);
  EXPECT_EQ("C:\\Icons\\CF.ico", cf.m_strIconPath);
  ASSERT_EQ(2, cf.m_searchKeys.m_nCount);
  EXPECT_EQ("USBSTOR\\Disk&Ven_Norvell&Prod_NVR410U_CF", cf.m_searchKeys.m_astrKeys[0]);
  EXPECT_EQ("SCSI\\NORVELL_NVR410U_CF", cf.m_searchKeys.m_astrKeys[1]);
  EXPECT_EQ(1, reader.m_aSlots[1].m_searchKeys.m_nCount);
  EXPECT_EQ("MS", reader.m_aSlots[1].m_strDriveFunc);
  EXPECT_EQ(0u, image.registry.OpenHandleCount());
}

TEST_F(ReaderDefinitionTest, OnlyTheSlotsDriveNumCountsAreRead) {
  image.Number(kModel, "DriveNum", 3);
  for (int s = 0; s < 5; ++s) image.Slot(s, "F" + std::to_string(s), {"id"});
  EXPECT_EQ(0, Load());
  EXPECT_EQ(3, reader.m_nDriveNum);
  EXPECT_EQ("F2", reader.m_aSlots[2].m_strDriveFunc);
  EXPECT_EQ("", reader.m_aSlots[3].m_strDriveFunc);  // Drive3 exists but is not read
  EXPECT_EQ(0, reader.m_aSlots[3].m_searchKeys.m_nCount);
}

TEST_F(ReaderDefinitionTest, NumbersKeepOnlyTheirLowBitsAndSlotsAreBoundedToFive) {
  image.Number(kModel, "VID", 0x12343A7E);
  image.Number(kModel, "PID", 0xFFFF0410);
  image.Number(kModel, "DriveNum", 259);  // 0x103: low byte 3
  EXPECT_EQ(0, Load());
  EXPECT_EQ(0x3A7Eu, reader.m_nVid);
  EXPECT_EQ(0x0410u, reader.m_nPid);
  EXPECT_EQ(3, reader.m_nDriveNum);

  for (uint32_t driveNum : {6u, 9u, 255u, 0x105u}) {
    SCOPED_TRACE(driveNum);
    for (int s = 0; s < 5; ++s) image.Slot(s, "F" + std::to_string(s), {"id"});
    image.Number(kModel, "DriveNum", driveNum);
    EXPECT_EQ(0, Load());
    EXPECT_EQ(5, reader.m_nDriveNum);  // the five slots a record holds
    EXPECT_EQ("F4", reader.m_aSlots[4].m_strDriveFunc);
  }
}

TEST_F(ReaderDefinitionTest, CountReadsExactlyThatManyKeys) {
  image.Number(kModel, "DriveNum", 1);
  image.Slot(0, "CF", {"a", "b", "c"});
  image.Number(SearchKey(0), "Count", 2);
  EXPECT_EQ(0, Load());
  const CSearchKeyList& keys = reader.m_aSlots[0].m_searchKeys;
  EXPECT_EQ(2, keys.m_nCount);
  EXPECT_EQ("a", keys.m_astrKeys[0]);
  EXPECT_EQ("b", keys.m_astrKeys[1]);
  EXPECT_EQ("", keys.m_astrKeys[2]);
}

TEST_F(ReaderDefinitionTest, CountOfSixToNineStoresTheFirstFiveKeys) {
  image.Number(kModel, "DriveNum", 1);
  for (uint32_t count : {6u, 9u, 0x109u}) {
    SCOPED_TRACE(count);
    image.Slot(0, "CF", {"k0", "k1", "k2", "k3", "k4", "k5", "k6", "k7", "k8"});
    image.Number(SearchKey(0), "Count", count);
    EXPECT_EQ(0, Load());
    const CSearchKeyList& keys = reader.m_aSlots[0].m_searchKeys;
    EXPECT_EQ(5, keys.m_nCount);
    EXPECT_EQ("k4", keys.m_astrKeys[4]);
  }
}

TEST_F(ReaderDefinitionTest, CountAboveNineLeavesTheCountAsItWas) {
  image.Number(kModel, "DriveNum", 1);
  image.Slot(0, "CF", {"a", "b", "c"});
  image.Number(SearchKey(0), "Count", 10);
  EXPECT_EQ(0, Load());
  EXPECT_EQ(0, reader.m_aSlots[0].m_searchKeys.m_nCount);

  // Loaded again over a record that had three keys: the keys are read again under the old
  // count.
  image.Number(SearchKey(0), "Count", 3);
  EXPECT_EQ(0, Load());
  image.Number(SearchKey(0), "Count", 0x0A);
  image.Text(SearchKey(0), "0", "changed");
  EXPECT_EQ(0, Load());
  EXPECT_EQ(3, reader.m_aSlots[0].m_searchKeys.m_nCount);
  EXPECT_EQ("changed", reader.m_aSlots[0].m_searchKeys.m_astrKeys[0]);
}

TEST_F(ReaderDefinitionTest, StringOf259CharactersIsReadWholeAndALongerOneIsSkipped) {
  const std::string longest(259, 'N');
  image.Number(kModel, "DriveNum", 1);
  image.Text(kModel, "FriendlyName", longest);
  image.Text(kModel, "Memo", longest + "X");  // 261 bytes with its terminator: does not fit
  image.Slot(0, "CF", {longest});
  EXPECT_EQ(0, Load());
  EXPECT_EQ(longest, reader.m_strFriendlyName);
  EXPECT_EQ("", reader.m_strMemo);
  EXPECT_EQ(longest, reader.m_aSlots[0].m_searchKeys.m_astrKeys[0]);
}

TEST_F(ReaderDefinitionTest, ValueFillingTheBufferWithoutTerminatorIsSkipped) {
  // 260 bytes and no terminator leave the buffer no byte for the terminator: the text does
  // not fit and reads as empty, neither cut nor read beyond the buffer (found by fuzzing).
  image.Number(kModel, "DriveNum", 1);
  image.Slot(0, "CF", {"id"});
  // The type is not looked at: binary data reads as text as well.
  image.Bytes(SearchKey(0), "0", platform::kRegBinary, std::vector<uint8_t>(260, 'K'));
  EXPECT_EQ(0, Load());
  EXPECT_EQ("", reader.m_aSlots[0].m_searchKeys.m_astrKeys[0]);
}

TEST_F(ReaderDefinitionTest, IconPathIsStoredInItsShortFormOrEmptyWhenTheFileIsMissing) {
  files.AddFile("C:\\Program Files\\Norvell\\Tavrik\\Icons\\microsd.ico");
  files.SetShortName("C:\\Program Files", "PROGRA~1");
  files.SetShortName("C:\\Program Files\\Norvell\\Tavrik\\Icons\\microsd.ico", "MICROS~1.ICO");
  image.Number(kModel, "DriveNum", 2);
  image.Slot(0, "SD", {"id"});
  image.Text(SlotKey(0), "IconPath", "C:\\Program Files\\Norvell\\Tavrik\\Icons\\microsd.ico");
  image.Slot(1, "XD", {"id"});  // C:\Icons\XD.ico does not exist
  EXPECT_EQ(0, Load());
  EXPECT_EQ("C:\\PROGRA~1\\Norvell\\Tavrik\\Icons\\MICROS~1.ICO", reader.m_aSlots[0].m_strIconPath);
  EXPECT_EQ("", reader.m_aSlots[1].m_strIconPath);
}

TEST_F(ReaderDefinitionTest, MissingModelKeyLeavesOnlyTheModelName) {
  EXPECT_EQ(-1, Load());
  EXPECT_EQ("NVR410U", reader.m_strModel);
  EXPECT_EQ(0, reader.m_nDriveNum);
  EXPECT_EQ(0u, reader.m_nVid);
  EXPECT_EQ("", reader.m_strFriendlyName);
}

TEST_F(ReaderDefinitionTest, MissingSlotKeyIsPassedOverAndLaterSlotsAreRead) {
  image.Number(kModel, "DriveNum", 3);
  image.Slot(0, "CF", {"a"});
  image.Slot(2, "SM", {"c"});
  EXPECT_EQ(0, Load());
  EXPECT_EQ("", reader.m_aSlots[1].m_strDriveFunc);
  EXPECT_EQ(0, reader.m_aSlots[1].m_searchKeys.m_nCount);
  EXPECT_EQ("SM", reader.m_aSlots[2].m_strDriveFunc);
  EXPECT_EQ("c", reader.m_aSlots[2].m_searchKeys.m_astrKeys[0]);
}

TEST_F(ReaderDefinitionTest, MissingSearchKeyLeavesTheSlotWithoutKeys) {
  image.Number(kModel, "DriveNum", 1);
  image.Text(SlotKey(0), "DriveFunc", "CF");
  EXPECT_EQ(0, Load());
  EXPECT_EQ("CF", reader.m_aSlots[0].m_strDriveFunc);
  EXPECT_EQ(0, reader.m_aSlots[0].m_searchKeys.m_nCount);
}

TEST_F(ReaderDefinitionTest, MissingNumbersReadAsZeroSoNoSlotIsPresented) {
  image.Text(kModel, "FriendlyName", "NVR410U");
  image.Slot(0, "CF", {"a"});
  EXPECT_EQ(0, Load());
  EXPECT_EQ(0u, reader.m_nVid);
  EXPECT_EQ(0, reader.m_nDriveNum);
  EXPECT_EQ("", reader.m_aSlots[0].m_strDriveFunc);

  // A slot whose "Count" is missing has no keys.
  image.Number(kModel, "DriveNum", 1);
  image.Slot(0, "CF", {"a"});
  ASSERT_EQ(0, [&] {
    platform::ScopedRegKey key(image.registry);
    long rc = key.Open(kHkeyLocalMachine, SearchKey(0).c_str(), platform::kKeyAllAccess);
    return rc != 0 ? rc : image.registry.DeleteValue(key.Get(), "Count");
  }());
  CReaderDefinition fresh(image.registry, files);
  EXPECT_EQ(0, fresh.Load("NVR410U"));
  EXPECT_EQ(0, fresh.m_aSlots[0].m_searchKeys.m_nCount);
}

TEST_F(ReaderDefinitionTest, NumbersAreReadWhateverTheirTypeButNeverBeyondFourBytes) {
  image.Bytes(kModel, "DriveNum", platform::kRegBinary, {2});
  image.Bytes(kModel, "VID", platform::kRegBinary, {0x7E, 0x3A, 0, 0, 1});  // five bytes
  EXPECT_EQ(0, Load());
  EXPECT_EQ(2, reader.m_nDriveNum);
  EXPECT_EQ(0u, reader.m_nVid);
}

class ReaderDefinitionsTest : public testing::Test {
 protected:
  DefinitionRegistry image;
  platform::MemoryFiles files;
  CReaderDefinitions definitions{image.registry, files};
};

TEST_F(ReaderDefinitionsTest, MissingRootKeyReturnsTheErrorAndReadsNothing) {
  platform::MemoryRegistry empty;
  CReaderDefinitions none(empty, files);
  none.m_nDeviceNum = 7;
  EXPECT_EQ(platform::kErrorFileNotFound, none.LoadDefinitions());
  EXPECT_EQ(0, none.m_nDeviceNum);
  for (const CReaderDefinition& reader : none.m_aReaders) EXPECT_EQ("", reader.m_strModel);
}

TEST_F(ReaderDefinitionsTest, AllNineteenRecordsAreLoadedInCatalogueOrderEvenWithDeviceNumZero) {
  image.Number(kRoot, "DeviceNum", 0);
  image.Text(kRoot, "Version", "1.0.0");
  image.Number(kModel, "DriveNum", 1);
  image.Text(SlotKey(0), "DriveFunc", "CF");
  EXPECT_EQ(0, definitions.LoadDefinitions());
  EXPECT_EQ(0, definitions.m_nDeviceNum);
  EXPECT_EQ("1.0.0", definitions.m_strDefVersion);
  const std::vector<ReaderProduct> catalogue = ReaderCatalogue();
  for (size_t i = 0; i < definitions.m_aReaders.size(); ++i)
    EXPECT_EQ(catalogue[i].registryKey, definitions.m_aReaders[i].m_strModel) << i;
  EXPECT_EQ("CF", definitions.m_aReaders[0].m_aSlots[0].m_strDriveFunc);
  EXPECT_EQ(0u, image.registry.OpenHandleCount());
}

TEST_F(ReaderDefinitionsTest, DeviceNumIsItsLowByteBoundedToNineteen) {
  const struct {
    uint32_t value;
    int expected;
  } cases[] = {{19, 19}, {20, 19}, {255, 19}, {0x113, 19}, {0x105, 5}, {0x100, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    image.Number(kRoot, "DeviceNum", c.value);
    EXPECT_EQ(0, definitions.LoadDefinitions());
    EXPECT_EQ(c.expected, definitions.m_nDeviceNum);
  }
}

TEST_F(ReaderDefinitionsTest, MissingDeviceNumMeansNoReaderIsInUse) {
  image.Text(kRoot, "Version", "x");
  EXPECT_EQ(0, definitions.LoadDefinitions());
  EXPECT_EQ(0, definitions.m_nDeviceNum);
}

}  // namespace
